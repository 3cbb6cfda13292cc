#pragma once
// Text rules of the bulk save: how grid texts become database values.

#include <QLocale>
#include <QString>

#include <optional>

namespace import {

// The text without its leading and trailing blanks (U+0020 only: tabs and
// line breaks stay). "" for a text of blanks only.
QString trimSpaces(const QString &text);

// The first `units` UTF-16 units of the text, or all of it when shorter. A
// surrogate pair that the cut would split is dropped whole (units - 1 remain).
QString cutTo(const QString &text, qsizetype units);

// cutTo(text, 50): the width of the name, barcode and group columns.
QString cutTo50(const QString &text);

// A name as people type it, folded for comparison: lower case by Turkish
// rules, then without marks (so "Ürün Adı", "URUN ADI" and "ürün adi"
// meet), letters and digits only.
QString foldedName(const QString &text);

// The number the text denotes under the locale's rules: surrounding white
// space allowed, group separators only where the locale places them.
// nullopt for an empty or non-numeric text, NaN and infinity, and, without
// reading it, for a text of more than 64 characters between its blanks.
std::optional<double> localeNumber(const QString &text, const QLocale &locale);

// Whether `text` holds the group separator of `locale` (a point under
// Turkish rules), which localeNumber reads as thousands.
bool hasGroupSeparator(const QString &text, const QLocale &locale);

}  // namespace import
