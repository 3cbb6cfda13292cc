#pragma once
// Cell values as the XML of workbooks writes them, turned into the numbers
// the shared cell-text rules take.

#include "spreadsheet/NumberFormats.h"

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

// An ISO 8601 duration such as "PT13H45M00S" or "-P1DT2H" as a fraction of a
// day; nullopt for text that is none.
std::optional<double> daysOfDuration(std::string_view text);

// How a calendar value without a format of its own is shown: a whole day as a
// date, anything else as a date and time.
NumberKind calendarKind(double serial);

}  // namespace spreadsheet::package
