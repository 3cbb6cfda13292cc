// Workbooks made by LibreOffice, Gnumeric and python3-xlwt, read back and
// compared with the CSV that LibreOffice itself exports from them.

#include "spreadsheet/SheetFile.h"

#include <gtest/gtest.h>

#include <QFile>

#include <algorithm>
#include <map>
#include <string>
#include <utility>

namespace {

const QString kData = QStringLiteral(XLS_TEST_DATA "/");
const QLocale kTurkish(QLocale::Turkish, QLocale::Turkey);

using Table = std::vector<std::vector<QString>>;

// RFC 4180 fields of `text`, one vector per record.
Table parseCsv(const QString &text)
{
    Table rows(1);
    QString field;
    bool quoted = false;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text[i];
        if (quoted) {
            if (c == u'"' && i + 1 < text.size() && text[i + 1] == u'"')
                field += text[++i];
            else if (c == u'"')
                quoted = false;
            else
                field += c;
        } else if (c == u'"') {
            quoted = true;
        } else if (c == u',') {
            rows.back().push_back(std::exchange(field, QString()));
        } else if (c == u'\n') {
            rows.back().push_back(std::exchange(field, QString()));
            rows.emplace_back();
        } else if (c != u'\r') {
            field += c;
        }
    }
    if (!field.isEmpty() || !rows.back().empty())
        rows.back().push_back(field);
    else
        rows.pop_back();
    return rows;
}

// The rows of the exported CSV, each without the blank fields after its
// last text but with at least three, without the trailing blank rows.
Table exportedRows(const QString &csvName)
{
    QFile file(kData + csvName);
    EXPECT_TRUE(file.open(QIODevice::ReadOnly)) << csvName.toStdString();
    Table rows = parseCsv(QString::fromUtf8(file.readAll()));
    for (auto &row : rows) {
        while (row.size() > 3 && row.back().isEmpty())
            row.pop_back();
        row.resize(std::max<std::size_t>(row.size(), 3));
    }
    while (!rows.empty() && rows.back() == std::vector<QString>(3))
        rows.pop_back();
    return rows;
}

struct ExportCase {
    const char *workbook;
    const char *csv;
    // Cells where the program's CSV shows its display format (dates, "18%",
    // "1E+020", booleans as 1/0) and the reader shows the value: (row, column) -> ours.
    std::map<std::pair<int, int>, const char *> differences;
};

void PrintTo(const ExportCase &c, std::ostream *out) { *out << c.workbook; }

class WorkbookMatchesExportTest : public testing::TestWithParam<ExportCase> {};

TEST_P(WorkbookMatchesExportTest, every_column_reads_as_the_spreadsheet_program_exports_it)
{
    const ExportCase &c = GetParam();
    const spreadsheet::SheetColumns sheet = spreadsheet::readSheet(kData + c.workbook, QLocale::c());
    ASSERT_TRUE(sheet.ok()) << sheet.detail().toStdString();
    for (const auto &[id, count] : sheet.unknownRecords)
        ADD_FAILURE() << count << " records with the unknown id 0x" << std::hex << id;
    const Table expected = exportedRows(QString::fromLatin1(c.csv));
    ASSERT_EQ(sheet.rows.size(), expected.size());
    for (std::size_t row = 0; row < expected.size(); ++row) {
        ASSERT_EQ(std::size_t(sheet.rows[row].size()), expected[row].size()) << "row " << row + 1;
        for (int column = 0; column < int(expected[row].size()); ++column) {
            const auto difference = c.differences.find({int(row), column});
            const QString want = difference == c.differences.end() ? expected[row][std::size_t(column)]
                                                                   : QString::fromUtf8(difference->second);
            EXPECT_EQ(sheet.rows[row][std::size_t(column)], want) << "row " << row + 1 << " column " << column;
        }
    }
}

const std::map<std::pair<int, int>, const char *> kCellsDifferences = {
    {{1, 2}, "TRUE"},
    {{4, 0}, "15 Mar 2024"},
    {{4, 1}, "13:45:00"},
    {{4, 2}, "0.18"},
    {{5, 0}, "15 Mar 2024 13:45:00"},
    {{7, 2}, "100000000000000000000"},
};

INSTANTIATE_TEST_SUITE_P(
    Files, WorkbookMatchesExportTest,
    testing::Values(ExportCase{"lo_cells.xls", "lo_cells.csv", kCellsDifferences},
                    ExportCase{"gnumeric_cells.xls", "gnumeric_cells.csv", kCellsDifferences},
                    ExportCase{"gnumeric_biff5_1254.xls", "gnumeric_biff5_1254.csv", kCellsDifferences},
                    ExportCase{"lo_long.xls", "lo_long.csv", {}},
                    ExportCase{"xlwt_cells.xls", "xlwt_cells.csv",
                               {{{2, 0}, "TRUE"}, {{2, 1}, "FALSE"}, {{2, 2}, "0.18"},
                                {{3, 0}, "15 Mar 2024"}, {{3, 1}, "13:45:00"}, {{3, 2}, "15 Mar 2024 13:45:00"}}}));

