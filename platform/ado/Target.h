#pragma once
// Decides from a parsed OLE DB connection text which database to open: a SQL
// Server reached through ODBC, or the embedded SQLite stand-in.

#include <QString>

#include <optional>
#include <variant>

#include "platform/ado/OleDbText.h"
#include "platform/outcome/Outcome.h"

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

// How a database is opened: to write it, or only to read it (a dry run),
// which leaves its file as it was.
enum class Access { ReadWrite, ReadOnly };

// How the connection text asks for the link to be encrypted.
enum class Encryption {
    NotAsked,    // no keyword, or false / no / Optional: only the login is encrypted
    Mandatory,   // true / yes / Mandatory
    Strict,      // Strict: encrypted before the login exchange (TDS 8.0)
    Unreadable,  // a value that is none of these
};

// What the connection text says about checking the server's certificate.
enum class TrustCertificate {
    Unset,       // no keyword: the driver's own rule
    Yes,         // true / yes: the certificate is not checked
    No,          // false / no: the certificate is checked when the link is encrypted
    Unreadable,  // a value that is none of these
};

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
    Encryption encryption = Encryption::NotAsked;  // Use Encryption for Data, or Encrypt
    TrustCertificate trustServerCertificate = TrustCertificate::Unset;  // Trust Server Certificate, or TrustServerCertificate
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
// "\instance" or ",port") replaced by "localhost"; anything else unchanged.
QString serverName(const QString &dataSource);

// A server name taken apart into the forms users write: "HOST",
// "HOST,PORT" and "HOST\INSTANCE". In "HOST\INSTANCE,PORT" the port wins,
// as it does for Microsoft's drivers, and no instance lookup is needed.
// A failure when the port is not a number from 1 to 65535; its reason never
// quotes the port.
struct ServerAddress : platform::Outcome {
    QString host;             // before "\" or ",", without a "tcp:" prefix, blanks trimmed
    QString instance;         // after "\", "" when none
    std::optional<int> port;  // after ",", when given

    // True when the port must be asked of the SQL Server Browser service.
    bool needsInstanceLookup() const { return !instance.isEmpty() && !port; }
};
ServerAddress serverAddress(const QString &server);

// True when `server` (after serverName()) names this machine.
bool isLocalServer(const QString &server);

}  // namespace ado
