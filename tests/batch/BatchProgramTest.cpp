// End to end: the built toplu-ekle program, with a temporary home holding the
// window's default database, against stand-in databases.
#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>


#include <gtest/gtest.h>

#ifdef Q_OS_UNIX
#include <pwd.h>
#include <unistd.h>
#endif

#include "tests/common/Outcomes.h"
#include "import/BulkImport.h"
#include "import/ImportJournal.h"
#include "tests/common/CrashingJournal.h"
#include "tests/common/ProgramRun.h"
#include "tests/common/TestDatabase.h"

namespace {

class BatchProgram : public ::testing::Test {
protected:
    QTemporaryDir home;

    ProgramRun run(const QStringList &arguments, const QString &outputFile = {}) const
    {
        return runProgram(QStringLiteral(TOPLU_EKLE), home.path(), arguments, outputFile);
    }

    // A CSV file in the home holding `lines` (";"-separated cells).
    QString sheet(const QString &name, const QStringList &lines) const
    {
        return writeSheet(home.path(), name, lines);
    }

    static QByteArray sha1(const QString &path)
    {
        QFile file(path);
        EXPECT_TRUE(file.open(QIODevice::ReadOnly));
        return QCryptographicHash::hash(file.readAll(), QCryptographicHash::Sha1);
    }
};

}  // namespace

TEST_F(BatchProgram, ImportsIntoTheWindowsOwnDatabaseAndReportsEveryRow)
{
    // The window's default: no settings file, so the fallback database.
    ASSERT_TRUE(QDir(home.path()).mkpath(QStringLiteral("MenoraPOS-Restaurant/MenoraData")));
    const QString dbPath = home.filePath(QStringLiteral("MenoraPOS-Restaurant/MenoraData/Menora POS.db"));
    ASSERT_EQ(posdb::createStandInDatabase(dbPath, true), QString());
    const QString products = sheet(QStringLiteral("urunler.csv"), {
        QStringLiteral("8690000000017;Çay;12.5"),
        QStringLiteral("8690000000024;Simit, susamlı;7"),
        QStringLiteral("8690000000031;Su;bedava"),
        QStringLiteral(";;"),
        QStringLiteral("8690000000048;\"Ayran \"\"büyük\"\"\";9.75"),
    });

    const ProgramRun first = run({products, QStringLiteral("--group"), QStringLiteral("İçecek"), QStringLiteral("--unit"),
                           QStringLiteral("kg"), QStringLiteral("--show"), QStringLiteral("--colour=sari"),
                           QStringLiteral("--printer"), QStringLiteral("Bar Yazıcısı"), QStringLiteral("--submenu"),
                           QStringLiteral("Soğuk")});
    EXPECT_EQ(first.exitCode, 1) << first.err.toStdString();  // one row skipped
    EXPECT_EQ(first.out.section(u'\n', 0, 0), QStringLiteral("target,row,barcode,name,group,status,reason,item_id,old_price,new_price\r"));
    EXPECT_EQ(reportLines(first), (QStringList{
        QStringLiteral("Menora POS.db,1,8690000000017,Çay,İçecek,landed,,1,,"),
        QStringLiteral("Menora POS.db,2,8690000000024,\"Simit, susamlı\",İçecek,landed,,2,,"),
        QStringLiteral("Menora POS.db,3,8690000000031,Su,İçecek,skipped,fiyat bir sayı değil (“bedava”),,,"),
        QStringLiteral("Menora POS.db,5,8690000000048,\"Ayran \"\"büyük\"\"\",İçecek,landed,,3,,"),
    }));
    EXPECT_TRUE(first.err.contains(QStringLiteral("[Menora POS.db]\n3 ürün eklendi\nAtlanan satır: 1 (3)")))
        << first.err.toStdString();
    EXPECT_FALSE(first.err.contains(u'\r')) << "no progress bar when standard error is not a terminal";

    const std::unique_ptr<TestDatabase> db = TestDatabase::existing(dbPath);
    EXPECT_EQ(db->rows(QStringLiteral("SELECT m.Name, m.GroupCode, p.Multiplier, r.Price, s.ButtonColor, s.SubMenuTag, "
                                     "c.Name, pm.PrinterId FROM MenuItems m "
                                     "JOIN MenuItemPortions p ON p.MenuItemId = m.id "
                                     "JOIN MenuItemPrices r ON r.MenuItemPortionId = p.id "
                                     "JOIN ScreenMenuItems s ON s.MenuItemId = m.id "
                                     "JOIN ScreenMenuCategories c ON c.id = s.ScreenMenuCategoryId "
                                     "JOIN PrinterMaps pm ON pm.MenuItemId = m.id WHERE m.id = 1")),
              (QList<QVariantList>{{QStringLiteral("Çay"), QStringLiteral("İçecek"), 1000, 12.5,
                                    QStringLiteral("#FFFFFF00"), QStringLiteral("Soğuk"), QStringLiteral("İçecek"), 2}}));

    // Every usable row landing is exit 0.
    const ProgramRun clean = run({sheet(QStringLiteral("yeni.csv"), {QStringLiteral("8690000000055;Gazoz;15")})});
    EXPECT_EQ(clean.exitCode, 0) << clean.err.toStdString();
    EXPECT_EQ(db->count(QStringLiteral("MenuItems")), 4);
}

