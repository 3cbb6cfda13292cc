#pragma once
// The button colours the operator picks by Turkish name, and the colour
// texts the point-of-sale database keeps for them.

#include <QString>
#include <QStringList>

#include <optional>

namespace import {

// The entries of the colour lists, in list order (position 0 to 7).
QStringList colourNames();

// The colour text of list position `position`: "White" for position 0, else
// "#" and eight upper-case hex digits (alpha, red, green, blue); nullopt
// outside 0..7, which includes -1 for nothing selected.
std::optional<QString> colourText(int position);

}  // namespace import
