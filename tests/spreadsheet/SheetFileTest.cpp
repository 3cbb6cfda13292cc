// The front every caller reads through: the kind told by content, and the
// refusals that belong to no one format.

#include "spreadsheet/SheetFile.h"
#include "package/ZipBuilder.h"
#include "xls/WorkbookBuilder.h"
#include "tests/common/ScratchFile.h"

#include "tests/common/StoredRows.h"

#include <gtest/gtest.h>

#include <QFile>
#include <QTemporaryDir>

#include <functional>
#include <ostream>
#include <string>
#include <utility>
#include <vector>
#include "tests/common/NamedCases.h"

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
    EXPECT_EQ(sheet.error, GetParam().error) << sheet.detail().toStdString();
    EXPECT_FALSE(sheet.detail().isEmpty());
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
    ByName());

TEST(SheetFile, a_renamed_file_reads_as_what_it_is)
{
    const QString data = QStringLiteral(XLS_TEST_DATA "/");
    // Each renamed file beside the same content under its own kind's name.
    for (const auto &[renamed, twin] : {std::pair{"csv_renamed.xls", "lo_cells.csv"},
                                         std::pair{"xlsx_renamed.xls", "gnumeric_cells.xls"}}) {
        const spreadsheet::SheetColumns sheet = spreadsheet::readSheet(data + QLatin1StringView(renamed));
        ASSERT_TRUE(sheet.ok()) << renamed << ": " << sheet.detail().toStdString();
        EXPECT_EQ(sheet.rows, spreadsheet::readSheet(data + QLatin1StringView(twin)).rows) << renamed;
        EXPECT_EQ(sheet.rows[0][0], "8690504012345") << renamed;
    }
}

// Longer than a cell holds, with a character outside the BMP where the cut falls.
const QString kLongText = QString(spreadsheet::kMaxCellText - 1, u'x') + QString::fromUtf16(u"\U0001F355") + QString(9000, u'y');
// What every reader makes of it: the half of the pair the cut would split goes too.
const QString kClippedText = QString(spreadsheet::kMaxCellText - 1, u'x');

struct LongTextCase {
    const char *name;
    std::function<QByteArray()> file;
    QString clipped;
};

void PrintTo(const LongTextCase &c, std::ostream *os)
{
    *os << c.name;
}

class LongCellText : public ::testing::TestWithParam<LongTextCase> {};

TEST_P(LongCellText, is_cut_where_spreadsheet_programs_cut_it)
{
    const ScratchFile file(QStringLiteral("long"), GetParam().file());
    ASSERT_TRUE(file.ok());
    // Through the front that hands rows over one by one, and the one that gathers them.
    const spreadsheet::SheetColumns sheet = spreadsheet::readSheet(file.path(), QLocale::c());
    ASSERT_TRUE(sheet.ok()) << sheet.detail().toStdString();
    ASSERT_EQ(sheet.rows.size(), 2u);
    for (const spreadsheet::RowCells &cells : sheet.rows)
        EXPECT_EQ(cells[0], GetParam().clipped);
    EXPECT_EQ(sheet.rows[0][1], "kisa");
    // Whether the file stores it once or once per cell, the text is held once.
    EXPECT_TRUE(sheet.rows.cells(0)[0].text() == sheet.rows.cells(1)[0].text());
    EXPECT_EQ(spreadsheet::readSheetFromBytes(GetParam().file(), QLocale::c()).rows, sheet.rows);
}

