#pragma once
// Undoing one import from its journal: every record it wrote removed, every
// printer mapping it overwrote put back, in one transaction, or nothing
// changed at all.

#include <QSqlDatabase>
#include <QString>

#include "platform/ado/Connection.h"

namespace bulksave {

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
// counts as written when its first item is in the database as journaled.
UndoResult undoImport(const QSqlDatabase &db, ado::Dialect dialect, const QString &journalPath);

}  // namespace bulksave
