#pragma once

#include <QString>

namespace posdb {

// Creates the point-of-sale tables in a new SQLite file at `path`, plus the
// demo printers, tax templates and categories when `withDemo` is set.
// Refuses a path that already exists. Returns "" on success, else the reason.
QString createStandInDatabase(const QString &path, bool withDemo);

// Runs every statement of an SQL script (";"-separated, "--" comments) on the
// open Qt connection `connectionName`. Returns "" or the first error.
QString runScript(const QString &connectionName, const QString &script);

}  // namespace posdb