TEST_F(BatchProgram, ATargetThatCannotBeReachedDoesNotStopTheOthers)
{
    TestDatabase reachable;
    const QString missing = home.filePath(QStringLiteral("sube-2.db"));
    const QString settings = home.filePath(QStringLiteral("sube-3.xml"));
    {
        QFile file(settings);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write("<?xml version=\"1.0\"?><Settings><ConnectionString>Data Source=" + reachable.path().toUtf8() +
                   "</ConnectionString></Settings>");
    }
    const QString products = sheet(QStringLiteral("urunler.csv"), {QStringLiteral("111;Çay;10"), QStringLiteral("222;Su;5")});

    const ProgramRun both = run({products, QStringLiteral("--connection"), QStringLiteral("Data Source=") + missing,
                          QStringLiteral("--settings"), settings});
    EXPECT_EQ(both.exitCode, 3);
    const QStringList lines = reportLines(both);
    ASSERT_EQ(lines.size(), 4) << both.out.toStdString();
    EXPECT_TRUE(lines[0].startsWith(QStringLiteral("sube-2.db,1,111,Çay,SEÇİLMEDİ,failed,"))) << lines[0].toStdString();
    EXPECT_TRUE(lines[0].contains(QStringLiteral("veritabanı dosyası yok: "))) << lines[0].toStdString();
    EXPECT_EQ(lines[2], QStringLiteral("pos.db,1,111,Çay,SEÇİLMEDİ,landed,,1,,"));
    EXPECT_EQ(lines[3], QStringLiteral("pos.db,2,222,Su,SEÇİLMEDİ,landed,,2,,"));
    EXPECT_TRUE(both.err.contains(QStringLiteral("[sube-2.db]\nBağlanılamadı: "))) << both.err.toStdString();
    EXPECT_EQ(reachable.count(QStringLiteral("MenuItems")), 2);

    // A settings file named on purpose never falls back to this machine's database.
    const ProgramRun empty = run({products, QStringLiteral("--settings"), home.filePath(QStringLiteral("yok.xml"))});
    EXPECT_EQ(empty.exitCode, 3);
    EXPECT_TRUE(empty.err.contains(QStringLiteral("[hedef 1]\nBağlanılamadı: ayar dosyası yok.xml: "))) << empty.err.toStdString();
}

TEST_F(BatchProgram, ASettingsFileInAnEncodingThatCannotBeConvertedStopsItsTargetInsteadOfFallingBack)
{
    ASSERT_TRUE(QDir(home.path()).mkpath(QStringLiteral("MenoraPOS-Restaurant/MenoraData")));
    ASSERT_TRUE(QDir(home.path()).mkpath(QStringLiteral("MenoraPOS-Restaurant/Menorauser")));
    const QString fallbackPath = home.filePath(QStringLiteral("MenoraPOS-Restaurant/MenoraData/Menora POS.db"));
    ASSERT_EQ(posdb::createStandInDatabase(fallbackPath, true), QString());
    TestDatabase named;
    const QByteArray settings = "<?xml version=\"1.0\" encoding=\"x-yok-boyle-kod\"?><Settings><ConnectionString>"
                                "Data Source=" + named.path().toUtf8() + "</ConnectionString></Settings>";
    for (const QString &path : {home.filePath(QStringLiteral("MenoraPOS-Restaurant/Menorauser/MenoraSettings.txt")),
                                home.filePath(QStringLiteral("sube.xml"))}) {
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(settings);
    }
    const QString products = sheet(QStringLiteral("urunler.csv"), {QStringLiteral("111;Çay;10")});

    // The window's own settings file, then one named on purpose.
    for (const QStringList &target : {QStringList{}, QStringList{QStringLiteral("--settings"), home.filePath(QStringLiteral("sube.xml"))}}) {
        const ProgramRun stopped = run(QStringList{products} + target);
        EXPECT_EQ(stopped.exitCode, 3) << stopped.err.toStdString();
        EXPECT_TRUE(stopped.err.contains(QStringLiteral("Bağlanılamadı: Ayar dosyası "))) << stopped.err.toStdString();
        EXPECT_TRUE(stopped.err.contains(QStringLiteral("karakter kodlaması"))) << stopped.err.toStdString();
    }
    EXPECT_EQ(named.count(QStringLiteral("MenuItems")), 0);
    EXPECT_EQ(TestDatabase::existing(fallbackPath)->count(QStringLiteral("MenuItems")), 0);
}

TEST_F(BatchProgram, ADryRunWritesNothingAndSaysWhatWouldHappen)
{
    TestDatabase db(true);
    ASSERT_EQ(db.exec(QStringLiteral("INSERT INTO MenuItems (GroupCode, Barcode, ItemType, Name) "
                                     "VALUES ('X', '111', 0, 'Eski Çay')")), QString());
    // Everything in the database file itself, so that only a write could change it.
    ASSERT_EQ(db.exec(QStringLiteral("PRAGMA wal_checkpoint(TRUNCATE)")), QString());
    const QByteArray before = sha1(db.path());
    const QString products = sheet(QStringLiteral("urunler.csv"),
                                   {QStringLiteral("111;Çay;10"), QStringLiteral("222;Su;5"), QStringLiteral("333;;5")});

    const ProgramRun dry = run({products, QStringLiteral("--dry-run"), QStringLiteral("--show"), QStringLiteral("--printer=1"),
                         QStringLiteral("--connection"), db.connectionText()});
    EXPECT_EQ(dry.exitCode, 1);
    EXPECT_EQ(reportLines(dry), (QStringList{
        QStringLiteral("pos.db,1,111,Çay,SEÇİLMEDİ,duplicate,barkod zaten kayıtlı: “Eski Çay” (no 1),,,"),
        QStringLiteral("pos.db,2,222,Su,SEÇİLMEDİ,would-add,,,,"),
        QStringLiteral("pos.db,3,333,,SEÇİLMEDİ,skipped,ürün adı yok,,,"),
    }));
    EXPECT_TRUE(dry.err.contains(QStringLiteral("Ön izleme (hiçbir şey yazılmadı): 1 eklenecek · 1 atlanacak · 1 barkod zaten kayıtlı")))
        << dry.err.toStdString();
    // The defaults stand, but the summary says where the products go and how to change it.
    EXPECT_TRUE(dry.err.contains(QStringLiteral("\n1 ürün “SEÇİLMEDİ” grubuna eklenecek (grup seçilmedi). --group ile grup verin.\n")))
        << dry.err.toStdString();
    EXPECT_FALSE(dry.err.contains(QStringLiteral("yazıcı seçilmedi"))) << dry.err.toStdString();
    EXPECT_EQ(sha1(db.path()), before);
    EXPECT_EQ(db.count(QStringLiteral("MenuItems")), 1);
    EXPECT_EQ(db.count(QStringLiteral("ScreenMenuCategories")), 2);  // the demo's, no new one

    const ProgramRun clean = run({sheet(QStringLiteral("temiz.csv"), {QStringLiteral("444;Gazoz;15")}), QStringLiteral("--dry-run"),
                           QStringLiteral("--connection"), db.connectionText()});
    EXPECT_EQ(clean.exitCode, 0);
    EXPECT_EQ(sha1(db.path()), before);
}

