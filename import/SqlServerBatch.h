#pragma once
// The bulk save on SQL Server: a batch of rows goes to the server as one
// T-SQL batch, which writes every record of each row there and answers with
// one result set, so that a save costs a few round trips per batch instead
// of several per row. New items and changes to items on the menu share the
// batches. Each row runs inside a savepoint and TRY/CATCH, so a row the
// server refuses costs only itself.

#include <QHash>
#include <QSqlDatabase>
#include <QSqlQuery>

#include "import/RowWriter.h"

namespace bulksave {

// The T-SQL text that writes `rows` rows inside the caller's transaction,
// with the shared values' markers first and then those of each row, bound as
// sqlServerRowValues() gives them. A row either writes a new item or, in a
// batch `withUpdates`, changes one on the menu, each value only while it is
// still the one read. A row whose failure doomed the transaction ends the
// batch there and is marked Lost: the caller must roll back.
QString sqlServerBatchSql(int rows, bool withUpdates);

// The values bound ahead of the rows' in every batch of a save.
QVariantList sqlServerSharedValues(const SharedValues &shared);

// The values bound for `row` in a batch `withUpdates` or of new items only:
// in the first, as many for a new item as for an update.
QVariantList sqlServerRowValues(const RowToWrite &row, bool withUpdates);

// Rows per batch: as many as fit the server's 2,100 parameters, capped so
// that the progress shown between batches stays lively. A batch of new
// items binds fewer values per row than one with updates, and holds more.
int sqlServerRowsPerBatch(bool withUpdates);

class SqlServerBatchWriter : public RowWriter {
public:
    SqlServerBatchWriter(QSqlDatabase &db, SharedValues shared);
    ~SqlServerBatchWriter() override;

    WriteResult prepare() override;
    void add(const RowToWrite &row) override;
    bool takes(const RowToWrite &row) const override;
    bool full() const override;
    QList<RowWritten> send() override;
    WriteResult commit() override;
    void rollback() override;
    std::optional<WriteResult> unavailable() const override { return m_unavailable; }
    int statementsSent() const override { return m_statements; }

private:
    // What one run of the batch statement told about its rows.
    struct BatchAnswer {
        QList<std::optional<RowWritten>> rows;  // per row sent; nullopt: not reached
        std::optional<int> lostAt;              // the row whose failure ended the transaction
        std::optional<WriteResult> failed;      // the statement as a whole failed
    };

    QSqlQuery &statementFor(int rows, bool withUpdates, WriteResult &prepared);
    void forget(int rows, bool withUpdates);
    BatchAnswer run(const QList<RowToWrite> &rows);
    RowWritten readRow(const QSqlQuery &query, const RowToWrite &row) const;
    WriteResult runControl(const QString &sql);

    QSqlDatabase &m_db;
    SharedValues m_shared;
    QVariantList m_sharedValues;
    QHash<std::pair<int, bool>, QSqlQuery> m_prepared;  // by rows and whether with updates
    QList<RowToWrite> m_rows;
    bool m_withUpdates = false;  // an update is among m_rows
    bool m_open = false;
    int m_statements = 0;
    std::optional<WriteResult> m_unavailable;
};

}  // namespace bulksave
