#pragma once
// Undoing one import from its journal: every record it wrote removed, every
// printer mapping it overwrote put back, in one transaction, or nothing
// changed at all.

#include <QSqlDatabase>
#include <QString>

#include <memory>

#include "import/ImportJournal.h"
#include "platform/ado/Connection.h"

namespace import {

// What an import landed, by its journal and the database; a failure when
// the database could not be asked.
struct LandedRecords : platform::Outcome {
    QList<JournalRow> rows;        // in the order they were written
    QList<qint64> newCategories;   // likewise
};

// The rows and categories of `journal` that landed in `db`: the batches the
// journal saw committed, and those it never saw settled (a crash came
// between) whose first item is in the database as journaled.
LandedRecords landedRecords(const QSqlDatabase &db, const JournalContents &journal);

// Settles every batch of the journals in `folder` of imports into `target`
// (the database `db` is open on) that their journal never saw settled: a
// batch counts as landed when its first item is in `db` as journaled, and
// that verdict is written into the journal. This must happen before the next
// import into the same database, because SQLite gives the ids of a rolled
// back insert out again: once an import has taken them, the crashed batch
// would pass for landed and undoing it would remove that import's products.
// A journal that cannot be read is left as it is. A failure when the
// database could not be asked or a verdict not written.
platform::Outcome settleJournals(const QSqlDatabase &db, const QString &folder, const QString &target);

// The journal of a new import into `db` in `folder`, after the earlier ones
// of the same target were settled. A failure, with no journal, when
// settling or creating fails: the import must then write nothing.
platform::Result<std::unique_ptr<ImportJournal>> startJournal(const QSqlDatabase &db, const QString &folder,
                                                              const JournalHeader &header);

struct UndoResult {
    bool undone = false;
    int items = 0;    // menu items removed
    QString message;  // for the operator, in Turkish: what was undone, or why nothing was
};

// Undoes the import journaled at `journalPath` on `db`: the items it added
// are removed, the items it updated get their old price (and name) back.
// Refuses, changing nothing, when the journal cannot be read, says the import was undone
// already or landed nothing, when a record the import wrote is gone or was changed since
// (name, barcode, group, price, or what a record belongs to; for an update,
// the price or name it set), and when the
// database refuses a step (a ticket that uses the item, for example); the
// message then names the first record at fault. Records are removed in the
// reverse order of their writing; a category the import created goes only
// when no button uses it any more. A batch the journal never saw settled
// counts as landed as landedRecords() says.
UndoResult undoImport(const QSqlDatabase &db, ado::Dialect dialect, const QString &journalPath);

}  // namespace import
