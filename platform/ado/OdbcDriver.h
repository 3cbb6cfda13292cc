#pragma once
// A Qt SQL driver over ODBC that always speaks Unicode: texts are bound as
// NVARCHAR and read as UTF-16 whatever the database's collation or the ODBC
// driver's narrow character set, a statement prepared once is executed again
// without being prepared again, and results are read to their end instead of
// being cancelled, so no request is spent on anything but the statements.
// Register an instance with QSqlDatabase::addDatabase(driver, name); the
// database name is the whole ODBC connection string.

#include <QSqlDriver>
#include <QSqlError>

#include <memory>

namespace ado {

struct OdbcSession;

class OdbcDriver : public QSqlDriver {
public:
    explicit OdbcDriver(QObject *parent = nullptr);
    ~OdbcDriver() override;

    bool hasFeature(DriverFeature feature) const override;
    // `connectionString` is handed to SQLDriverConnect as it is; the login
    // belongs in it, so `user` and `password` must be empty. `options` takes
    // "SQL_ATTR_LOGIN_TIMEOUT=<seconds>".
    bool open(const QString &connectionString, const QString &user, const QString &password, const QString &host,
              int port, const QString &options) override;
    void close() override;
    QSqlResult *createResult() const override;
    bool beginTransaction() override;
    bool commitTransaction() override;
    bool rollbackTransaction() override;

    // Requests sent to the server since the connection was opened: one for
    // every statement executed, transaction begun, committed or rolled back,
    // and switch back to autocommit; and one whenever the server is asked to
    // forget a prepared statement that ran: when the statement is freed or
    // prepared anew, or its parameters are declared otherwise (a text
    // growing beyond NVARCHAR(4000), or a value of another type in a place).
    quint64 roundTrips() const;

private:
    bool endTransaction(bool commit);
    void fail(const QString &what, QSqlError::ErrorType type);

    std::shared_ptr<OdbcSession> m_session;
};

}  // namespace ado
