// Rows written to a workbook come back through the readers as they were
// given, texts a workbook cannot hold are made fit, and a failed write
// leaves nothing half-written behind.

#include "spreadsheet/SheetFile.h"
#include "spreadsheet/package/ZipArchive.h"
#include "spreadsheet/write/RowsWorkbook.h"
#include "tests/common/QtPrinters.h"
#include "tests/spreadsheet/write/WorkbookParts.h"

#include "tests/common/StoredRows.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>

#include <string>

#ifdef Q_OS_UNIX
#include <sys/resource.h>

#include <csignal>
#endif

namespace {

using spreadsheet::kMaxCellChars;
using spreadsheet::RowTexts;

RowTexts row(const char *barcode, const char *name, const char *price, const char *reason)
{
    return {QString::fromUtf8(barcode), QString::fromUtf8(name), QString::fromUtf8(price), QString::fromUtf8(reason)};
}

QStringList entriesOf(const QString &folder)
{
    return QDir(folder).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden);
}

TEST(RowsWorkbook, reads_back_every_column_exactly_from_the_first_row)
{
    const std::vector<RowTexts> rows{
        row("0012345678905", "Çiğ köfte dürüm İÖŞÜ ığüşöç", "12,50", "Fiyat geçersiz"),
        row("8690000000001", "Ayran", "", "Fiyat boş"),
        row("", "  Boşluklu \"tırnaklı\"\tad  ", "7", "Aynı barkod: \"8690000000001\"\nikinci satır"),
        row("", "", "", "Boş satır"),
        row("000", "Şalgam 🌶", "1.234,5", ""),
    };
    const QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("kalanlar.xlsx"));

    ASSERT_TRUE(spreadsheet::writeRowsWorkbook(path, {row("1", "Eski", "1", ""), row("2", "Eski", "2", "")}).ok());
    ASSERT_TRUE(spreadsheet::writeRowsWorkbook(path, rows).ok());

    const spreadsheet::SheetColumns sheet = spreadsheet::readSheet(path);
    ASSERT_TRUE(sheet.ok() && !sheet.damaged) << sheet.detail().toStdString();
    const std::vector<spreadsheet::RowCells> expected{
        {rows[0][0], rows[0][1], rows[0][2], rows[0][3]}, {rows[1][0], rows[1][1], "", rows[1][3]},
        {"", rows[2][1], rows[2][2], rows[2][3]},         {"", "", "", rows[3][3]},
        {rows[4][0], rows[4][1], rows[4][2]},
    };
    EXPECT_EQ(rowsOf(sheet.rows), expected);
}

struct TextCase {
    std::string name;
    QString given;
    QString stored;
};

class StoredText : public ::testing::TestWithParam<TextCase> {};

TEST_P(StoredText, is_what_a_cell_can_hold)
{
    const QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("kalanlar.xlsx"));
    ASSERT_TRUE(spreadsheet::writeRowsWorkbook(path, {{QStringLiteral("1"), GetParam().given, QString(), QString()}}).ok());

    const spreadsheet::SheetColumns sheet = spreadsheet::readSheet(path);
    ASSERT_EQ(sheet.rows.size(), 1u) << sheet.detail().toStdString();
    EXPECT_EQ(sheet.rows[0][1], GetParam().stored);
}

const QString kEmoji = QString::fromUtf8("😀");

