#pragma once
// Contract for the database client that stands in for an ADO Connection;
// the implementation may add members but keeps these names and meanings.

#include <QSqlDatabase>
#include <QSqlQuery>
#include <QString>

#include "platform/ado/Target.h"
#include "platform/ado/TextFidelity.h"
#include "platform/outcome/Outcome.h"

namespace ado {

// Which engine an open connection talks to: SQL statements that differ
// between them (how a new id is read back, TOP/LIMIT) look here.
enum class Dialect { None, SqlServer, Sqlite };

// The full path of the embedded database file `oledbText` names, as
// Connection::identity() gives it once open; "" when the text names a SQL
// Server or cannot be read.
QString databaseFileOf(const QString &oledbText);

// One database connection opened from an OLE DB connection text.
// Open once; a failure leaves it closed, and lastOpen() says why.
class Connection {
public:
    explicit Connection(QString qtConnectionName = QStringLiteral("baglanti"));
    ~Connection();
    Connection(const Connection &) = delete;
    Connection &operator=(const Connection &) = delete;

    void setConnectionString(const QString &oledbText);
    QString connectionString() const;

    // One open attempt with the text set before; no retry. Returns isOpen().
    // Read-only, an embedded database file is left byte for byte as it was
    // (a SQL Server is opened as usual: only the caller's statements write).
    bool open(Access access = Access::ReadWrite);
    bool isOpen() const;
    // How the last open() went: a Turkish reason and the driver's words as
    // its detail. A password the driver's words echo shows as "***"; names
    // of servers, databases and files are given as the text writes them.
    const platform::Outcome &lastOpen() const { return m_opened; }
    // What the connection points at, for the title bar: "server / database"
    // or the SQLite file name, as the text writes them.
    QString description() const;
    // What the connection points at, told apart from any other database:
    // "server / database" as description() gives it, or the SQLite file's
    // full path. Never holds a user name or a password.
    QString identity() const;
    Dialect dialect() const;
    // The Qt connection behind it (invalid before open()).
    QSqlDatabase database() const;
    // A forward-only query on this connection. Row counts are not known in
    // advance on either engine (size() is -1): count the rows you fetch.
    QSqlQuery newQuery() const;
    // Requests sent to the SQL Server since open(): one per statement
    // executed, per transaction begun, committed or rolled back, per switch
    // back to autocommit after one, and per prepared statement the server
    // forgets after it ran (freed, or its parameters declared otherwise).
    // Fetching rows costs none. Always 0 on an embedded database.
    quint64 roundTrips() const;
    // True when `value` would be stored exactly as given; false for a text
    // holding a lone surrogate, which the server would get as a replacement
    // character, so the caller can refuse the row instead of storing it
    // mangled. Texts are sent as Unicode to either engine.
    bool canSendExactly(const QString &value) const;
    // What canSendExactly() asks, for callers that check many values.
    const TextFidelity &textFidelity() const { return m_fidelity; }

private:
    platform::Outcome openTarget(const SqlServerTarget &target);
    platform::Outcome openTarget(const SqliteTarget &target);
    // Closes and forgets the Qt connection of this name, if any.
    void release();

    QString m_name;
    QString m_text;
    platform::Outcome m_opened;
    QString m_description;
    QString m_identity;
    Dialect m_dialect = Dialect::None;
    Access m_access = Access::ReadWrite;
    TextFidelity m_fidelity = TextFidelity::unicode();
};

}  // namespace ado
