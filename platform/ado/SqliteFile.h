#pragma once
// Opens an existing SQLite file as the embedded stand-in for the
// point-of-sale database.

#include <QSqlDatabase>
#include <QString>

namespace ado {

// The file: URI that opens `path` read-write without creating it.
QString sqliteUri(const QString &path);

// Opens the existing file `path` on `db` (a QSQLITE connection) and sets WAL
// journal mode, synchronous=FULL and foreign keys on. A missing file is a
// failure and is not created. Returns "" on success; otherwise the reason,
// with `db` closed.
QString openSqliteFile(QSqlDatabase &db, const QString &path);

}  // namespace ado