INSTANTIATE_TEST_SUITE_P(
    Cases, StoredText,
    ::testing::Values(
        TextCase{"tab_and_line_feed_kept", QStringLiteral("a\tb\nc"), QStringLiteral("a\tb\nc")},
        TextCase{"what_xml_cannot_carry_dropped",
                 QStringLiteral("a\x01" "b\x1F") + QChar(char16_t(0xFFFF)) + QChar(char16_t(0xD83D)) + u'c' + QChar(char16_t(0xDC00)),
                 QStringLiteral("abc")},
        TextCase{"carriage_returns_become_line_feeds", QStringLiteral("a\r\nb\rc"), QStringLiteral("a\nb\nc")},
        TextCase{"overlong_text_cut_to_the_limit", QString(10, u'\x01') + QString(40'000, u'a'), QString(kMaxCellChars, u'a')},
        TextCase{"a_pair_that_would_cross_the_limit_left_out", QString(kMaxCellChars - 1, u'a') + kEmoji,
                 QString(kMaxCellChars - 1, u'a')},
        TextCase{"a_pair_that_ends_on_the_limit_kept", QString(kMaxCellChars - 2, u'a') + kEmoji,
                 QString(kMaxCellChars - 2, u'a') + kEmoji}),
    [](const auto &info) { return info.param.name; });

TEST(RowsWorkbook, an_unwritable_path_gives_a_reason_and_leaves_the_folder_as_it_was)
{
    const QTemporaryDir dir;
    ASSERT_TRUE(QDir(dir.path()).mkdir(QStringLiteral("klasör")));
    for (const char *path : {"yok/kalanlar.xlsx", "klasör"}) {
        EXPECT_FALSE(spreadsheet::writeRowsWorkbook(dir.filePath(QString::fromUtf8(path)), {row("1", "Çay", "5", "")}).ok())
            << path;
        EXPECT_EQ(entriesOf(dir.path()), QStringList{QStringLiteral("klasör")}) << path;
        EXPECT_EQ(entriesOf(dir.filePath(QStringLiteral("klasör"))), QStringList()) << path;
    }
}

TEST(RowsWorkbook, numbers_in_the_xml_use_a_decimal_point_whatever_the_c_library_locale)
{
    const QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("kalanlar.xlsx"));
    {
        const TurkishCLocale turkish;
        if (!turkish.active())
            GTEST_SKIP() << "no Turkish locale on this system; scripts/deps.sh generates tr_TR.UTF-8";
        ASSERT_TRUE(spreadsheet::writeRowsWorkbook(path, {row("1", "Çay", "12,5", "fiyat")}).ok());
    }
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QByteArray archive = file.readAll();
    const QRegularExpression decimalComma(QStringLiteral("=\"[-+]?[0-9]+,[0-9]+\""));
    for (const char *name : {"xl/worksheets/sheet1.xml", "xl/styles.xml", "xl/workbook.xml", "docProps/app.xml"}) {
        const QString xml = QString::fromUtf8(partOf(archive, name));
        EXPECT_FALSE(xml.contains(decimalComma)) << name << ": " << xml.toStdString();
    }
    EXPECT_TRUE(partOf(archive, "xl/worksheets/sheet1.xml").contains("left=\"0.7\""));

    // Another program's reader, where one is installed: the first Python
    // on the path may be a user's own without it, the system's has it.
    for (const QString &python : {QStringLiteral("python3"), QStringLiteral("/usr/bin/python3")}) {
        QProcess openpyxl;
        openpyxl.start(python, {QStringLiteral("-c"), QStringLiteral("import openpyxl, sys; print(openpyxl."
                       "load_workbook(sys.argv[1]).active.column_dimensions['A'].width)"), path});
        if (!openpyxl.waitForFinished(60000) || openpyxl.exitStatus() != QProcess::NormalExit)
            continue;
        const QByteArray errors = openpyxl.readAllStandardError();
        if (errors.contains("No module named"))
            continue;
        EXPECT_EQ(openpyxl.exitCode(), 0) << errors.toStdString();
        EXPECT_EQ(openpyxl.readAllStandardOutput().trimmed(), "18.7109375");
        return;
    }
    GTEST_SKIP() << "no python3 with openpyxl (python3-openpyxl) here";
}

#ifdef Q_OS_UNIX
// POSIX only: a limit on the size of every file this process writes stands
// in for a disk that fills up while the workbook is put together. The sheet's
// parts outgrow the limit; the zip of what is left of them would not.
TEST(RowsWorkbook, a_disk_that_fills_up_leaves_the_older_file_as_it_was)
{
    const QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("kalanlar.xlsx"));
    QFile older(path);
    ASSERT_TRUE(older.open(QIODevice::WriteOnly) && older.write("eski") == 4 && older.flush());
    std::vector<RowTexts> rows;
    for (int k = 0; k < 3000; ++k)
        rows.push_back({QString::number(8690000000000LL + k), QStringLiteral("Ürün %1").arg(k), QStringLiteral("%1,50").arg(k), QString()});

    rlimit before{};
    getrlimit(RLIMIT_FSIZE, &before);
    rlimit limited = before;
    limited.rlim_cur = 64 * 1024;
    const auto handler = std::signal(SIGXFSZ, SIG_IGN);
    setrlimit(RLIMIT_FSIZE, &limited);
    const platform::Outcome written = spreadsheet::writeRowsWorkbook(path, rows);
    setrlimit(RLIMIT_FSIZE, &before);
    std::signal(SIGXFSZ, handler);

    EXPECT_FALSE(written.ok());
    older.close();
    ASSERT_TRUE(older.open(QIODevice::ReadOnly));
    EXPECT_EQ(older.readAll(), QByteArray("eski"));
    EXPECT_EQ(entriesOf(dir.path()), QStringList{QStringLiteral("kalanlar.xlsx")});
}
#endif

}  // namespace
