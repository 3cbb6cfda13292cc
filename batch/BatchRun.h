#pragma once
// The batch front end from its command line to its exit status: read the
// spreadsheet once, import it into every target in turn, report each row.

#include <QStringList>

#include <cstdio>

namespace batch {

// The program's exit statuses; a run that meets several gives the highest
// of 1 and 3 (2 and a wrong command line end the run before any target; a
// report that cannot be written ends it before the next target).
enum ExitStatus : int {
    AllLanded = 0,          // every usable row landed on every target, or a clean dry run
    RowsNotLanded = 1,      // some rows were skipped, left out or failed, or the sheet was read damaged
    FileUnreadable = 2,     // the spreadsheet cannot be read
    TargetUnreachable = 3,  // a target's database could not be opened
    WrongUsage = 64,        // the command line is wrong, or the report cannot be written
};

// Runs `arguments` (the program name first): the report goes to `out` or the
// --report file, summaries, warnings, errors and the progress bar (only when
// `err` is a terminal) to `err`. Returns the exit status.
int runBatch(const QStringList &arguments, std::FILE *out, std::FILE *err);

}  // namespace batch
