#pragma once
// The journal of one import: a file of JSON lines that records, batch by
// batch, the records a save wrote, so that the import can be undone exactly.

#include <QDateTime>
#include <QFile>
#include <QList>
#include <QString>

#include <memory>

#include "import/SaveJournal.h"
#include "platform/outcome/Outcome.h"

namespace import {

// The application name the window and the batch front end both run under,
// so that their data folder, and the journals in it, is one.
QString sharedApplicationName();

// The folder of the journals: "journal" in the application's data folder.
QString journalFolder();

// Which import a journal is of.
struct JournalHeader {
    QString target;     // the database, told apart from any other: server and database, or a file's path; never a connection text
    QString sheet;      // the spreadsheet's file name
    QDateTime started;  // UTC
};

// Writes one import's journal: a header line, then every batch before its
// commit (flushed to the disk) and a line after it. A journal none of whose
// batches was committed is removed when it is destroyed: an import that
// landed nothing has nothing to undo.
class ImportJournal : public SaveJournal {
public:
    // Creates a new journal in `folder` (made when missing), named by a
    // number one above that of every journal there, then the start time and
    // the target. A failure, with no journal, when the file cannot be
    // created or its header written.
    static platform::Result<std::unique_ptr<ImportJournal>> create(const QString &folder, const JournalHeader &header);
    ~ImportJournal() override;

    QString path() const { return m_file.fileName(); }
    // True when a batch was committed, so that the journal is kept.
    bool landed() const { return m_committed > 0; }
    platform::Outcome pending(const JournalBatch &batch) override;
    void settled(bool committed) override;

private:
    ImportJournal() = default;
    platform::Outcome append(const QByteArray &line, bool toDisk);

    QFile m_file;
    int m_batches = 0;
    int m_committed = 0;
};

// A journal read back.
// A failure when the file could not be read; a last line cut short is not one.
struct JournalContents : platform::Outcome {
    JournalHeader header;
    QList<JournalBatch> committed;  // batches whose commit the journal saw, or found landed when settled later
    QList<JournalBatch> unsettled;  // batches recorded with no word after them: a crash came between
    bool undone = false;            // the import was undone

    // True when nothing in the journal could have landed.
    bool empty() const { return committed.isEmpty() && unsettled.isEmpty(); }
};

// Reads the journal at `path`. A line the program was stopped while writing
// is ignored when nothing but marks (an undo, a settled batch) follows it,
// on lines of their own or an undo's glued to it; any other unreadable line
// is an error. The writer's own word on a batch wins over a verdict
// settleBatch() wrote.
JournalContents readJournal(const QString &path);

// Records in the journal at `path` that its import was undone.
platform::Outcome markUndone(const QString &path);

// Records in the journal at `path` whether its batch `number`, whose commit
// it never saw, landed.
platform::Outcome settleBatch(const QString &path, int number, bool landed);

// False when the journal at `path` ends with a line that settles its last
// batch, marks it undone or is its header: only a journal cut off after a
// batch was recorded can hold one it never saw settled. Reads the file's end only.
bool mayHoldUnsettledBatch(const QString &path);

// The journals in `folder` of imports into `target`, the newest first by
// the number in their names (never by a clock, which can be put back).
QStringList journalsOf(const QString &folder, const QString &target);

// The newest journal in `folder` of an import into `target` that may have
// landed something, undone or not; "" when there is none.
QString lastJournal(const QString &folder, const QString &target);

}  // namespace import