TEST(WorkbookFilesTest, long_texts_cross_continue_records_intact)
{
    const spreadsheet::SheetColumns sheet = spreadsheet::readSheet(kData + "lo_long.xls");
    ASSERT_TRUE(sheet.ok());
    ASSERT_EQ(sheet.rows.size(), 300u);
    EXPECT_EQ(sheet.rows[149][1], QStringLiteral("Çok uzun ürün açıklaması ğüşİı ").repeated(200).left(4000));
    EXPECT_EQ(sheet.rows[199][0], QStringLiteral("plain ascii text ").repeated(300).left(4000));
    EXPECT_EQ(sheet.rows[299][1], QStringLiteral("Ürün 300 ğüşıöç ") + QString(300 % 23, u'ş'));
}

TEST(WorkbookFilesTest, biff5_text_stored_as_utf16_is_decoded_as_such)
{
    const spreadsheet::SheetColumns sheet = spreadsheet::readSheet(kData + "gnumeric_biff5_utf16.xls");
    ASSERT_TRUE(sheet.ok());
    EXPECT_EQ(sheet.rows[0][1], "Çay Bardağı");
    EXPECT_EQ(sheet.rows[1][1], "Şeker");
    EXPECT_EQ(sheet.rows[5][1], "satır1\nsatır2");
}

TEST(WorkbookFilesTest, turkish_locale_numbers_read_back_as_the_stored_values)
{
    const spreadsheet::SheetColumns sheet = spreadsheet::readSheet(kData + "lo_cells.xls", kTurkish);
    ASSERT_TRUE(sheet.ok());
    EXPECT_EQ(sheet.rows[0][0], "8690504012345");
    EXPECT_EQ(sheet.rows[0][2], "12,5");
    EXPECT_EQ(kTurkish.toDouble(sheet.rows[0][2]), 12.5);
    EXPECT_EQ(kTurkish.toDouble(sheet.rows[5][2]), -3.25);
    EXPECT_EQ(sheet.rows[4][2], "0,18");
    bool numeric = true;
    kTurkish.toDouble(sheet.rows[1][0], &numeric);
    EXPECT_FALSE(numeric) << "an error value must not pass as a price";
}

// One workbook encrypted in each kind Excel 97-2003 knows: with the built-in
// default password, which Excel opens without asking, it reads like its
// unencrypted twin; with a real one ("gizli") it is refused.
struct EncryptedCase {
    const char *workbook;
    const char *twin;  // nullptr when refused
    spreadsheet::ReadError error;
};

void PrintTo(const EncryptedCase &c, std::ostream *out) { *out << c.workbook; }

class EncryptedWorkbookTest : public testing::TestWithParam<EncryptedCase> {};

TEST_P(EncryptedWorkbookTest, reads_like_its_twin_or_is_refused)
{
    const EncryptedCase &c = GetParam();
    const spreadsheet::SheetColumns sheet = spreadsheet::readSheet(kData + c.workbook, QLocale::c());
    const spreadsheet::SheetColumns twin =
        c.twin ? spreadsheet::readSheet(kData + c.twin, QLocale::c()) : spreadsheet::SheetColumns{};
    ASSERT_EQ(sheet.error, c.error) << sheet.detail().toStdString();
    EXPECT_EQ(sheet.detail().isEmpty(), sheet.ok());
    EXPECT_FALSE(sheet.damaged);
    EXPECT_EQ(sheet.rows, twin.rows);
    EXPECT_EQ(sheet.unknownRecords, twin.unknownRecords);
}

INSTANTIATE_TEST_SUITE_P(
    Files, EncryptedWorkbookTest,
    testing::Values(EncryptedCase{"rc4_default.xls", "lo_cells.xls", spreadsheet::ReadError::None},
                    EncryptedCase{"cryptoapi_default.xls", "lo_cells.xls", spreadsheet::ReadError::None},
                    EncryptedCase{"xor_default.xls", "lo_cells.xls", spreadsheet::ReadError::None},
                    EncryptedCase{"encrypted.xls", nullptr, spreadsheet::ReadError::PasswordProtected},
                    EncryptedCase{"cryptoapi_password.xls", nullptr, spreadsheet::ReadError::PasswordProtected},
                    EncryptedCase{"xor_password.xls", nullptr, spreadsheet::ReadError::PasswordProtected},
                    // 57 blocks of 1,024 bytes, each with its own key, and
                    // strings that cross CONTINUE records.
                    EncryptedCase{"rc4_default_long.xls", "lo_long.xls", spreadsheet::ReadError::None},
                    EncryptedCase{"xor_default_biff5.xls", "gnumeric_biff5_1254.xls", spreadsheet::ReadError::None}),
    [](const testing::TestParamInfo<EncryptedCase> &info) {
        const std::string name = info.param.workbook;
        return name.substr(0, name.size() - 4);
    });

struct RefusalCase {
    const char *file;
    spreadsheet::ReadError error;
};

void PrintTo(const RefusalCase &c, std::ostream *out) { *out << c.file; }

class RefusedFileTest : public testing::TestWithParam<RefusalCase> {};

TEST_P(RefusedFileTest, is_refused_with_its_reason)
{
    const spreadsheet::SheetColumns sheet = spreadsheet::readSheet(kData + GetParam().file);
    EXPECT_EQ(sheet.error, GetParam().error);
    EXPECT_FALSE(sheet.detail().isEmpty());
    EXPECT_TRUE(sheet.rows.empty());
}

INSTANTIATE_TEST_SUITE_P(Files, RefusedFileTest,
                         testing::Values(RefusalCase{"truncated.xls", spreadsheet::ReadError::Damaged},
                                         RefusalCase{"no_such_file.xls", spreadsheet::ReadError::CannotOpen}));

}  // namespace
