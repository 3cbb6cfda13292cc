#pragma once
// Builds the ODBC connection string that our ODBC driver hands to the
// driver manager for a SQL Server target.

#include <QString>
#include <QStringList>

#include "platform/ado/Target.h"
#include "platform/outcome/Outcome.h"

namespace ado {

// The ODBC driver to use on `os`, given the names of the installed drivers.
// Windows: the best Microsoft driver in `installed` (ODBC Driver 18 > 17 >
// Native Client 11.0 > 10.0), else "SQL Server", which Windows always has.
// Other systems: "FreeTDS", whatever is installed.
QString chooseOdbcDriver(const QStringList &installed, Os os);

// The names of the ODBC drivers the driver manager knows; empty when it
// cannot be asked.
QStringList installedOdbcDrivers();

// A built connection string, or why none could be built: a reason that
// names the field at fault, never its value, and no text.
using OdbcConnectionString = platform::Result<QString>;

// The connection string for `target` through `driver`. Every value is braced
// by the rules of the driver's family: Microsoft drivers take "}" doubled;
// FreeTDS ends a braced value at the first "};" and has no escape, and the
// driver manager in front of it ends one at the first "}" not doubled, so a
// FreeTDS value holding "}" anywhere but in a run at its end cannot be
// passed and gives an error, as does a value holding a NUL character in any
// family. Each pair ends in ";".
// Encryption and trust go to each driver in its own words, as far as it has
// them: ODBC Driver 18 gets Encrypt=Optional unless the text asks for
// encryption, and TrustServerCertificate=yes when the text says so or, when
// the text is silent, for a server on this machine; the built-in "SQL
// Server" driver and FreeTDS have no trust keyword. An encryption or trust
// value the text spells in no known way gives an error. FreeTDS also gets
// TDS_Version=7.4 and ClientCharset=UTF-8.
// The server goes to Microsoft's drivers as written ("HOST", "HOST,PORT",
// "HOST\INSTANCE"); to FreeTDS as Server=HOST;Port=PORT (1433 when none is
// written), or as Server=HOST\INSTANCE without a port, which FreeTDS looks
// up from the SQL Server Browser service. A port that is not a number from 1
// to 65535 gives an error for every driver.
OdbcConnectionString odbcConnectionString(const SqlServerTarget &target, const QString &driver);

// The reason to give the operator, in Turkish, when an instance form without
// a port ("HOST\INSTANCE") could not be reached and the driver's words say
// no server was found: the SQL Server Browser service that tells the
// instance's port did not answer. "" for any other failure or form.
QString instanceLookupFailure(const SqlServerTarget &target, const QString &driverMessage);

}  // namespace ado
