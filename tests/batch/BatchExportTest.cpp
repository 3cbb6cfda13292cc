// End to end: `toplu-ekle --export` writes a database's menu to a workbook.
#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include "tests/common/StoredRows.h"

#include <gtest/gtest.h>

#include "spreadsheet/SheetFile.h"
#include "tests/common/ProgramRun.h"
#include "tests/common/QtPrinters.h"
#include "tests/common/TestDatabase.h"

namespace {

class BatchExport : public ::testing::Test {
protected:
    QTemporaryDir home;

    ProgramRun run(const QStringList &arguments) const
    {
        return runProgram(QStringLiteral(TOPLU_EKLE), home.path(), arguments);
    }

    // Items with a price, one in another group, one without a barcode and
    // one whose price cannot be told.
    static void fillMenu(const TestDatabase &db)
    {
        for (const char *sql : {
                 "INSERT INTO MenuItems (id, GroupCode, Barcode, Name) VALUES (1, 'İçecek', '0086900', 'Çay'), "
                 "(2, 'Tatlı', '222', 'Baklava'), (3, 'İçecek', '', 'Bardak'), (4, 'İçecek', '444', 'Kahve')",
                 "INSERT INTO MenuItemPortions (id, Name, MenuItemId) VALUES (1, 'Normal', 1), (2, 'Normal', 2), "
                 "(3, 'Normal', 3), (4, 'Küçük', 4), (5, 'Büyük', 4)",
                 "INSERT INTO MenuItemPrices (MenuItemPortionId, PriceTag, Price) VALUES (1, NULL, 12.5), (2, NULL, 120), "
                 "(3, NULL, 1), (4, NULL, 40), (5, NULL, 60)"})
            ASSERT_EQ(db.exec(QString::fromUtf8(sql)), QString());
    }

    static QByteArray sha1(const QString &path)
    {
        QFile file(path);
        EXPECT_TRUE(file.open(QIODevice::ReadOnly));
        return QCryptographicHash::hash(file.readAll(), QCryptographicHash::Sha1);
    }
};

using Rows = std::vector<spreadsheet::RowCells>;

}  // namespace

TEST_F(BatchExport, WritesTheWindowsOwnDatabaseMenuAndCountsWhatItLeftOut)
{
    ASSERT_TRUE(QDir(home.path()).mkpath(QStringLiteral("MenoraPOS-Restaurant/MenoraData")));
    const QString dbPath = home.filePath(QStringLiteral("MenoraPOS-Restaurant/MenoraData/Menora POS.db"));
    ASSERT_EQ(posdb::createStandInDatabase(dbPath, true), QString());
    fillMenu(*TestDatabase::existing(dbPath));
    const QByteArray before = sha1(dbPath);
    const QString workbook = home.filePath(QStringLiteral("menü.xlsx"));

    const ProgramRun all = run({QStringLiteral("--export"), workbook});
    EXPECT_EQ(all.exitCode, 0) << all.err.toStdString();
    EXPECT_EQ(all.err, QStringLiteral("[Menora POS.db]\n2 ürün yazıldı: %1\nBarkodu olmayan 1 ürün yazılmadı\n"
                                      "Fiyatı okunamayan 1 ürün yazılmadı (birden çok porsiyon)\n")
                           .arg(QDir::toNativeSeparators(workbook)));
    EXPECT_TRUE(all.out.isEmpty());
    EXPECT_EQ(rowsOf(spreadsheet::readSheet(workbook, QLocale::c()).rows), (Rows{{"0086900", "Çay", "12.5", "İçecek"}, {"222", "Baklava", "120", "Tatlı"}}));
    EXPECT_EQ(sha1(dbPath), before) << "an export opens the database read-only";

    const ProgramRun group = run({QStringLiteral("--export=") + workbook, QStringLiteral("--group"), QStringLiteral(" İçecek")});
    EXPECT_EQ(group.exitCode, 0) << group.err.toStdString();
    EXPECT_EQ(rowsOf(spreadsheet::readSheet(workbook, QLocale::c()).rows), (Rows{{"0086900", "Çay", "12.5", "İçecek"}}));
}

TEST_F(BatchExport, ATargetThatCannotBeReachedExits3AndWritesNothing)
{
    const QString workbook = home.filePath(QStringLiteral("menü.xlsx"));
    const ProgramRun missing = run({QStringLiteral("--export"), workbook, QStringLiteral("--connection"),
                                    QStringLiteral("Data Source=") + home.filePath(QStringLiteral("yok.db"))});
    EXPECT_EQ(missing.exitCode, 3);
    EXPECT_TRUE(missing.err.startsWith(QStringLiteral("[yok.db]\n"))) << missing.err.toStdString();
    EXPECT_FALSE(QFile::exists(workbook));

    TestDatabase noMenu;
    ASSERT_EQ(noMenu.exec(QStringLiteral("DROP TABLE MenuItemPrices")), QString());
    const ProgramRun unreadable = run({QStringLiteral("--export"), workbook, QStringLiteral("--connection"), noMenu.connectionText()});
    EXPECT_EQ(unreadable.exitCode, 3);
    EXPECT_TRUE(unreadable.err.contains(QStringLiteral("Menü okunamadı"))) << unreadable.err.toStdString();
    EXPECT_FALSE(QFile::exists(workbook));
}

TEST_F(BatchExport, AWorkbookThatCannotBeWrittenExits64)
{
    TestDatabase db;
    const ProgramRun result = run({QStringLiteral("--export"), home.filePath(QStringLiteral("yok/menü.xlsx")),
                                   QStringLiteral("--connection"), db.connectionText()});
    EXPECT_EQ(result.exitCode, 64);
    EXPECT_TRUE(result.err.contains(QStringLiteral("Menü dosyaya yazılamadı"))) << result.err.toStdString();
}

TEST_F(BatchExport, AnExportWithAnythingButOneTargetIsWrongUsage)
{
    const QString workbook = home.filePath(QStringLiteral("menü.xlsx"));
    const QString sheet = writeSheet(home.path(), QStringLiteral("urunler.csv"), {QStringLiteral("1;Çay;5")});
    const std::pair<QStringList, const char *> cases[] = {
        {{sheet}, "--export takes no spreadsheet."},
        {{QStringLiteral("--undo-last")}, "--export does not go with"},
        {{QStringLiteral("--undo"), QStringLiteral("kayit.json")}, "--export does not go with"},
        {{QStringLiteral("--dry-run")}, "--export does not go with"},
        {{QStringLiteral("--connection=Data Source=a.db"), QStringLiteral("--connection=Data Source=b.db")},
         "--export takes one target only."},
        {{QStringLiteral("--export=")}, "--export needs a file name."},
    };
    for (const auto &[arguments, message] : cases) {
        SCOPED_TRACE(arguments.join(u' ').toStdString());
        const ProgramRun result = run(QStringList{QStringLiteral("--export"), workbook} + arguments);
        EXPECT_EQ(result.exitCode, 64);
        EXPECT_TRUE(result.err.contains(QString::fromUtf8(message))) << result.err.toStdString();
    }
    EXPECT_FALSE(QFile::exists(workbook));
}
