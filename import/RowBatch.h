#pragma once
// The transactions of a bulk save: every row lands whole or not at all.

#include <QSqlDatabase>
#include <QSqlQuery>

#include <optional>

#include "platform/ado/Connection.h"
#include "import/PosRecords.h"
#include "import/SqlDialect.h"

namespace import {

// Groups the rows of one save into transactions as the dialect's
// RowGrouping says: a row's writes are undone together when one of them
// fails, and the rows kept so far become durable at commit(). An open batch
// still uncommitted when the object goes away is rolled back.
class RowBatch {
public:
    RowBatch(QSqlDatabase &db, ado::Dialect dialect);
    ~RowBatch();
    RowBatch(const RowBatch &) = delete;
    RowBatch &operator=(const RowBatch &) = delete;

    // Prepares the savepoint statements, if the dialect uses them; success
    // or the statement the database refused.
    WriteResult prepare();

    // Starts a row: opens the batch's transaction when none is open, then
    // the row's savepoint. A failure leaves no row started.
    WriteResult beginRow();

    // Ends the row beginRow() started, keeping its writes or undoing them.
    // A failure means the whole open batch is lost (rolled back): the rows
    // kept since the last commit are not in the database.
    WriteResult endRow(bool keep);

    // True when the open batch holds as many rows as the dialect commits at once.
    bool full() const;

    // Makes the open batch durable; success when no batch is open. On a
    // failure the batch is rolled back and lost.
    WriteResult commit();

    // Rolls the open batch back, if one is open: its rows are not written.
    void rollback();

    // Statements run so far, transaction control included.
    int statementsRun() const { return m_statements; }

private:
    WriteResult loseBatch(const WriteResult &why);

    QSqlDatabase &m_db;
    RowGrouping m_grouping;
    std::optional<QSqlQuery> m_begin;
    std::optional<QSqlQuery> m_release;
    std::optional<QSqlQuery> m_rollbackTo;
    bool m_open = false;
    int m_rows = 0;
    int m_statements = 0;
};

}  // namespace import
