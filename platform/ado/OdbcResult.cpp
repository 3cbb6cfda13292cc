#include "platform/ado/OdbcResult.h"

#include <QSqlDriver>

#include "platform/ado/OdbcDiagnostics.h"

namespace ado {

namespace {

const SQLWCHAR *wide(const QString &text)
{
    return reinterpret_cast<const SQLWCHAR *>(text.utf16());
}

}  // namespace

OdbcResult::OdbcResult(const QSqlDriver *driver, std::shared_ptr<OdbcSession> session)
    : QSqlResult(driver), m_session(std::move(session))
{
}

OdbcResult::~OdbcResult()
{
    // Nobody is left to hear of an error in results no one read.
    drain();
    freeStatement();
}

bool OdbcResult::connectionAlive() const
{
    return m_session->connection != SQL_NULL_HDBC &&
           (m_statement == SQL_NULL_HSTMT || m_opening == m_session->opening);
}

bool OdbcResult::freshStatement(bool keepPrepared)
{
    // A statement of an earlier opening went with its connection.
    if (!connectionAlive())
        freeStatement();
    if (!connectionAlive()) {
        setLastError(QSqlError(QStringLiteral("The connection is closed"), QString(), QSqlError::ConnectionError));
        return false;
    }
    if (const QSqlError left = drain(); left.isValid()) {
        setLastError(left);
        return false;
    }
    if (m_prepared && !keepPrepared)
        freeStatement();
    m_columns.clear();
    m_row.clear();
    m_rowsAffected = -1;
    if (m_statement != SQL_NULL_HSTMT)
        return true;
    if (!SQL_SUCCEEDED(SQLAllocHandle(SQL_HANDLE_STMT, m_session->connection, &m_statement))) {
        m_statement = SQL_NULL_HSTMT;
        setLastError(odbcError(SQL_HANDLE_DBC, m_session->connection, QStringLiteral("Unable to allocate a statement"),
                               QSqlError::StatementError));
        return false;
    }
    m_opening = m_session->opening;
    return true;
}

void OdbcResult::freeStatement()
{
    if (m_statement != SQL_NULL_HSTMT && connectionAlive()) {
        SQLFreeHandle(SQL_HANDLE_STMT, m_statement);
        // Freeing a statement prepared on the server unprepares it there.
        if (m_preparedOnServer)
            ++m_session->roundTrips;
    }
    m_statement = SQL_NULL_HSTMT;
    m_prepared = false;
    m_preparedOnServer = false;
    m_pending = false;
    m_parameters.clear();
}

QSqlError OdbcResult::advance(SQLRETURN r, bool fromExecute, bool stopAtRows)
{
    QSqlError error;
    QString previous;
    for (;; fromExecute = false, r = SQLMoreResults(m_statement)) {
        if (r == SQL_NO_DATA && !fromExecute)
            break;
        if (r == SQL_NO_DATA) {
            m_rowsAffected = 0;
            continue;
        }
        if (r == SQL_ERROR) {
            const QSqlError reported = odbcError(SQL_HANDLE_STMT, m_statement,
                                                 QStringLiteral("Unable to execute statement"),
                                                 QSqlError::StatementError);
            // A lost connection, or a driver that reports the same failure
            // again, has no further result to give.
            SQLUINTEGER dead = SQL_CD_FALSE;
            SQLGetConnectAttr(m_session->connection, SQL_ATTR_CONNECTION_DEAD, &dead, 0, nullptr);
            const bool repeated = reported.databaseText() == previous;
            if (!repeated)
                error = joined(error, reported);
            previous = reported.databaseText();
            if (repeated || reported.nativeErrorCode().isEmpty() || dead == SQL_CD_TRUE)
                break;
            continue;
        }
        if (!SQL_SUCCEEDED(r)) {
            error = joined(error, QSqlError(QStringLiteral("The ODBC driver answered %1").arg(r), QString(),
                                            QSqlError::StatementError));
            break;
        }
        SQLSMALLINT columns = 0;
        if (!SQL_SUCCEEDED(SQLNumResultCols(m_statement, &columns)))
            error = joined(error, odbcError(SQL_HANDLE_STMT, m_statement,
                                            QStringLiteral("Unable to count the result's columns"),
                                            QSqlError::StatementError));
        if (columns == 0) {
            SQLLEN rows = -1;
            if (SQL_SUCCEEDED(SQLRowCount(m_statement, &rows)) && rows >= 0)
                m_rowsAffected = rows;
        } else if (stopAtRows && !error.isValid()) {
            m_pending = true;
            return m_columns.describe(m_statement, numericalPrecisionPolicy());
        }
    }
    m_pending = false;
    return error;
}

QSqlError OdbcResult::drain()
{
    if (!m_pending || !connectionAlive())
        return {};
    m_columns.clear();
    return advance(SQLMoreResults(m_statement), false, false);
}

bool OdbcResult::executed(const QSqlError &error)
{
    setSelect(m_pending);
    if (error.isValid()) {
        setLastError(error);
        setActive(false);
        return false;
    }
    setActive(true);
    return true;
}

void OdbcResult::failOn(const QString &what)
{
    setLastError(odbcError(SQL_HANDLE_STMT, m_statement, what, QSqlError::StatementError));
}

bool OdbcResult::reset(const QString &query)
{
    if (!freshStatement(false))
        return false;
    const SQLRETURN r = SQLExecDirectW(m_statement, const_cast<SQLWCHAR *>(wide(query)), SQL_NTS);
    ++m_session->roundTrips;
    return executed(advance(r, true, true));
}

bool OdbcResult::prepare(const QString &query)
{
    if (!freshStatement(false))
        return false;
    if (!SQL_SUCCEEDED(SQLPrepareW(m_statement, const_cast<SQLWCHAR *>(wide(query)), SQL_NTS))) {
        failOn(QStringLiteral("Unable to prepare statement"));
        return false;
    }
    m_prepared = true;
    return true;
}

bool OdbcResult::exec()
{
    if (!m_prepared) {
        setLastError(QSqlError(QStringLiteral("No statement is prepared"), QString(), QSqlError::StatementError));
        return false;
    }
    if (!freshStatement(true))
        return false;
    bool declaredAgain = false;
    const QSqlError error = m_parameters.bind(m_statement, boundValues(), declaredAgain);
    // Parameters declared otherwise unprepare the statement on the server.
    if (declaredAgain && m_preparedOnServer) {
        ++m_session->roundTrips;
        m_preparedOnServer = false;
    }
    if (error.isValid()) {
        setLastError(error);
        setActive(false);
        return false;
    }
    const SQLRETURN r = SQLExecute(m_statement);
    ++m_session->roundTrips;
    const bool ok = executed(advance(r, true, true));
    // The server keeps a prepared statement from its first execution that
    // got past compiling; one whose executions all failed may have none.
    m_preparedOnServer = m_preparedOnServer || ok;
    return ok;
}

bool OdbcResult::fetchNext()
{
    if (!m_pending || !isSelect() || !connectionAlive())
        return false;
    const SQLRETURN r = SQLFetch(m_statement);
    if (r == SQL_NO_DATA) {
        setAt(QSql::AfterLastRow);
        return false;
    }
    if (!SQL_SUCCEEDED(r)) {
        failOn(QStringLiteral("Unable to fetch row"));
        return false;
    }
    if (const QSqlError error = m_columns.readRow(m_statement, m_row); error.isValid()) {
        setLastError(error);
        return false;
    }
    setAt(at() + 1);
    return true;
}

bool OdbcResult::fetch(int index)
{
    if (index == at())
        return at() >= 0;
    return index == at() + 1 && fetchNext();
}

bool OdbcResult::fetchFirst()
{
    return at() == QSql::BeforeFirstRow && fetchNext();
}

bool OdbcResult::fetchLast()
{
    int last = QSql::BeforeFirstRow;
    while (fetchNext())
        last = at();
    if (last == QSql::BeforeFirstRow || lastError().isValid())
        return false;
    setAt(last);
    return true;
}

QVariant OdbcResult::data(int index)
{
    return index >= 0 && index < m_row.size() ? m_row[index] : QVariant();
}

bool OdbcResult::isNull(int index)
{
    return data(index).isNull();
}

int OdbcResult::size()
{
    return -1;
}

int OdbcResult::numRowsAffected()
{
    return static_cast<int>(m_rowsAffected);
}

QSqlRecord OdbcResult::record() const
{
    return isActive() && isSelect() ? m_columns.record() : QSqlRecord();
}

bool OdbcResult::nextResult()
{
    if (!m_pending || !connectionAlive())
        return false;
    setAt(QSql::BeforeFirstRow);
    m_row.clear();
    m_columns.clear();
    const bool ok = executed(advance(SQLMoreResults(m_statement), false, true));
    return ok && isSelect();
}

void OdbcResult::detachFromResultSet()
{
    if (const QSqlError error = drain(); error.isValid())
        setLastError(error);
}

}  // namespace ado
