#pragma once
// Cell values as the XML of workbooks writes them, turned into the numbers
// the shared cell-text rules take.

#include "spreadsheet/NumberFormats.h"

#include <QString>

#include <optional>
#include <string_view>

namespace spreadsheet::package {

// A decimal number such as "12.5", "-3" or "1E+20"; nullopt for anything else.
std::optional<double> decimal(std::string_view text);

// The serial day number of an ISO 8601 date with an optional time
// ("2024-03-15", "2024-03-15T13:45:00", a zone suffix ignored) in the 1900
// date system, or in the 1904 one when `date1904`; nullopt for a date that
// does not exist or text that is none.
std::optional<double> serialOfIsoDate(std::string_view text, bool date1904);

// A time of day alone, as a t="d" cell may hold one ("10:10:10",
// "23:44:51.894", a zone suffix ignored), as a fraction of a day; nullopt
// for text that is none or a time past the day's end.
std::optional<double> dayFractionOfIsoTime(std::string_view text);

// The UTF-8 text of a string with Excel's `_xHHHH_` escapes decoded (hex
// digits in either case): `_x000D_` a carriage return, `_x005F_` an
// underscore (so `_x005F_x0030_` reads `_x0030_`), an escaped surrogate pair
// one character; a surrogate without its other half becomes U+FFFD.
QString unescapedText(std::string_view utf8);

// An ISO 8601 duration such as "PT13H45M00S" or "-P1DT2H" as a fraction of a
// day; nullopt for text that is none.
std::optional<double> daysOfDuration(std::string_view text);

// How a calendar value without a format of its own is shown: a whole day as a
// date, anything else as a date and time.
NumberKind calendarKind(double serial);

}  // namespace spreadsheet::package
