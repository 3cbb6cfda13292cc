#include "spreadsheet/package/CellValues.h"

#include <QDate>

#include <charconv>
#include <cmath>

namespace spreadsheet::package {
namespace {

// The days from the 1900 system's day 0 to 1904-01-01, its day 0 in the other.
constexpr double k1904Offset = 1462;

// Reads a run of digits at `at` into `value`; false when there are none.
bool digits(std::string_view text, std::size_t &at, int &value)
{
    const auto [end, error] = std::from_chars(text.data() + at, text.data() + text.size(), value);
    if (error != std::errc() || end == text.data() + at)
        return false;
    at = std::size_t(end - text.data());
    return true;
}

bool expect(std::string_view text, std::size_t &at, char c)
{
    if (at >= text.size() || text[at] != c)
        return false;
    ++at;
    return true;
}

}  // namespace

std::optional<double> decimal(std::string_view text)
{
    while (!text.empty() && (text.front() == ' ' || text.front() == '+'))
        text.remove_prefix(1);
    while (!text.empty() && text.back() == ' ')
        text.remove_suffix(1);
    double value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (error != std::errc() || end != text.data() + text.size() || text.empty())
        return std::nullopt;
    return value;
}

std::optional<double> serialOfIsoDate(std::string_view text, bool date1904)
{
    std::size_t at = text.starts_with('-') ? 1 : 0;
    int year = 0, month = 0, day = 0, hour = 0, minute = 0;
    if (!digits(text, at, year) || !expect(text, at, '-') || !digits(text, at, month) || !expect(text, at, '-')
        || !digits(text, at, day))
        return std::nullopt;
    const QDate date(text.starts_with('-') ? -year : year, month, day);
    if (!date.isValid())
        return std::nullopt;
    double second = 0;
    if (expect(text, at, 'T')) {
        if (!digits(text, at, hour) || !expect(text, at, ':') || !digits(text, at, minute))
            return std::nullopt;
        if (expect(text, at, ':')) {
            const auto [end, error] = std::from_chars(text.data() + at, text.data() + text.size(), second);
            if (error != std::errc())
                return std::nullopt;
            at = std::size_t(end - text.data());
        }
    }
    if (at < text.size() && text[at] != 'Z' && text[at] != '+' && text[at] != '-')
        return std::nullopt;
    double days = double(QDate(1899, 12, 30).daysTo(date));
    if (days <= 60)
        --days;  // before 1 March 1900 the 1900 system counts one day behind, for its 29 February
    const double serial = days + (hour * 3600.0 + minute * 60.0 + second) / 86400.0;
    return date1904 ? serial - k1904Offset : serial;
}

std::optional<double> daysOfDuration(std::string_view text)
{
    const bool negative = text.starts_with('-');
    if (negative)
        text.remove_prefix(1);
    if (!text.starts_with('P') || text.size() < 2)
        return std::nullopt;
    double seconds = 0;
    bool inTime = false;
    for (std::size_t at = 1; at < text.size();) {
        if (text[at] == 'T') {
            inTime = true;
            ++at;
            continue;
        }
        double value = 0;
        const auto [end, error] = std::from_chars(text.data() + at, text.data() + text.size(), value);
        if (error != std::errc() || end == text.data() + text.size())
            return std::nullopt;
        at = std::size_t(end - text.data());
        const char unit = text[at++];
        if (!inTime && unit == 'D')
            seconds += value * 86400;
        else if (inTime && unit == 'H')
            seconds += value * 3600;
        else if (inTime && unit == 'M')
            seconds += value * 60;
        else if (inTime && unit == 'S')
            seconds += value;
        else
            return std::nullopt;
    }
    return (negative ? -seconds : seconds) / 86400.0;
}

NumberKind calendarKind(double serial)
{
    return serial == std::floor(serial) ? NumberKind::Date : NumberKind::DateTime;
}

}  // namespace spreadsheet::package
