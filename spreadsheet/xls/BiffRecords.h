#pragma once
// The record layer of a BIFF5/BIFF8 workbook stream.

#include "spreadsheet/xls/ByteView.h"

#include <QString>

#include <optional>
#include <string>
#include <vector>

namespace xls {

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

// One record: its id and its body (which points into the stream).
struct Record {
    std::uint16_t id = 0;
    Bytes data;
};

// Walks the records of a stream from a start offset.
class RecordReader {
public:
    explicit RecordReader(Bytes stream, std::size_t offset = 0) : stream_(stream), offset_(offset) {}

    // The record at the current position, moving past it; false at the end of
    // the stream or when the record runs past it (truncated() then says so).
    bool next(Record &record);
    // Id of the record at the current position; nullopt when none is complete there.
    std::optional<std::uint16_t> peekId() const;
    // True when the last next() stopped at a record cut off by the stream's end.
    bool truncated() const { return truncated_; }
    // Stream offset of the record that next() reads.
    std::size_t offset() const { return offset_; }

private:
    Bytes stream_;
    std::size_t offset_;
    bool truncated_ = false;
};

// The body of `first` followed by the bodies of the CONTINUE records right after it.
std::vector<Bytes> withContinues(RecordReader &reader, const Record &first);

// Reads values across a record and its CONTINUE records. Every read returns
// false, without reading, when the data ends first.
class FragmentCursor {
public:
    explicit FragmentCursor(std::vector<Bytes> fragments);

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
    // Bytes left in all fragments.
    std::size_t remaining() const { return remaining_; }

private:
    bool nextFragmentIfDone();
    void advance(std::size_t count);

    std::vector<Bytes> fragments_;
    std::size_t index_ = 0;
    std::size_t pos_ = 0;
    std::size_t remaining_ = 0;
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
}  // namespace xls
