#pragma once
// The text of an element as a browser shows it.

#include <QString>

#include <libxml/tree.h>

namespace spreadsheet::html {

// The element's text with entities decoded: runs of white space collapse to
// one space, <br> breaks the line, a block (paragraph, division, list item,
// row of a table inside) starts a line of its own, cells of a table inside are
// parted by a space; scripts, styles and templates show nothing. A non-breaking
// space is a plain space that does not collapse, and each line is trimmed of
// spaces, so a cell of &nbsp; alone is empty. No line break leads or trails.
QString visibleText(xmlNode *element);

}  // namespace spreadsheet::html
