#pragma once
// Turns what an ODBC handle reports into a QSqlError.

#include <QSqlError>
#include <QString>

#include "platform/ado/OdbcApi.h"

namespace ado {

// Every diagnostic record `handle` holds: databaseText their messages
// joined by spaces, nativeErrorCode their native error numbers joined by ";"
// (the server's message numbers), driverText `what` (a short English text).
// A record that cannot be read whole is read again with a buffer its length
// fits, so no message is cut.
constexpr SQLSMALLINT kFirstMessageRead = 256;  // UTF-16 units
QSqlError odbcError(SQLSMALLINT handleType, SQLHANDLE handle, const QString &what, QSqlError::ErrorType type);

// `first` followed by what `then` adds: both messages and both lists of
// native numbers, `first`'s driver text and type. Either may be invalid.
QSqlError joined(const QSqlError &first, const QSqlError &then);

}  // namespace ado
