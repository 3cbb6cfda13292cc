#pragma once
// What the operator reads when a spreadsheet could not be loaded whole.

#include <QString>

#include "spreadsheet/SheetColumns.h"

namespace import {

// The message for `sheet`, read from the file at `path`: why it was refused,
// or that it was damaged and read as far as possible; "" when it was read
// whole. Names the file, never its folder.
QString loadMessage(const QString &path, const spreadsheet::ReadOutcome &sheet);

}  // namespace import
