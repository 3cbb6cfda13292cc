#pragma once
// Opens an existing SQLite file as the embedded stand-in for the
// point-of-sale database.

#include <QSqlDatabase>
#include <QString>

#include "platform/ado/Target.h"
#include "platform/outcome/Outcome.h"

namespace ado {

// The file: URI that opens `path`, an absolute path as `os` writes it,
// read-write (or read-only) without creating it: "file:///C:/..." for a Windows drive path,
// "file:////server/share/..." for a UNC path (SQLite refuses any authority but
// an empty one), "file:///..." for a POSIX path. Runs of separators count as
// one; every character but letters, digits, "-._~", "/" and ":" is
// percent-encoded as UTF-8, "?", "#" and "%" among them.
QString sqliteUri(const QString &path, Os os, Access access = Access::ReadWrite);

// How long a statement waits for another program's write lock on the file
// (the point-of-sale application writing a ticket) before it fails as locked.
constexpr int kBusyTimeoutMs = 5000;

// Opens the existing file `path` on `db` (a QSQLITE connection), checks it
// (quick_check) and sets WAL journal mode, synchronous=FULL, foreign keys on
// and temporary tables in memory. A missing file is a failure and is not
// created; so is a file this user may not write, and one that is not a sound
// database (it is never rewritten to repair it). Read-only, the file keeps
// its journal mode and may be one this user cannot write; SQLite writes
// nothing to it, though a database already in WAL mode gets the index files
// SQLite needs beside it to read one safely. A failure leaves `db` closed;
// its reason is Turkish, its detail the path or SQLite's own words.
platform::Outcome openSqliteFile(QSqlDatabase &db, const QString &path, Access access = Access::ReadWrite);

}  // namespace ado
