#pragma once
// How the usable rows of a bulk save reach the database: written one
// statement at a time, or sent in batches that the server runs on its own.
// Either way a row lands whole or not at all, and the rows written since the
// last commit become durable together.

#include <QList>

#include <optional>

#include "import/PosRecords.h"
#include "import/RowRules.h"
#include "import/SaveJournal.h"

namespace import {

// A usable row given to a writer: a new item, or a change to one on the menu.
struct RowToWrite {
    int gridRow = 0;
    Product product;
    std::optional<ItemUpdate> update;
    RowValues values{};  // what a new item's records take besides the product's own
};

// The journal record of `row` before any of its records is written. An
// update's names the item, its portion and the price record it changes (0
// until a created one has its id) and holds the values the item will have.
inline JournalRow unwrittenRecord(const RowToWrite &row)
{
    if (const std::optional<ItemUpdate> &update = row.update) {
        return JournalRow{row.gridRow,     update->itemId, update->portionId, update->priceId.value_or(0),
                          {},              {},             {},                {},
                          row.product.barcode, update->newName.value_or(update->oldName),
                          update->newPrice ? *update->newPrice : update->oldPrice.value_or(0), update};
    }
    return JournalRow{row.gridRow,         0, 0, 0, {}, {}, {}, row.values.group, row.product.barcode,
                      row.product.name, row.product.price, {}};
}

// What became of one row given to a writer, uncommitted.
struct RowWritten {
    // The row's failure, or a success with its item id.
    WriteResult result;
    // False when the row was not tried at all: the database had become
    // unavailable (`result` says why) while an earlier row was written.
    bool tried = true;
    // A landed row's records, for the journal.
    JournalRow record;
    // The category this row created, if it did.
    std::optional<qint64> newCategory;
};

// What every row of one save shares: whether items get a button, and the
// values of the rows that have none of their own.
struct SharedValues {
    bool button = false;
    RowValues window;
};

class RowWriter {
public:
    virtual ~RowWriter() = default;

    // Prepares what the writer needs; a failure means no row can be written.
    virtual WriteResult prepare() = 0;
    // Takes one row into the open batch; it may be written now or when the
    // batch is sent.
    virtual void add(const RowToWrite &row) = 0;
    // False when `row` does not fit the open batch: it must be sent first.
    virtual bool takes(const RowToWrite &row) const = 0;
    // True when the open batch should be sent and committed now.
    virtual bool full() const = 0;
    // Writes what is not written yet of the open batch and tells, in the
    // order they were added, what became of every row added since the last
    // send; the rows that landed wait for commit().
    virtual QList<RowWritten> send() = 0;
    // Makes the rows sent so far durable; success when none are open. On a
    // failure they are lost.
    virtual WriteResult commit() = 0;
    // Drops the rows sent since the last commit.
    virtual void rollback() = 0;
    // Why the database cannot take any more rows (locked past the timeout,
    // full), once a write has said so: the caller adds no more rows then.
    virtual std::optional<WriteResult> unavailable() const = 0;
    // Statements sent to the database so far: on a server, its round trips.
    virtual int statementsSent() const = 0;
};

}  // namespace import
