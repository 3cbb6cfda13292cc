#pragma once
// The menu as the operator edits it in a spreadsheet and loads it back: one
// row per menu item with a barcode, with the price the tool reads and changes.

#include <QSqlDatabase>
#include <QString>

#include <optional>
#include <vector>

#include "platform/outcome/Outcome.h"

namespace import {

// One exported menu item.
struct ExportedItem {
    QString barcode;              // trimmed, never empty
    QString name;                 // as stored
    std::optional<double> price;  // none: its portion has no price record under the save's tag
    QString group;                // GroupCode as stored
};

// The items exported and those left out, or why the menu could not be read.
struct MenuExport : platform::Outcome {
    std::vector<ExportedItem> items;  // in id order
    int withoutBarcode = 0;           // left out: no barcode once trimmed
    int withoutPortion = 0;           // left out: PriceProblem::NoPortion
    int severalPortions = 0;          // left out: PriceProblem::SeveralPortions
};

// Reads every menu item of `db` in one streamed query, or, with `group`,
// those whose GroupCode equals it as the save stores group texts (trimmed
// of blanks, cut to 50): " Tatlılar " finds the items saved under it.
// Items without a barcode, and those whose price cannot be told (see
// PriceProblem), are counted instead of exported. A closed connection
// exports nothing and says so.
MenuExport exportMenu(const QSqlDatabase &db, const std::optional<QString> &group = std::nullopt);

// What the operator is told after `menu` was written to `fileName`, one
// line each: the items written ("1.234 ürün yazıldı: menü.xlsx"), then
// those left out for each reason that left any out.
QString exportSummary(const MenuExport &menu, const QString &fileName);

}  // namespace import
