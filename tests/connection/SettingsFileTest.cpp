#include <gtest/gtest.h>

#include "tests/common/QtPrinters.h"

#include <QFile>
#include <QTemporaryDir>

#include "connection/baglanmodul.h"

namespace {

class SettingsFile : public ::testing::Test {
protected:
    // Writes `content` as the settings file and reads it like start-up does.
    QString read(const QByteArray &content)
    {
        const QString path = dir.filePath(QStringLiteral("MenoraSettings.txt"));
        QFile file(path);
        EXPECT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        file.write(content);
        file.close();
        baglanmodul::ayarmetni = QStringLiteral("left over from before");
        baglanmodul::ayarlarioku(path);
        return baglanmodul::ayarmetni;
    }

    QTemporaryDir dir;
};

const QByteArray declaration = "<?xml version=\"1.0\" encoding=\"utf-8\"?>\n";

TEST_F(SettingsFile, finds_the_element_at_any_depth_after_a_declaration)
{
    EXPECT_EQ(read(declaration + "<Settings><Db><Inner><ConnectionString>Data Source=SRV;Initial Catalog=POS"
                                 "</ConnectionString></Inner></Db></Settings>"),
              QStringLiteral("Data Source=SRV;Initial Catalog=POS"));
}

TEST_F(SettingsFile, position_one_decides_where_the_search_starts)
{
    // Without a declaration the root element is node 0 and nothing is at 1.
    EXPECT_EQ(read("<Settings><ConnectionString>abc</ConnectionString></Settings>"), QString());
    // A comment between declaration and root takes position 1 and has no children.
    EXPECT_EQ(read(declaration + "<!-- POS settings --><Settings><ConnectionString>abc</ConnectionString></Settings>"),
              QString());
}

TEST_F(SettingsFile, the_last_match_in_document_order_wins)
{
    EXPECT_EQ(read(declaration + "<S><ConnectionString>first</ConnectionString>"
                                 "<X><ConnectionString>second</ConnectionString></X></S>"),
              QStringLiteral("second"));
}

TEST_F(SettingsFile, a_nested_match_comes_after_its_parent)
{
    // The outer element matches first, then the inner one overwrites it.
    EXPECT_EQ(read(declaration + "<S><ConnectionString>a<ConnectionString>b</ConnectionString>c"
                                 "</ConnectionString></S>"),
              QStringLiteral("b"));
}

class SettingsFileNotRecognised : public SettingsFile, public ::testing::WithParamInterface<const char *> {};

TEST_P(SettingsFileNotRecognised, keeps_the_earlier_match)
{
    const QByteArray text = declaration + "<S><ConnectionString>kept</ConnectionString>" + GetParam() + "</S>";
    EXPECT_EQ(read(text), QStringLiteral("kept"));
}

INSTANTIATE_TEST_SUITE_P(Variants, SettingsFileNotRecognised,
                         ::testing::Values("<ConnectionString a=\"1\">attr</ConnectionString>",
                                           "<p:ConnectionString xmlns:p=\"urn:x\">prefix</p:ConnectionString>",
                                           "<connectionstring>case</connectionstring>",
                                           "<ConnectionString></ConnectionString>",
                                           "<ConnectionString/>",
                                           "<ConnectionString>   </ConnectionString>"));

TEST_F(SettingsFile, keeps_blanks_line_breaks_and_inner_markup)
{
    EXPECT_EQ(read(declaration + "<S><ConnectionString>\n  Server=x; <!--note--><b>y</b> z\n</ConnectionString></S>"),
              QStringLiteral("\n  Server=x; <!--note--><b>y</b> z\n"));
    // Text made only of blanks between two pieces of markup is layout: the
    // parser drops it.
    EXPECT_EQ(read(declaration + "<S><ConnectionString><b>y</b>\n</ConnectionString></S>"), QStringLiteral("<b>y</b>"));
}

TEST_F(SettingsFile, decodes_character_references_so_passwords_reach_the_server_intact)
{
    EXPECT_EQ(read(declaration + "<S><ConnectionString>Password=a&amp;b&lt;c&#x130;&#231;</ConnectionString></S>"),
              QStringLiteral("Password=a&b<c\u0130\u00e7"));
}

TEST_F(SettingsFile, reads_turkish_text_in_utf16_files)
{
    const QString xml = QStringLiteral("<?xml version=\"1.0\" encoding=\"utf-16\"?><S><ConnectionString>"
                                       "Initial Catalog=Şube Ğ</ConnectionString></S>");
    QByteArray bytes("\xFF\xFE", 2);
    bytes.append(reinterpret_cast<const char *>(xml.utf16()), xml.size() * 2);
    EXPECT_EQ(read(bytes), QStringLiteral("Initial Catalog=Şube Ğ"));
}

TEST_F(SettingsFile, missing_or_broken_files_give_an_empty_text)
{
    EXPECT_EQ(read(declaration + "<S><ConnectionString>abc</ConnectionString>"), QString());  // not closed
    EXPECT_EQ(read(""), QString());
    baglanmodul::ayarmetni = QStringLiteral("x");
    baglanmodul::ayarlarioku(dir.filePath(QStringLiteral("no-such-file.txt")));
    EXPECT_EQ(baglanmodul::ayarmetni, QString());
}

TEST_F(SettingsFile, survives_a_document_nested_100000_levels_deep)
{
    QByteArray text = declaration;
    constexpr int depth = 100000;
    for (int i = 0; i < depth; ++i)
        text += "<n>";
    text += "<ConnectionString>deep</ConnectionString>";
    for (int i = 0; i < depth; ++i)
        text += "</n>";
    EXPECT_EQ(read(text), QStringLiteral("deep"));
}

TEST(SettingsFilePath, is_the_fixed_point_of_sale_location)
{
    EXPECT_TRUE(baglanmodul::settingsFilePath().endsWith(
        QStringLiteral("MenoraPOS-Restaurant/Menorauser/MenoraSettings.txt")))
        << baglanmodul::settingsFilePath().toStdString();
}

}  // namespace
