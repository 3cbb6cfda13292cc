#include "spreadsheet/xls/BiffRecords.h"

#include "spreadsheet/xls/CodePage.h"

#include <QtEndian>

#include <algorithm>
#include <cstring>

namespace spreadsheet::xls::biff {

namespace {

// Room for the largest record a 16-bit length allows, and many small ones.
constexpr std::size_t kWindow = 128 * 1024;
constexpr std::size_t kHeader = 4;

// How many bytes at the start of a record body an encrypted workbook keeps in the clear.
std::size_t plainPrefix(std::uint16_t id, std::size_t size)
{
    switch (id) {
    case Bof:
    case FilePass:
    case 0x00E1:  // INTERFACEHDR
    case 0x0194:  // USREXCL
    case 0x0195:  // FILELOCK
    case 0x0196:  // RRDINFO
    case 0x0138:  // RRDHEAD
        return size;
    case BoundSheet:
        return std::min<std::size_t>(size, 4);  // the sheet's stream offset
    default:
        return 0;
    }
}

}  // namespace

RecordReader::RecordReader(StreamSource &stream, std::size_t offset)
    : stream_(stream), window_(kWindow), offset_(offset)
{
}

bool RecordReader::refill(std::size_t count)
{
    // Keep what is left of the window when the position lies in it, then read on.
    std::size_t kept = 0;
    if (offset_ >= windowOffset_ && offset_ < windowOffset_ + windowSize_) {
        kept = windowOffset_ + windowSize_ - offset_;
        std::memmove(window_.data(), window_.data() + (offset_ - windowOffset_), kept);
    }
    windowOffset_ = offset_;
    windowSize_ = kept + stream_.read(offset_ + kept, std::span(window_).subspan(kept));
    return count <= windowSize_;
}

void RecordReader::seek(std::size_t offset)
{
    // The window may hold records already decrypted: read them anew.
    offset_ = offset;
    windowSize_ = 0;
    truncated_ = false;
}

bool RecordReader::next(Record &record)
{
    truncated_ = false;
    if (!fill(kHeader))
        return false;
    const Bytes header = std::span(window_).subspan(offset_ - windowOffset_, kHeader);
    const std::size_t length = u16At(header, 2);
    record.id = u16At(header, 0);
    if (!fill(kHeader + length)) {
        truncated_ = true;
        return false;
    }
    const std::span<std::uint8_t> body = std::span(window_).subspan(offset_ - windowOffset_ + kHeader, length);
    if (cipher_) {
        const std::size_t plain = plainPrefix(record.id, length);
        if (plain < length)
            cipher_->decrypt(body.subspan(plain), offset_ + kHeader + plain, length);
    }
    record.data = body;
    offset_ += kHeader + length;
    return true;
}

std::optional<std::uint16_t> RecordReader::peekId()
{
    if (!fill(kHeader))
        return std::nullopt;
    const Bytes header = std::span(window_).subspan(offset_ - windowOffset_, kHeader);
    if (!fill(kHeader + u16At(header, 2)))
        return std::nullopt;
    return u16At(std::span(window_).subspan(offset_ - windowOffset_, kHeader), 0);
}

FragmentCursor::~FragmentCursor()
{
    while (nextFragment()) {
    }
}

bool FragmentCursor::nextFragment()
{
    Record more;
    if (!reader_ || reader_->peekId() != Continue || !reader_->next(more))
        return false;
    fragment_ = more.data;
    pos_ = 0;
    return true;
}

bool FragmentCursor::nextFragmentIfDone()
{
    while (pos_ == fragment_.size()) {
        if (!nextFragment())
            return false;
    }
    return true;
}

bool FragmentCursor::u8(std::uint8_t &value)
{
    if (!nextFragmentIfDone())
        return false;
    value = fragment_[pos_++];
    return true;
}

bool FragmentCursor::u16(std::uint16_t &value)
{
    std::uint8_t low, high;
    if (!u8(low) || !u8(high))
        return false;
    value = std::uint16_t(low | high << 8);
    return true;
}

bool FragmentCursor::u32(std::uint32_t &value)
{
    std::uint16_t low, high;
    if (!u16(low) || !u16(high))
        return false;
    value = std::uint32_t(low) | std::uint32_t(high) << 16;
    return true;
}

bool FragmentCursor::skip(std::size_t count)
{
    while (count > 0) {
        if (!nextFragmentIfDone())
            return false;
        const std::size_t step = std::min(count, fragment_.size() - pos_);
        pos_ += step;
        count -= step;
    }
    return true;
}

bool FragmentCursor::bytes(std::size_t count, std::string &out)
{
    while (count > 0) {
        if (!nextFragmentIfDone())
            return false;
        const std::size_t step = std::min(count, fragment_.size() - pos_);
        out.append(reinterpret_cast<const char *>(fragment_.data() + pos_), step);
        pos_ += step;
        count -= step;
    }
    return true;
}

bool FragmentCursor::chars(std::size_t count, bool wide, QString &out)
{
    // `count` comes from a 16-bit length, so reserving it costs little.
    out.reserve(out.size() + qsizetype(count));
    while (count > 0) {
        if (pos_ == fragment_.size()) {
            if (!nextFragment() || fragment_.empty())
                return false;
            wide = fragment_[0] & 0x01;
            pos_ = 1;
        }
        const Bytes rest = fragment_.subspan(pos_);
        const std::size_t take = std::min(count, wide ? rest.size() / 2 : rest.size());
        if (take == 0)
            return false;  // half a 16-bit character before the record's end
        if (wide) {
            const qsizetype at = out.size();
            out.resize(at + qsizetype(take));
            qFromLittleEndian<char16_t>(rest.data(), qsizetype(take), out.data() + at);
        } else {
            out.append(QLatin1String(reinterpret_cast<const char *>(rest.data()), qsizetype(take)));
        }
        pos_ += wide ? 2 * take : take;
        count -= take;
    }
    return true;
}

bool readString(FragmentCursor &cursor, int lengthBytes, const TextFormat &format, QString &out)
{
    out.resize(0);  // keeps the buffer for the next string
    std::size_t length = 0;
    if (lengthBytes == 1) {
        std::uint8_t value;
        if (!cursor.u8(value))
            return false;
        length = value;
    } else {
        std::uint16_t value;
        if (!cursor.u16(value))
            return false;
        length = value;
    }
    if (!format.biff8) {
        std::string raw;
        if (!cursor.bytes(length, raw))
            return false;
        out = format.codePage->decode(Bytes(reinterpret_cast<const std::uint8_t *>(raw.data()), raw.size()));
        return true;
    }
    std::uint8_t options;
    std::uint16_t runs = 0;
    std::uint32_t phonetic = 0;
    if (!cursor.u8(options) || ((options & 0x08) && !cursor.u16(runs)) || ((options & 0x04) && !cursor.u32(phonetic)))
        return false;
    return cursor.chars(length, options & 0x01, out) && cursor.skip(4 * std::size_t(runs)) && cursor.skip(phonetic);
}

}  // namespace spreadsheet::xls::biff