TEST_F(BatchProgram, ProductsShownWithoutAPrinterAreNamedInTheSummaryAndTheJsonReport)
{
    TestDatabase db;
    const QString products = sheet(QStringLiteral("urunler.csv"), {QStringLiteral("111;Çay;10"), QStringLiteral("222;Su;5")});
    const ProgramRun shown = run({products, QStringLiteral("--show"), QStringLiteral("--group"), QStringLiteral("İçecek"),
                                  QStringLiteral("--json"), QStringLiteral("--connection"), db.connectionText()});
    EXPECT_EQ(shown.exitCode, 0) << shown.err.toStdString();
    const QString warning = QStringLiteral("Satışta gösterilecek 2 ürün hiçbir yazıcıya gönderilmeyecek (yazıcı seçilmedi). "
                                           "--printer ile yazıcı seçin.");
    EXPECT_TRUE(shown.err.contains(QStringLiteral("[pos.db]\n2 ürün eklendi\n"))) << shown.err.toStdString();
    EXPECT_TRUE(shown.err.contains(warning)) << shown.err.toStdString();
    EXPECT_EQ(QJsonDocument::fromJson(shown.out.toUtf8())["targets"][0]["warnings"].toArray(), QJsonArray{warning});
    EXPECT_EQ(db.count(QStringLiteral("MenuItems")), 2);
}

TEST_F(BatchProgram, ADryRunLeavesADatabaseInRollbackJournalModeByteForByte)
{
    const QString path = home.filePath(QStringLiteral("pos.db"));
    ASSERT_EQ(posdb::createStandInDatabase(path, true), QString());
    const QByteArray before = sha1(path);
    const ProgramRun dry = run({sheet(QStringLiteral("urunler.csv"), {QStringLiteral("111;Çay;10")}), QStringLiteral("--dry-run"),
                                QStringLiteral("--connection"), QStringLiteral("Data Source=") + path});
    EXPECT_EQ(dry.exitCode, 0) << dry.err.toStdString();
    EXPECT_EQ(sha1(path), before);
    for (const char *suffix : {"-wal", "-shm", "-journal"})
        EXPECT_FALSE(QFile::exists(path + QString::fromLatin1(suffix))) << suffix;
}

TEST_F(BatchProgram, DatabaseFilesOfTheSameNameAreToldApartByTheirFolders)
{
    QStringList arguments{sheet(QStringLiteral("urunler.csv"), {QStringLiteral("111;Çay;10")})};
    for (const char *branch : {"sube1", "sube2"}) {
        const QString path = home.filePath(QString::fromLatin1(branch) + QStringLiteral("/pos.db"));
        ASSERT_TRUE(QDir(home.path()).mkpath(QString::fromLatin1(branch)));
        ASSERT_EQ(posdb::createStandInDatabase(path, true), QString());
        arguments << QStringLiteral("--connection") << QStringLiteral("Data Source=") + path;
    }
    const ProgramRun result = run(arguments);
    EXPECT_EQ(result.exitCode, 0) << result.err.toStdString();
    const QString first = QDir::toNativeSeparators(QStringLiteral("sube1/pos.db"));
    const QString second = QDir::toNativeSeparators(QStringLiteral("sube2/pos.db"));
    EXPECT_EQ(reportLines(result), (QStringList{first + QStringLiteral(",1,111,Çay,SEÇİLMEDİ,landed,,1,,"),
                                                second + QStringLiteral(",1,111,Çay,SEÇİLMEDİ,landed,,1,,")}));
    EXPECT_TRUE(result.err.contains(u'[' + second + QStringLiteral("]\n"))) << result.err.toStdString();
}

TEST_F(BatchProgram, DuplicatesAreSkippedAddedOrStopTheTarget)
{
    struct Case {
        const char *policy;
        int exitCode;
        QStringList statuses;  // rows 1-3: registered barcode, new barcode, the new one again
        qint64 itemsAfter;
    };
    const Case cases[] = {
        {"skip", 1, {"duplicate", "landed", "duplicate"}, 2},
        {"add", 0, {"landed", "landed", "landed"}, 4},
        {"stop", 1, {"duplicate", "not-attempted", "duplicate"}, 1},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.policy);
        TestDatabase db;
        ASSERT_EQ(db.exec(QStringLiteral("INSERT INTO MenuItems (GroupCode, Barcode, ItemType, Name) "
                                         "VALUES ('X', '111', 0, 'Eski Çay')")), QString());
        const QString products = sheet(QStringLiteral("urunler.csv"), {QStringLiteral("111;Çay;10"),
                                       QStringLiteral("222;Su;5"), QStringLiteral("222;Su yine;5")});
        const ProgramRun result = run({products, QStringLiteral("--duplicates"), QString::fromLatin1(c.policy),
                                QStringLiteral("--connection"), db.connectionText()});
        EXPECT_EQ(result.exitCode, c.exitCode) << result.err.toStdString();
        QStringList statuses;
        for (const QString &line : reportLines(result))
            statuses << line.section(u',', 5, 5);
        EXPECT_EQ(statuses, c.statuses) << result.out.toStdString();
        EXPECT_EQ(db.count(QStringLiteral("MenuItems")), c.itemsAfter);
    }
}

TEST_F(BatchProgram, AnUnknownPrinterFailsItsTargetBeforeAnyWrite)
{
    TestDatabase db(true);
    const ProgramRun result = run({sheet(QStringLiteral("urunler.csv"), {QStringLiteral("111;Çay;10")}), QStringLiteral("--printer"),
                            QStringLiteral("Teras Yazıcısı"), QStringLiteral("--json"), QStringLiteral("--connection"),
                            db.connectionText()});
    EXPECT_EQ(result.exitCode, 1);
    EXPECT_TRUE(result.out.contains(QStringLiteral("\"failure\": \"yazıcı bulunamadı: “Teras Yazıcısı”\""))) << result.out.toStdString();
    EXPECT_TRUE(result.out.contains(QStringLiteral("\"status\": \"failed\""))) << result.out.toStdString();
    EXPECT_EQ(db.count(QStringLiteral("MenuItems")), 0);
}

