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

// Reads a time of day "HH:MM" or "HH:MM:SS[.fff]" at `at` as seconds; false when there is none.
bool timeOfDay(std::string_view text, std::size_t &at, double &seconds)
{
    int hour = 0, minute = 0;
    if (!digits(text, at, hour) || !expect(text, at, ':') || !digits(text, at, minute))
        return false;
    double second = 0;
    if (expect(text, at, ':')) {
        const auto [end, error] = std::from_chars(text.data() + at, text.data() + text.size(), second);
        if (error != std::errc())
            return false;
        at = std::size_t(end - text.data());
    }
    seconds = hour * 3600.0 + minute * 60.0 + second;
    return true;
}

// Whether a zone suffix, or nothing, follows `at`.
bool endsWithZone(std::string_view text, std::size_t at)
{
    return at >= text.size() || text[at] == 'Z' || text[at] == '+' || text[at] == '-';
}

// The value of hex digit `c` in either case; -1 for anything else.
int hexDigit(QChar c)
{
    const char16_t u = c.unicode();
    if (u >= '0' && u <= '9')
        return u - '0';
    if (u >= 'a' && u <= 'f')
        return u - 'a' + 10;
    if (u >= 'A' && u <= 'F')
        return u - 'A' + 10;
    return -1;
}

// The UTF-16 unit an escape `_xHHHH_` at `at` stands for; nullopt when none starts there.
std::optional<char16_t> escapeAt(const QString &text, qsizetype at)
{
    if (at + 7 > text.size() || text[at] != u'_' || text[at + 1] != u'x' || text[at + 6] != u'_')
        return std::nullopt;
    char16_t unit = 0;
    for (qsizetype digit = at + 2; digit < at + 6; ++digit) {
        const int value = hexDigit(text[digit]);
        if (value < 0)
            return std::nullopt;
        unit = char16_t(unit * 16 + value);
    }
    return unit;
}

}  // namespace

QString unescapedText(std::string_view utf8)
{
    QString text = QString::fromUtf8(utf8.data(), qsizetype(utf8.size()));
    if (!text.contains(u"_x"))
        return text;
    QString out;
    out.reserve(text.size());
    for (qsizetype at = 0; at < text.size();) {
        if (const std::optional<char16_t> unit = escapeAt(text, at)) {
            out += QChar(*unit);
            at += 7;
        } else {
            out += text[at++];
        }
    }
    // Surrogates come in escaped pairs; one left alone stands for no character.
    for (qsizetype at = 0; at < out.size(); ++at) {
        if (out[at].isHighSurrogate() && at + 1 < out.size() && out[at + 1].isLowSurrogate())
            ++at;
        else if (out[at].isSurrogate())
            out[at] = QChar::ReplacementCharacter;
    }
    return out;
}

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
    int year = 0, month = 0, day = 0;
    if (!digits(text, at, year) || !expect(text, at, '-') || !digits(text, at, month) || !expect(text, at, '-')
        || !digits(text, at, day))
        return std::nullopt;
    const QDate date(text.starts_with('-') ? -year : year, month, day);
    if (!date.isValid())
        return std::nullopt;
    double seconds = 0;
    if (expect(text, at, 'T') && !timeOfDay(text, at, seconds))
        return std::nullopt;
    if (!endsWithZone(text, at))
        return std::nullopt;
    double days = double(QDate(1899, 12, 30).daysTo(date));
    if (days <= 60)
        --days;  // before 1 March 1900 the 1900 system counts one day behind, for its 29 February
    const double serial = days + seconds / 86400.0;
    return date1904 ? serial - k1904Offset : serial;
}

std::optional<double> dayFractionOfIsoTime(std::string_view text)
{
    std::size_t at = 0;
    double seconds = 0;
    if (!timeOfDay(text, at, seconds) || !endsWithZone(text, at) || seconds >= 86400)
        return std::nullopt;
    return seconds / 86400.0;
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
