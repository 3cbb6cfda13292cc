#pragma once
// One target's menu written to a workbook: `toplu-ekle --export`.

#include <QString>

#include "batch/BatchOptions.h"
#include "platform/ado/Connection.h"

namespace batch {

// What became of the export.
struct ExportOutcome {
    QString label;    // as the import's report names the target
    int status = 0;   // the program's exit status (see BatchRun.h)
    QString message;  // the summary, or why nothing was written
};

// Opens `connection` (its text already set) read-only and writes its menu,
// or the --group's, to the --export workbook. Status 3 when the database
// cannot be opened or read, 64 when the workbook cannot be written.
ExportOutcome exportFrom(ado::Connection &connection, const BatchOptions &options);

}  // namespace batch
