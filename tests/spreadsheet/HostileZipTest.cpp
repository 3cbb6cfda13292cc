// Files that must be refused before or while liborcus reads them, without
// expanding a zip bomb or trusting the sizes a zip declares.

#include "spreadsheet/orcus/OrcusReader.h"
#include "spreadsheet/orcus/ZipBounds.h"
#include "ZipBuilder.h"

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
    return ZipBuilder()
        .add(QStringLiteral("xl/worksheets/sheet1.xml"), QByteArray(zeros, '\0'))
        .add(QStringLiteral("xl/workbook.xml"), "<workbook/>")
        .build();
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

using Reader = spreadsheet::SheetColumns (*)(const QByteArray &, const QLocale &);

struct HostileCase {
    const char *name;
    std::function<QByteArray()> file;
    Reader read;
    ReadError error;
};

void PrintTo(const HostileCase &c, std::ostream *out) { *out << c.name; }

class HostileInputTest : public testing::TestWithParam<HostileCase> {};

TEST_P(HostileInputTest, is_refused_with_a_reason)
{
    const HostileCase &c = GetParam();
    const spreadsheet::SheetColumns sheet = c.read(c.file(), QLocale::c());
    EXPECT_EQ(sheet.error, c.error) << sheet.message.toStdString();
    EXPECT_FALSE(sheet.message.isEmpty());
    EXPECT_TRUE(sheet.rows.empty());
}

INSTANTIATE_TEST_SUITE_P(
    Files, HostileInputTest,
    testing::Values(
        HostileCase{"zip_bomb", [] { return bomb(60'000'000); }, spreadsheet::readOpenXml, ReadError::Damaged},
        HostileCase{"parts_past_one_gigabyte", pastTotal, spreadsheet::readOpenXml, ReadError::Damaged},
        HostileCase{"part_longer_than_declared", pastDeclaredSize, spreadsheet::readOpenXml, ReadError::Damaged},
        // Deflate data damaged by the fuzzer: liborcus 0.17 parses what it
        // inflates to and aborts the process on an assertion.
        HostileCase{"damaged_deflate_data", [] { return fileBytes(QStringLiteral("fuzz_bad_deflate.xlsx")); },
                    spreadsheet::readOpenXml, ReadError::Damaged},
        HostileCase{"xlsx_without_workbook",
                    [] { return openXmlPackageWithout(QStringLiteral("xl/workbook.xml")); }, spreadsheet::readOpenXml,
                    ReadError::Damaged},
        HostileCase{"xlsx_without_its_sheet",
                    [] { return openXmlPackageWithout(QStringLiteral("xl/worksheets/sheet1.xml")); },
                    spreadsheet::readOpenXml, ReadError::Damaged},
        HostileCase{"ods_without_content", [] { return openDocumentPackage({}, false); },
                    spreadsheet::readOpenDocument, ReadError::Damaged},
        HostileCase{"truncated_xlsx", [] { return fileBytes(QStringLiteral("lo_products.xlsx")).left(4000); },
                    spreadsheet::readOpenXml, ReadError::Damaged},
        HostileCase{"truncated_ods", [] { return fileBytes(QStringLiteral("lo_products.ods")).left(12000); },
                    spreadsheet::readOpenDocument, ReadError::Damaged},
        HostileCase{"binary_junk", [] { return randomBytes(20'000); }, spreadsheet::readOpenXml,
                    ReadError::NotSpreadsheet},
        HostileCase{"junk_after_a_zip_signature", [] { return QByteArray("PK\x03\x04", 4) + randomBytes(20'000); },
                    spreadsheet::readOpenDocument, ReadError::Damaged},
        HostileCase{"xls_workbook", [] { return fileBytes(QStringLiteral("lo_products.xls")); },
                    spreadsheet::readOpenXml, ReadError::NotSpreadsheet},
        HostileCase{"no_bytes", [] { return QByteArray(); }, spreadsheet::readOpenDocument, ReadError::Empty}),
    [](const testing::TestParamInfo<HostileCase> &info) { return std::string(info.param.name); });

TEST(ZipBoundsTest, honest_archives_of_both_writers_pass)
{
    for (const char *name : {"lo_products.xlsx", "gnumeric_products.xlsx", "lo_products.ods"})
        EXPECT_EQ(spreadsheet::orcusimport::zipBoundsProblem(fileBytes(QString::fromLatin1(name))), QString()) << name;
}

TEST(ZipBoundsTest, limits_are_checked_at_their_edges)
{
    const QByteArray part = deflated(QByteArray(10'000, 'x'));
    const auto declaring = [&](std::uint32_t size) {
        return ZipBuilder().addRaw(QStringLiteral("a"), part, size).build();
    };
    // Within the limits the part is expanded, and found not to match its size.
    const auto expands = [](const QString &problem) { return problem.contains(QStringLiteral("expand")); };
    const std::uint64_t atRatio = std::uint64_t(part.size()) * 1000;
    EXPECT_FALSE(expands(spreadsheet::orcusimport::zipBoundsProblem(declaring(std::uint32_t(atRatio)))));
    EXPECT_TRUE(expands(spreadsheet::orcusimport::zipBoundsProblem(declaring(std::uint32_t(atRatio + 1)))));
    const spreadsheet::orcusimport::ZipLimits small{atRatio - 1, 1000};
    EXPECT_TRUE(expands(spreadsheet::orcusimport::zipBoundsProblem(declaring(std::uint32_t(atRatio)), small)));
}

TEST(ZipBoundsTest, directory_is_found_as_the_library_finds_it)
{
    const QByteArray zip = ZipBuilder().add(QStringLiteral("a"), "text").build();
    // A comment of 64 KiB is the most an end record can carry; past that the
    // library would search further back, so the archive is refused instead.
    QByteArray reachable = zip;
    reachable.append(QByteArray(0xFFFF, ' '));
    EXPECT_EQ(spreadsheet::orcusimport::zipBoundsProblem(reachable), QString());
    reachable.append(' ');
    EXPECT_NE(spreadsheet::orcusimport::zipBoundsProblem(reachable), QString());
    // An end record after the real one is the one the library takes: here it
    // points at a directory entry that declares 2 GB.
    const QByteArray lying = ZipBuilder().addRaw(QStringLiteral("b"), deflated("b"), 1u << 31).build();
    QByteArray decoy = lying.mid(lying.indexOf(QByteArray("PK\x01\x02", 4)));
    const quint32 offset = qToLittleEndian(quint32(zip.size()));
    decoy.replace(decoy.size() - 6, 4, QByteArray(reinterpret_cast<const char *>(&offset), 4));
    EXPECT_NE(spreadsheet::orcusimport::zipBoundsProblem(zip + decoy), QString());
}

}  // namespace

namespace {

// Found by the fuzzer: liborcus 0.17's XML parser reads past the end of its
// buffer on an attribute value that holds an entity reference and never ends,
// in any part it parses; the process may crash. Disabled until the import
// runs where a crash cannot take the program down, or the library is fixed.
TEST(LibraryFaultTest, DISABLED_unterminated_attribute_with_an_entity_is_refused)
{
    EXPECT_EQ(spreadsheet::readOpenXml(openXmlPackage(R"(<o r="&r;)"), QLocale::c()).error, ReadError::Damaged);
    EXPECT_EQ(spreadsheet::readOpenDocument(openDocumentPackage(R"(<o r="&r;)"), QLocale::c()).error,
              ReadError::Damaged);
}

}  // namespace
