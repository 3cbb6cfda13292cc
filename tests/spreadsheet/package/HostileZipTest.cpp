// Files that must be refused, without expanding a zip bomb, trusting the
// sizes a zip declares or letting XML reach past its part.

#include "spreadsheet/package/PackageReader.h"
#include "spreadsheet/package/ZipArchive.h"
#include "ZipBuilder.h"

#include "tests/common/StoredRows.h"

#include <gtest/gtest.h>

#include <QFile>
#include <QRandomGenerator>
#include <QtEndian>

#include <functional>

namespace {

using spreadsheet::ReadError;

const QString kData = QStringLiteral(SHEETS_TEST_DATA "/");

QByteArray fileBytes(const QString &name)
{
    QFile file(kData + name);
    EXPECT_TRUE(file.open(QIODevice::ReadOnly)) << name.toStdString();
    return file.readAll();
}

QByteArray randomBytes(qsizetype size)
{
    QByteArray bytes(size, Qt::Uninitialized);
    QRandomGenerator generator(7);
    generator.fillRange(reinterpret_cast<quint32 *>(bytes.data()), size / 4);
    return bytes;
}

// A workbook whose sheet part holds `zeros` bytes of zeros after its cells.
QByteArray bomb(qsizetype zeros)
{
    PackageParts parts = openXmlParts(R"(<row r="1"><c r="A1"><v>1</v></c></row>)");
    parts.back().second += QByteArray(zeros, '\0');
    return zipOf(parts);
}

// A Zip64 archive whose locator points `shift` bytes away from its record.
QByteArray zip64RecordMissed(qsizetype shift)
{
    QByteArray zip = zipOf(openXmlParts({}), true);
    const qsizetype locator = zip.lastIndexOf(QByteArray("PK\x06\x07", 4));
    const quint64 record = qToLittleEndian(quint64(zip.lastIndexOf(QByteArray("PK\x06\x06", 4)) + shift));
    zip.replace(locator + 8, 8, QByteArray(reinterpret_cast<const char *>(&record), 8));
    return zip;
}

// Two parts that each expand 800 times, 1.2 GB together.
QByteArray pastTotal()
{
    const QByteArray noise = deflated(randomBytes(750'000));
    return ZipBuilder()
        .addRaw(QStringLiteral("xl/worksheets/sheet1.xml"), noise, std::uint32_t(noise.size()) * 800)
        .addRaw(QStringLiteral("xl/worksheets/sheet2.xml"), noise, std::uint32_t(noise.size()) * 800)
        .build();
}

// A sheet part that expands to far more than its declared 200 bytes.
QByteArray pastDeclaredSize()
{
    const QByteArray sheet = QByteArray(R"(<row r="1"><c r="A1"><v>1</v></c></row>)").repeated(5000);
    QByteArray package = openXmlPackage(sheet);
    // The sheet is the last part, so its size fields are the last directory entry's.
    const qsizetype entry = package.lastIndexOf(QByteArray("PK\x01\x02", 4));
    const char declared[4] = {char(200), 0, 0, 0};
    package.replace(entry + 24, 4, QByteArray(declared, 4));
    const qsizetype local = package.lastIndexOf(QByteArray("PK\x03\x04", 4));
    package.replace(local + 22, 4, QByteArray(declared, 4));
    return package;
}

// An .ods whose manifest marks `encryptedPart` encrypted, its content part
// the noise encryption leaves.
QByteArray odsEncrypting(const char *encryptedPart, bool contentEncrypted)
{
    const QByteArray manifest =
        R"(<manifest:manifest xmlns:manifest="urn:oasis:names:tc:opendocument:xmlns:manifest:1.0" manifest:version="1.3">)"
        R"(<manifest:file-entry manifest:full-path="/" manifest:media-type="application/vnd.oasis.opendocument.spreadsheet"/>)"
        R"(<manifest:file-entry manifest:full-path=")" + QByteArray(encryptedPart) + R"(" manifest:media-type="text/xml" manifest:size="9963">)"
        R"(<manifest:encryption-data manifest:checksum-type="urn:oasis:names:tc:opendocument:xmlns:manifest:1.0#sha256-1k" manifest:checksum="AAAA">)"
        R"(<manifest:algorithm manifest:algorithm-name="http://www.w3.org/2001/04/xmlenc#aes256-cbc" manifest:initialisation-vector="AAAA"/>)"
        R"(</manifest:encryption-data></manifest:file-entry></manifest:manifest>)";
    PackageParts parts = openDocumentParts(R"(<table:table-row><table:table-cell office:value-type="float" office:value="1"/></table:table-row>)", manifest);
    if (contentEncrypted)
        parts.back().second = randomBytes(2528);
    return zipOf(parts);
}

// The parts of an Excel binary workbook around its main part.
QByteArray binaryWorkbook()
{
    return zipOf({{QStringLiteral("[Content_Types].xml"),
                   R"(<Types xmlns="http://schemas.openxmlformats.org/package/2006/content-types">)"
                   R"(<Default Extension="bin" ContentType="application/vnd.ms-excel.sheet.binary.macroEnabled.main"/></Types>)"},
                  {QStringLiteral("_rels/.rels"),
                   R"(<Relationships xmlns="http://schemas.openxmlformats.org/package/2006/relationships">)"
                   R"(<Relationship Id="rId1" Type="http://schemas.openxmlformats.org/officeDocument/2006/relationships/officeDocument" Target="xl/workbook.bin"/></Relationships>)"},
                  {QStringLiteral("xl/workbook.bin"), randomBytes(400)}});
}

struct HostileCase {
    const char *name;
    std::function<QByteArray()> file;
    ReadError error;
};

void PrintTo(const HostileCase &c, std::ostream *out) { *out << c.name; }

class HostileInputTest : public testing::TestWithParam<HostileCase> {};

TEST_P(HostileInputTest, is_refused_with_a_reason)
{
    const HostileCase &c = GetParam();
    const spreadsheet::SheetColumns sheet = spreadsheet::readWorkbookPackage(c.file(), QLocale::c());
    EXPECT_EQ(sheet.error, c.error) << sheet.detail().toStdString();
    EXPECT_FALSE(sheet.detail().isEmpty());
    EXPECT_TRUE(sheet.rows.empty());
}

INSTANTIATE_TEST_SUITE_P(
    Files, HostileInputTest,
    testing::Values(
        HostileCase{"zip_bomb", [] { return bomb(60'000'000); }, ReadError::Damaged},
        HostileCase{"parts_past_one_gigabyte", pastTotal, ReadError::Damaged},
        HostileCase{"part_longer_than_declared", pastDeclaredSize, ReadError::Damaged},
        // Deflate data damaged by the fuzzer: it inflates to something, but
        // not to the bytes its checksum was taken of.
        HostileCase{"damaged_deflate_data", [] { return fileBytes(QStringLiteral("fuzz_bad_deflate.xlsx")); }, ReadError::Damaged},
        HostileCase{"xlsx_without_workbook",
                    [] { return openXmlPackageWithout(QStringLiteral("xl/workbook.xml")); },
                    ReadError::Damaged},
        HostileCase{"xlsx_without_its_sheet",
                    [] { return openXmlPackageWithout(QStringLiteral("xl/worksheets/sheet1.xml")); }, ReadError::Damaged},
        HostileCase{"ods_without_content", [] { return openDocumentPackage({}, false); }, ReadError::Damaged},
        HostileCase{"truncated_xlsx", [] { return fileBytes(QStringLiteral("lo_products.xlsx")).left(4000); }, ReadError::Damaged},
        HostileCase{"truncated_ods", [] { return fileBytes(QStringLiteral("lo_products.ods")).left(12000); }, ReadError::Damaged},
        HostileCase{"binary_junk", [] { return randomBytes(20'000); },
                    ReadError::NotSpreadsheet},
        HostileCase{"junk_after_a_zip_signature", [] { return QByteArray("PK\x03\x04", 4) + randomBytes(20'000); }, ReadError::Damaged},
        HostileCase{"xls_workbook", [] { return fileBytes(QStringLiteral("lo_products.xls")); }, ReadError::NotSpreadsheet},
        HostileCase{"no_bytes", [] { return QByteArray(); }, ReadError::Empty},
        HostileCase{"an_encrypted_ods", [] { return odsEncrypting("content.xml", true); }, ReadError::PasswordProtected},
        HostileCase{"an_xlsb", binaryWorkbook, ReadError::BinaryWorkbook}),
    [](const testing::TestParamInfo<HostileCase> &info) { return std::string(info.param.name); });

// A billion laughs: a workbook part whose entities would come to gigabytes if they were expanded.
QByteArray laughs()
{
    QByteArray dtd = R"(<!DOCTYPE workbook [<!ENTITY a "ha">)";
    for (char level = 'b'; level <= 'k'; ++level)
        dtd += "<!ENTITY " + QByteArray(1, level) + " \"" + ("&" + QByteArray(1, char(level - 1)) + ";").repeated(10) + "\">";
    return ZipBuilder()
        .add(QStringLiteral("[Content_Types].xml"), "<Types/>")
        .add(QStringLiteral("xl/workbook.xml"), dtd + "]><workbook>&k;</workbook>")
        .build();
}

INSTANTIATE_TEST_SUITE_P(
    Markup, HostileInputTest,
    testing::Values(
        HostileCase{"entities_in_a_document_type", laughs, ReadError::Damaged},
        // liborcus 0.17's parser read past its buffer on these.
        HostileCase{"unterminated_attribute_with_an_entity_in_xlsx",
                    [] { return openXmlPackage(R"(<o r="&r;)"); }, ReadError::Damaged},
        HostileCase{"unterminated_attribute_with_an_entity_in_ods",
                    [] { return openDocumentPackage(R"(<o r="&r;)"); }, ReadError::Damaged},
        HostileCase{"an_undeclared_prefix", [] { return openXmlPackage("<x:row/>"); }, ReadError::Damaged},
        HostileCase{"a_zip_of_something_else", [] { return ZipBuilder().add(QStringLiteral("a.txt"), "a").build(); },
                    ReadError::NotSpreadsheet},
        HostileCase{"a_text_document", [] {
                        return ZipBuilder()
                            .add(QStringLiteral("content.xml"),
                                 R"(<office:document-content xmlns:office="urn:oasis:names:tc:opendocument:xmlns:office:1.0"><office:body><office:text/></office:body></office:document-content>)")
                            .build();
                    },
                    ReadError::NotSpreadsheet},
        HostileCase{"a_name_given_twice", [] {
                        return ZipBuilder().add(QStringLiteral("a"), "1").add(QStringLiteral("a"), "2").build();
                    },
                    ReadError::Damaged},
        HostileCase{"a_name_given_twice_in_two_cases", [] {
                        return ZipBuilder().add(QStringLiteral("xl/a.xml"), "1").add(QStringLiteral("XL/A.xml"), "2").build();
                    },
                    ReadError::Damaged},
        HostileCase{"a_zip64_locator_past_its_record", [] { return zip64RecordMissed(1); }, ReadError::Damaged},
        HostileCase{"a_zip64_locator_past_the_file", [] { return zip64RecordMissed(1'000'000); }, ReadError::Damaged}),
    [](const testing::TestParamInfo<HostileCase> &info) { return std::string(info.param.name); });

using spreadsheet::package::ZipArchive;

TEST(ZipArchiveTest, honest_archives_of_both_writers_give_their_parts)
{
    for (const char *name : {"lo_products.xlsx", "gnumeric_products.xlsx", "lo_products.ods"}) {
        const QByteArray file = fileBytes(QString::fromLatin1(name));
        const ZipArchive zip(file);
        EXPECT_EQ(zip.problem(), QString()) << name;
        const char *part = QByteArray(name).endsWith(".ods") ? "content.xml" : "xl/workbook.xml";
        EXPECT_EQ(zip.checked(part).problem, QString()) << name;
        EXPECT_NE(zip.checked("no/such/part.xml").problem, QString()) << name;
    }
}

TEST(ZipArchiveTest, limits_are_checked_at_their_edges)
{
    const QByteArray part = deflated(QByteArray(10'000, 'x'));
    const auto declaring = [&](std::uint32_t size) {
        return ZipBuilder().addRaw(QStringLiteral("a"), part, size).build();
    };
    const std::uint64_t atRatio = std::uint64_t(part.size()) * 1000;
    EXPECT_EQ(ZipArchive(declaring(std::uint32_t(atRatio))).problem(), QString());
    // The ratio is a limit on expanding a part, not on listing it.
    const ZipArchive pastRatio(declaring(std::uint32_t(atRatio + 1)));
    EXPECT_EQ(pastRatio.problem(), QString());
    EXPECT_TRUE(pastRatio.checked("a").problem.contains(QStringLiteral("1000 times")))
        << pastRatio.checked("a").problem.toStdString();
    const spreadsheet::package::ZipLimits small{atRatio - 1, 1000};
    EXPECT_NE(ZipArchive(declaring(std::uint32_t(atRatio)), small).problem(), QString());
    // Within the limits, the part is expanded and found not to match its size.
    EXPECT_TRUE(ZipArchive(declaring(std::uint32_t(atRatio))).checked("a").problem.contains(QStringLiteral("damaged")));
}

TEST(OpenDocumentManifestTest, another_part_encrypted_leaves_the_content_readable)
{
    const spreadsheet::SheetColumns sheet = spreadsheet::readWorkbookPackage(odsEncrypting("meta.xml", false), QLocale::c());
    ASSERT_TRUE(sheet.ok()) << sheet.detail().toStdString();
    EXPECT_EQ(rowsOf(sheet.rows), (std::vector<spreadsheet::RowCells>{{"1", "", ""}}));
}

TEST(ZipArchiveTest, a_part_never_read_may_compress_past_the_ratio)
{
    // A blank image of 4 MB deflates to a few kilobytes.
    PackageParts parts = openXmlParts(R"(<row r="1"><c r="A1"><v>1</v></c></row>)");
    parts.emplace_back(QStringLiteral("xl/media/image1.bmp"), QByteArray(4 << 20, '\0'));
    const spreadsheet::SheetColumns sheet = spreadsheet::readWorkbookPackage(zipOf(parts), QLocale::c());
    ASSERT_TRUE(sheet.ok()) << sheet.detail().toStdString();
    EXPECT_EQ(rowsOf(sheet.rows), (std::vector<spreadsheet::RowCells>{{"1", "", ""}}));
}

TEST(ZipArchiveTest, zip64_sizes_and_directory_are_read)
{
    const QByteArray sheetData = R"(<row r="1"><c r="A1" t="s"><v>0</v></c><c r="B1"><v>2.5</v></c></row>)";
    const QByteArray zip = zipOf(openXmlParts(sheetData, "<si><t>Çay</t></si>"), true);
    const ZipArchive archive(zip);
    ASSERT_EQ(archive.problem(), QString());
    EXPECT_EQ(archive.checked("xl/workbook.xml").problem, QString());
    const spreadsheet::SheetColumns sheet = spreadsheet::readWorkbookPackage(zip, QLocale::c());
    ASSERT_TRUE(sheet.ok()) << sheet.detail().toStdString();
    EXPECT_EQ(rowsOf(sheet.rows), (std::vector<spreadsheet::RowCells>{{"Çay", "2.5", ""}}));
    // The bounds hold for sizes that only Zip64 can state.
    const QByteArray huge = ZipBuilder().addRaw(QStringLiteral("a"), deflated("a"), 0xFFFFFFFF).zip64().build();
    EXPECT_NE(ZipArchive(huge).problem(), QString());
}

TEST(ZipArchiveTest, directory_is_found_from_the_last_end_record_within_reach)
{
    const QByteArray zip = ZipBuilder().add(QStringLiteral("a"), "text").build();
    // A comment of 64 KiB is the most an end record can carry.
    QByteArray reachable = zip;
    reachable.append(QByteArray(0xFFFF, ' '));
    EXPECT_EQ(ZipArchive(reachable).problem(), QString());
    reachable.append(' ');
    EXPECT_NE(ZipArchive(reachable).problem(), QString());
    // An end record after the real one is the one taken: here it points at a
    // directory entry that declares 2 GB.
    const QByteArray lying = ZipBuilder().addRaw(QStringLiteral("b"), deflated("b"), 1u << 31).build();
    QByteArray decoy = lying.mid(lying.indexOf(QByteArray("PK\x01\x02", 4)));
    const quint32 offset = qToLittleEndian(quint32(zip.size()));
    decoy.replace(decoy.size() - 6, 4, QByteArray(reinterpret_cast<const char *>(&offset), 4));
    EXPECT_NE(ZipArchive(zip + decoy).problem(), QString());
}

}  // namespace
