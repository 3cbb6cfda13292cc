#pragma once
// Builds small workbooks byte by byte, so that tests can break exactly one
// structure of a file that is otherwise valid.

#include <QByteArray>

#include <cstdint>
#include <cstring>
#include <initializer_list>
#include <string>
#include <vector>

namespace xlstest {

using Bytes = std::vector<std::uint8_t>;

inline void put16(Bytes &out, std::uint32_t value)
{
    out.push_back(std::uint8_t(value));
    out.push_back(std::uint8_t(value >> 8));
}

inline void put32(Bytes &out, std::uint32_t value)
{
    put16(out, value & 0xFFFF);
    put16(out, value >> 16);
}

inline void putDouble(Bytes &out, double value)
{
    std::uint64_t bits;
    std::memcpy(&bits, &value, sizeof bits);
    put32(out, std::uint32_t(bits));
    put32(out, std::uint32_t(bits >> 32));
}

inline void putText(Bytes &out, const std::string &latin1)
{
    out.insert(out.end(), latin1.begin(), latin1.end());
}

// The parts one after the other.
inline Bytes concat(std::initializer_list<Bytes> parts)
{
    Bytes out;
    for (const Bytes &part : parts)
        out.insert(out.end(), part.begin(), part.end());
    return out;
}

// One BIFF record.
inline Bytes record(std::uint16_t id, const Bytes &body)
{
    Bytes out;
    put16(out, id);
    put16(out, std::uint32_t(body.size()));
    out.insert(out.end(), body.begin(), body.end());
    return out;
}

// A cell record body start: row, column, XF index.
inline Bytes cell(std::uint16_t row, std::uint16_t column, std::uint16_t xf = 15)
{
    Bytes out;
    put16(out, row);
    put16(out, column);
    put16(out, xf);
    return out;
}

// A NUMBER record.
inline Bytes number(std::uint16_t row, std::uint16_t column, double value, std::uint16_t xf = 15)
{
    Bytes body = cell(row, column, xf);
    putDouble(body, value);
    return record(0x0203, body);
}

// A BIFF8 LABEL record with 8-bit text.
inline Bytes label(std::uint16_t row, std::uint16_t column, const std::string &latin1)
{
    Bytes body = cell(row, column);
    put16(body, std::uint32_t(latin1.size()));
    body.push_back(0);
    putText(body, latin1);
    return record(0x0204, body);
}

// A BIFF8 LABEL record with 16-bit text, for letters past Latin-1.
inline Bytes label(std::uint16_t row, std::uint16_t column, const std::u16string &text)
{
    Bytes body = cell(row, column);
    put16(body, std::uint32_t(text.size()));
    body.push_back(1);
    for (const char16_t unit : text)
        put16(body, unit);
    return record(0x0204, body);
}

// A LABELSST record: the cell shows shared string `index`.
inline Bytes labelSst(std::uint16_t row, std::uint16_t column, std::uint32_t index)
{
    Bytes body = cell(row, column);
    put32(body, index);
    return record(0x00FD, body);
}

// A BIFF8 string with a 16-bit length, 8-bit characters.
inline Bytes string16(const std::string &latin1)
{
    Bytes out;
    put16(out, std::uint32_t(latin1.size()));
    out.push_back(0);
    putText(out, latin1);
    return out;
}

// An SST record that says it holds `declared` strings and holds `strings`.
inline Bytes sharedStrings(std::uint32_t declared, std::initializer_list<std::string> strings)
{
    Bytes body;
    put32(body, declared);
    put32(body, declared);
    for (const std::string &text : strings) {
        const Bytes string = string16(text);
        body.insert(body.end(), string.begin(), string.end());
    }
    return record(0x00FC, body);
}

// A BIFF8 FORMAT record giving number format `index` the code `code`.
inline Bytes format(std::uint16_t index, const std::string &code)
{
    Bytes body;
    put16(body, index);
    const Bytes string = string16(code);
    body.insert(body.end(), string.begin(), string.end());
    return record(0x041E, body);
}

// A BIFF8 XF record (a cell format) that uses number format `formatIndex`.
inline Bytes cellFormat(std::uint16_t formatIndex)
{
    Bytes body;
    put16(body, 0);  // font
    put16(body, formatIndex);
    body.resize(20, 0);
    return record(0x00E0, body);
}

// The cached result of a FORMULA record: a number...
inline Bytes numberResult(double value)
{
    Bytes out;
    putDouble(out, value);
    return out;
}

// ...or the mark of a text result, whose text a STRING record brings next.
inline Bytes textResult()
{
    return {0x00, 0, 0, 0, 0, 0, 0xFF, 0xFF};
}

// A BIFF8 FORMULA record "=1" with its cached `result`, under `id`: 0x0006,
// or 0x0406, the FORMULA id of Excel 4.0 that some writers still use.
inline Bytes formula(std::uint16_t row, std::uint16_t column, const Bytes &result, std::uint16_t id = 0x0006)
{
    Bytes body = cell(row, column);
    body.insert(body.end(), result.begin(), result.end());
    put16(body, 0);  // options
    put32(body, 0);  // chn
    put16(body, 3);  // tInt 1
    body.push_back(0x1E);
    put16(body, 1);
    return record(id, body);
}

// A BIFF8 STRING record: the text result of the FORMULA before it.
inline Bytes formulaString(const std::string &latin1)
{
    return record(0x0207, string16(latin1));
}

// A workbook stream: globals (BOF, `globals`, one BOUNDSHEET, EOF unless
// `globalsEof` is false) and one worksheet (BOF, `sheet`, EOF unless
// `sheetEof` is false). `version` 0x0600 is BIFF8, 0x0500 BIFF5.
inline Bytes workbookStream(const Bytes &globals, const Bytes &sheet, std::uint16_t version = 0x0600,
                            bool globalsEof = true, bool sheetEof = true)
{
    auto bof = [version](std::uint16_t type) {
        Bytes body;
        put16(body, version);
        put16(body, type);
        body.resize(version == 0x0600 ? 16 : 8, 0);
        return record(0x0809, body);
    };
    Bytes out = bof(0x0005);
    out.insert(out.end(), globals.begin(), globals.end());
    const std::size_t boundSheetAt = out.size();
    Bytes boundSheet;
    put32(boundSheet, 0);  // patched below
    put16(boundSheet, 0);
    boundSheet.push_back(1);
    boundSheet.push_back('S');
    if (version == 0x0600)
        boundSheet.insert(boundSheet.end() - 1, 0);
    const Bytes boundRecord = record(0x0085, boundSheet);
    out.insert(out.end(), boundRecord.begin(), boundRecord.end());
    const Bytes eof = record(0x000A, {});
    if (globalsEof)
        out.insert(out.end(), eof.begin(), eof.end());
    const std::size_t sheetAt = out.size();
    for (int i = 0; i < 4; ++i)
        out[boundSheetAt + 4 + std::size_t(i)] = std::uint8_t(sheetAt >> (8 * i));
    const Bytes sheetBof = bof(0x0010);
    out.insert(out.end(), sheetBof.begin(), sheetBof.end());
    out.insert(out.end(), sheet.begin(), sheet.end());
    if (sheetEof)
        out.insert(out.end(), eof.begin(), eof.end());
    return out;
}

// A version 3 compound file (512-byte sectors) holding `stream` under
// `name`: sector 0 is the allocation table, 1 the directory, 2 the mini
// allocation table; the stream's sectors follow (in the mini stream when
// it is shorter than 4,096 bytes). The offsets below let tests break it.
struct CompoundImage {
    static constexpr std::uint32_t kEnd = 0xFFFFFFFE;
    static constexpr std::size_t kFatOffset = 512;        // sector 0
    static constexpr std::size_t kDirectoryOffset = 1024;  // sector 1
    static constexpr std::size_t kStreamEntry = kDirectoryOffset + 128;

