#pragma once
// Undoing one import from its journal: every record it wrote removed, every
// printer mapping it overwrote put back, in one transaction, or nothing
// changed at all.

#include <QSqlDatabase>
#include <QString>

#include "import/ImportJournal.h"
#include "platform/ado/Connection.h"

namespace bulksave {

// What an import landed, by its journal and the database.
struct LandedRecords {
    QList<JournalRow> rows;        // in the order they were written
    QList<qint64> newCategories;   // likewise
    QString error;                 // why the database could not be asked; "" when it was
};

// The rows and categories of `journal` that landed in `db`: the batches the
// journal saw committed, and those it never saw settled (a crash came
// between) whose first item is in the database as journaled.
LandedRecords landedRecords(const QSqlDatabase &db, const JournalContents &journal);

struct UndoResult {
    bool undone = false;
    int items = 0;    // menu items removed
    QString message;  // for the operator, in Turkish: what was undone, or why nothing was
};

// Undoes the import journaled at `journalPath` on `db`. Refuses, changing
// nothing, when the journal cannot be read or says the import was undone
// already, when a record the import wrote is gone or was changed since
// (name, barcode, group, price, or what a record belongs to), and when the
// database refuses a step (a ticket that uses the item, for example); the
// message then names the first record at fault. Records are removed in the
// reverse order of their writing; a category the import created goes only
// when no button uses it any more. A batch the journal never saw settled
// counts as landed as landedRecords() says.
UndoResult undoImport(const QSqlDatabase &db, ado::Dialect dialect, const QString &journalPath);

}  // namespace bulksave
