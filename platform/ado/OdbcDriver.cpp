#include "platform/ado/OdbcDriver.h"

#include <cstdint>

#include "platform/ado/OdbcDiagnostics.h"
#include "platform/ado/OdbcResult.h"
#include "platform/ado/OdbcSession.h"

namespace ado {

namespace {

const QString kLoginTimeout = QStringLiteral("SQL_ATTR_LOGIN_TIMEOUT");

SQLPOINTER integerAttribute(std::uintptr_t value)
{
    return reinterpret_cast<SQLPOINTER>(value);
}

// The login timeout `options` asks for (0: the driver's default), or an
// error text.
QString loginTimeout(const QString &options, SQLUINTEGER &seconds)
{
    seconds = 0;
    for (const QString &option : options.split(u';', Qt::SkipEmptyParts)) {
        const QString name = option.section(u'=', 0, 0).trimmed();
        bool ok = false;
        const uint value = option.section(u'=', 1).trimmed().toUInt(&ok);
        if (name != kLoginTimeout)
            return QStringLiteral("bilinmeyen bağlantı seçeneği: %1").arg(name);
        if (!ok)
            return QStringLiteral("%1 bir saniye sayısı olmalı").arg(kLoginTimeout);
        seconds = value;
    }
    return {};
}

}  // namespace

OdbcDriver::OdbcDriver(QObject *parent) : QSqlDriver(parent), m_session(std::make_shared<OdbcSession>()) {}

OdbcDriver::~OdbcDriver()
{
    close();
}

bool OdbcDriver::hasFeature(DriverFeature feature) const
{
    switch (feature) {
    case Transactions:
    case PreparedQueries:
    case PositionalPlaceholders:
    case Unicode:
    case MultipleResultSets:
        return true;
    default:
        return false;
    }
}

void OdbcDriver::fail(const QString &what, QSqlError::ErrorType type)
{
    setLastError(odbcError(SQL_HANDLE_DBC, m_session->connection, what, type));
}

bool OdbcDriver::open(const QString &connectionString, const QString &user, const QString &password,
                      const QString &host, int port, const QString &options)
{
    close();
    SQLUINTEGER timeout = 0;
    QString refusal = loginTimeout(options, timeout);
    if (!user.isEmpty() || !password.isEmpty() || !host.isEmpty() || port >= 0)
        refusal = QStringLiteral("kullanıcı, sunucu ve port bağlantı metninde verilmeli");
    if (!refusal.isEmpty()) {
        setLastError(QSqlError(refusal, QString(), QSqlError::ConnectionError));
        setOpenError(true);
        return false;
    }
    OdbcSession &s = *m_session;
    if (!SQL_SUCCEEDED(SQLAllocHandle(SQL_HANDLE_ENV, SQL_NULL_HANDLE, &s.environment)) ||
        !SQL_SUCCEEDED(SQLSetEnvAttr(s.environment, SQL_ATTR_ODBC_VERSION, integerAttribute(SQL_OV_ODBC3), 0)) ||
        !SQL_SUCCEEDED(SQLAllocHandle(SQL_HANDLE_DBC, s.environment, &s.connection))) {
        setLastError(s.environment == SQL_NULL_HENV
                         ? QSqlError(QStringLiteral("ODBC ortamı oluşturulamadı"), QString(),
                                     QSqlError::ConnectionError)
                         : odbcError(SQL_HANDLE_ENV, s.environment, QStringLiteral("ODBC bağlantısı oluşturulamadı"),
                                     QSqlError::ConnectionError));
        close();
        setOpenError(true);
        return false;
    }
    if (timeout > 0 &&
        !SQL_SUCCEEDED(SQLSetConnectAttr(s.connection, SQL_ATTR_LOGIN_TIMEOUT, integerAttribute(timeout), 0))) {
        fail(QStringLiteral("oturum açma zaman aşımı ayarlanamadı"), QSqlError::ConnectionError);
        close();
        setOpenError(true);
        return false;
    }
    const SQLRETURN r = SQLDriverConnectW(
        s.connection, nullptr, const_cast<SQLWCHAR *>(reinterpret_cast<const SQLWCHAR *>(connectionString.utf16())),
        SQL_NTS, nullptr, 0, nullptr, SQL_DRIVER_NOPROMPT);
    if (!SQL_SUCCEEDED(r)) {
        fail(QStringLiteral("bağlantı kurulamadı"), QSqlError::ConnectionError);
        SQLFreeHandle(SQL_HANDLE_DBC, s.connection);
        s.connection = SQL_NULL_HDBC;
        close();
        setOpenError(true);
        return false;
    }
    ++s.opening;
    s.roundTrips = 0;
    s.inTransaction = false;
    setOpen(true);
    setOpenError(false);
    return true;
}

void OdbcDriver::close()
{
    OdbcSession &s = *m_session;
    if (s.connection != SQL_NULL_HDBC) {
        // A connection cannot be closed inside a transaction.
        if (s.inTransaction)
            rollbackTransaction();
        if (!SQL_SUCCEEDED(SQLDisconnect(s.connection)))
            fail(QStringLiteral("Unable to disconnect"), QSqlError::ConnectionError);
        SQLFreeHandle(SQL_HANDLE_DBC, s.connection);
        s.connection = SQL_NULL_HDBC;
        ++s.opening;
    }
    if (s.environment != SQL_NULL_HENV) {
        SQLFreeHandle(SQL_HANDLE_ENV, s.environment);
        s.environment = SQL_NULL_HENV;
    }
    setOpen(false);
    setOpenError(false);
}

QSqlResult *OdbcDriver::createResult() const
{
    return new OdbcResult(this, m_session);
}

bool OdbcDriver::beginTransaction()
{
    OdbcSession &s = *m_session;
    if (!isOpen() || s.inTransaction) {
        setLastError(QSqlError(isOpen() ? QStringLiteral("A transaction is already open")
                                        : QStringLiteral("The connection is closed"),
                               QString(), QSqlError::TransactionError));
        return false;
    }
    ++s.roundTrips;
    if (!SQL_SUCCEEDED(SQLSetConnectAttr(s.connection, SQL_ATTR_AUTOCOMMIT, integerAttribute(SQL_AUTOCOMMIT_OFF),
                                         SQL_IS_UINTEGER))) {
        fail(QStringLiteral("Unable to begin the transaction"), QSqlError::TransactionError);
        return false;
    }
    s.inTransaction = true;
    return true;
}

bool OdbcDriver::commitTransaction()
{
    return endTransaction(true);
}

bool OdbcDriver::rollbackTransaction()
{
    return endTransaction(false);
}

bool OdbcDriver::endTransaction(bool commit)
{
    OdbcSession &s = *m_session;
    if (!isOpen() || !s.inTransaction) {
        setLastError(QSqlError(QStringLiteral("No transaction is open"), QString(), QSqlError::TransactionError));
        return false;
    }
    ++s.roundTrips;
    QSqlError error;
    if (!SQL_SUCCEEDED(SQLEndTran(SQL_HANDLE_DBC, s.connection, commit ? SQL_COMMIT : SQL_ROLLBACK)))
        error = odbcError(SQL_HANDLE_DBC, s.connection,
                          commit ? QStringLiteral("Unable to commit the transaction")
                                 : QStringLiteral("Unable to roll back the transaction"),
                          QSqlError::TransactionError);
    ++s.roundTrips;
    if (SQL_SUCCEEDED(SQLSetConnectAttr(s.connection, SQL_ATTR_AUTOCOMMIT, integerAttribute(SQL_AUTOCOMMIT_ON),
                                        SQL_IS_UINTEGER)))
        s.inTransaction = false;
    else
        error = joined(error, odbcError(SQL_HANDLE_DBC, s.connection,
                                        QStringLiteral("Unable to switch back to autocommit"),
                                        QSqlError::TransactionError));
    if (error.isValid()) {
        setLastError(error);
        return false;
    }
    return true;
}

quint64 OdbcDriver::roundTrips() const
{
    return m_session->roundTrips;
}

}  // namespace ado
