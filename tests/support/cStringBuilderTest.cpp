#include "support/cStringBuilder.h"
#include "support/RuntimeError.h"

#include <gtest/gtest.h>

#include <QLocale>
#include <QString>

#include <functional>
#include <limits>
#include <ostream>
#include <random>
#include <string>

namespace {

constexpr std::int32_t int32Max = std::numeric_limits<std::int32_t>::max();

// The number of the RuntimeError that `action` raises, or 0 when it raises none.
int errorNumberOf(const std::function<void()> &action)
{
    try {
        action();
    } catch (const RuntimeError &error) {
        return error.number();
    }
    return 0;
}

std::u16string repeated(std::size_t count, char16_t c = u'x')
{
    return std::u16string(count, c);
}

struct GrowthCase {
    std::int32_t chunk;  // 0: the builder's own default
    std::size_t appended;
    std::int32_t capacity;
};

void PrintTo(const GrowthCase &c, std::ostream *os)
{
    *os << "chunk " << c.chunk << ", append " << c.appended;
}

class cStringBuilderGrowth : public testing::TestWithParam<GrowthCase> {};

TEST_P(cStringBuilderGrowth, append_grows_by_whole_chunks_in_one_step)
{
    const GrowthCase c = GetParam();
    cStringBuilder sb;
    if (c.chunk > 0)
        sb.setChunkSize(c.chunk);
    sb.Append(repeated(c.appended));
    EXPECT_EQ(sb.Capacity(), c.capacity);
    EXPECT_EQ(sb.Length(), std::int32_t(c.appended));
    EXPECT_EQ(sb.toString(), repeated(c.appended));
}

INSTANTIATE_TEST_SUITE_P(Capacities, cStringBuilderGrowth,
                         testing::Values(GrowthCase{0, 0, 0}, GrowthCase{0, 3, 8192},
                                         GrowthCase{0, 8192, 8192}, GrowthCase{0, 8193, 16384},
                                         GrowthCase{0, 10000, 16384}, GrowthCase{4, 10, 12},
                                         GrowthCase{1, 7, 7}));

TEST(cStringBuilder, growth_adds_to_the_current_capacity_not_to_the_length)
{
    cStringBuilder sb;
    sb.setChunkSize(4);
    sb.Append(u"abcde");  // capacity 8
    sb.setChunkSize(10);
    sb.Append(u"fghi");  // 9 needed: 8 + 10
    EXPECT_EQ(sb.Capacity(), 18);
    EXPECT_EQ(sb.toString(), u"abcdefghi");
}

TEST(cStringBuilder, insert_moves_the_tail_and_grows_by_as_many_chunks_as_needed)
{
    cStringBuilder sb;
    sb.setChunkSize(4);
    sb.Append(u"abcdef");  // capacity 8, 2 free
    sb.Insert(2, u"0123456789X");  // 17 needed: 8 + 3 chunks
    EXPECT_EQ(sb.Capacity(), 20);
    EXPECT_EQ(sb.toString(), u"ab0123456789Xcdef");
    sb.Insert(0, u"<");
    EXPECT_EQ(sb.toString(), u"<ab0123456789Xcdef");
}

struct BadEdit {
    bool insert;  // Insert(index, "zz"), or Remove(index, length)
    std::int32_t index;
    std::int32_t length;
    int error;
};

void PrintTo(const BadEdit &c, std::ostream *os)
{
    *os << (c.insert ? "Insert(" : "Remove(") << c.index << ", " << c.length << ")";
}

class cStringBuilderBadEdit : public testing::TestWithParam<BadEdit> {};

TEST_P(cStringBuilderBadEdit, raises_and_changes_nothing)
{
    const BadEdit &c = GetParam();
    cStringBuilder sb;
    sb.Append(u"abc");
    EXPECT_EQ(errorNumberOf([&] { c.insert ? sb.Insert(c.index, u"zz") : sb.Remove(c.index, c.length); }), c.error);
    EXPECT_EQ(sb.toString(), u"abc");
    EXPECT_EQ(sb.Capacity(), 8192);
}

INSTANTIATE_TEST_SUITE_P(Ranges, cStringBuilderBadEdit,
                         testing::Values(BadEdit{true, 4, 0, 9},               // past the end
                                         BadEdit{true, int32Max, 0, 9},        // far past the end
                                         BadEdit{true, -int32Max - 1, 0, 9},   // far before the start
                                         BadEdit{false, 1, 3, 9},              // runs one past the end
                                         BadEdit{false, 4, 0, 9},              // starts past the end
                                         BadEdit{false, -1, 1, 9},             // negative index
                                         BadEdit{false, 0, -1, 9},             // negative length
                                         BadEdit{false, 2, -2, 9},             // would move the content backwards
                                         BadEdit{false, 1, int32Max, 6},       // the end does not fit 32 bits
                                         BadEdit{false, 0, int32Max, 9}));     // fits but is too long

TEST(cStringBuilder, remove_keeps_the_capacity_and_heap_minimize_gives_back_surplus_chunks)
{
    cStringBuilder sb;
    sb.Append(repeated(10000));  // capacity 16384
    sb.Remove(100, 9900);
    EXPECT_EQ(sb.Capacity(), 16384);
    sb.HeapMinimize();
    EXPECT_EQ(sb.Capacity(), 8192);
    EXPECT_EQ(sb.toString(), repeated(100));
    sb.Remove(0, 100);  // exactly one chunk free: nothing to give back
    sb.HeapMinimize();
    EXPECT_EQ(sb.Capacity(), 8192);
}

TEST(cStringBuilder, heap_minimize_trims_by_the_current_chunk_and_keeps_some_slack)
{
    cStringBuilder sb;
    sb.setChunkSize(4);
    sb.Append(u"0123456789abcdefghijklmnopqrstuvwxyz");  // 36 characters, capacity 36
    sb.Remove(10, 26);
    sb.setChunkSize(3);
    sb.HeapMinimize();  // 26 free: 8 chunks of 3 go, 2 stay
    EXPECT_EQ(sb.Capacity(), 12);
    EXPECT_EQ(sb.toString(), u"0123456789");
    sb.Append(u"ab");  // fills the buffer exactly
    EXPECT_EQ(sb.Capacity(), 12);
    EXPECT_EQ(sb.toString(), u"0123456789ab");
}

TEST(cStringBuilder, the_string_and_clear_replace_the_content_and_free_the_buffer_only_when_empty)
{
    cStringBuilder sb;
    sb.Append(repeated(9000));
    sb.TheString(u"abc");
    EXPECT_EQ(sb.toString(), u"abc");
    EXPECT_EQ(sb.Capacity(), 16384);
    sb.TheString(u"");
    EXPECT_EQ(sb.Length(), 0);
    EXPECT_EQ(sb.Capacity(), 0);

    cStringBuilder small;
    small.setChunkSize(4);
    small.TheString(u"0123456789");
    EXPECT_EQ(small.Capacity(), 12);
    small.Clear();  // frees the buffer, keeps the chunk size
    EXPECT_EQ(small.Capacity(), 0);
    small.Append(u"d");
    EXPECT_EQ(small.Capacity(), 4);
    EXPECT_EQ(small.toString(), u"d");
}

struct ChunkCase {
    std::int32_t chunk;
    int error;
};

void PrintTo(const ChunkCase &c, std::ostream *os)
{
    *os << "ChunkSize " << c.chunk;
}

class cStringBuilderChunk : public testing::TestWithParam<ChunkCase> {};

TEST_P(cStringBuilderChunk, is_stored_only_when_accepted)
{
    cStringBuilder sb;
    sb.setChunkSize(16);
    EXPECT_EQ(errorNumberOf([&] { sb.setChunkSize(GetParam().chunk); }), GetParam().error);
    EXPECT_EQ(sb.ChunkSize(), GetParam().error ? 16 : GetParam().chunk);
}

INSTANTIATE_TEST_SUITE_P(Sizes, cStringBuilderChunk,
                         testing::Values(ChunkCase{0, 5}, ChunkCase{-1, 5}, ChunkCase{-(1 << 30), 5},
                                         ChunkCase{1 << 30, 6}, ChunkCase{int32Max, 6},
                                         ChunkCase{-(1 << 30) - 1, 6}, ChunkCase{(1 << 30) - 1, 0}));

// A builder with 1 character in a 8192-character buffer and a chunk so large
// that any growth overflows 32 bits before memory is touched.
cStringBuilder builderThatCannotGrow()
{
    cStringBuilder sb;
    sb.Append(u"a");
    sb.setChunkSize((1 << 30) - 1);
    return sb;
}

TEST(cStringBuilder, growth_beyond_32_bits_raises_6_and_stores_nothing)
{
    const std::u16string tooLong = repeated(8192);
    const std::vector<std::function<void(cStringBuilder &)>> growths = {
        [&](cStringBuilder &sb) { sb.Append(tooLong); },
        [&](cStringBuilder &sb) { sb.AppendByVal(tooLong); },
        [&](cStringBuilder &sb) { sb.Insert(0, tooLong); },
        [&](cStringBuilder &sb) { sb.TheString(repeated(8193)); },
    };
    for (const auto &grow : growths) {
        cStringBuilder sb = builderThatCannotGrow();
        EXPECT_EQ(errorNumberOf([&] { grow(sb); }), 6);
        EXPECT_EQ(sb.toString(), u"a");
        EXPECT_EQ(sb.Capacity(), 8192);
    }
}

TEST(cStringBuilder, append_nl_keeps_the_first_append_when_the_line_break_overflows)
{
    cStringBuilder sb = builderThatCannotGrow();
    const std::u16string fill = repeated(8190);  // fills the buffer to the last character
    EXPECT_EQ(errorNumberOf([&] { sb.AppendNL(fill); }), 6);
    EXPECT_EQ(sb.Length(), 8191);
    EXPECT_EQ(sb.Capacity(), 8192);
}

struct FindCase {
    const char16_t *content;
    const char16_t *needle;
    std::int32_t start;
    cStringBuilder::CompareMethod compare;
    std::int32_t expected;
};

void PrintTo(const FindCase &c, std::ostream *os)
{
    *os << "Find \"" << QString::fromStdU16String(c.needle).toStdString() << "\" in \""
        << QString::fromStdU16String(c.content).toStdString() << "\" from " << c.start << " mode " << c.compare;
}

class cStringBuilderFind : public testing::TestWithParam<FindCase> {};

TEST_P(cStringBuilderFind, returns_the_position_inside_the_content)
{
    const FindCase c = GetParam();
    cStringBuilder sb;
    sb.Append(c.content);
    EXPECT_EQ(sb.Find(c.needle, c.start, c.compare), c.expected);
}

constexpr auto text = cStringBuilder::TextCompare;
constexpr auto binary = cStringBuilder::BinaryCompare;

INSTANTIATE_TEST_SUITE_P(Cases, cStringBuilderFind,
                         testing::Values(FindCase{u"abc", u"B", 1, text, 2}, FindCase{u"abc", u"B", 1, binary, 0},
                                         FindCase{u"abc", u"b", 1, binary, 2}, FindCase{u"abc", u"b", 3, text, 0},
                                         FindCase{u"abc", u"b", -7, text, 2},
                                         FindCase{u"abc", u"c", 3, text, 3}, FindCase{u"abc", u"c", 4, text, 0},
                                         FindCase{u"abcabc", u"BC", 3, text, 5},
                                         FindCase{u"abc", u"c ", 1, text, 0},   // would run into the slack
                                         FindCase{u"abc", u"abcd", 1, text, 0}, FindCase{u"abc", u"", 2, text, 2},
                                         FindCase{u"abc", u"", 4, text, 0}, FindCase{u"", u"", 1, text, 0},
                                         FindCase{u"ÇAĞRI ÖĞÜŞ", u"çağrı öğüş", 1, binary, 0}));

TEST(cStringBuilder, find_ignores_what_a_removal_left_in_the_slack)
{
    cStringBuilder sb;
    sb.Append(u"abcdef");
    sb.Remove(3, 3);  // the slack still holds "def"
    EXPECT_EQ(sb.Find(u"bcd", 1, binary), 0);
    EXPECT_EQ(sb.Find(u"d", 1, binary), 0);
    EXPECT_EQ(sb.Find(u"bc", 1, binary), 2);
}

struct LocaleFindCase {
    QLocale::Language language;
    const char16_t *content;
    const char16_t *needle;
    std::int32_t expected;
};

void PrintTo(const LocaleFindCase &c, std::ostream *os)
{
    *os << QLocale::languageToCode(c.language).toStdString() << ": "
        << QString::fromStdU16String(c.needle).toStdString();
}

// Runs with a default locale of its own and puts the previous one back.
class cStringBuilderLocaleFind : public testing::TestWithParam<LocaleFindCase> {
protected:
    void TearDown() override { QLocale::setDefault(saved); }
    QLocale saved;
};

TEST_P(cStringBuilderLocaleFind, ignores_case_by_the_default_locale)
{
    const LocaleFindCase &c = GetParam();
    QLocale::setDefault(QLocale(c.language));
    cStringBuilder sb;
    sb.Append(c.content);
    EXPECT_EQ(sb.Find(c.needle), c.expected);
}

constexpr auto turkish = QLocale::Turkish;
constexpr auto english = QLocale::English;

INSTANTIATE_TEST_SUITE_P(
    TurkishAndEnglish, cStringBuilderLocaleFind,
    testing::Values(LocaleFindCase{turkish, u"KIZ İstanbul ıslak", u"kız", 1},
                    LocaleFindCase{turkish, u"KIZ İstanbul ıslak", u"kiz", 0},
                    LocaleFindCase{turkish, u"KIZ İstanbul ıslak", u"istanbul", 5},
                    LocaleFindCase{turkish, u"KIZ İstanbul ıslak", u"ISLAK", 14},
                    LocaleFindCase{turkish, u"KIZ İstanbul ıslak", u"islak", 0},
                    LocaleFindCase{english, u"KIZ İstanbul", u"kiz", 1},
                    LocaleFindCase{english, u"KIZ İstanbul", u"kız", 0},
                    LocaleFindCase{english, u"KIZ İstanbul", u"İSTANBUL", 5},
                    LocaleFindCase{turkish, u"ÇAĞRI Ω \U00010400x", u"çağrı", 1},
                    LocaleFindCase{turkish, u"ÇAĞRI Ω \U00010400x", u"ω", 7},
                    // Deseret capital long I matched by its small letter.
                    LocaleFindCase{turkish, u"ÇAĞRI Ω \U00010400x", u"\U00010428X", 9}));

// Drives a builder and a plain std::u16string through the same random
// operations (errors included) and compares them after every step.
TEST(cStringBuilder, matches_a_plain_string_over_random_operations)
{
    std::mt19937 random(20240611u);
    const std::u16string alphabet = u"abAB \r\nıİ";
    const auto pick = [&](std::int32_t low, std::int32_t high) {
        return std::uniform_int_distribution<std::int32_t>(low, high)(random);
    };
    const auto randomText = [&](std::int32_t maxLength) {
        std::u16string s(std::size_t(pick(0, maxLength)), u' ');
        for (char16_t &c : s)
            c = alphabet[std::size_t(pick(0, std::int32_t(alphabet.size()) - 1))];
        return s;
    };

    cStringBuilder sb;
    std::u16string model;
    for (int step = 0; step < 20000; ++step) {
        const std::int32_t length = std::int32_t(model.size());
        switch (pick(0, 9)) {
        case 0:
        case 1: {
            const std::u16string s = randomText(40);
            if (pick(0, 1) == 1)
                sb.AppendByVal(s);
            else
                sb.Append(s);
            model += s;
            break;
        }
        case 2: {
            const std::u16string s = randomText(5);
            sb.AppendNL(s);
            model += s + u"\r\n";
            break;
        }
        case 3: {
            const std::int32_t index = pick(-2, length + 2);
            const std::u16string s = randomText(30);
            const bool byValue = pick(0, 1) == 1;
            const int error = errorNumberOf([&] { byValue ? sb.InsertByVal(index, s) : sb.Insert(index, s); });
            if (index < 0 || index > length)
                ASSERT_EQ(error, 9);
            else
                model.insert(std::size_t(index), s);
            break;
        }
        case 4: {
            const std::int32_t index = pick(-2, length + 2);
            const std::int32_t count = pick(-2, 60);
            const int error = errorNumberOf([&] { sb.Remove(index, count); });
            if (index < 0 || count < 0 || index + count > length)
                ASSERT_EQ(error, 9);
            else
                model.erase(std::size_t(index), std::size_t(count));
            break;
        }
        case 5: {
            const std::int32_t before = sb.Capacity();
            sb.HeapMinimize();
            const std::int32_t slack = sb.Capacity() - sb.Length();
            if (before - length > sb.ChunkSize())
                ASSERT_TRUE(slack > 0 && slack <= sb.ChunkSize());
            else
                ASSERT_EQ(sb.Capacity(), before);
            break;
        }
        case 6:
            sb.setChunkSize(pick(1, 64));
            break;
        case 7:
            if (pick(0, 20) == 0) {
                model = randomText(100);
                sb.TheString(model);
            }
            break;
        case 8: {
            const std::size_t at = std::size_t(pick(0, length));
            const std::u16string needle = model.substr(at, std::size_t(pick(0, 4)));
            const std::int32_t start = pick(-1, length + 1);
            const std::size_t found = model.find(needle, std::size_t(std::max(start, 1) - 1));
            const std::int32_t expected =
                found == std::u16string::npos || std::int32_t(found) >= length ? 0 : std::int32_t(found) + 1;
            ASSERT_EQ(sb.Find(needle, start, binary), expected) << "step " << step;
            break;
        }
        default:
            if (pick(0, 50) == 0) {
                sb.Clear();
                model.clear();
            }
            break;
        }
        ASSERT_EQ(sb.toString(), model) << "step " << step;
        ASSERT_EQ(sb.Length(), std::int32_t(model.size()));
        ASSERT_GE(sb.Capacity(), sb.Length());
    }
}

}  // namespace