TEST_F(BatchProgram, UpdateGivesRegisteredItemsTheSheetsPricesReportsOldAndNewAndIsUndone)
{
    TestDatabase db(true);
    const QStringList target{QStringLiteral("--connection"), db.connectionText()};
    ASSERT_EQ(run(QStringList{sheet(QStringLiteral("menu.csv"), {QStringLiteral("111;Çay;10"), QStringLiteral("222;Su;5")})} +
                  target)
                  .exitCode,
              0);
    const QString prices = sheet(QStringLiteral("fiyatlar.csv"),
                                 {QStringLiteral("111;Demli Çay;12.5"), QStringLiteral("222;;5"), QStringLiteral("333;Simit;4")});
    const QStringList update{prices, QStringLiteral("--duplicates"), QStringLiteral("update"), QStringLiteral("--locale=C")};

    const ProgramRun dry = run(update + target + QStringList{QStringLiteral("--dry-run"), QStringLiteral("--json")});
    const QJsonArray rows = QJsonDocument::fromJson(dry.out.toUtf8())["targets"][0]["rows"].toArray();
    ASSERT_EQ(rows.size(), 3) << dry.out.toStdString();
    EXPECT_EQ(rows[0]["status"], "would-update");
    EXPECT_EQ(rows[0]["old_price"].toDouble(), 10);
    EXPECT_EQ(rows[0]["new_price"].toDouble(), 12.5);

    const ProgramRun updated = run(update + target + QStringList{QStringLiteral("--update-names")});
    EXPECT_EQ(updated.exitCode, 1) << "an unchanged row counts as left out";
    EXPECT_EQ(reportLines(updated), (QStringList{
        QStringLiteral("pos.db,1,111,Demli Çay,SEÇİLMEDİ,updated,,1,10,12.5"),
        QStringLiteral("pos.db,2,222,,SEÇİLMEDİ,unchanged,fiyat aynı,,5,5"),
        QStringLiteral("pos.db,3,333,Simit,SEÇİLMEDİ,landed,,3,,"),
    }));
    EXPECT_EQ(db.rows(QStringLiteral("SELECT MenuItems.Name, Price FROM MenuItems JOIN MenuItemPortions p ON p.MenuItemId = MenuItems.id "
                                     "JOIN MenuItemPrices pr ON pr.MenuItemPortionId = p.id ORDER BY MenuItems.id")),
              (QList<QVariantList>{{"Demli Çay", 12.5}, {"Su", 5.0}, {"Simit", 4.0}}));

    EXPECT_EQ(run(target + QStringList{QStringLiteral("--undo-last")}).exitCode, 0);
    EXPECT_EQ(db.rows(QStringLiteral("SELECT MenuItems.Name, Price FROM MenuItems JOIN MenuItemPortions p ON p.MenuItemId = MenuItems.id "
                                     "JOIN MenuItemPrices pr ON pr.MenuItemPortionId = p.id ORDER BY MenuItems.id")),
              (QList<QVariantList>{{"Çay", 10.0}, {"Su", 5.0}}));
}

TEST_F(BatchProgram, WrongUsageExits64WithAMessageInBothLanguages)
{
    const QString products = sheet(QStringLiteral("urunler.csv"), {QStringLiteral("111;Çay;10")});
    const std::pair<QStringList, const char *> cases[] = {
        {{products, QStringLiteral("--bogus")}, "Bilinmeyen seçenek: --bogus\nUnknown option: --bogus"},
        {{products, QStringLiteral("--unit"), QStringLiteral("litre")}, "--unit must be Adet or Kg"},
        {{products, QStringLiteral("--colour"), QStringLiteral("pembe")}, "--colour şunlardan biri olmalı"},
        {{products, QStringLiteral("--duplicates=ask")}, "--duplicates must be skip, add, stop or update"},
        {{products, QStringLiteral("--update-names")}, "--update-names goes only with --duplicates update"},
        {{products, QStringLiteral("--locale"), QStringLiteral("xx_YY")}, "Unknown --locale"},
        {{products, QStringLiteral("--group")}, "--group bir değer ister."},
        {{products, QStringLiteral("--columns=isim=A")}, "--columns: “isim=A” names no field"},
        {{products, QStringLiteral("--columns=ad=")}, "--columns: ad bir sütun harfi ya da başlık metni ister."},
        {{products, QStringLiteral("--columns=ad=A,name=B")}, "--columns: name is given twice."},
        {{products, QStringLiteral("--no-header"), QStringLiteral("--columns=ad=Ürün")}, "With --no-header, --columns takes letters"},
        {{products, QStringLiteral("--columns=ad=Stok Adı")}, "başlık satırı bulunamadı"},
        {{products, QStringLiteral("--columns=ad=B,fiyat=b")}, "“b” sütunu iki alana verilmiş.\n--columns does not fit this sheet"},
        {{}, "Bir tablo dosyası verin."},
        {{products, products}, "Name only one spreadsheet file"},
        {{products, QStringLiteral("--report"), home.filePath(QStringLiteral("yok/rapor.csv"))}, "cannot write the report"},
    };
    for (const auto &[arguments, message] : cases) {
        SCOPED_TRACE(arguments.join(u' ').toStdString());
        const ProgramRun result = run(arguments);
        EXPECT_EQ(result.exitCode, 64);
        EXPECT_TRUE(result.err.contains(QString::fromUtf8(message))) << result.err.toStdString();
        EXPECT_TRUE(result.out.isEmpty());
    }
    const ProgramRun help = run({QStringLiteral("--help")});
    EXPECT_EQ(help.exitCode, 0);
    EXPECT_TRUE(help.out.contains(QStringLiteral("Çıkış durumu / exit status:")));

    const ProgramRun unreadable = run({home.filePath(QStringLiteral("yok.xlsx"))});
    EXPECT_EQ(unreadable.exitCode, 2);
    EXPECT_TRUE(unreadable.err.contains(QStringLiteral("yok.xlsx"))) << unreadable.err.toStdString();
}

TEST_F(BatchProgram, AReportThatCannotBeWrittenExits64WithAMessage)
{
    if (!QFile::exists(QStringLiteral("/dev/full")))
        GTEST_SKIP() << "no /dev/full, a device that is always full, on this system";
    const QString full = QStringLiteral("/dev/full");
    const QString products = sheet(QStringLiteral("urunler.csv"), {QStringLiteral("111;Çay;10")});
    struct Case {
        const char *what;
        QStringList options;
        QString output;  // where standard output goes
        qint64 itemsAfter;  // a CSV report fails at its header, before any import
    };
    const Case cases[] = {
        {"CSV into a file", {QStringLiteral("--report"), full}, {}, 0},
        {"CSV on standard output", {}, full, 0},
        {"JSON into a file", {QStringLiteral("--json"), QStringLiteral("--report"), full}, {}, 1},
        {"JSON on standard output", {QStringLiteral("--json")}, full, 1},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.what);
        TestDatabase db;
        const ProgramRun result = run(QStringList{products, QStringLiteral("--connection"), db.connectionText()} + c.options,
                                      c.output);
        EXPECT_EQ(result.exitCode, 64);
        EXPECT_TRUE(result.err.contains(QStringLiteral("Rapor yazılamadı / cannot write the report: "))) << result.err.toStdString();
        EXPECT_EQ(db.count(QStringLiteral("MenuItems")), c.itemsAfter);
    }
}