QByteArray longTextXls()
{
    using namespace xlstest;
    const std::string text(40'000, 'x');
    return CompoundImage(workbookStream(sharedStrings(2, {text, "kisa"}),
                                        concat({labelSst(0, 0, 0), labelSst(0, 1, 1), labelSst(1, 0, 0)})))
        .data();
}

QByteArray longTextOds()
{
    const QByteArray cell = "<table:table-cell office:value-type=\"string\"><text:p>" + kLongText.toUtf8() + "</text:p></table:table-cell>";
    return openDocumentPackage(R"(<table:table-row table:number-rows-repeated="2">)" + cell
                               + "<table:table-cell><text:p>kisa</text:p></table:table-cell></table:table-row>");
}

INSTANTIATE_TEST_SUITE_P(
    Readers, LongCellText,
    ::testing::Values(
        LongTextCase{"csv", [] { return kLongText.toUtf8() + ",kisa\n" + kLongText.toUtf8() + "\n"; }, kClippedText},
        LongTextCase{"html", [] {
                         return "<html><body><table><tr><td>" + kLongText.toUtf8() + "</td><td>kisa</td></tr><tr><td>"
                                + kLongText.toUtf8() + "</td></tr></table></body></html>";
                     },
                     kClippedText},
        LongTextCase{"xlsx_shared_string", [] {
                         return openXmlPackage(R"(<row r="1"><c r="A1" t="s"><v>0</v></c><c r="B1" t="s"><v>1</v></c></row>)"
                                               R"(<row r="2"><c r="A2" t="s"><v>0</v></c></row>)",
                                               "<si><t>" + kLongText.toUtf8() + "</t></si><si><t>kisa</t></si>");
                     },
                     kClippedText},
        LongTextCase{"xlsx_inline_string", [] {
                         const QByteArray inlineText = R"(t="inlineStr"><is><t>)" + kLongText.toUtf8() + "</t></is></c>";
                         return openXmlPackage(R"(<row r="1"><c r="A1" )" + inlineText
                                               + R"(<c r="B1" t="inlineStr"><is><t>kisa</t></is></c></row><row r="2"><c r="A2" )"
                                               + inlineText + "</row>");
                     },
                     kClippedText},
        LongTextCase{"ods_repeated_row", longTextOds, kClippedText},
        LongTextCase{"xls_shared_string", longTextXls, QString(spreadsheet::kMaxCellText, u'x')}),
    ByName());

TEST(SheetFile, a_missing_file_cannot_be_opened)
{
    QTemporaryDir dir;
    EXPECT_EQ(spreadsheet::readSheet(dir.filePath(QStringLiteral("yok.xls"))).error, ReadError::CannotOpen);
}

// An encrypted .xlsx (made by tests/data/encrypted/make_encrypted.py) and
// what reading it gives: the sheet with the default password, a refusal otherwise.
struct EncryptedCase {
    const char *file;
    ReadError error;
};

void PrintTo(const EncryptedCase &c, std::ostream *os)
{
    *os << c.file;
}

class EncryptedWorkbook : public ::testing::TestWithParam<EncryptedCase> {};

TEST_P(EncryptedWorkbook, reads_with_the_default_password_and_refuses_any_other)
{
    const QString path = QStringLiteral(ENCRYPTED_TEST_DATA "/") + QString::fromLatin1(GetParam().file);
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const std::vector<spreadsheet::RowCells> expected =
        GetParam().error != ReadError::None
            ? std::vector<spreadsheet::RowCells>{}
            : std::vector<spreadsheet::RowCells>{{"Barkod", "Ürün", "Fiyat"},
                                                 {"8690504012345", "Çay Bardağı", "12.5"},
                                                 {"8690504012346", "Şeker", "45"}};
    // Read from the file as it streams, and from its bytes in memory.
    for (const spreadsheet::SheetColumns &sheet :
         {spreadsheet::readSheet(path, QLocale::c()), spreadsheet::readSheetFromBytes(file.readAll(), QLocale::c())}) {
        EXPECT_EQ(sheet.error, GetParam().error) << sheet.detail().toStdString();
        EXPECT_FALSE(sheet.damaged) << sheet.damage.toStdString();
        EXPECT_EQ(rowsOf(sheet.rows), expected);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Files, EncryptedWorkbook,
    testing::Values(EncryptedCase{"standard_default.xlsx", ReadError::None},
                    EncryptedCase{"agile_default.xlsx", ReadError::None},
                    EncryptedCase{"agile_sha1_default.xlsx", ReadError::None},
                    EncryptedCase{"standard_password.xlsx", ReadError::PasswordProtected},
                    EncryptedCase{"agile_password.xlsx", ReadError::PasswordProtected},
                    EncryptedCase{"standard_header_cut.xlsx", ReadError::Damaged},
                    EncryptedCase{"standard_long_size.xlsx", ReadError::Damaged},
                    EncryptedCase{"standard_not_zip.xlsx", ReadError::Damaged},
                    EncryptedCase{"agile_xml_cut.xlsx", ReadError::Damaged},
                    EncryptedCase{"agile_package_cut.xlsx", ReadError::Damaged}),
    [](const auto &info) { return std::string(info.param.file).substr(0, std::string(info.param.file).find('.')); });

// One row of a sheet: the cells with text, by 0-based column, in order.
using SheetRow = std::vector<std::pair<int, std::u16string>>;

// A product list as people keep them: a title, a header in an order of its
// own, products, a blank row, a cell far to the right (AD), a row with only
// column E, and cells past IV, the last of them in a row of its own.
const std::vector<SheetRow> kWideSheet = {
    {{0, u"Fiyat Listesi"}},
    {{0, u"Barkod"}, {1, u"Ürün Adı"}, {2, u"KDV"}, {3, u"Kategori"}, {4, u"Satış Fiyatı"}},
    {{0, u"8690000000001"}, {1, u"Çay"}, {2, u"10"}, {3, u"İçecek"}, {4, u"12,50"}},
    {{0, u"8690000000002"}, {1, u"Simit"}, {2, u"1"}, {3, u"Fırın"}, {4, u"7,50"}},
    {},
    {{0, u"8690000000003"}, {29, u"uzak"}},
    {{4, u"yalnız E"}},
    {{0, u"son"}, {256, u"görünmez"}},
    {{256, u"görünmez"}},
};

QByteArray utf8(const std::u16string &text)
{
    return QString::fromStdU16String(text).toUtf8();
}

// "A" for column 0, "AD" for 29, "IW" for 256.
QByteArray columnName(int column)
{
    QByteArray name;
    for (int number = column + 1; number > 0; number = (number - 1) / 26)
        name.prepend(char('A' + (number - 1) % 26));
    return name;
}

QByteArray asXls(const std::vector<SheetRow> &rows)
{
    Bytes cells;
    for (std::size_t row = 0; row < rows.size(); ++row) {
        for (const auto &[column, text] : rows[row])
            cells = concat({cells, label(std::uint16_t(row), std::uint16_t(column), text)});
    }
    return CompoundImage(workbookStream({}, cells)).data();
}

QByteArray asXlsx(const std::vector<SheetRow> &rows)
{
    QByteArray sheetData;
    for (std::size_t row = 0; row < rows.size(); ++row) {
        const QByteArray number = QByteArray::number(row + 1);
        sheetData += "<row r=\"" + number + "\">";
        for (const auto &[column, text] : rows[row])
            sheetData += "<c r=\"" + columnName(column) + number + "\" t=\"inlineStr\"><is><t>" + utf8(text) + "</t></is></c>";
        sheetData += "</row>";
    }
    return openXmlPackage(sheetData);
}

// Blank cells before a text come as one cell repeated, or one spanning them.
QByteArray asOds(const std::vector<SheetRow> &rows)
{
    QByteArray table;
    for (const SheetRow &row : rows) {
        table += "<table:table-row>";
        int next = 0;
        for (const auto &[column, text] : row) {
            if (column > next)
                table += "<table:table-cell table:number-columns-repeated=\"" + QByteArray::number(column - next) + "\"/>";
            table += "<table:table-cell office:value-type=\"string\"><text:p>" + utf8(text) + "</text:p></table:table-cell>";
            next = column + 1;
        }
        table += row.empty() ? "<table:table-cell/></table:table-row>" : "</table:table-row>";
    }
    return openDocumentPackage(table);
}

QByteArray asHtml(const std::vector<SheetRow> &rows)
{
    QByteArray page = "<html><body><table>";
    for (const SheetRow &row : rows) {
        page += "<tr>";
        int next = 0;
        for (const auto &[column, text] : row) {
            if (column > next)
                page += "<td colspan=\"" + QByteArray::number(column - next) + "\"></td>";
            page += "<td>" + utf8(text) + "</td>";
            next = column + 1;
        }
        page += "</tr>";
    }
    return page + "</table></body></html>";
}

QByteArray asCsv(const std::vector<SheetRow> &rows)
{
    QByteArray text;
    for (const SheetRow &row : rows) {
        QList<QByteArray> fields(row.empty() ? 0 : row.back().first + 1);
        for (const auto &[column, cell] : row)
            fields[column] = utf8(cell);
        text += fields.join(';') + "\r\n";
    }
    return text;
}

struct WideCase {
    const char *name;
    QByteArray (*write)(const std::vector<SheetRow> &rows);
};

void PrintTo(const WideCase &c, std::ostream *os)
{
    *os << c.name;
}

class WideSheet : public ::testing::TestWithParam<WideCase> {};

TEST_P(WideSheet, every_format_gives_every_column_up_to_iv)
{
    const ScratchFile file(QStringLiteral("liste"), GetParam().write(kWideSheet));
    ASSERT_TRUE(file.ok());
    const spreadsheet::SheetColumns sheet = spreadsheet::readSheet(file.path(), QLocale::c());
    ASSERT_TRUE(sheet.ok()) << sheet.detail().toStdString();
    EXPECT_FALSE(sheet.damaged) << sheet.damage.toStdString();
    spreadsheet::RowCells farRight(30);
    farRight[0] = "8690000000003";
    farRight[29] = "uzak";
    const std::vector<spreadsheet::RowCells> expected{
        {"Fiyat Listesi", "", ""},
        {"Barkod", "Ürün Adı", "KDV", "Kategori", "Satış Fiyatı"},
        {"8690000000001", "Çay", "10", "İçecek", "12,50"},
        {"8690000000002", "Simit", "1", "Fırın", "7,50"},
        {"", "", ""},
        farRight,
        {"", "", "", "", "yalnız E"},
        {"son", "", ""},
    };
    EXPECT_EQ(rowsOf(sheet.rows), expected);
}

INSTANTIATE_TEST_SUITE_P(Formats, WideSheet,
                         testing::Values(WideCase{"xls", asXls}, WideCase{"xlsx", asXlsx}, WideCase{"ods", asOds},
                                         WideCase{"csv", asCsv}, WideCase{"html", asHtml}),
                         ByName());

}  // namespace
