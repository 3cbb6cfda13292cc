#include "import/SqlDialect.h"

namespace import {

namespace {
constexpr int kSqliteRowsPerCommit = 250;
}

QString insertSql(const QString &table, const QStringList &columns)
{
    QStringList marks;
    for (qsizetype i = 0; i < columns.size(); ++i)
        marks << QStringLiteral("?");
    return QStringLiteral("INSERT INTO %1 (%2) VALUES (%3)")
        .arg(table, columns.join(QStringLiteral(", ")), marks.join(QStringLiteral(", ")));
}

// SQL Server reads the id with SCOPE_IDENTITY() in the same batch: a
// driver's last-insert-id reads @@IDENTITY, which an insert made by a
// trigger overwrites.
QString insertReturningIdSql(ado::Dialect dialect, const QString &table, const QStringList &columns)
{
    switch (dialect) {
    case ado::Dialect::SqlServer:
        return QStringLiteral("SET NOCOUNT ON; %1; SELECT CAST(SCOPE_IDENTITY() AS bigint)")
            .arg(insertSql(table, columns));
    case ado::Dialect::Sqlite:
        return insertSql(table, columns) + QStringLiteral(" RETURNING id");
    case ado::Dialect::None:
        break;
    }
    return {};
}

QString firstIdSql(ado::Dialect dialect, const QString &table, const QString &keyColumn)
{
    switch (dialect) {
    case ado::Dialect::SqlServer:
        return QStringLiteral("SELECT TOP 1 id FROM %1 WHERE %2 = ? ORDER BY id").arg(table, keyColumn);
    case ado::Dialect::Sqlite:
        return QStringLiteral("SELECT id FROM %1 WHERE %2 = ? ORDER BY id LIMIT 1").arg(table, keyColumn);
    case ado::Dialect::None:
        break;
    }
    return {};
}

QString updateByIdSql(const QString &table, const QStringList &columns)
{
    QStringList sets;
    for (const QString &column : columns)
        sets << column + QStringLiteral(" = ?");
    return QStringLiteral("UPDATE %1 SET %2 WHERE id = ?").arg(table, sets.join(QStringLiteral(", ")));
}

RowGrouping rowGrouping(ado::Dialect dialect)
{
    if (dialect != ado::Dialect::Sqlite)
        return {};
    return RowGrouping{SavepointSql{QStringLiteral("SAVEPOINT bulkrow"), QStringLiteral("RELEASE bulkrow"),
                                    QStringLiteral("ROLLBACK TO bulkrow")},
                       kSqliteRowsPerCommit};
}

}  // namespace import
