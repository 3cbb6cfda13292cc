#pragma once
// Everything in the bulk save's SQL that differs between SQL Server and
// SQLite: how a new id is read back, how the first match is asked for and
// how rows are grouped into transactions.

#include <QString>
#include <QStringList>

#include <optional>

#include "platform/ado/Connection.h"

namespace import {

// "INSERT INTO <table> (<columns>) VALUES (?, ...)".
QString insertSql(const QString &table, const QStringList &columns);

// The insert, made to return the new record's id as its only row and column;
// "" for an unknown dialect.
QString insertReturningIdSql(ado::Dialect dialect, const QString &table, const QStringList &columns);

// The lowest id of the records whose `keyColumn` equals one bound value;
// "" for an unknown dialect.
QString firstIdSql(ado::Dialect dialect, const QString &table, const QString &keyColumn);

// "UPDATE <table> SET <column> = ?, ... WHERE id = ?".
QString updateByIdSql(const QString &table, const QStringList &columns);

// Statements that keep one row of a batch undoable on its own.
struct SavepointSql {
    QString begin;
    QString release;
    QString rollbackTo;
};

// How rows share transactions: with savepoints, up to `rowsPerCommit` rows
// share one transaction and each row is a savepoint inside it; without,
// every row is a transaction of its own.
struct RowGrouping {
    std::optional<SavepointSql> savepoints;
    int rowsPerCommit = 1;
};

// SQLite spends most of a save on commits (every commit rewrites the pages a
// row touched), so its rows share transactions; SQL Server commits each row.
RowGrouping rowGrouping(ado::Dialect dialect);

}  // namespace import
