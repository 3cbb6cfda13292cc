#pragma once
// Which of a grid's barcodes already belong to menu items: one pass over the
// distinct barcodes, in chunks of bound values.

#include <QSqlDatabase>
#include <QString>
#include <QStringList>

#include "import/RowPreview.h"
#include "platform/outcome/Outcome.h"

namespace import {

// The items found, or why the database could not be asked.
// A failure when a chunk could not be read.
struct BarcodeLookup : platform::Outcome {
    ExistingBarcodes items;  // by barcode as the database holds it
};

// The menu items whose Barcode equals one of `barcodes` (empty texts and
// repeats are ignored), with the price the tool would change; a barcode held
// by several items names the one with the lowest id and counts the others.
// A closed connection finds nothing and says so.
BarcodeLookup findExistingBarcodes(const QSqlDatabase &db, const QStringList &barcodes);

}  // namespace import