TEST_F(BatchProgram, ADamagedSheetIsNeverReportedClean)
{
    // The last price opens a quote that never closes; its text still reads as 5.
    const QString products = sheet(QStringLiteral("bozuk.csv"), {QStringLiteral("111;Çay;10"), QStringLiteral("222;Su;\"5")});
    const QString note = QStringLiteral("dosya hasarlı okundu; bu satır eksik ya da yanlış olabilir");
    TestDatabase db;
    const ProgramRun imported = run({products, QStringLiteral("--connection"), db.connectionText()});
    EXPECT_EQ(imported.exitCode, 1) << imported.err.toStdString();
    EXPECT_EQ(reportLines(imported), (QStringList{QStringLiteral("pos.db,1,111,Çay,SEÇİLMEDİ,landed,") + note + QStringLiteral(",1,,"),
                                                  QStringLiteral("pos.db,2,222,Su,SEÇİLMEDİ,landed,") + note + QStringLiteral(",2,,")}));
    EXPECT_TRUE(imported.err.contains(QStringLiteral("Dosya hasarlı"))) << imported.err.toStdString();

    const ProgramRun dry = run({products, QStringLiteral("--dry-run"), QStringLiteral("--json"), QStringLiteral("--connection"),
                                TestDatabase().connectionText()});
    EXPECT_EQ(dry.exitCode, 1) << dry.err.toStdString();
    const QJsonObject report = QJsonDocument::fromJson(dry.out.toUtf8()).object();
    EXPECT_EQ(report[QStringLiteral("sheetDamaged")], QJsonValue(true)) << dry.out.toStdString();
    EXPECT_EQ(report[QStringLiteral("targets")][0][QStringLiteral("rows")][1][QStringLiteral("reason")], QJsonValue(note));
}

TEST_F(BatchProgram, ALongPriceTextIsQuotedShortInTheReport)
{
    const QString price = QString(200000, u'9');
    const QString products = sheet(QStringLiteral("uzun.csv"), {QStringLiteral("111;Çay;") + price});
    const ProgramRun result = run({products, QStringLiteral("--dry-run"), QStringLiteral("--connection"),
                                   TestDatabase().connectionText()});
    EXPECT_EQ(result.exitCode, 1);
    EXPECT_EQ(reportLines(result), QStringList{QStringLiteral("pos.db,1,111,Çay,SEÇİLMEDİ,skipped,fiyat bir sayı değil (“") +
                                               price.left(100) + QStringLiteral("…”),,,")});
}

TEST_F(BatchProgram, AnImportIsUndoneFromItsJournalOnceAndOnlyOnItsOwnDatabase)
{
    TestDatabase db(true);
    TestDatabase other(true);
    const QString products = sheet(QStringLiteral("urunler.csv"), {QStringLiteral("111;Çay;10"), QStringLiteral("222;Su;5")});
    const QStringList target{QStringLiteral("--connection"), db.connectionText()};
    const auto everything = [&db] {
        QStringList lines;
        for (const char *table : {"MenuItems", "MenuItemPortions", "MenuItemPrices", "ScreenMenuCategories",
                                  "ScreenMenuItems", "PrinterMaps"})
            lines << QString::number(db.count(QString::fromLatin1(table)));
        return lines.join(u',');
    };
    const QString before = everything();

    const ProgramRun imported = run(QStringList{products, QStringLiteral("--show"), QStringLiteral("--group=Yeni"),
                                                QStringLiteral("--printer=1"), QStringLiteral("--json")} + target);
    ASSERT_EQ(imported.exitCode, 0) << imported.err.toStdString();
    const QString journal =
        QJsonDocument::fromJson(imported.out.toUtf8())[QStringLiteral("targets")][0][QStringLiteral("journal")].toString();
    ASSERT_TRUE(QFile::exists(journal)) << imported.out.toStdString();
    ASSERT_NE(everything(), before);

    // The journal of one database does not undo anything in another.
    const ProgramRun elsewhere = run({QStringLiteral("--undo"), journal, QStringLiteral("--connection"),
                                      QStringLiteral("Data Source=") + other.path()});
    EXPECT_EQ(elsewhere.exitCode, 1);
    EXPECT_TRUE(elsewhere.err.contains(QStringLiteral("başka bir veritabanına"))) << elsewhere.err.toStdString();

    const ProgramRun undone = run(QStringList{QStringLiteral("--undo-last")} + target);
    EXPECT_EQ(undone.exitCode, 0) << undone.err.toStdString();
    EXPECT_TRUE(undone.err.contains(QStringLiteral("Aktarım geri alındı: 2 ürün silindi."))) << undone.err.toStdString();
    EXPECT_EQ(everything(), before);

    const ProgramRun again = run(QStringList{QStringLiteral("--undo-last")} + target);
    EXPECT_EQ(again.exitCode, 1);
    EXPECT_TRUE(again.err.contains(QStringLiteral("Bu aktarım zaten geri alındı."))) << again.err.toStdString();
    EXPECT_EQ(run({products, QStringLiteral("--undo-last")}).exitCode, 64);
}

