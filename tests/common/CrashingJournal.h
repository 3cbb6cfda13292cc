#pragma once
// A save killed between its journal's record of a batch and the batch's
// commit: the batch is recorded in a real journal, then rolled back, and no
// word about its fate follows.

#include <QString>

#include "import/SaveJournal.h"

class CrashBeforeCommit : public bulksave::SaveJournal {
public:
    explicit CrashBeforeCommit(bulksave::SaveJournal &journal) : m_journal(journal) {}
    platform::Outcome pending(const bulksave::JournalBatch &batch) override
    {
        const platform::Outcome recorded = m_journal.pending(batch);
        return recorded.ok() ? platform::Outcome::failure({}, QStringLiteral("killed")) : recorded;
    }
    void settled(bool) override {}

private:
    bulksave::SaveJournal &m_journal;
};
