#pragma once
// The bulk save on SQL Server: a batch of rows goes to the server as one
// T-SQL batch, which writes every record of each row there and answers with
// one result set, so that a save costs a few round trips per batch instead
// of several per row. New items and changes to items on the menu share the
// batches. Each row runs inside a savepoint and TRY/CATCH, so a row the
// server refuses costs only itself.

#include <QFlags>
#include <QHash>
#include <QSqlDatabase>
#include <QSqlQuery>

#include "import/RowWriter.h"

namespace import {

// A row's own values that a batch binds for each of its rows besides the
// product's: a new item's value that is not the window's. A batch without
// one binds only the window's, once.
enum class OwnValue { Group = 0x1, Multiplier = 0x2, ButtonColor = 0x4, SubMenuTag = 0x8, Printer = 0x10 };
Q_DECLARE_FLAGS(OwnValues, OwnValue)
Q_DECLARE_OPERATORS_FOR_FLAGS(OwnValues)

// What a batch binds for each of its rows: an update's values too, and which
// of the rows' own values. Each shape has its own batch text.
struct BatchShape {
    bool withUpdates = false;
    OwnValues values{};

    // The shape that holds the rows of both.
    BatchShape operator|(const BatchShape &other) const
    {
        return {withUpdates || other.withUpdates, values | other.values};
    }
    bool operator==(const BatchShape &) const = default;
};
size_t qHash(const BatchShape &shape, size_t seed = 0) noexcept;

// The shape a batch needs for `row`: an update's, or those of the new item's
// values that differ from the `window`'s.
BatchShape sqlServerShape(const RowToWrite &row, const RowValues &window);

// The T-SQL text that writes `rows` rows of `shape` inside the caller's
// transaction, with the shared values' markers first and then those of each
// row, bound as sqlServerRowValues() gives them. A row either writes a new
// item or, in a batch with updates, changes one on the menu, each value only
// while it is still the one read. A row whose failure doomed the transaction
// ends the batch there and is marked Lost: the caller must roll back.
QString sqlServerBatchSql(int rows, BatchShape shape);

// The values bound ahead of the rows' in every batch of a save.
QVariantList sqlServerSharedValues(const SharedValues &shared);

// The values bound for `row` in a batch of `shape`: in one with updates, as
// many for a new item as for an update, and in one with own values, the
// row's effective ones whether or not they are the window's.
QVariantList sqlServerRowValues(const RowToWrite &row, BatchShape shape);

// Rows per batch: as many as fit the server's 2,100 parameters, capped so
// that the progress shown between batches stays lively. A batch that binds
// fewer values per row holds more.
int sqlServerRowsPerBatch(BatchShape shape);

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

    QSqlQuery &statementFor(int rows, BatchShape shape, WriteResult &prepared);
    void forget(int rows, BatchShape shape);
    BatchAnswer run(const QList<RowToWrite> &rows);
    RowWritten readRow(const QSqlQuery &query, const RowToWrite &row) const;
    WriteResult runControl(const QString &sql);

    QSqlDatabase &m_db;
    SharedValues m_shared;
    QVariantList m_sharedValues;
    QHash<std::pair<int, BatchShape>, QSqlQuery> m_prepared;  // by rows and shape
    QList<RowToWrite> m_rows;
    BatchShape m_shape;  // the shape that holds m_rows
    bool m_open = false;
    int m_statements = 0;
    std::optional<WriteResult> m_unavailable;
};

}  // namespace import