TEST_F(BatchProgram, UndoingAnImportCutOffBeforeItsCommitLeavesTheNextImportAlone)
{
    TestDatabase db(true);
    const QString folder = home.filePath(QStringLiteral(".local/share/toplu-urun-ekle/journal"));
    const QString crashed = folder + QStringLiteral("/kesik.jsonl");
    {
        // The journal a save killed between its record of a batch and the commit leaves.
        const std::unique_ptr<import::ImportJournal> journal = valueOf(import::ImportJournal::create(
            folder, {db.connection.identity(), QStringLiteral("urunler.csv"), QDateTime::currentDateTimeUtc()}));
        ASSERT_TRUE(journal);
        CrashBeforeCommit killed(*journal);
        import::SaveChoices choices;
        choices.group = QStringLiteral("SEÇİLMEDİ");
        import::BulkImport(db.connection.database(), db.connection.dialect())
            .run({{QStringLiteral("111"), QStringLiteral("Çay"), QStringLiteral("10")},
                  {QStringLiteral("222"), QStringLiteral("Su"), QStringLiteral("5")}},
                 choices, {}, {}, &killed);
        ASSERT_TRUE(QFile::copy(journal->path(), crashed));
    }
    ASSERT_EQ(db.count(QStringLiteral("MenuItems")), 0);
    const QStringList target{QStringLiteral("--connection"), db.connectionText()};

    // The same sheet again: it gets the ids the rolled-back batch had.
    const ProgramRun imported =
        run(QStringList{sheet(QStringLiteral("urunler.csv"), {QStringLiteral("111;Çay;10"), QStringLiteral("222;Su;5")})} + target);
    ASSERT_EQ(imported.exitCode, 0) << imported.err.toStdString();
    ASSERT_EQ(db.count(QStringLiteral("MenuItems")), 2);

    const ProgramRun undoCrashed = run(QStringList{QStringLiteral("--undo"), crashed} + target);
    EXPECT_EQ(undoCrashed.exitCode, 1);
    EXPECT_TRUE(undoCrashed.err.contains(QStringLiteral("hiçbir ürün eklenmedi"))) << undoCrashed.err.toStdString();
    EXPECT_EQ(db.count(QStringLiteral("MenuItems")), 2);

    const ProgramRun undoLast = run(QStringList{QStringLiteral("--undo-last")} + target);
    EXPECT_EQ(undoLast.exitCode, 0) << undoLast.err.toStdString();
    EXPECT_EQ(db.count(QStringLiteral("MenuItems")), 0);
}

TEST_F(BatchProgram, AnImportThatLandsNothingLeavesNoJournalForUndoLastToStopAt)
{
    TestDatabase db(true);
    const QString products = sheet(QStringLiteral("urunler.csv"), {QStringLiteral("111;Çay;10"), QStringLiteral("222;Su;5")});
    const QStringList target{QStringLiteral("--connection"), db.connectionText()};
    ASSERT_EQ(run(QStringList{products} + target).exitCode, 0);
    // Every row a duplicate now: nothing lands.
    const ProgramRun nothing = run(QStringList{products, QStringLiteral("--json")} + target);
    EXPECT_EQ(nothing.exitCode, 1);
    EXPECT_EQ(QJsonDocument::fromJson(nothing.out.toUtf8())[QStringLiteral("targets")][0][QStringLiteral("journal")].toString(),
              QString());
    EXPECT_EQ(QDir(home.filePath(QStringLiteral(".local/share/toplu-urun-ekle/journal"))).entryList(QDir::Files).size(), 1);

    const ProgramRun undone = run(QStringList{QStringLiteral("--undo-last")} + target);
    EXPECT_EQ(undone.exitCode, 0) << undone.err.toStdString();
    EXPECT_TRUE(undone.err.contains(QStringLiteral("Aktarım geri alındı: 2 ürün silindi."))) << undone.err.toStdString();
    EXPECT_EQ(db.count(QStringLiteral("MenuItems")), 0);
}

TEST_F(BatchProgram, ADamagedDatabaseFileIsNamedAndNeverWritten)
{
    const QString products = sheet(QStringLiteral("urunler.csv"), {QStringLiteral("111;Çay;10")});
    TestDatabase sound(true);
    QFile source(sound.path());
    ASSERT_TRUE(source.open(QIODevice::ReadOnly));
    // A file cut short after its first pages, with junk after them.
    const QString damaged = home.filePath(QStringLiteral("bozuk.db"));
    {
        QFile file(damaged);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(source.read(8192) + QByteArray(8192, '\x5a'));
    }
    const QByteArray before = sha1(damaged);
    const ProgramRun result = run({products, QStringLiteral("--connection"), QStringLiteral("Data Source=") + damaged});
    EXPECT_EQ(result.exitCode, 3);
    EXPECT_TRUE(result.err.contains(QStringLiteral("[bozuk.db]\nBağlanılamadı: "))) << result.err.toStdString();
    EXPECT_TRUE(result.err.contains(QStringLiteral("bozuk.db kullanılamıyor: "))) << result.err.toStdString();
    EXPECT_EQ(sha1(damaged), before);
}

#ifdef Q_OS_UNIX
TEST_F(BatchProgram, AReadOnlyDatabaseFileIsNamedAndNeverWritten)
{
    // Root writes any file: the program then runs as an ordinary user.
    const bool root = ::geteuid() == 0;
    if (root && (QStandardPaths::findExecutable(QStringLiteral("runuser")).isEmpty() || ::getpwnam("nobody") == nullptr))
        GTEST_SKIP() << "running as root without runuser or the user nobody";
    const QString products = sheet(QStringLiteral("urunler.csv"), {QStringLiteral("111;Çay;10")});
    const QString path = home.filePath(QStringLiteral("salt-okunur.db"));
    ASSERT_EQ(posdb::createStandInDatabase(path, true), QString());
    ASSERT_TRUE(QFile::setPermissions(path, QFile::ReadOwner | QFile::ReadGroup | QFile::ReadOther));
    ASSERT_TRUE(QFile::setPermissions(home.path(), QFile::permissions(home.path()) | QFile::ReadOther | QFile::ExeOther |
                                                       QFile::ReadGroup | QFile::ExeGroup));
    const QByteArray before = sha1(path);

    QStringList arguments{products, QStringLiteral("--report"), QStringLiteral("/dev/null"), QStringLiteral("--connection"),
                          QStringLiteral("Data Source=") + path};
    QProcess process;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("HOME"), home.path());
    env.insert(QStringLiteral("XDG_DATA_HOME"), home.filePath(QStringLiteral("nobody-data")));
    process.setProcessEnvironment(env);
    if (root)
        process.start(QStringLiteral("runuser"), QStringList{QStringLiteral("-u"), QStringLiteral("nobody"), QStringLiteral("--"),
                                                             QStringLiteral(TOPLU_EKLE)} + arguments);
    else
        process.start(QStringLiteral(TOPLU_EKLE), arguments);
    ASSERT_TRUE(process.waitForFinished(60000));
    const QString err = QString::fromUtf8(process.readAllStandardError());
    EXPECT_EQ(process.exitCode(), 3) << err.toStdString();
    EXPECT_TRUE(err.contains(QStringLiteral("salt okunur"))) << err.toStdString();
    EXPECT_EQ(sha1(path), before);
}
#endif

