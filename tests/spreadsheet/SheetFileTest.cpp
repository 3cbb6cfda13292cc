// The front every caller reads through: the kind told by content, and the
// refusals that belong to no one format.

#include "spreadsheet/SheetFile.h"
#include "xls/WorkbookBuilder.h"

#include <gtest/gtest.h>

#include <QTemporaryDir>

#include <functional>
#include <ostream>

namespace {

using namespace xlstest;
using spreadsheet::ReadError;

struct RefusalCase {
    const char *name;
    std::function<QByteArray()> file;
    ReadError error;
};

void PrintTo(const RefusalCase &c, std::ostream *os)
{
    *os << c.name;
}

class FileRefusal : public ::testing::TestWithParam<RefusalCase> {};

TEST_P(FileRefusal, names_the_reason)
{
    const spreadsheet::SheetColumns sheet = spreadsheet::readSheetFromBytes(GetParam().file(), QLocale::c());
    EXPECT_EQ(sheet.error, GetParam().error) << sheet.message.toStdString();
    EXPECT_FALSE(sheet.message.isEmpty());
    EXPECT_TRUE(sheet.rows.empty());
}

QByteArray workbookWithoutCells()
{
    return CompoundImage(workbookStream({}, {})).data();
}

// The only cell names a shared string, and the workbook has no table of them.
QByteArray onlyCellLost()
{
    return CompoundImage(workbookStream({}, labelSst(0, 1, 0))).data();
}

QByteArray compoundCutInItsHeader()
{
    return CompoundImage(workbookStream({}, number(0, 0, 1))).data().left(100);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, FileRefusal,
    ::testing::Values(
        RefusalCase{"no_bytes", [] { return QByteArray(); }, ReadError::Empty},
        RefusalCase{"a_workbook_without_cells", workbookWithoutCells, ReadError::Empty},
        RefusalCase{"binary_junk", [] { return QByteArray::fromHex("00ff10fe7f0001020304"); }, ReadError::NotSpreadsheet},
        RefusalCase{"an_encrypted_xlsx", [] { return CompoundImage(Bytes(600, 7), u"EncryptedPackage").data(); },
                    ReadError::PasswordProtected},
        RefusalCase{"a_page_whose_only_table_markup_is_broken", [] { return QByteArray("<table<>\n"); },
                    ReadError::NotSpreadsheet},
        RefusalCase{"a_compound_file_without_a_workbook", [] { return CompoundImage(Bytes(600, 7), u"WordDocument").data(); },
                    ReadError::NotSpreadsheet},
        RefusalCase{"a_compound_file_cut_in_its_header", compoundCutInItsHeader, ReadError::Damaged},
        RefusalCase{"damage_that_cost_every_cell", onlyCellLost, ReadError::Damaged},
        RefusalCase{"a_zip_cut_after_its_first_header", [] { return QByteArray("PK\x03\x04", 4) + QByteArray(200, 'x'); },
                    ReadError::Damaged}),
    [](const auto &info) { return std::string(info.param.name); });

TEST(SheetFile, a_renamed_file_reads_as_what_it_is)
{
    const QString data = QStringLiteral(XLS_TEST_DATA "/");
    // Each renamed file beside the same content under its own kind's name.
    for (const auto &[renamed, twin] : {std::pair{"csv_renamed.xls", "lo_cells.csv"},
                                         std::pair{"xlsx_renamed.xls", "gnumeric_cells.xls"}}) {
        const spreadsheet::SheetColumns sheet = spreadsheet::readSheet(data + QLatin1StringView(renamed));
        ASSERT_TRUE(sheet.ok()) << renamed << ": " << sheet.message.toStdString();
        EXPECT_EQ(sheet.rows, spreadsheet::readSheet(data + QLatin1StringView(twin)).rows) << renamed;
        EXPECT_EQ(sheet.rows.front()[0], "8690504012345") << renamed;
    }
}

TEST(SheetFile, a_missing_file_cannot_be_opened)
{
    QTemporaryDir dir;
    EXPECT_EQ(spreadsheet::readSheet(dir.filePath(QStringLiteral("yok.xls"))).error, ReadError::CannotOpen);
}

}  // namespace
