#pragma once
// The parts of a zip archive (the container of .xlsx and .ods workbooks), read
// within bounds: sizes are taken from the central directory and checked
// against limits before anything is expanded, and a part is only trusted
// once it has been expanded, piece by piece, to exactly the size and checksum
// its entry declares: before it is handed on (checked()), or by its reader
// as it goes, which then refuses what it read if the end does not match
// (located()).

#include <QByteArrayView>
#include <QString>

#include <cstdint>
#include <map>
#include <string>
#include <string_view>

#include <zlib.h>

namespace spreadsheet::package {

// How far the parts of one archive may expand.
struct ZipLimits {
    std::uint64_t totalBytes = std::uint64_t(1) << 30;  // all parts together
    std::uint64_t ratio = 1000;                          // one part read, expanded : compressed
};

// Where one part's data lies and what it declares.
struct ZipEntry {
    QByteArrayView data;  // stored or deflated bytes
    bool deflated = false;
    std::uint64_t size = 0;  // expanded
    std::uint32_t crc = 0;
};

// A part looked up and checked: its entry, or why it cannot be read.
struct CheckedPart {
    ZipEntry entry;
    QString problem;  // empty when the entry can be read
};

// Why a part whose data does not expand to what its entry declares is refused.
QString damagedPartProblem();

// Expands one entry's data in pieces of the caller's size.
class PartInflater {
public:
    explicit PartInflater(const ZipEntry &entry);
    ~PartInflater();
    PartInflater(const PartInflater &) = delete;
    PartInflater &operator=(const PartInflater &) = delete;

    // Puts up to `capacity` next bytes at `out` and returns how many; 0 once
    // the part has given all its bytes; -1 when its data is damaged or
    // expands past its declared size.
    int read(char *out, int capacity);
    // Whether everything read so far has the size and checksum the entry declares.
    bool matchesEntry() const { return produced_ == entry_.size && crc_ == entry_.crc; }
    // Reads the rest of the part; whether all of it, read before or now,
    // came undamaged to the size and checksum its entry declares.
    bool expandsAsDeclared();

private:
    ZipEntry entry_;
    z_stream stream_{};
    bool ready_ = false;  // the inflater is initialised
    bool ended_ = false;
    bool damaged_ = false;  // read() has found damage, and says so from then on
    std::uint64_t produced_ = 0;
    std::uint32_t crc_ = 0;
};

class ZipArchive {
public:
    // Reads the central directory of `archive`, which must outlive this
    // object, its sizes and offsets from Zip64 records where the classic
    // fields cannot hold them. problem() says why the archive is refused
    // when it is: no directory within reach of the end, an entry or Zip64
    // record cut off, parts together past `limits`, a name given twice
    // (names compare without regard to ASCII case).
    explicit ZipArchive(QByteArrayView archive, const ZipLimits &limits = {});

    // Empty when the directory was read.
    const QString &problem() const { return problem_; }
    // Whether a part named `name`, in any ASCII case, is listed.
    bool contains(std::string_view name) const { return entries_.count(folded(name)) > 0; }
    // The entry of part `name` (in any ASCII case) once it has been expanded
    // and found to give exactly the bytes and checksum it declares; otherwise
    // the reason (no such part, expanding past the ratio limit, header not
    // where the directory says, damaged data). Only parts read pay the ratio
    // limit: one never asked for may compress as well as it likes.
    CheckedPart checked(std::string_view name) const;
    // The entry of part `name` with every check of checked() but the
    // expansion: for a reader that expands the part once, as it goes, and
    // asks PartInflater::expandsAsDeclared() before it trusts what it read.
    CheckedPart located(std::string_view name) const;

private:
    // What the central directory says of one part.
    struct DirectoryEntry {
        std::uint64_t compressed = 0, expanded = 0, local = 0;
        std::uint32_t crc = 0, method = 0;
    };

    // `name` in ASCII lower case: part names of a package compare without case.
    static std::string folded(std::string_view name);
    // Reads the entry at `at`, advancing `at` past it; false when it is cut off.
    bool readEntry(qsizetype &at, std::uint64_t &total);

    QByteArrayView archive_;
    ZipLimits limits_;
    std::map<std::string, DirectoryEntry, std::less<>> entries_;  // by folded name
    QString problem_;
};

}  // namespace spreadsheet::package