TEST_F(BatchProgram, APasswordIsNeverInAnyOutputOrJournal)
{
    const QString password = QStringLiteral("Gizli-Parola-9");
    const QString products = sheet(QStringLiteral("urunler.csv"), {QStringLiteral("111;Çay;10"), QStringLiteral("222;;5")});
    TestDatabase db(true);
    const QString sqlServer = QStringLiteral("Provider=SQLOLEDB.1;Data Source=127.0.0.1,1;Initial Catalog=POS;"
                                             "User ID=sa;Password=") + password + QStringLiteral(";Connect Timeout=2");
    const QString reachable = db.connectionText() + QStringLiteral(";User ID=sa;Password=") + password;
    const QString missing = QStringLiteral("Data Source=") + home.filePath(QStringLiteral("yok.db")) +
                            QStringLiteral(";Password=") + password;
    const QString malformed = QStringLiteral("Data Source=\"x;Password=") + password;
    const QString settings = home.filePath(QStringLiteral("ayarlar.xml"));
    {
        QFile file(settings);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(("<?xml version=\"1.0\"?><S><ConnectionString>" + reachable + "</ConnectionString></S>").toUtf8());
    }
    const QString reportFile = home.filePath(QStringLiteral("rapor.txt"));
    const std::pair<const char *, QStringList> cases[] = {
        {"every kind of target, CSV report in a file",
         {products, QStringLiteral("--report"), reportFile, QStringLiteral("--connection"), sqlServer,
          QStringLiteral("--connection"), reachable, QStringLiteral("--connection"), missing, QStringLiteral("--connection"),
          malformed, QStringLiteral("--settings"), settings}},
        {"JSON report", {products, QStringLiteral("--json"), QStringLiteral("--connection=") + sqlServer,
                         QStringLiteral("--connection=") + reachable}},
        {"dry run", {products, QStringLiteral("--dry-run"), QStringLiteral("--connection"), reachable}},
        {"undo", {QStringLiteral("--undo-last"), QStringLiteral("--connection"), reachable, QStringLiteral("--connection"), sqlServer}},
        {"a connection text that lost its option", {products, sqlServer}},
        {"an unknown option holding one", {products, QStringLiteral("--connecton=") + sqlServer}},
    };
    for (const auto &[what, arguments] : cases) {
        SCOPED_TRACE(what);
        QFile::remove(reportFile);
        const ProgramRun result = run(arguments);
        EXPECT_FALSE(result.out.contains(password)) << result.out.toStdString();
        EXPECT_FALSE(result.err.contains(password)) << result.err.toStdString();
        QFile report(reportFile);
        if (report.open(QIODevice::ReadOnly)) {
            EXPECT_FALSE(report.readAll().contains(password.toUtf8()));
        }
    }
    // The journals, by name and content.
    const QDir journals(home.filePath(QStringLiteral(".local/share/toplu-urun-ekle/journal")));
    const QStringList names = journals.entryList(QDir::Files);
    EXPECT_FALSE(names.isEmpty());
    for (const QString &name : names) {
        EXPECT_FALSE(name.contains(password)) << name.toStdString();
        QFile journal(journals.filePath(name));
        ASSERT_TRUE(journal.open(QIODevice::ReadOnly));
        EXPECT_FALSE(journal.readAll().contains(password.toUtf8())) << name.toStdString();
    }
}

