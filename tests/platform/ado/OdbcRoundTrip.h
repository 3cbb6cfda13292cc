#pragma once
// Reads a built ODBC connection string back the way the driver of each family
// reads it, and compares what it names with the OLE DB text it came from:
// the check behind the round-trip fuzzer and the tests of its finds.

#include <QMap>
#include <QString>

#include <optional>

#include "platform/ado/OleDbText.h"

namespace odbcroundtrip {

// The drivers whose strings are checked, one of each way of writing.
inline constexpr QStringView kDrivers[] = {
    u"ODBC Driver 18 for SQL Server",
    u"ODBC Driver 17 for SQL Server",
    u"SQL Server",
    u"FreeTDS",
};

// The keyword=value pairs of `text`, keywords in lower case, as the driver
// named `driver` reads them: Microsoft drivers end a braced value at a "}"
// that is not doubled, FreeTDS at the first "};"; both stop at a NUL
// character. nullopt when the driver would refuse the string or a keyword
// comes twice.
std::optional<QMap<QString, QString>> readPairs(const QString &text, QStringView driver);

// What differs between the login `text` asks for and the one the string
// built for `driver` gives that driver (for FreeTDS, also whether unixODBC
// picks that driver and no data source from it), or "" when they agree or the
// builder refused `text` (with an error and no string). Also "" when `text`
// is not a SQL Server login.
QString roundTripFault(const ado::OleDbText &text, QStringView driver);

// What of the password is left when the string built for `driver` comes
// back in a driver's message and is masked as the connection masks it; ""
// when the password's pair reads as "***" or is gone, the string could not
// be built or no longer reads as pairs.
QString maskFault(const ado::OleDbText &text, QStringView driver);

}  // namespace odbcroundtrip
