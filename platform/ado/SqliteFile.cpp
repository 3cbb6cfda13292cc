#include "platform/ado/SqliteFile.h"

#include <QDir>
#include <QFileInfo>
#include <QRegularExpression>
#include <QSqlError>
#include <QSqlQuery>
#include <QUrl>

namespace ado {

namespace {

// Runs one PRAGMA; when `expected` is given, the PRAGMA must answer it.
// "" when it did; otherwise what went wrong.
QString applyPragma(const QSqlDatabase &db, const QString &statement, const QString &expected = {})
{
    QSqlQuery query(db);
    if (!query.exec(statement))
        return QStringLiteral("%1 çalışmadı: %2").arg(statement, query.lastError().text());
    if (expected.isEmpty())
        return {};
    const QString answer = query.next() ? query.value(0).toString() : QString();
    if (answer.compare(expected, Qt::CaseInsensitive) != 0)
        return QStringLiteral("%1 beklenmeyen yanıt verdi: “%2”").arg(statement, answer);
    return {};
}

// What went wrong with the first PRAGMA that failed; "" when none did.
QString applyPragmas(const QSqlDatabase &db, Access access)
{
    // A damaged file is found before anything writes to it (switching to WAL
    // rewrites its header), wherever in it the damage lies.
    QString error = applyPragma(db, QStringLiteral("PRAGMA quick_check"), QStringLiteral("ok"));
    if (error.isEmpty() && access == Access::ReadWrite)
        error = applyPragma(db, QStringLiteral("PRAGMA journal_mode=WAL"), QStringLiteral("wal"));
    // WAL with synchronous=NORMAL may lose the last commits after a power cut,
    // and a save reports its rows as added once their batch commits; FULL
    // syncs the log at every commit, which a save pays once per batch.
    if (error.isEmpty() && access == Access::ReadWrite)
        error = applyPragma(db, QStringLiteral("PRAGMA synchronous=FULL"));
    if (error.isEmpty())
        error = applyPragma(db, QStringLiteral("PRAGMA foreign_keys=ON"));
    // An insert that returns its id keeps the returned row in a temporary
    // table; in memory it costs nothing, in a temporary file a write per insert.
    if (error.isEmpty())
        error = applyPragma(db, QStringLiteral("PRAGMA temp_store=MEMORY"));
    return error;
}

// "C:/..." or "C:" alone.
bool startsWithDrive(const QString &path)
{
    return path.size() >= 2 && path.at(1) == u':' && path.at(0).isLetter() && path.at(0).unicode() < 0x80
           && (path.size() == 2 || path.at(2) == u'/');
}

}  // namespace

QString sqliteUri(const QString &path, Os os, Access access)
{
    QString uriPath = os == Os::Windows ? QString(path).replace(u'\\', u'/') : path;
    const bool unc = os == Os::Windows && uriPath.startsWith(u"//");
    static const QRegularExpression repeatedSeparators(QStringLiteral("/{2,}"));
    uriPath.replace(repeatedSeparators, QStringLiteral("/"));
    if (unc || (os == Os::Windows && startsWithDrive(uriPath)))
        uriPath.prepend(u'/');
    return QStringLiteral("file://") + QString::fromLatin1(QUrl::toPercentEncoding(uriPath, "/:"))
           + (access == Access::ReadOnly ? QStringLiteral("?mode=ro") : QStringLiteral("?mode=rw"));
}

platform::Outcome openSqliteFile(QSqlDatabase &db, const QString &path, Access access)
{
    db.setConnectOptions(QStringLiteral("QSQLITE_OPEN_URI;QSQLITE_BUSY_TIMEOUT=%1").arg(kBusyTimeoutMs));
    db.setDatabaseName(sqliteUri(QFileInfo(path).absoluteFilePath(), hostOs(), access));
    const QFileInfo file(path);
    const QString shown = QDir::toNativeSeparators(path);
    if (access == Access::ReadWrite && file.exists() && !file.isWritable()) {
        // SQLite would open it for reading and fail at the first write.
        return platform::Outcome::failure(QStringLiteral("veritabanı dosyası salt okunur"), shown);
    }
    if (!db.open()) {
        if (!file.exists())
            return platform::Outcome::failure(QStringLiteral("veritabanı dosyası yok"), shown);
        return platform::Outcome::failure(QStringLiteral("%1 açılamadı").arg(shown), db.lastError().text());
    }
    if (const QString error = applyPragmas(db, access); !error.isEmpty()) {
        db.close();
        return platform::Outcome::failure(QStringLiteral("%1 kullanılamıyor").arg(shown), error);
    }
    return {};
}

}  // namespace ado