TEST_F(BatchProgram, AMenuListIsReadByItsHeaderAndEachRowLandsInItsOwnGroup)
{
    TestDatabase db(true);  // "Sıcak İçecekler" and "Tatlılar"
    ASSERT_EQ(db.exec(QStringLiteral("INSERT INTO ScreenMenuCategories (Name, ScreenMenuId) "
                                     "VALUES ('Çorbalar', 1), ('Soğuk İçecekler', 1)")), QString());
    const QString menu = sheet(QStringLiteral("menu.csv"), {
        QStringLiteral("Lezzet Lokantası Menü Listesi;;;;;"),
        QStringLiteral("Kategori;Ürün Adı;Barkod;KDV;Fiyat (TL);Birim"),
        QStringLiteral("Çorbalar;Mercimek Çorbası;8690000000017;10;65;Adet"),
        QStringLiteral("Sıcak İçecekler;Çay;8690000000024;10;15;"),
        QStringLiteral("TATLILAR;Künefe;8690000000031;10;120;Adet"),
        QStringLiteral(";;;;;"),
        QStringLiteral("Soğuk İçecekler;Ayran;8690000000048;10;25;"),
        QStringLiteral("Izgaralar;Adana Kebap;8690000000055;10;280;Adet"),
        QStringLiteral("IZGARALAR;Köfte;8690000000062;10;240;Adet"),
        QStringLiteral("Salatalar;Çoban Salata;8690000000079;10;90;Paket"),
        QStringLiteral("Salatalar;Mevsim Salata;8690000000086;10;85;"),
        QStringLiteral(";Ekmek;8690000000093;10;5;Adet"),
    });
    const QStringList arguments{menu, QStringLiteral("--show"), QStringLiteral("--group=Çorbalar"),
                                QStringLiteral("--connection"), db.connectionText()};

    const ProgramRun dry = run(arguments + QStringList{QStringLiteral("--dry-run")});
    EXPECT_EQ(dry.exitCode, 1) << dry.err.toStdString();
    EXPECT_TRUE(dry.err.contains(QStringLiteral("Başlık satırı 2. satırda bulundu"))) << dry.err.toStdString();
    EXPECT_TRUE(dry.err.contains(QStringLiteral("2 yeni grup: Izgaralar, Salatalar"))) << dry.err.toStdString();

    const ProgramRun imported = run(arguments);
    EXPECT_EQ(imported.exitCode, 1) << imported.err.toStdString();
    EXPECT_EQ(imported.err.count(QStringLiteral("Başlık satırı")), 1) << imported.err.toStdString();
    EXPECT_EQ(imported.out.section(u'\n', 0, 0),
              QStringLiteral("target,row,barcode,name,group,status,reason,item_id,old_price,new_price\r"));
    EXPECT_EQ(reportLines(imported), (QStringList{
        QStringLiteral("pos.db,3,8690000000017,Mercimek Çorbası,Çorbalar,landed,,1,,"),
        QStringLiteral("pos.db,4,8690000000024,Çay,Sıcak İçecekler,landed,,2,,"),
        QStringLiteral("pos.db,5,8690000000031,Künefe,Tatlılar,landed,,3,,"),
        QStringLiteral("pos.db,7,8690000000048,Ayran,Soğuk İçecekler,landed,,4,,"),
        QStringLiteral("pos.db,8,8690000000055,Adana Kebap,Izgaralar,landed,,5,,"),
        QStringLiteral("pos.db,9,8690000000062,Köfte,Izgaralar,landed,,6,,"),
        QStringLiteral("pos.db,10,8690000000079,Çoban Salata,Salatalar,skipped,birim “Paket” tanınmadı (Adet ya da Kg olmalı),,,"),
        QStringLiteral("pos.db,11,8690000000086,Mevsim Salata,Salatalar,landed,,7,,"),
        QStringLiteral("pos.db,12,8690000000093,Ekmek,Çorbalar,landed,,8,,"),
    }));
    EXPECT_EQ(db.rows(QStringLiteral("SELECT Name FROM ScreenMenuCategories ORDER BY id")),
              (QList<QVariantList>{{QStringLiteral("Sıcak İçecekler")}, {QStringLiteral("Tatlılar")},
                                   {QStringLiteral("Çorbalar")}, {QStringLiteral("Soğuk İçecekler")},
                                   {QStringLiteral("Izgaralar")}, {QStringLiteral("Salatalar")}}));
    EXPECT_EQ(db.rows(QStringLiteral("SELECT m.Name, m.GroupCode, c.Name FROM MenuItems m "
                                     "JOIN ScreenMenuItems s ON s.MenuItemId = m.id "
                                     "JOIN ScreenMenuCategories c ON c.id = s.ScreenMenuCategoryId ORDER BY m.id")),
              (QList<QVariantList>{
                  {QStringLiteral("Mercimek Çorbası"), QStringLiteral("Çorbalar"), QStringLiteral("Çorbalar")},
                  {QStringLiteral("Çay"), QStringLiteral("Sıcak İçecekler"), QStringLiteral("Sıcak İçecekler")},
                  {QStringLiteral("Künefe"), QStringLiteral("Tatlılar"), QStringLiteral("Tatlılar")},
                  {QStringLiteral("Ayran"), QStringLiteral("Soğuk İçecekler"), QStringLiteral("Soğuk İçecekler")},
                  {QStringLiteral("Adana Kebap"), QStringLiteral("Izgaralar"), QStringLiteral("Izgaralar")},
                  {QStringLiteral("Köfte"), QStringLiteral("Izgaralar"), QStringLiteral("Izgaralar")},
                  {QStringLiteral("Mevsim Salata"), QStringLiteral("Salatalar"), QStringLiteral("Salatalar")},
                  {QStringLiteral("Ekmek"), QStringLiteral("Çorbalar"), QStringLiteral("Çorbalar")},
              }));
}

TEST_F(BatchProgram, ColumnsGivenByHandReadAListWhoseHeaderTheToolDoesNotKnow)
{
    TestDatabase db;
    const QString stock = sheet(QStringLiteral("stok.csv"), {
        QStringLiteral("Stok Adı;Tutar;EAN"),
        QStringLiteral("Çay;15;8690000000017"),
        QStringLiteral("Simit;10;8690000000024"),
    });
    struct Case {
        const char *columns;
        QStringList lines;
    } const cases[] = {
        // By letters the header is a row like any other, and no product.
        {"ad=A,fiyat=B,barkod=C",
         {QStringLiteral("pos.db,1,EAN,Stok Adı,SEÇİLMEDİ,skipped,fiyat bir sayı değil (“Tutar”),,,"),
          QStringLiteral("pos.db,2,8690000000017,Çay,SEÇİLMEDİ,would-add,,,,"),
          QStringLiteral("pos.db,3,8690000000024,Simit,SEÇİLMEDİ,would-add,,,,")}},
        // By its texts the header is found, and the barcode under "EAN" with it.
        {"ad=Stok Adı,fiyat=tutar",
         {QStringLiteral("pos.db,2,8690000000017,Çay,SEÇİLMEDİ,would-add,,,,"),
          QStringLiteral("pos.db,3,8690000000024,Simit,SEÇİLMEDİ,would-add,,,,")}},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.columns);
        const ProgramRun result = run({stock, QStringLiteral("--columns"), QString::fromUtf8(c.columns),
                                       QStringLiteral("--dry-run"), QStringLiteral("--connection"), db.connectionText()});
        EXPECT_EQ(reportLines(result), c.lines) << result.err.toStdString();
    }
}

TEST_F(BatchProgram, WithoutAHeaderTheFirstRowIsAProductRow)
{
    TestDatabase db;
    const QString products = sheet(QStringLiteral("urunler.csv"),
                                   {QStringLiteral("Barkod;Ürün Adı;Fiyat"), QStringLiteral("8690000000017;Çay;15")});
    const QStringList target{QStringLiteral("--dry-run"), QStringLiteral("--connection"), db.connectionText()};

    const ProgramRun withHeader = run(QStringList{products} + target);
    EXPECT_EQ(withHeader.exitCode, 0) << withHeader.err.toStdString();
    EXPECT_EQ(reportLines(withHeader), QStringList{QStringLiteral("pos.db,2,8690000000017,Çay,SEÇİLMEDİ,would-add,,,,")});

    const ProgramRun noHeader = run(QStringList{products, QStringLiteral("--no-header")} + target);
    EXPECT_EQ(noHeader.exitCode, 1);
    EXPECT_EQ(reportLines(noHeader), (QStringList{
        QStringLiteral("pos.db,1,Barkod,Ürün Adı,SEÇİLMEDİ,skipped,fiyat bir sayı değil (“Fiyat”),,,"),
        QStringLiteral("pos.db,2,8690000000017,Çay,SEÇİLMEDİ,would-add,,,,"),
    }));
    EXPECT_FALSE(noHeader.err.contains(QStringLiteral("Başlık"))) << noHeader.err.toStdString();
}
