#pragma once
// A save killed between its journal's record of a batch and the batch's
// commit: the batch is recorded in a real journal, then rolled back, and no
// word about its fate follows.

#include <QString>

#include "import/SaveJournal.h"

class CrashBeforeCommit : public import::SaveJournal {
public:
    explicit CrashBeforeCommit(import::SaveJournal &journal) : m_journal(journal) {}
    platform::Outcome pending(const import::JournalBatch &batch) override
    {
        const platform::Outcome recorded = m_journal.pending(batch);
        return recorded.ok() ? platform::Outcome::failure({}, QStringLiteral("killed")) : recorded;
    }
    void settled(bool) override {}

private:
    import::SaveJournal &m_journal;
};
