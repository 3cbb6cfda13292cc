#pragma once
// The record layer of a BIFF5/BIFF8 workbook stream.

#include "spreadsheet/xls/ByteView.h"
#include "spreadsheet/xls/Ciphers.h"
#include "spreadsheet/xls/StreamSource.h"

#include <QString>

#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace spreadsheet::xls {

class CodePage;

namespace biff {

// Record ids this reader acts on.
enum RecordId : std::uint16_t {
    Formula = 0x0006,
    Eof = 0x000A,
    DateMode = 0x0022,
    FilePass = 0x002F,
    Continue = 0x003C,
    CodePageId = 0x0042,
    BoundSheet = 0x0085,
    MulRk = 0x00BD,
    MulBlank = 0x00BE,
    RString = 0x00D6,
    Xf = 0x00E0,
    Sst = 0x00FC,
    LabelSst = 0x00FD,
    Dimensions = 0x0200,
    Blank = 0x0201,
    Number = 0x0203,
    Label = 0x0204,
    BoolErr = 0x0205,
    String = 0x0207,
    Rk = 0x027E,
    Formula4 = 0x0406,  // FORMULA's Excel 4.0 id, still written by some programs
    Format = 0x041E,
    Bof = 0x0809,
};

// One record: its id and its body, which lies in the reader's window and
// stays valid until the reader moves on (next(), peekId(), seek()).
struct Record {
    std::uint16_t id = 0;
    Bytes data;
};

// Walks the records of a stream from a start offset, holding only a window of
// the stream in memory, and decrypts their bodies once a cipher is set.
class RecordReader {
public:
    // Reads `stream`, which must outlive the reader, from `offset` on.
    explicit RecordReader(StreamSource &stream, std::size_t offset = 0);

    // The record at the current position, moving past it; false at the end of
    // the stream or when the record runs past it (truncated() then says so).
    bool next(Record &record);
    // Id of the record at the current position; nullopt when none is complete there.
    std::optional<std::uint16_t> peekId();
    // True when the last next() stopped at a record cut off by the stream's end.
    bool truncated() const { return truncated_; }
    // Stream offset of the record that next() reads.
    std::size_t offset() const { return offset_; }
    // Bytes of the stream from the current position to its end.
    std::size_t bytesLeft() const { return offset_ < stream_.size() ? std::size_t(stream_.size() - offset_) : 0; }
    // Moves to stream offset `offset`; the next record is read from there.
    void seek(std::size_t offset);
    // Decrypts the bodies of the records read from now on with `cipher`,
    // except the parts that an encrypted workbook keeps in the clear.
    void decryptWith(std::unique_ptr<RecordCipher> cipher) { cipher_ = std::move(cipher); }
    // True once a cipher is set.
    bool decrypting() const { return cipher_ != nullptr; }

private:
    // True when the `count` bytes from the current position are in the window.
    bool fill(std::size_t count)
    {
        // Inline: every record asks twice, and nearly always finds them there.
        return (offset_ >= windowOffset_ && offset_ - windowOffset_ + count <= windowSize_) || refill(count);
    }
    // Moves the window to the current position and reads on; fill()'s slow part.
    bool refill(std::size_t count);

    StreamSource &stream_;
    std::vector<std::uint8_t> window_;
    std::size_t windowOffset_ = 0;  // stream offset of window_[0]
    std::size_t windowSize_ = 0;    // bytes of the window that hold stream bytes
    std::size_t offset_;
    bool truncated_ = false;
    std::unique_ptr<RecordCipher> cipher_;
};

// Reads values across a record and its CONTINUE records, which it takes from
// the reader only when it reaches them. Every read returns false when the
// data ends first (having used up what there was).
class FragmentCursor {
public:
    // Reads `first` alone.
    explicit FragmentCursor(Bytes first) : fragment_(first) {}
    // Reads `first`, then the bodies of the CONTINUE records that follow in
    // `reader`. Those not reached are passed over when the cursor goes.
    FragmentCursor(Bytes first, RecordReader &reader) : fragment_(first), reader_(&reader) {}
    ~FragmentCursor();
    FragmentCursor(const FragmentCursor &) = delete;
    FragmentCursor &operator=(const FragmentCursor &) = delete;

    // One byte, moving on to the next fragment where this one is used up.
    bool u8(std::uint8_t &value);
    // A little-endian 16-bit value, which may straddle two fragments.
    bool u16(std::uint16_t &value);
    // A little-endian 32-bit value, which may straddle fragments.
    bool u32(std::uint32_t &value);
    // Passes over `count` bytes, across fragments.
    bool skip(std::size_t count);
    // `count` raw bytes appended to `out`.
    bool bytes(std::size_t count, std::string &out);
    // `count` characters stored 8-bit (Latin-1) or 16-bit, appended to `out`;
    // where they cross into the next record, a fresh option byte says which.
    bool chars(std::size_t count, bool wide, QString &out);

private:
    // Takes the next CONTINUE record's body; false when none follows.
    bool nextFragment();
    // False when the data ends before the next byte.
    bool nextFragmentIfDone();

    Bytes fragment_;
    std::size_t pos_ = 0;
    RecordReader *reader_ = nullptr;
};

// How a workbook stores text: BIFF8 as Unicode strings with an option byte,
// BIFF5 as bytes in the workbook's code page.
struct TextFormat {
    bool biff8 = true;
    const CodePage *codePage = nullptr;
};

// A string whose length field is `lengthBytes` (1 or 2) wide, in `format`;
// rich-text runs and phonetic data are skipped. False when the data ends first.
bool readString(FragmentCursor &cursor, int lengthBytes, const TextFormat &format, QString &out);

}  // namespace biff
}  // namespace spreadsheet::xls