    Bytes bytes;

    explicit CompoundImage(const Bytes &stream, const std::u16string &name = u"Workbook")
    {
        const bool mini = stream.size() < 4096;
        const std::size_t unit = mini ? 64 : 512;
        const std::uint32_t units = std::uint32_t((stream.size() + unit - 1) / unit);
        const std::uint32_t dataSectors = mini ? std::uint32_t((units * 64 + 511) / 512) : units;
        bytes.assign(512 * (4 + dataSectors), 0);

        static const std::uint8_t signature[8] = {0xD0, 0xCF, 0x11, 0xE0, 0xA1, 0xB1, 0x1A, 0xE1};
        std::memcpy(bytes.data(), signature, 8);
        set16(0x18, 0x3E);
        set16(0x1A, 3);
        set16(0x1C, 0xFFFE);
        set16(0x1E, 9);
        set16(0x20, 6);
        set32(0x2C, 1);        // one allocation table sector
        set32(0x30, 1);        // directory in sector 1
        set32(0x38, 4096);
        set32(0x3C, mini ? 2 : kEnd);
        set32(0x40, mini ? 1 : 0);
        set32(0x44, kEnd);
        for (std::size_t i = 0; i < 109; ++i)
            set32(0x4C + 4 * i, i == 0 ? 0 : 0xFFFFFFFF);

        for (std::size_t i = 0; i < 128; ++i)
            setFat(std::uint32_t(i), 0xFFFFFFFF);
        setFat(0, 0xFFFFFFFD);
        setFat(1, kEnd);
        setFat(2, kEnd);
        for (std::uint32_t s = 0; s < dataSectors; ++s)
            setFat(3 + s, s + 1 == dataSectors ? kEnd : 4 + s);
        std::memcpy(bytes.data() + 512 * 4, stream.data(), stream.size());
        if (mini) {
            for (std::uint32_t s = 0; s < units; ++s)
                set32(512 * 3 + 4 * s, s + 1 == units ? kEnd : s + 1);
            for (std::uint32_t s = units; s < 128; ++s)
                set32(512 * 3 + 4 * s, 0xFFFFFFFF);
        }
        entry(0, u"Root Entry", 5, 1, 3, mini ? units * 64 : 0);
        entry(1, name, 2, 0xFFFFFFFF, mini ? 0 : 3, std::uint32_t(stream.size()));
        entry(2, u"", 0, 0xFFFFFFFF, 0, 0);
        entry(3, u"", 0, 0xFFFFFFFF, 0, 0);
    }

