#include "spreadsheet/xls/BiffRecords.h"

#include "spreadsheet/xls/CodePage.h"

#include <QtEndian>

#include <algorithm>

namespace xls::biff {

bool RecordReader::next(Record &record)
{
    truncated_ = false;
    if (offset_ >= stream_.size())
        return false;
    const std::size_t length = u16At(stream_, offset_ + 2);
    if (!fits(stream_, offset_, 4 + length)) {
        truncated_ = true;
        return false;
    }
    record.id = u16At(stream_, offset_);
    record.data = stream_.subspan(offset_ + 4, length);
    offset_ += 4 + length;
    return true;
}

std::optional<std::uint16_t> RecordReader::peekId() const
{
    if (!fits(stream_, offset_, 4) || !fits(stream_, offset_, 4 + std::size_t(u16At(stream_, offset_ + 2))))
        return std::nullopt;
    return u16At(stream_, offset_);
}

std::vector<Bytes> withContinues(RecordReader &reader, const Record &first)
{
    std::vector<Bytes> fragments{first.data};
    Record more;
    while (reader.peekId() == Continue && reader.next(more))
        fragments.push_back(more.data);
    return fragments;
}

bool FragmentCursor::nextFragmentIfDone()
{
    while (index_ < fragments_.size() && pos_ == fragments_[index_].size()) {
        ++index_;
        pos_ = 0;
    }
    return index_ < fragments_.size();
}

FragmentCursor::FragmentCursor(std::vector<Bytes> fragments) : fragments_(std::move(fragments))
{
    for (Bytes fragment : fragments_)
        remaining_ += fragment.size();
}

void FragmentCursor::advance(std::size_t count)
{
    pos_ += count;
    remaining_ -= count;
}

bool FragmentCursor::u8(std::uint8_t &value)
{
    if (!nextFragmentIfDone())
        return false;
    value = fragments_[index_][pos_];
    advance(1);
    return true;
}

bool FragmentCursor::u16(std::uint16_t &value)
{
    std::uint8_t low, high;
    if (remaining() < 2 || !u8(low) || !u8(high))
        return false;
    value = std::uint16_t(low | high << 8);
    return true;
}

bool FragmentCursor::u32(std::uint32_t &value)
{
    std::uint16_t low, high;
    if (remaining() < 4 || !u16(low) || !u16(high))
        return false;
    value = std::uint32_t(low) | std::uint32_t(high) << 16;
    return true;
}

bool FragmentCursor::skip(std::size_t count)
{
    if (remaining() < count)
        return false;
    while (count > 0) {
        nextFragmentIfDone();
        const std::size_t step = std::min(count, fragments_[index_].size() - pos_);
        advance(step);
        count -= step;
    }
    return true;
}

bool FragmentCursor::bytes(std::size_t count, std::string &out)
{
    if (remaining() < count)
        return false;
    while (count > 0) {
        nextFragmentIfDone();
        const std::size_t step = std::min(count, fragments_[index_].size() - pos_);
        const auto *begin = reinterpret_cast<const char *>(fragments_[index_].data() + pos_);
        out.append(begin, step);
        advance(step);
        count -= step;
    }
    return true;
}

bool FragmentCursor::chars(std::size_t count, bool wide, QString &out)
{
    out.reserve(out.size() + qsizetype(std::min(count, remaining())));
    while (count > 0) {
        if (index_ >= fragments_.size())
            return false;
        if (pos_ == fragments_[index_].size()) {
            if (++index_ >= fragments_.size() || fragments_[index_].empty())
                return false;
            pos_ = 0;
            wide = fragments_[index_][0] & 0x01;
            advance(1);
        }
        const Bytes rest = fragments_[index_].subspan(pos_);
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
        advance(wide ? 2 * take : take);
        count -= take;
    }
    return true;
}

bool readString(FragmentCursor &cursor, int lengthBytes, const TextFormat &format, QString &out)
{
    out.clear();
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

}  // namespace xls::biff
