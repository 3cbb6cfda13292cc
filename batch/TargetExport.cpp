#include "batch/TargetExport.h"

#include "batch/BatchRun.h"
#include "import/MenuExportFile.h"

namespace batch {

ExportOutcome exportFrom(ado::Connection &connection, const BatchOptions &options)
{
    ExportOutcome outcome;
    const bool reached = connection.open(ado::Access::ReadOnly);
    outcome.label = connection.description();
    if (!reached) {
        outcome.status = TargetUnreachable;
        outcome.message = connection.lastOpen().text();
        return outcome;
    }
    const import::MenuExportFile exported = import::exportMenuToFile(
        connection.database(), options.exportFile, options.groupGiven ? std::optional(options.group) : std::nullopt);
    // A workbook that cannot be written is the program's output lost, as a
    // report that cannot be written is.
    outcome.status = !exported.menu.ok() ? int(TargetUnreachable) : exported.ok() ? int(AllLanded) : int(WrongUsage);
    outcome.message = import::exportMessage(exported, options.exportFile);
    return outcome;
}

}  // namespace batch
