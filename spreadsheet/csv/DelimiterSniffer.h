#pragma once
// Finds the field delimiter of delimited text from its first records.

#include <QStringView>

namespace spreadsheet {

// The delimiter among ';', tab and ',' that splits the most of the first
// non-blank records with every quote in its place (opening or closing a
// field), then the one that gives the most of them the same field count; a
// tie goes to the earlier of ';', tab, ','.
// Text where none of them splits a record gives ';'. `complete` says the
// sample is the whole text, so that its last record is finished too.
QChar sniffDelimiter(QStringView sample, bool complete);

}  // namespace spreadsheet
