#pragma once
// One statement of an OdbcDriver's connection, forward-only. Results are
// read to their end (rows and further result sets) before the statement is
// run again, finished or freed, so the ODBC driver never has to cancel one.

#include <QSqlResult>

#include <memory>

#include "platform/ado/OdbcColumns.h"
#include "platform/ado/OdbcParameters.h"
#include "platform/ado/OdbcSession.h"

namespace ado {

class OdbcResult : public QSqlResult {
public:
    OdbcResult(const QSqlDriver *driver, std::shared_ptr<OdbcSession> session);
    ~OdbcResult() override;

protected:
    QVariant data(int index) override;
    bool isNull(int index) override;
    bool reset(const QString &query) override;
    bool prepare(const QString &query) override;
    bool exec() override;
    bool fetch(int index) override;
    bool fetchFirst() override;
    bool fetchLast() override;
    bool fetchNext() override;
    int size() override;
    int numRowsAffected() override;
    QSqlRecord record() const override;
    bool nextResult() override;
    void detachFromResultSet() override;

private:
    // The connection is open, and the statement, if any, belongs to this
    // opening of it.
    bool connectionAlive() const;
    // A statement handle ready for a new statement: the old one is read to
    // its end, and freed when it was prepared. False with lastError() set.
    bool freshStatement(bool keepPrepared);
    // Steps from the outcome `r` of an execution (`fromExecute`) or of
    // SQLMoreResults through the results, over those without columns
    // (keeping their row count), and stops at the next result set when
    // `stopAtRows` and nothing failed before it; otherwise reads on to the
    // end. Returns every error reported on the way.
    QSqlError advance(SQLRETURN r, bool fromExecute, bool stopAtRows);
    // Reads what is left of the results to their end.
    QSqlError drain();
    // Frees the statement handle if the connection still owns it.
    void freeStatement();
    // Sets the result's state after advance() gave `error`.
    bool executed(const QSqlError &error);
    void failOn(const QString &what);

    std::shared_ptr<OdbcSession> m_session;
    quint64 m_opening = 0;
    SQLHSTMT m_statement = SQL_NULL_HSTMT;
    bool m_prepared = false;
    bool m_preparedOnServer = false;
    bool m_pending = false;
    SQLLEN m_rowsAffected = -1;
    OdbcParameters m_parameters;
    OdbcColumns m_columns;
    QVariantList m_row;
};

}  // namespace ado