    void set16(std::size_t at, std::uint32_t value)
    {
        bytes[at] = std::uint8_t(value);
        bytes[at + 1] = std::uint8_t(value >> 8);
    }
    void set32(std::size_t at, std::uint32_t value)
    {
        set16(at, value & 0xFFFF);
        set16(at + 2, value >> 16);
    }
    void setFat(std::uint32_t sector, std::uint32_t next) { set32(kFatOffset + 4 * sector, next); }

    QByteArray data() const { return QByteArray(reinterpret_cast<const char *>(bytes.data()), qsizetype(bytes.size())); }

private:
    // One directory entry without siblings.
    void entry(std::size_t index, const std::u16string &name, std::uint8_t type, std::uint32_t child,
               std::uint32_t start, std::uint32_t size)
    {
        const std::size_t at = kDirectoryOffset + 128 * index;
        for (std::size_t i = 0; i < name.size(); ++i)
            set16(at + 2 * i, name[i]);
        set16(at + 0x40, std::uint32_t(name.empty() ? 0 : 2 * (name.size() + 1)));
        bytes[at + 0x42] = type;
        set32(at + 0x44, 0xFFFFFFFF);
        set32(at + 0x48, 0xFFFFFFFF);
        set32(at + 0x4C, child);
        set32(at + 0x74, start);
        set32(at + 0x78, size);
    }
};

}  // namespace xlstest
