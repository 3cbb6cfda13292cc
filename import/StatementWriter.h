#pragma once
// Writes each row as it comes, one statement per record, the rows of a batch
// sharing one transaction with a savepoint each: the embedded database has
// no round trips to save, only commits.

#include <QHash>
#include <QSqlDatabase>

#include "import/PosRecords.h"
#include "import/RowBatch.h"
#include "import/RowWriter.h"

namespace import {

class StatementWriter : public RowWriter {
public:
    StatementWriter(QSqlDatabase &db, ado::Dialect dialect, SharedValues shared);

    WriteResult prepare() override;
    void add(const RowToWrite &row) override;
    bool takes(const RowToWrite &) const override { return true; }
    bool full() const override { return m_batch.full(); }
    QList<RowWritten> send() override;
    WriteResult commit() override;
    void rollback() override;
    std::optional<WriteResult> unavailable() const override { return m_unavailable; }
    int statementsSent() const override { return m_records.statementsRun() + m_batch.statementsRun(); }

private:
    WriteResult writeProduct(const RowToWrite &row, RowWritten &written);
    WriteResult writeUpdate(const ItemUpdate &update, JournalRow &record);
    WriteResult writeButton(const RowToWrite &row, qint64 itemId, RowWritten &written);
    WriteResult writePrinterMap(const RowValues &values, qint64 itemId, JournalRow &record);
    WriteResult categoryId(const QString &group, RowWritten &written);
    void loseBatch(const WriteResult &why);

    PosRecords m_records;
    RowBatch m_batch;
    SharedValues m_shared;
    QList<RowWritten> m_written;
    // The categories the open batch's rows use, by group; they go when the
    // batch is lost.
    QHash<QString, qint64> m_categories;
    std::optional<WriteResult> m_unavailable;
};

}  // namespace import
