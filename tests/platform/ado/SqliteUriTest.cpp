#include <gtest/gtest.h>

#include "tests/common/QtPrinters.h"

#include <QDir>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QTemporaryDir>

#include <ostream>

#include "db/StandInDatabase.h"
#include "platform/ado/SqliteFile.h"
#include "tests/common/NamedCases.h"

namespace {

using ado::Os;

struct UriCase {
    const char *name;
    Os os;
    const char *path;
    const char *uri;
};

void PrintTo(const UriCase &c, std::ostream *os)
{
    *os << c.name;
}

class SqliteUri : public ::testing::TestWithParam<UriCase> {};

TEST_P(SqliteUri, spells_the_path_the_way_sqlite_reads_it)
{
    EXPECT_EQ(ado::sqliteUri(QString::fromUtf8(GetParam().path), GetParam().os), QString::fromUtf8(GetParam().uri));
}

INSTANTIATE_TEST_SUITE_P(
    Paths, SqliteUri,
    ::testing::Values(
        // SQLite refuses "file://kasa/...": the authority must be empty.
        UriCase{"unc_share", Os::Windows, R"(\\kasa\POS\Menora POS.db)", "file:////kasa/POS/Menora%20POS.db?mode=rw"},
        UriCase{"unc_turkish_share", Os::Windows, R"(\\KASA-PC\Şube Verisi\pos.db)",
                "file:////KASA-PC/%C5%9Eube%20Verisi/pos.db?mode=rw"},
        UriCase{"drive_letter", Os::Windows, R"(C:\MenoraPOS-Restaurant\MenoraData\Menora POS.db)",
                "file:///C:/MenoraPOS-Restaurant/MenoraData/Menora%20POS.db?mode=rw"},
        UriCase{"lower_case_drive_and_forward_slashes", Os::Windows, "d:/Veri/pos.db", "file:///d:/Veri/pos.db?mode=rw"},
        UriCase{"doubled_separators", Os::Windows, R"(C:\Veri\\Kasa\pos.db)", "file:///C:/Veri/Kasa/pos.db?mode=rw"},
        UriCase{"hash_and_percent_on_windows", Os::Windows, R"(C:\Şube #2\100% pos.db)",
                "file:///C:/%C5%9Eube%20%232/100%25%20pos.db?mode=rw"},
        UriCase{"turkish_letters", Os::Windows, R"(C:\Kullanıcılar\Gökçe\Masaüstü\ÇİĞ.db)",
                "file:///C:/Kullan%C4%B1c%C4%B1lar/G%C3%B6k%C3%A7e/Masa%C3%BCst%C3%BC/%C3%87%C4%B0%C4%9E.db?mode=rw"},
        // Windows forbids "?" in names; other systems allow it, and SQLite would start the query there.
        UriCase{"question_mark", Os::Other, "/srv/pos/kasa?1.db", "file:///srv/pos/kasa%3F1.db?mode=rw"},
        // A "%" followed by two hex digits would otherwise be decoded.
        UriCase{"percent_before_hex_digits", Os::Other, "/srv/pos/%41.db", "file:///srv/pos/%2541.db?mode=rw"},
        UriCase{"leading_double_slash_elsewhere", Os::Other, "//srv/pos.db", "file:///srv/pos.db?mode=rw"}),
    ByName());

// What the URI says is what SQLite opens: the file with the demo printers.
TEST(SqliteFile, opens_files_whose_names_hold_uri_characters)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    ASSERT_TRUE(QDir(dir.path()).mkpath(QStringLiteral("Şube #2 ?%41")));
    for (const QString &name : {QStringLiteral("Şube #2 ?%41/pos?.db"), QStringLiteral("Gökçe 100%.db")}) {
        const QString path = dir.filePath(name);
        ASSERT_EQ(posdb::createStandInDatabase(path, true), QString()) << name.toStdString();
        {
            QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("uri-chars"));
            ASSERT_TRUE(ado::openSqliteFile(db, path).ok()) << name.toStdString();
            QSqlQuery query(db);
            ASSERT_TRUE(query.exec(QStringLiteral("SELECT COUNT(*) FROM Printers")) && query.next()) << name.toStdString();
            EXPECT_EQ(query.value(0).toInt(), 3) << name.toStdString();
        }
        QSqlDatabase::removeDatabase(QStringLiteral("uri-chars"));
    }
}

// POSIX only: "//tmp/..." names the same file as "/tmp/...", so the shape
// built for a UNC path can be shown to pass SQLite's check of the authority.
TEST(SqliteFile, the_unc_shape_has_an_authority_sqlite_accepts)
{
#ifdef Q_OS_WIN
    GTEST_SKIP() << "needs a path that may start with two slashes";
#endif
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("pos.db"));
    ASSERT_EQ(posdb::createStandInDatabase(path, false), QString());
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("unc-shape"));
        db.setConnectOptions(QStringLiteral("QSQLITE_OPEN_URI"));
        db.setDatabaseName(ado::sqliteUri(u'/' + path, Os::Windows));
        EXPECT_TRUE(db.open()) << db.lastError().text().toStdString();
    }
    QSqlDatabase::removeDatabase(QStringLiteral("unc-shape"));
}

}  // namespace
