#pragma once
// What a bulk save wrote, row by row, told to whoever keeps it so that one
// import can be undone exactly.

#include <QList>
#include <QString>

#include "platform/outcome/Outcome.h"
#include <QVariantList>

#include <optional>

#include "import/ItemUpdate.h"

namespace import {

// A PrinterMaps record as it was before a save overwrote it: its id and the
// columns the save writes, in the save's column order.
struct ReplacedPrinterMap {
    qint64 id = 0;
    QVariantList values;  // PrintJobId, MenuItemGroupCode, MenuItemId, PrinterId, PrinterTemplateId, DepartmentId, TicketTypeId
};

// The records one landed row wrote, and the values that identify them. A
// row that updated an item wrote no record but a price it may have created:
// `update` tells what it changed, and the ids are of the item, its portion
// and the price record changed or created.
struct JournalRow {
    int gridRow = 0;
    qint64 itemId = 0;
    qint64 portionId = 0;
    qint64 priceId = 0;
    std::optional<qint64> buttonId;      // ScreenMenuItems, with a button
    std::optional<qint64> printerMapId;  // PrinterMaps, new or overwritten, with a printer
    std::optional<ReplacedPrinterMap> replacedMap;  // the mapping an overwrite replaced
    QString group;
    QString barcode;
    QString name;
    double price = 0;
    std::optional<ItemUpdate> update;  // the row changed an item on the menu
};

// One transaction's worth of landed rows, and the categories it created.
struct JournalBatch {
    int number = 0;  // its place in a journal read back, from 1
    QList<JournalRow> rows;
    QList<qint64> newCategories;
};

// Receives a save's batches around their commits. A batch is told before
// its commit and settled after it, so that a crash between the two leaves a
// batch whose fate the database itself tells.
class SaveJournal {
public:
    virtual ~SaveJournal() = default;
    // Records `batch`, about to be committed, durably. On a failure the save
    // rolls the batch back and stops, so that nothing lands unrecorded.
    virtual platform::Outcome pending(const JournalBatch &batch) = 0;
    // The batch last recorded was committed (true) or rolled back (false).
    virtual void settled(bool committed) = 0;
};

}  // namespace import
