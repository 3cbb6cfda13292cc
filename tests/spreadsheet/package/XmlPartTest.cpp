// The XML scanner under the package readers, node by node: what a part must
// read as, what it must be refused for, and markup that straddles the
// scanner's buffer.

#include "spreadsheet/package/PackageReader.h"
#include "spreadsheet/package/XmlPart.h"
#include "ZipBuilder.h"

#include "tests/common/StoredRows.h"

#include <gtest/gtest.h>

#include <QRandomGenerator>

#include <functional>
#include <QStringEncoder>
#include "tests/common/NamedCases.h"

namespace {

using spreadsheet::ReadError;
using spreadsheet::package::XmlPart;
using spreadsheet::package::ZipEntry;

struct Trace {
    std::string nodes;  // "<name>" (with "{uri}" and "@attribute=value" for those asked), "</name>", text as it is
    QString problem;
};

// The nodes of `xml`, read as a stored part; the attributes `asked` looked up at each start.
Trace trace(const QByteArray &xml, const std::vector<std::pair<std::string, std::string>> &asked = {{"a", ""}})
{
    const ZipEntry entry{QByteArrayView(xml), false, std::uint64_t(xml.size()), 0};
    XmlPart part(entry);
    Trace out;
    for (XmlPart::Node node = part.next(); node != XmlPart::Node::Finished; node = part.next()) {
        if (node == XmlPart::Node::Failed) {
            out.problem = part.problem();
            break;
        }
        if (node == XmlPart::Node::Text) {
            out.nodes += part.text();
            continue;
        }
        out.nodes += node == XmlPart::Node::Start ? "<" : "</";
        out.nodes += part.name();
        if (!part.namespaceUri().empty())
            out.nodes += "{" + std::string(part.namespaceUri()) + "}";
        for (const auto &[local, uri] : asked) {
            const auto value = part.attribute(local, uri);
            if (value && node == XmlPart::Node::Start)
                out.nodes += "@" + local + "=" + std::string(*value);
        }
        out.nodes += ">";
    }
    return out;
}

struct ReadCase {
    const char *name;
    QByteArray xml;
    std::string nodes;
};

void PrintTo(const ReadCase &c, std::ostream *out) { *out << c.name; }

class XmlPartReadsTest : public testing::TestWithParam<ReadCase> {};

TEST_P(XmlPartReadsTest, gives_the_nodes_an_xml_parser_gives)
{
    const Trace got = trace(GetParam().xml, {{"a", ""}, {"b", "urn:b"}, {"space", "http://www.w3.org/XML/1998/namespace"}});
    EXPECT_TRUE(got.problem.isEmpty()) << got.problem.toStdString();
    EXPECT_EQ(got.nodes, GetParam().nodes);
}

QByteArray utf16(const QString &text)
{
    QStringEncoder encoder(QStringEncoder::Utf16LE, QStringEncoder::Flag::WriteBom);
    return encoder.encode(text);
}

const ReadCase kReads[] = {
    {"references_in_text_and_attributes", R"(<r a="1&lt;2&#x41;">x&amp;y&#233;&#x1F600;&quot;&apos;&gt;</r>)",
     "<r@a=1<2A>x&y\xC3\xA9\xF0\x9F\x98\x80\"'></r>"},
    {"line_ends_and_white_space_in_attributes", "<r a=\"1\r\n2\t3\n4\">x\r\ny\rz</r>", "<r@a=1 2 3 4>x\ny\nz</r>"},
    {"empty_elements_start_and_end", R"(<r><c a='1'/><c /></r>)", "<r><c@a=1></c><c></c></r>"},
    {"cdata_comments_and_instructions", "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<!-- c --><r><![CDATA[<&>]]><?pi x?><!---->y</r>\n",
     "<r><&>y</r>"},
    {"byte_order_mark", "\xEF\xBB\xBF<r>\xC3\xBC</r>", "<r>\xC3\xBC</r>"},
    {"namespaces_default_prefixed_and_undone",
     R"(<r xmlns="urn:a" xmlns:p="urn:b"><p:c p:b="1" b="2"/><c xmlns=""/><p:d xmlns:p="urn:c"/></r>)",
     "<r{urn:a}><c{urn:b}@b=1></c{urn:b}><c></c><d{urn:c}></d{urn:c}></r{urn:a}>"},
    {"xml_prefix_is_always_bound", R"(<r><t xml:space="preserve"> a </t></r>)",
     "<r><t@space=preserve> a </t></r>"},
    {"a_declaration_is_no_attribute", R"(<r xmlns:a="urn:a" a="1"/>)", "<r@a=1></r>"},
    {"utf16_goes_through_libxml2", utf16(QStringLiteral("<r a=\"ç\">ğ</r>")), "<r@a=\xC3\xA7>\xC4\x9F</r>"},
    {"latin1_declared_goes_through_libxml2", "<?xml version=\"1.0\" encoding=\"ISO-8859-1\"?><r>\xE7</r>",
     "<r>\xC3\xA7</r>"},
};

INSTANTIATE_TEST_SUITE_P(Markup, XmlPartReadsTest, testing::ValuesIn(kReads),
                         ByName());

struct RefusalCase {
    const char *name;
    QByteArray xml;
    const char *problem;  // part of the reason given
};

void PrintTo(const RefusalCase &c, std::ostream *out) { *out << c.name; }

class XmlPartRefusesTest : public testing::TestWithParam<RefusalCase> {};

TEST_P(XmlPartRefusesTest, fails_with_the_reason)
{
    const Trace got = trace(GetParam().xml);
    EXPECT_TRUE(got.problem.contains(QLatin1String(GetParam().problem))) << got.problem.toStdString();
}

QByteArray nested(int depth)
{
    return QByteArray("<a>").repeated(depth) + QByteArray("</a>").repeated(depth);
}

const RefusalCase kRefusals[] = {
    // Line ends are counted as the part's bytes are checked, not where they
    // are scanned: the line is the fault's, wherever the buffer stands.
    {"on_the_first_line_with_lines_after_it", "<r>&e;\n\n</r>", "at line 1:"},
    {"after_two_line_ends", "<r>\n\n<x></r>", "at line 3:"},
    {"after_many_buffers_of_line_ends", "<r>" + QByteArray(600'000, '\n') + "</x>", "at line 600001:"},
    {"a_byte_that_is_no_character", "<r>\n\xFF\n</r>", "no character"},
    {"document_type", "<!DOCTYPE r><r/>", "document type"},
    {"document_type_with_entities", R"(<!DOCTYPE r [<!ENTITY e "x">]><r>&e;</r>)", "document type"},
    {"entity_never_declared", "<r>&e;</r>", "not defined"},
    {"entity_in_an_attribute", R"(<r a="&e;"/>)", "not defined"},
    {"character_reference_to_nul", "<r>&#0;</r>", "not defined"},
    {"cut_inside_a_tag", R"(<r><c a="1)", "ends inside markup"},
    {"cut_inside_an_element", "<r><c>12", "ends inside element c"},
    {"cut_inside_a_character", "<r>\xC3", "inside a character"},
    {"no_element", "  ", "holds no element"},
    {"end_tag_of_another_element", "<r><c></r>", "end tag r where c was open"},
    {"second_root", "<r/><r/>", "second root"},
    {"text_after_the_root", "<r/>x", "outside the root"},
    {"control_character", "<r>\x01</r>", "no character"},
    {"overlong_utf8", "<r>\xC0\xAF</r>", "no character"},
    {"attribute_twice", R"(<r a="1" a="2"/>)", "given twice"},
    {"attribute_twice_by_namespace", R"(<r xmlns:p="urn:x" xmlns:q="urn:x" p:a="1" q:a="2"/>)", "given twice"},
    {"attribute_without_quotes", "<r a=1/>", "without quotes"},
    {"lt_in_an_attribute", R"(<r a="<"/>)", "in an attribute value"},
    {"undeclared_prefix", "<p:r/>", "prefix p is not defined"},
    {"dashes_in_a_comment", "<r><!-- a -- b --></r>", "inside a comment"},
    {"declaration_not_at_the_start", " <?xml version=\"1.0\"?><r/>", "XML declaration"},
    {"nested_too_deep", nested(257), "deeper than 256"},
    {"text_past_ten_million_bytes", "<r>" + QByteArray(10'000'001, 'x') + "</r>", "text longer than"},
    {"name_past_fifty_thousand_bytes", "<r" + QByteArray(50'001, 'n') + "/>", "one too long"},
    {"namespaces_past_ten_million_bytes",
     "<a xmlns:a=\"" + QByteArray(4'000'000, 'u') + "\"><b xmlns:b=\"" + QByteArray(4'000'000, 'u') + "\"><c xmlns:c=\""
         + QByteArray(4'000'000, 'u') + "\"/></b></a>",
     "namespaces past"},
    {"tag_past_ten_million_bytes", "<r a=\"" + QByteArray(10'300'000, 'x') + "\"/>", "longer than"},
};

INSTANTIATE_TEST_SUITE_P(Markup, XmlPartRefusesTest, testing::ValuesIn(kRefusals),
                         ByName());

TEST(XmlPartTest, nesting_at_the_bound_is_read)
{
    EXPECT_TRUE(trace(nested(256)).problem.isEmpty());
}

// Namespaces count against their bound only while their element is open.
TEST(XmlPartTest, namespaces_of_closed_elements_are_given_back)
{
    const QByteArray sibling = "<c xmlns=\"urn:" + QByteArray(40, 'u') + "\" xmlns:p=\"urn:p\"/>";
    EXPECT_TRUE(trace("<r>" + sibling.repeated(300'000) + "</r>").problem.isEmpty());
}

// Text and tags far longer than one read of the part, with a reference, a
// line end and a two-byte character on every boundary the buffer could cut.
TEST(XmlPartTest, markup_longer_than_the_buffer_comes_whole)
{
    QByteArray text;
    std::string expected;
    for (int i = 0; text.size() < 3'000'000; ++i) {
        text += "ab&amp;\r\n\xC3\xA7" + QByteArray(i % 7, 'z');
        expected += "ab&\n\xC3\xA7" + std::string(std::size_t(i % 7), 'z');
    }
    const QByteArray value(1'500'000, 'v');
    const Trace got = trace("<r><c a=\"" + value + "\">" + text + "</c></r>");
    ASSERT_TRUE(got.problem.isEmpty()) << got.problem.toStdString();
    EXPECT_EQ(got.nodes, "<r><c@a=" + value.toStdString() + ">" + expected + "</c></r>");
}

// A sheet whose one shared string is four million characters, far past what
// a cell keeps and past the scanner's buffer: read, and cut.
TEST(XmlPartTest, a_huge_shared_string_is_read_and_cut)
{
    // Letters at random, so that the part does not compress past the archive's ratio limit.
    const QString letters = QStringLiteral("abcçdefgğhıijklmnoöprsştuüvyz");
    QRandomGenerator random(11);
    QString text;
    for (int i = 0; i < 4'000'000; ++i)
        text += letters[qsizetype(random.bounded(quint32(letters.size())))];
    const spreadsheet::SheetColumns sheet = spreadsheet::readWorkbookPackage(
        openXmlPackage(R"(<row r="1"><c r="A1" t="s"><v>0</v></c></row>)", "<si><t>" + text.toUtf8() + "</t></si>"),
        QLocale::c());
    ASSERT_TRUE(sheet.ok()) << sheet.detail().toStdString();
    ASSERT_EQ(sheet.rows.size(), 1u);
    EXPECT_EQ(sheet.rows[0][0], text.left(spreadsheet::kMaxCellText));
}

// `package` with the checksum its last part's directory entry declares made wrong.
QByteArray lastChecksumWrong(QByteArray package)
{
    const qsizetype entry = package.lastIndexOf(QByteArray("PK\x01\x02", 4));
    package[entry + 16] = char(package[entry + 16] ^ 0x55);
    return package;
}

QByteArray rows(int count)
{
    QByteArray sheet;
    for (int row = 1; row <= count; ++row)
        sheet += "<row r=\"" + QByteArray::number(row) + "\"><c><v>1</v></c></row>";
    return sheet;
}

// A row numbered one past the last row a sheet may have.
const QByteArray kPastTheLimit = "<row r=\"" + QByteArray::number(spreadsheet::kMaxRows + 1) + "\"><c><v>1</v></c></row>";

struct DamageCase {
    const char *name;
    std::function<QByteArray()> file;
    ReadError error;
    const char *problem;
};

void PrintTo(const DamageCase &c, std::ostream *out) { *out << c.name; }

class ExpandedOnceTest : public testing::TestWithParam<DamageCase> {};

// The sheet is read as it expands, so its checksum is only known at the end,
// and damage must still win over what was read of it.
TEST_P(ExpandedOnceTest, damage_found_at_the_end_refuses_the_part)
{
    const spreadsheet::SheetColumns sheet = spreadsheet::readWorkbookPackage(GetParam().file(), QLocale::c());
    EXPECT_EQ(sheet.error, GetParam().error) << sheet.detail().toStdString();
    EXPECT_TRUE(sheet.detail().contains(QLatin1String(GetParam().problem))) << sheet.detail().toStdString();
    EXPECT_TRUE(sheet.rows.empty());
}

INSTANTIATE_TEST_SUITE_P(
    Packages, ExpandedOnceTest,
    testing::Values(
        DamageCase{"sound_xml_with_a_wrong_checksum", [] { return lastChecksumWrong(openXmlPackage(rows(3))); },
                   ReadError::Damaged, "damaged"},
        DamageCase{"malformed_xml_with_a_wrong_checksum", [] { return lastChecksumWrong(openXmlPackage("<row><c>")); },
                   ReadError::Damaged, "damaged"},
        // The reader stops at the row limit; the rest of the part is still expanded and checked.
        DamageCase{"a_wrong_checksum_past_the_row_limit",
                   [] { return lastChecksumWrong(openXmlPackage(kPastTheLimit + rows(10))); },
                   ReadError::Damaged, "damaged"},
        DamageCase{"a_sound_part_past_the_row_limit", [] { return openXmlPackage(kPastTheLimit); },
                   ReadError::TooManyRows, ""}),
    ByName());

QByteArray utf16(const QByteArray &utf8)
{
    return utf16(QString::fromUtf8(utf8));
}

// `parts` as a zip, with part `name` written in UTF-16 and declared so.
QByteArray withUtf16Part(PackageParts parts, const QString &name)
{
    for (auto &[partName, content] : parts) {
        if (partName == name)
            content = utf16(QByteArray(content).replace(R"(encoding="UTF-8")", R"(encoding="UTF-16")"));
    }
    return zipOf(parts);
}

PackageParts openXmlPartsWith(const QString &name, const std::function<QByteArray(QByteArray)> &change)
{
    PackageParts parts = openXmlParts(R"(<row r="1"><c r="A1" t="s"><v>0</v></c><c r="B1"><v>2.5</v></c></row>)",
                                      "<si><t>\xC3\xA7" "ay</t></si>");
    for (auto &[partName, content] : parts) {
        if (partName == name)
            content = change(content);
    }
    return parts;
}

struct PathCase {
    const char *name;
    std::function<QByteArray()> file;
    ReadError error;
    const char *problem;  // part of the message; empty for a sheet read as kTea
};

void PrintTo(const PathCase &c, std::ostream *out) { *out << c.name; }

const std::vector<spreadsheet::RowCells> kTea = {{QStringLiteral("çay"), QStringLiteral("2,5"), QString()}};

class PackagePathTest : public testing::TestWithParam<PathCase> {};

TEST_P(PackagePathTest, reads_or_refuses_the_whole_package)
{
    const spreadsheet::SheetColumns sheet =
        spreadsheet::readWorkbookPackage(GetParam().file(), QLocale(QLocale::Turkish, QLocale::Turkey));
    EXPECT_EQ(sheet.error, GetParam().error) << sheet.detail().toStdString();
    if (GetParam().error == ReadError::None) {
        EXPECT_EQ(rowsOf(sheet.rows), kTea);
    } else {
        EXPECT_TRUE(sheet.detail().contains(QLatin1String(GetParam().problem))) << sheet.detail().toStdString();
        EXPECT_TRUE(sheet.rows.empty());
    }
}

const QString kSheetPart = QStringLiteral("xl/worksheets/sheet1.xml");
const QString kStringsPart = QStringLiteral("xl/sharedStrings.xml");

INSTANTIATE_TEST_SUITE_P(
    Packages, PackagePathTest,
    testing::Values(
        PathCase{"scanned", [] { return zipOf(openXmlPartsWith(kSheetPart, [](QByteArray xml) { return xml; })); },
                 ReadError::None, ""},
        PathCase{"sheet_and_strings_in_utf16",
                 [] {
                     PackageParts parts = openXmlPartsWith(kStringsPart, [](QByteArray xml) {
                         return utf16(xml.replace(R"(encoding="UTF-8")", R"(encoding="UTF-16")"));
                     });
                     return withUtf16Part(parts, kSheetPart);
                 },
                 ReadError::None, ""},
        PathCase{"sheet_cut_inside_a_value",
                 [] { return zipOf(openXmlPartsWith(kSheetPart, [](QByteArray xml) { return xml.left(xml.indexOf("2.") + 1); })); },
                 ReadError::Damaged, "xl/worksheets/sheet1.xml: malformed XML"},
        PathCase{"strings_with_a_document_type",
                 [] {
                     return zipOf(openXmlPartsWith(kStringsPart, [](QByteArray xml) {
                         return xml.insert(xml.indexOf("?>") + 2, "<!DOCTYPE sst>");
                     }));
                 },
                 ReadError::Damaged, "document type"},
        PathCase{"ods_content_with_a_document_type",
                 [] {
                     PackageParts parts = openDocumentParts("<table:table-row/>");
                     QByteArray &content = parts.back().second;
                     content.insert(content.indexOf("?>") + 2, "<!DOCTYPE x>");
                     return zipOf(parts);
                 },
                 ReadError::Damaged, "document type"},
        PathCase{"utf16_sheet_with_a_wrong_checksum",
                 [] { return lastChecksumWrong(withUtf16Part(openXmlPartsWith(kSheetPart, [](QByteArray xml) { return xml; }), kSheetPart)); },
                 ReadError::Damaged, "damaged"}),
    ByName());

}  // namespace
