#pragma once
// A text buffer of UTF-16 code units that grows in whole chunks, so that a
// long text built by many appends, inserts and removals is not copied on
// every step. The content sits at the start of the buffer; the rest is slack.
// Sizes are kept in bytes (two per code unit) and reported in characters.
// Every size computation is checked: a result beyond 32 bits raises error 6
// and nothing is stored.

#include <cstdint>
#include <string>
#include <string_view>

class cStringBuilder {
public:
    // How Find compares: code unit for code unit, or ignoring letter case
    // under the user's locale.
    enum CompareMethod : int { BinaryCompare = 0, TextCompare = 1 };

    // Characters of content; 0 for a new or cleared builder.
    std::int32_t Length() const;
    // Characters of buffer, content and slack; 0 until the first growth.
    std::int32_t Capacity() const;
    // Growth step in characters; 8192 unless changed.
    std::int32_t ChunkSize() const;
    // Sets the growth step, taking effect at the next growth or trim. Raises 6
    // when twice the value does not fit 32 bits and 5 when it is 0 or less;
    // the old step stays then.
    void setChunkSize(std::int32_t iChunkSize);
    // A copy of the content; empty when there is none.
    std::u16string toString() const;
    // Replaces the content with `sThis`, growing one chunk at a time until it
    // fits; a shorter text keeps the larger buffer, an empty one frees it.
    void TheString(std::u16string_view sThis);

    // Frees the buffer; the chunk size stays.
    void Clear();
    // Appends `sThis` and then CR LF. When the second append fails the first
    // has already taken effect.
    void AppendNL(std::u16string_view sThis);
    // Appends `sThis`, growing by as many whole chunks as needed in one step.
    // Raises 6 when the new length or capacity would not fit 32 bits.
    void Append(std::u16string_view sThis);
    // Append on a copy of the argument.
    void AppendByVal(std::u16string sThis);
    // Inserts `sThis` before the 0-based character `iIndex`; `iIndex` equal to
    // Length appends. Raises 9 when `iIndex` is negative or past Length, and 6
    // as Append does; nothing changes then.
    void Insert(std::int32_t iIndex, std::u16string_view sThis);
    // Insert with a copy of the text.
    void InsertByVal(std::int32_t iIndex, std::u16string sThis);
    // Removes `lLen` characters from the 0-based `iIndex`; the capacity stays.
    // Raises 9 when either is negative or the range runs past Length, 6 when
    // their sum does not fit 32 bits; nothing changes then.
    void Remove(std::int32_t iIndex, std::int32_t lLen);
    // 1-based position of the first occurrence of `sToFind` that starts at or
    // after `lStartIndex` (0 or less counts as 1) and lies wholly inside the
    // content; 0 when there is none. An empty `sToFind` is found at the start
    // when the start is inside the content.
    std::int32_t Find(std::u16string sToFind, std::int32_t lStartIndex = 1,
                      CompareMethod compare = TextCompare) const;
    // Gives back whole chunks until the slack is more than 0 and at most one
    // chunk; does nothing when the slack is already one chunk or less.
    void HeapMinimize();

private:
    // Grows the buffer by whole chunks, in one step, until it holds
    // `needBytes`; raises 6 when the new capacity would not fit 32 bits.
    void growTo(std::int32_t needBytes);
    // Copies `bytes` bytes from `source` to byte offset `offsetBytes` of the
    // buffer with an overlap-safe move.
    void moveInto(std::int32_t offsetBytes, const char16_t *source, std::int32_t bytes);

    std::u16string buffer;
    std::int32_t chunkBytes = 16384;
    std::int32_t usedBytes = 0;
    std::int32_t capacityBytes = 0;
};
