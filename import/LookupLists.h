#pragma once
// The records behind the three lookup lists both faces offer (groups, tax
// templates, printers): which query fills each, its leading entry, and the
// reading.

#include "platform/outcome/Outcome.h"

#include <QSqlDatabase>
#include <QString>

#include <optional>
#include <vector>

namespace import::lookup {

// An entry of a pair: the text of the visible list and of its id twin.
struct Entry {
    QString name;
    QString id;
};

// What fills one pair: the list query, and the entry both lists start with
// (none for the tax templates).
struct PairSource {
    QString sql;
    std::optional<Entry> lead;
};

// "SELECT * From ScreenMenuCategories ", led by "SEÇİLMEDİ" / "0".
PairSource groups();
// "SELECT * From TaxTemplates ", without a leading entry.
PairSource taxTemplates();
// "SELECT * From Printers ", led by "YOK" / "0".
PairSource printers();

// The records of one list query, in the order the database returned them.
// A failure keeps the records read before it.
using ReadResult = platform::Result<std::vector<Entry>>;

// Runs `sql` on `db` and reads the columns Name and id (by name, any case)
// of every record as text; a null or missing value reads as "" so that the
// two lists of a pair stay aligned. A closed connection reads nothing.
ReadResult readRecords(const QSqlDatabase &db, const QString &sql);

}  // namespace import::lookup
