#pragma once
// One target of a batch import: its connection opened, the printer looked
// up, every row judged against its database, then written or only previewed.

#include <QList>
#include <QString>

#include <optional>

#include "batch/BatchOptions.h"
#include "import/BulkImport.h"
#include "import/RowPreview.h"
#include "import/SaveReport.h"
#include "platform/ado/Connection.h"

namespace batch {

// What became of one target.
struct TargetOutcome {
    QString label;             // server and database, or the database file's name; never the connection text
    bool reached = false;      // the connection opened
    QString failure;           // why nothing was written: the connection, the printer or the barcode lookup
    bool stoppedForDuplicates = false;  // --duplicates stop met a duplicate: nothing was (or, dry, would be) written
    QList<import::RowPreview> previews;  // the verdict on every row, rows[0] first
    QStringList newGroups;     // the categories the save would create, in the order of their first rows
    import::ChoiceWarnings choiceWarnings{};  // rows to be added in the unchosen group or with no printer
    std::optional<import::SaveResult> save;  // what the save did; none for a dry run or a failure
    double saveSeconds = 0;  // how long the save itself took, from its first row to its last
    QString journal;         // the save's journal, for undoing it; "" without a save or when nothing landed

    // Rows the save visited per second; 0 when there was no save.
    double rowsPerSecond() const;
};

// The report's labels of the database files at `paths` (full paths, "" for
// a target that is no file): each file by its last path parts, as few as
// tell it from every other path there (the file name alone when no other
// has it), with the system's separators; "" for "". One path given twice
// gets one label.
QStringList distinctFileLabels(const QStringList &paths);

// The save's shared choices from the options, without the printer, which
// each target looks up in its own Printers table.
import::SaveChoices baseChoices(const BatchOptions &options);

// Opens `connection` (its text already set) and imports `rows` into it as
// `options` say. `progress` sees every visited row of the save. Nothing is
// written when the connection does not open, the printer is not one of the
// target's, its categories and printers or the existing barcodes cannot be
// read, for a dry run, or when
// --duplicates stop meets a duplicate. A save is journaled in
// `journalFolder`; a journal that cannot be started fails the target before
// any write. A dry run opens the database read-only.
TargetOutcome importInto(ado::Connection &connection, const QList<import::ProductRow> &rows,
                         const BatchOptions &options, const import::SaveProgress &progress,
                         const QString &journalFolder);

// Undoes, on `connection` (its text already set), the import journaled at
// `journal`, or the last one journaled in `journalFolder` for this
// database that landed something when `journal` is "", after settling the
// journals a crash cut short. Returns the label and what happened.
struct UndoOutcome {
    QString label;
    bool reached = false;
    bool undone = false;
    QString message;
};
UndoOutcome undoInto(ado::Connection &connection, const QString &journal, const QString &journalFolder);

}  // namespace batch
