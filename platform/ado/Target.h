#pragma once
// Decides from a parsed OLE DB connection text which database to open: a SQL
// Server reached through ODBC, or the embedded SQLite stand-in.

#include <QString>
#include <QStringList>

#include <variant>

#include "platform/ado/OleDbText.h"

namespace ado {

// The operating system a target is chosen for; a parameter rather than a
// compile-time switch so that every system's choice can be tested anywhere.
enum class Os { Windows, Other };

// The system this program was built for.
constexpr Os hostOs()
{
#ifdef Q_OS_WIN
    return Os::Windows;
#else
    return Os::Other;
#endif
}

// A SQL Server login as the connection text describes it.
struct SqlServerTarget {
    QString dataSource;   // as written in the text, for the title bar
    QString server;       // dataSource with "." and "(local)" as "localhost"
    QString database;     // Initial Catalog, "" when none
    QString userId;       // "" with integrated security
    QString password;     // "" with integrated security
    bool integratedSecurity = false;
    QString attachFile;   // Initial File Name, "" when none
    QString serverSpn;
    int loginTimeoutSeconds = 15;
};

// A SQLite file, in the local path form.
struct SqliteTarget {
    QString path;
};

using Target = std::variant<SqlServerTarget, SqliteTarget>;

// The database `text` points at on `os`: SQLite when the Data Source names a
// .db, .sqlite or .sqlite3 file, or, on systems that cannot attach a SQL
// Server file (all but Windows), when the Initial File Name is an .mdf file:
// then the .db file of the same folder and base name. Otherwise SQL Server.
Target chooseTarget(const OleDbText &text, Os os);

// `dataSource` with a leading "." or "(local)" (any case, alone or before
// "\instance") replaced by "localhost"; anything else unchanged.
QString serverName(const QString &dataSource);

// The user id and password `text` carries (empty ones left out), so that
// messages can be cleaned of them.
QStringList secretsOf(const OleDbText &text);

// True when `server` (after serverName()) names this machine.
bool isLocalServer(const QString &server);

}  // namespace ado
