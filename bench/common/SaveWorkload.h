#pragma once
// The save benchmarks' work: the same products and choices for every
// program that measures a save, so that their figures compare.

#include <QList>
#include <QLocale>

#include "import/RowRules.h"
#include "platform/ado/Connection.h"

namespace benchwork {

// `count` products with distinct 13-digit barcodes, Turkish names and prices
// written with `locale`'s decimal separator.
QList<import::ProductRow> products(int count, const QLocale &locale);

// Group "Toplu Ürünler", a screen-menu button and printer 1 for every row,
// prices read with `locale`.
import::SaveChoices choices(const QLocale &locale);

// Creates the demo stand-in database at `path` and opens `connection` on it
// as the program opens one; "" or why not.
QString openStandIn(const QString &path, ado::Connection &connection);

}  // namespace benchwork
