#include <gtest/gtest.h>

#include "tests/common/QtPrinters.h"

#include <QFile>
#include <QTemporaryDir>

#include <ostream>

#include "connection/baglanmodul.h"

namespace {

const QByteArray declaration = "<?xml version=\"1.0\" encoding=\"utf-8\"?>\n";

QByteArray utf16WithByteOrderMark(const QString &xml)
{
    QByteArray bytes("\xFF\xFE", 2);
    bytes.append(reinterpret_cast<const char *>(xml.utf16()), xml.size() * 2);
    return bytes;
}

// The element under `depth` nested elements.
QByteArray nested(int depth, const QByteArray &element)
{
    return declaration + QByteArray("<n>").repeated(depth) + element + QByteArray("</n>").repeated(depth);
}

struct SettingsCase {
    const char *name;
    QByteArray content;
    QString expected;
};

void PrintTo(const SettingsCase &c, std::ostream *os)
{
    *os << c.name;
}

// A recognised element, then `element`, which must not be recognised.
SettingsCase notRecognised(const char *name, const char *element)
{
    return {name, declaration + "<S><ConnectionString>kept</ConnectionString>" + element + "</S>", "kept"};
}

class SettingsFile : public ::testing::TestWithParam<SettingsCase> {};

TEST_P(SettingsFile, yields_the_connection_text_start_up_reads)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("MenoraSettings.txt"));
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(GetParam().content);
    file.close();
    baglanmodul::ayarmetni = QStringLiteral("left over from before");
    baglanmodul::ayarlarioku(path);
    EXPECT_EQ(baglanmodul::ayarmetni, GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, SettingsFile,
    ::testing::Values(
        SettingsCase{"any_depth_after_a_declaration",
                     declaration + "<Settings><Db><Inner><ConnectionString>Data Source=SRV;Initial Catalog=POS"
                                   "</ConnectionString></Inner></Db></Settings>",
                     "Data Source=SRV;Initial Catalog=POS"},
        // Without a declaration the root element is node 0 and nothing is at 1.
        SettingsCase{"no_declaration", "<Settings><ConnectionString>abc</ConnectionString></Settings>", ""},
        // A comment between declaration and root takes position 1 and has no children.
        SettingsCase{"comment_first",
                     declaration + "<!-- POS --><Settings><ConnectionString>abc</ConnectionString></Settings>", ""},
        SettingsCase{"last_match_wins",
                     declaration + "<S><ConnectionString>first</ConnectionString>"
                                   "<X><ConnectionString>second</ConnectionString></X></S>",
                     "second"},
        SettingsCase{"nested_match_comes_after_its_parent",
                     declaration + "<S><ConnectionString>a<ConnectionString>b</ConnectionString>c"
                                   "</ConnectionString></S>",
                     "b"},
        notRecognised("attribute", "<ConnectionString a=\"1\">attr</ConnectionString>"),
        notRecognised("prefix", "<p:ConnectionString xmlns:p=\"urn:x\">prefix</p:ConnectionString>"),
        notRecognised("case", "<connectionstring>case</connectionstring>"),
        notRecognised("empty", "<ConnectionString></ConnectionString>"),
        notRecognised("self_closing", "<ConnectionString/>"),
        notRecognised("blanks_only", "<ConnectionString>   </ConnectionString>"),
        SettingsCase{"blanks_breaks_and_inner_markup_kept",
                     declaration + "<S><ConnectionString>\n  Server=x; <!--note--><b>y</b> z\n</ConnectionString></S>",
                     "\n  Server=x; <!--note--><b>y</b> z\n"},
        // Blanks only between two pieces of markup are layout: the parser drops them.
        SettingsCase{"layout_blanks_dropped", declaration + "<S><ConnectionString><b>y</b>\n</ConnectionString></S>",
                     "<b>y</b>"},
        // So that a password holding "&" reaches the server intact.
        SettingsCase{"references_decoded",
                     declaration + "<S><ConnectionString>Password=a&amp;b&lt;c&#x130;&#231;</ConnectionString></S>",
                     "Password=a&b<c\u0130\u00e7"},
        SettingsCase{"utf16_turkish",
                     utf16WithByteOrderMark("<?xml version=\"1.0\" encoding=\"utf-16\"?><S><ConnectionString>"
                                            "Initial Catalog=Şube Ğ</ConnectionString></S>"),
                     "Initial Catalog=Şube Ğ"},
        SettingsCase{"not_closed", declaration + "<S><ConnectionString>abc</ConnectionString>", ""},
        SettingsCase{"empty_file", "", ""},
        SettingsCase{"nested_100000_levels_deep", nested(100000, "<ConnectionString>deep</ConnectionString>"),
                     "deep"}),
    [](const auto &info) { return std::string(info.param.name); });

TEST(SettingsFilePath, is_the_fixed_point_of_sale_location_and_a_missing_file_gives_an_empty_text)
{
    EXPECT_TRUE(baglanmodul::settingsFilePath().endsWith(
        QStringLiteral("MenoraPOS-Restaurant/Menorauser/MenoraSettings.txt")))
        << baglanmodul::settingsFilePath().toStdString();

    QTemporaryDir dir;
    baglanmodul::ayarmetni = QStringLiteral("x");
    baglanmodul::ayarlarioku(dir.filePath(QStringLiteral("no-such-file.txt")));
    EXPECT_EQ(baglanmodul::ayarmetni, QString());
}

}  // namespace
