#pragma once
// Writes each row as it comes, one statement per record, the rows of a batch
// sharing one transaction with a savepoint each: the embedded database has
// no round trips to save, only commits.

#include <QSqlDatabase>

#include "import/PosRecords.h"
#include "import/RowBatch.h"
#include "import/RowWriter.h"

namespace bulksave {

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
    WriteResult writeProduct(const Product &product, RowWritten &written);
    WriteResult writeUpdate(const ItemUpdate &update, JournalRow &record);
    WriteResult writeButton(const QString &name, qint64 itemId, RowWritten &written);
    WriteResult writePrinterMap(qint64 itemId, JournalRow &record);
    WriteResult categoryId(RowWritten &written);
    void loseBatch(const WriteResult &why);

    PosRecords m_records;
    RowBatch m_batch;
    SharedValues m_shared;
    QList<RowWritten> m_written;
    // The category the open batch's rows use; it goes when the batch is lost.
    std::optional<qint64> m_category;
    std::optional<WriteResult> m_unavailable;
};

}  // namespace bulksave
