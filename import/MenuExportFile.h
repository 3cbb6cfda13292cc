#pragma once
// The menu written to a workbook that the operator edits in a spreadsheet
// program and loads again: what the window's export button and
// `toplu-ekle --export` both do.

#include <QSqlDatabase>
#include <QString>

#include <optional>

#include "import/MenuExport.h"

namespace import {

// What an export did.
struct MenuExportFile {
    MenuExport menu;            // what was read; with a failure nothing was written
    platform::Outcome written;  // whether the workbook was written

    bool ok() const { return menu.ok() && written.ok(); }
};

// Reads the menu of `db` (only `group`'s, when given; see exportMenu()) and
// writes it to a new workbook at `path`, replacing a file there: A barcode,
// B name, C price, D group. A failure leaves `path` as it was.
MenuExportFile exportMenuToFile(const QSqlDatabase &db, const QString &path,
                                const std::optional<QString> &group = std::nullopt);

// What the operator is told, in Turkish: the summary of a written
// workbook (exportSummary()), or why nothing was written.
QString exportMessage(const MenuExportFile &exported, const QString &path);

}  // namespace import
