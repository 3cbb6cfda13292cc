#include "import/RowBatch.h"

#include <QSqlError>

namespace import {

namespace {

const QString kTransaction;  // failures of the transaction itself name no table

WriteResult run(QSqlQuery &statement, int &statements)
{
    ++statements;
    const WriteResult result = statement.exec() ? WriteResult::success() : writeFailure(kTransaction, statement.lastError());
    statement.finish();
    return result;
}

}  // namespace

RowBatch::RowBatch(QSqlDatabase &db, ado::Dialect dialect) : m_db(db), m_grouping(rowGrouping(dialect)) {}

RowBatch::~RowBatch()
{
    if (m_open)
        m_db.rollback();
}

WriteResult RowBatch::prepare()
{
    if (!m_grouping.savepoints)
        return {};
    const SavepointSql &sql = *m_grouping.savepoints;
    m_begin.emplace(m_db);
    m_release.emplace(m_db);
    m_rollbackTo.emplace(m_db);
    for (auto [query, text] : {std::pair{&*m_begin, sql.begin}, std::pair{&*m_release, sql.release},
                               std::pair{&*m_rollbackTo, sql.rollbackTo}}) {
        if (!query->prepare(text))
            return writeFailure(kTransaction, query->lastError());
    }
    return {};
}

WriteResult RowBatch::beginRow()
{
    if (!m_open) {
        ++m_statements;
        if (!m_db.transaction())
            return writeFailure(kTransaction, m_db.lastError());
        m_open = true;
        m_rows = 0;
    }
    return m_begin ? run(*m_begin, m_statements) : WriteResult::success();
}

WriteResult RowBatch::endRow(bool keep)
{
    ++m_rows;
    if (!m_begin) {
        // Every row is a transaction of its own: undoing the row undoes the batch.
        if (keep)
            return {};
        ++m_statements;
        m_open = !m_db.rollback();
        return m_open ? loseBatch(writeFailure(kTransaction, m_db.lastError())) : WriteResult::success();
    }
    if (!keep) {
        // A failed ROLLBACK TO means the database already ended the whole
        // transaction (a trigger's RAISE(ROLLBACK), a full disk).
        if (const WriteResult undone = run(*m_rollbackTo, m_statements); !undone.ok())
            return loseBatch(undone);
    }
    const WriteResult released = run(*m_release, m_statements);
    return released.ok() ? released : loseBatch(released);
}

bool RowBatch::full() const
{
    return m_open && m_rows >= m_grouping.rowsPerCommit;
}

WriteResult RowBatch::commit()
{
    if (!m_open)
        return {};
    ++m_statements;
    if (!m_db.commit())
        return loseBatch(writeFailure(kTransaction, m_db.lastError()));
    m_open = false;
    return {};
}

void RowBatch::rollback()
{
    if (m_open)
        loseBatch({});
}

WriteResult RowBatch::loseBatch(const WriteResult &why)
{
    ++m_statements;
    m_db.rollback();
    m_open = false;
    return why;
}

}  // namespace import
