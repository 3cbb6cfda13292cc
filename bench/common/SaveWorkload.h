#pragma once
// The save benchmarks' work: the same products and choices for every
// program that measures a save, so that their figures compare.

#include <QList>
#include <QLocale>

#include "import/RowRules.h"

namespace benchwork {

// `count` products with distinct 13-digit barcodes, Turkish names and prices
// written with `locale`'s decimal separator.
QList<bulksave::ProductRow> products(int count, const QLocale &locale);

// Group "Toplu Ürünler", a screen-menu button and printer 1 for every row,
// prices read with `locale`.
bulksave::SaveChoices choices(const QLocale &locale);

}  // namespace benchwork
