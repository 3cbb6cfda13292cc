#include "db/SqlServerScratch.h"

#include <QFile>
#include <QRegularExpression>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>

#include "db/StandInDatabase.h"

namespace posdb {

namespace {

// The table that marks a database's point-of-sale tables as scratch.
const QString kMarker = QStringLiteral("toplu_ekle_scratch_marker");

QString resourceText(const QString &name)
{
    QFile file(QStringLiteral(":/posdb/") + name);
    return file.open(QIODevice::ReadOnly) ? QString::fromUtf8(file.readAll()) : QString();
}

// The demo script in T-SQL: its texts as Unicode literals, and its rows with
// ids of their own written with IDENTITY_INSERT on.
QString sqlServerDemo()
{
    QString script = resourceText(QStringLiteral("demo.sql"));
    // Comments first: an apostrophe in one would pair with a literal's quote.
    script.remove(QRegularExpression(QStringLiteral("^\\s*--[^\\n]*$"), QRegularExpression::MultilineOption));
    script.replace(QRegularExpression(QStringLiteral("'([^']*)'")), QStringLiteral("N'\\1'"));
    script.replace(QRegularExpression(QStringLiteral("INSERT INTO (\\w+) \\(id,([^;]*);")),
                   QStringLiteral("SET IDENTITY_INSERT \\1 ON; INSERT INTO \\1 (id,\\2; SET IDENTITY_INSERT \\1 OFF;"));
    return script;
}

}  // namespace

QStringList sqlServerTables()
{
    return {QStringLiteral("PrinterMaps"),       QStringLiteral("ScreenMenuItems"),
            QStringLiteral("MenuItemPrices"),    QStringLiteral("MenuItemPortions"),
            QStringLiteral("ScreenMenuCategories"), QStringLiteral("MenuItems"),
            QStringLiteral("Printers"),          QStringLiteral("TaxTemplates")};
}

QString SqlServerScratch::create(bool withDemo)
{
    QStringList existing;
    if (const QString error = existingTables(existing); !error.isEmpty())
        return error;
    QStringList foreign;
    for (const QString &table : sqlServerTables()) {
        if (existing.contains(table, Qt::CaseInsensitive))
            foreign << table;
    }
    if (existing.contains(kMarker, Qt::CaseInsensitive)) {
        if (const QString error = drop(); !error.isEmpty())
            return error;
    } else if (!foreign.isEmpty()) {
        return QStringLiteral("the database already holds %1 and no %2 table: it looks like a real point-of-sale "
                              "database, and scratch tables are made only in a database without those tables")
            .arg(foreign.join(QStringLiteral(", ")), kMarker);
    }
    if (const QString error = exec(QStringLiteral("CREATE TABLE %1 (created DATETIME2 NOT NULL DEFAULT SYSDATETIME())")
                                       .arg(kMarker));
        !error.isEmpty())
        return error;
    if (const QString error = runScript(m_connectionName, resourceText(QStringLiteral("schema.sqlserver.sql")));
        !error.isEmpty())
        return error;
    return withDemo ? runScript(m_connectionName, sqlServerDemo()) : QString();
}

QString SqlServerScratch::drop()
{
    QStringList existing;
    if (const QString error = existingTables(existing); !error.isEmpty())
        return error;
    if (!existing.contains(kMarker, Qt::CaseInsensitive))
        return {};
    const QStringList ours = sqlServerTables() << kMarker;
    for (const QString &table : ours) {
        if (existing.contains(table, Qt::CaseInsensitive)) {
            if (const QString error = exec(QStringLiteral("DROP TABLE ") + table); !error.isEmpty())
                return error;
        }
    }
    return {};
}

QString SqlServerScratch::existingTables(QStringList &names) const
{
    QSqlQuery query(QSqlDatabase::database(m_connectionName, false));
    query.setForwardOnly(true);
    if (!query.exec(QStringLiteral("SELECT TABLE_NAME FROM INFORMATION_SCHEMA.TABLES WHERE TABLE_SCHEMA = SCHEMA_NAME()")))
        return query.lastError().text();
    while (query.next())
        names << query.value(0).toString();
    return {};
}

QString SqlServerScratch::exec(const QString &sql) const
{
    QSqlQuery query(QSqlDatabase::database(m_connectionName, false));
    query.setForwardOnly(true);
    return query.exec(sql) ? QString() : query.lastError().text();
}

}  // namespace posdb
