#include <gtest/gtest.h>

#include "tests/common/QtPrinters.h"

#include <QFile>
#include <QTemporaryDir>

#include <ostream>

#include "connection/baglanmodul.h"
#include "tests/common/TextBytes.h"
#include "tests/common/NamedCases.h"

namespace {

const QByteArray declaration = "<?xml version=\"1.0\" encoding=\"utf-8\"?>\n";

// A settings file declaring `encoding` whose connection text has the given bytes.
QByteArray declaring(const char *encoding, const QByteArray &text)
{
    return QByteArray("<?xml version=\"1.0\" encoding=\"") + encoding + "\"?><S><ConnectionString>" + text
           + "</ConnectionString></S>";
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
    xml::LoadResult::Status status = xml::LoadResult::Loaded;
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

TEST_P(SettingsFile, yields_the_connection_text_start_up_reads_from_the_file_or_its_bytes)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("MenoraSettings.txt"));
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(GetParam().content);
    file.close();
    baglanmodul::ayarmetni = QStringLiteral("left over from before");
    EXPECT_EQ(baglanmodul::ayarlarioku(path).status, GetParam().status);
    EXPECT_EQ(baglanmodul::ayarmetni, GetParam().expected);

    baglanmodul::ayarmetni = QStringLiteral("left over from before");
    EXPECT_EQ(baglanmodul::ayarlaricoz(GetParam().content).status, GetParam().status);
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
                     utf16WithByteOrderMark(QString::fromUtf8(declaring("utf-16", "Initial Catalog=Şube Ğ"))),
                     "Initial Catalog=Şube Ğ"},
        SettingsCase{"utf16_big_endian",
                     utf16WithByteOrderMark(QString::fromUtf8(declaring("utf-16", "Initial Catalog=Şube Ğ")), true),
                     "Initial Catalog=Şube Ğ"},
        SettingsCase{"utf8_byte_order_mark", "\xEF\xBB\xBF" + declaring("utf-8", "Initial Catalog=Şube Ğ"),
                     "Initial Catalog=Şube Ğ"},
        // The Turkish code pages: the password must reach the server as typed.
        // € is 0x80 in windows-1254 only; 0xDE is Þ in windows-1252.
        SettingsCase{"windows_1254", declaring("windows-1254", "Password=\xDE" "ifre\xD0\xDD\xFD\x80"),
                     "Password=ŞifreĞİı€"},
        SettingsCase{"cp1254_lower_case", declaring("cp1254", "Password=\xFE\xF0"), "Password=şğ"},
        SettingsCase{"byte_windows_1254_leaves_undefined", declaring("windows-1254", "Password=\x81"), "",
                     xml::LoadResult::InvalidBytes},
        SettingsCase{"iso_8859_9", declaring("ISO-8859-9", "Password=\xDE" "ifre\xD0\xDD\xFD\xFE"),
                     "Password=ŞifreĞİış"},
        SettingsCase{"windows_1252", declaring("windows-1252", "Password=\xDE" "ifre"), "Password=Þifre"},
        SettingsCase{"encoding_qt_cannot_convert", declaring("x-no-such-encoding", "abc"), "",
                     xml::LoadResult::UnknownEncoding},
        SettingsCase{"bytes_invalid_in_the_encoding", declaring("US-ASCII", "Password=\xDE" "ifre"), "",
                     xml::LoadResult::InvalidBytes},
        SettingsCase{"not_closed", declaration + "<S><ConnectionString>abc</ConnectionString>", "",
                     xml::LoadResult::Malformed},
        SettingsCase{"empty_file", "", "", xml::LoadResult::Malformed},
        SettingsCase{"nested_100000_levels_deep", nested(100000, "<ConnectionString>deep</ConnectionString>"),
                     "deep"}),
    ByName());

TEST(SettingsFile, only_an_encoding_that_cannot_be_converted_stops_start_up)
{
    const struct {
        xml::LoadResult::Status status;
        bool stops;
    } cases[] = {{xml::LoadResult::Loaded, false},         {xml::LoadResult::Unreadable, false},
                 {xml::LoadResult::Malformed, false},      {xml::LoadResult::UnknownEncoding, true},
                 {xml::LoadResult::InvalidBytes, true}};
    for (const auto &c : cases) {
        const xml::LoadResult loaded =
            c.status == xml::LoadResult::Loaded ? xml::LoadResult() : xml::LoadResult(c.status, QStringLiteral("x"));
        const QString refusal = baglanmodul::encodingRefusal(loaded, QStringLiteral("/a/b/ayar.txt")).reason();
        EXPECT_EQ(!refusal.isEmpty(), c.stops) << int(c.status);
        if (c.stops) {
            EXPECT_TRUE(refusal.contains(QStringLiteral("ayar.txt"))) << refusal.toStdString();
            EXPECT_TRUE(refusal.contains(QStringLiteral("karakter kodlama"))) << refusal.toStdString();
        }
    }
}

TEST(SettingsFilePath, is_the_fixed_point_of_sale_location_and_a_missing_file_gives_an_empty_text)
{
    EXPECT_TRUE(baglanmodul::settingsFilePath().endsWith(
        QStringLiteral("MenoraPOS-Restaurant/Menorauser/MenoraSettings.txt")))
        << baglanmodul::settingsFilePath().toStdString();

    QTemporaryDir dir;
    baglanmodul::ayarmetni = QStringLiteral("x");
    EXPECT_EQ(baglanmodul::ayarlarioku(dir.filePath(QStringLiteral("no-such-file.txt"))).status,
              xml::LoadResult::Unreadable);
    EXPECT_EQ(baglanmodul::ayarmetni, QString());
}

}  // namespace
