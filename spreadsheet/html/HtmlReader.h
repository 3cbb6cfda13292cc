#pragma once
// Reads web pages saved under a spreadsheet's name: many back offices export
// a table as HTML in a file named .xls. Columns A-IV come from the page's
// first table.

#include "spreadsheet/SheetColumns.h"

#include <QByteArray>
#include <QByteArrayView>

namespace spreadsheet {

// Row k of the page's first <table> as sheet row k + 1, its cells as their
// visible text (see VisibleText.h) on the columns colspan and rowspan give
// them; rows of tables inside cells are not rows of the table, and cells
// outside any <tr> form a row of their own. The charset comes from a
// byte-order mark, else the page's <meta> declaration, else UTF-8 when the
// bytes are valid UTF-8, else Windows-1254. A page without a table (a table
// element with neither rows nor cells does not count) is NotSpreadsheet; a
// table whose rows have no cells gives no rows; TooManyRows past kMaxRows.
SheetColumns readHtmlTable(const QByteArray &bytes);

// True when the first bytes of a file start, after a byte-order mark, white
// space, comments and an XML declaration, with <!DOCTYPE html, <html, <head,
// <body, <table, <meta or <style (any case), the name ending the text or
// followed by white space, ">", "/" or the "<" of another tag.
bool looksLikeHtml(QByteArrayView head);

}  // namespace spreadsheet
