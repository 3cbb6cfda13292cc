// The built-in code pages, byte by byte against their published tables, so
// that Turkish text reads the same whether or not Qt has ICU's converters.

#include "platform/codepage/SingleByteCodePage.h"

#include <gtest/gtest.h>

#include <map>

namespace {

using codepage::SingleByteCodePage;

constexpr char16_t kUndefined = 0xFFFD;

// Bytes 0x80-0x9F of Windows-1254 as Microsoft publishes them.
const std::map<int, char16_t> kWindows1254Controls = {
    {0x80, u'€'}, {0x81, kUndefined}, {0x82, u'‚'}, {0x83, u'ƒ'}, {0x84, u'„'}, {0x85, u'…'}, {0x86, u'†'},
    {0x87, u'‡'}, {0x88, u'ˆ'}, {0x89, u'‰'}, {0x8A, u'Š'}, {0x8B, u'‹'}, {0x8C, u'Œ'}, {0x8D, kUndefined},
    {0x8E, kUndefined}, {0x8F, kUndefined}, {0x90, kUndefined}, {0x91, u'‘'}, {0x92, u'’'}, {0x93, u'“'},
    {0x94, u'”'}, {0x95, u'•'}, {0x96, u'–'}, {0x97, u'—'}, {0x98, u'˜'}, {0x99, u'™'}, {0x9A, u'š'},
    {0x9B, u'›'}, {0x9C, u'œ'}, {0x9D, kUndefined}, {0x9E, kUndefined}, {0x9F, u'Ÿ'}};

// Where Windows-1254 leaves Latin-1 for the Turkish letters.
const std::map<int, char16_t> kTurkishLetters = {{0xD0, u'Ğ'}, {0xDD, u'İ'}, {0xDE, u'Ş'},
                                                 {0xF0, u'ğ'}, {0xFD, u'ı'}, {0xFE, u'ş'}};

char16_t expectedWindows1254(int byte)
{
    if (byte < 0x80)
        return char16_t(byte);
    if (const auto control = kWindows1254Controls.find(byte); control != kWindows1254Controls.end())
        return control->second;
    if (const auto letter = kTurkishLetters.find(byte); letter != kTurkishLetters.end())
        return letter->second;
    return char16_t(byte);  // Latin-1
}

TEST(SingleByteCodePage, windows_1254_reads_every_byte_as_published)
{
    const SingleByteCodePage &page = SingleByteCodePage::windows1254();
    QByteArray all;
    QString expected;
    for (int byte = 0; byte < 256; ++byte) {
        EXPECT_EQ(page.character(std::uint8_t(byte)), expectedWindows1254(byte)) << std::hex << byte;
        all.append(char(byte));
        expected.append(QChar(expectedWindows1254(byte)));
    }
    bool undefined = false;
    EXPECT_EQ(page.decode(all, &undefined), expected);
    EXPECT_TRUE(undefined);
    EXPECT_EQ(page.decode("\xDE" "eker \xE7" "ay", &undefined), QStringLiteral("Şeker çay"));
    EXPECT_FALSE(undefined);
}

TEST(SingleByteCodePage, windows_1254_writes_back_every_character_it_reads_and_refuses_the_others)
{
    const SingleByteCodePage &page = SingleByteCodePage::windows1254();
    for (int byte = 0; byte < 256; ++byte) {
        const char16_t c = expectedWindows1254(byte);
        if (c != kUndefined) {
            EXPECT_EQ(page.encode(QString(QChar(c))).value_or("?"), QByteArray(1, char(byte))) << std::hex << byte;
        }
    }
    for (const QString &text : {QStringLiteral("Şu ā"), QStringLiteral("ab\U0001F600"), QStringLiteral("Þ"),
                                QString(QChar(kUndefined))}) {
        qsizetype failedAt = -1;
        EXPECT_FALSE(page.encode(text, &failedAt).has_value()) << text.toStdString();
        EXPECT_EQ(failedAt, text.size() - (text.back().isLowSurrogate() ? 2 : 1)) << text.toStdString();
    }
}

TEST(SingleByteCodePage, windows_1252_keeps_the_icelandic_letters)
{
    const SingleByteCodePage &page = SingleByteCodePage::windows1252();
    EXPECT_EQ(page.decode("\xDE\xD0\xFE\x8E\x81"), QStringLiteral("ÞÐþŽ\uFFFD"));
}

TEST(SingleByteCodePage, names_of_windows_1254)
{
    for (const char16_t *name : {u"windows-1254", u"WINDOWS-1254", u"cp1254", u"x-cp1254"})
        EXPECT_TRUE(codepage::namesWindows1254(name)) << QString::fromUtf16(name).toStdString();
    for (const char16_t *name : {u"windows-1252", u"ISO-8859-9", u"1254", u""})
        EXPECT_FALSE(codepage::namesWindows1254(name)) << QString::fromUtf16(name).toStdString();
}

}  // namespace
