#include "support/cStringBuilder.h"

#include "support/RuntimeError.h"

#include <QChar>
#include <QLocale>

#include <algorithm>
#include <cstring>
#include <limits>

namespace {

// `value` as a 32-bit size; raises 6 when it does not fit.
std::int32_t checked32(std::int64_t value)
{
    if (value > std::numeric_limits<std::int32_t>::max() || value < std::numeric_limits<std::int32_t>::min())
        throw RuntimeError::overflow();
    return static_cast<std::int32_t>(value);
}

// Byte length of a text, two per code unit; raises 6 beyond 32 bits.
std::int32_t byteLength(std::u16string_view text)
{
    if (text.size() > std::size_t(std::numeric_limits<std::int32_t>::max()))
        throw RuntimeError::overflow();
    return checked32(std::int64_t(text.size()) * 2);
}

// Turkish and Azerbaijani pair I with dotless ı and dotted İ with i.
bool dottedIRules(const QLocale &locale)
{
    return locale.language() == QLocale::Turkish || locale.language() == QLocale::Azerbaijani;
}

char32_t foldCase(char32_t c, bool dottedI)
{
    if (dottedI && c == U'I')
        return U'\u0131';
    if (dottedI && c == U'\u0130')
        return U'i';
    const char32_t folded = QChar::toCaseFolded(c);
    // Keep positions one to one: a fold that would change the code-unit count
    // leaves the character as it is.
    return QChar::requiresSurrogates(folded) == QChar::requiresSurrogates(c) ? folded : c;
}

// `text` with every character case-folded under the default locale; the
// result has the same length, code unit for code unit.
std::u16string foldedText(std::u16string_view text)
{
    const bool dottedI = dottedIRules(QLocale());
    std::u16string result(text);
    for (std::size_t i = 0; i < result.size(); ++i) {
        const bool pair = i + 1 < result.size() && QChar::isHighSurrogate(result[i])
                          && QChar::isLowSurrogate(result[i + 1]);
        if (!pair) {
            result[i] = char16_t(foldCase(result[i], dottedI));
            continue;
        }
        const char32_t folded = foldCase(QChar::surrogateToUcs4(result[i], result[i + 1]), dottedI);
        result[i] = QChar::highSurrogate(folded);
        result[++i] = QChar::lowSurrogate(folded);
    }
    return result;
}

}  // namespace

std::int32_t cStringBuilder::Length() const
{
    return usedBytes / 2;
}

std::int32_t cStringBuilder::Capacity() const
{
    return capacityBytes / 2;
}

std::int32_t cStringBuilder::ChunkSize() const
{
    return chunkBytes / 2;
}

void cStringBuilder::setChunkSize(std::int32_t iChunkSize)
{
    const std::int32_t bytes = checked32(std::int64_t(iChunkSize) * 2);
    if (bytes <= 0)
        throw RuntimeError::invalidArgument();
    chunkBytes = bytes;
}

std::u16string cStringBuilder::toString() const
{
    if (usedBytes < 1)
        return {};
    return buffer.substr(0, std::size_t(usedBytes / 2));
}

void cStringBuilder::TheString(std::u16string_view sThis)
{
    const std::int32_t bytes = byteLength(sThis);
    if (bytes == 0) {
        Clear();
        return;
    }
    growTo(bytes);
    moveInto(0, sThis.data(), bytes);
    usedBytes = bytes;
}

void cStringBuilder::Clear()
{
    std::u16string().swap(buffer);
    usedBytes = 0;
    capacityBytes = 0;
}

void cStringBuilder::AppendNL(std::u16string_view sThis)
{
    Append(sThis);
    Append(u"\r\n");
}

void cStringBuilder::Append(std::u16string_view sThis)
{
    // Inserting at the end moves no content: exactly an append.
    Insert(Length(), sThis);
}

void cStringBuilder::AppendByVal(std::u16string sThis)
{
    Append(sThis);
}

void cStringBuilder::Insert(std::int32_t iIndex, std::u16string_view sThis)
{
    if (iIndex < 0 || iIndex > Length())
        throw RuntimeError::subscriptOutOfRange();
    const std::int32_t bytes = byteLength(sThis);
    if (bytes == 0)
        return;
    growTo(checked32(std::int64_t(usedBytes) + bytes));
    const std::int32_t offset = iIndex * 2;
    moveInto(offset + bytes, buffer.data() + iIndex, usedBytes - offset);
    moveInto(offset, sThis.data(), bytes);
    usedBytes += bytes;
}

void cStringBuilder::InsertByVal(std::int32_t iIndex, std::u16string sThis)
{
    Insert(iIndex, sThis);
}

void cStringBuilder::Remove(std::int32_t iIndex, std::int32_t lLen)
{
    if (iIndex < 0 || lLen < 0 || iIndex > Length())
        throw RuntimeError::subscriptOutOfRange();
    const std::int32_t end = checked32(std::int64_t(iIndex) + lLen);
    if (end > Length())
        throw RuntimeError::subscriptOutOfRange();
    moveInto(iIndex * 2, buffer.data() + end, usedBytes - end * 2);
    usedBytes -= lLen * 2;
}

std::int32_t cStringBuilder::Find(std::u16string sToFind, std::int32_t lStartIndex, CompareMethod compare) const
{
    const std::size_t from = std::size_t(std::max(lStartIndex, 1) - 1);
    const std::u16string_view content(buffer.data(), std::size_t(Length()));
    if (from >= content.size())
        return 0;
    std::size_t found = std::u16string_view::npos;
    if (compare == BinaryCompare)
        found = content.find(sToFind, from);
    else
        found = foldedText(content).find(foldedText(sToFind), from);
    return found == std::u16string_view::npos ? 0 : std::int32_t(found + 1);
}

void cStringBuilder::HeapMinimize()
{
    const std::int32_t freeBytes = capacityBytes - usedBytes;
    if (freeBytes <= chunkBytes)
        return;
    // As many whole chunks as leave the slack above 0 and at most one chunk.
    const std::int32_t surplusChunks = (freeBytes - 1) / chunkBytes;
    const std::int32_t newCapacity = capacityBytes - surplusChunks * chunkBytes;
    buffer = buffer.substr(0, std::size_t(newCapacity / 2));
    capacityBytes = newCapacity;
}

void cStringBuilder::growTo(std::int32_t needBytes)
{
    if (needBytes <= capacityBytes)
        return;
    const std::int64_t chunks = (std::int64_t(needBytes) - capacityBytes + chunkBytes - 1) / chunkBytes;
    const std::int32_t newCapacity = checked32(capacityBytes + chunks * chunkBytes);
    buffer.append(std::size_t(newCapacity - capacityBytes) / 2, u' ');
    capacityBytes = newCapacity;
}

void cStringBuilder::moveInto(std::int32_t offsetBytes, const char16_t *source, std::int32_t bytes)
{
    std::memmove(buffer.data() + offsetBytes / 2, source, std::size_t(bytes));
}
