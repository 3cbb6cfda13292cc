#include "spreadsheet/CellText.h"

#include <QDate>
#include <QTime>

#include <algorithm>
#include <charconv>
#include <cmath>
#include <string>

namespace spreadsheet {
namespace {

constexpr double kExactIntegerLimit = 9007199254740992.0;  // 2^53
constexpr int kSignificantDigits = 15;
constexpr double kLastSerialDay = 2958466.0;  // the day after 9999-12-31

// `magnitude` (> 0) in fixed notation with at most 15 significant digits and
// no trailing zeros, '.' as decimal point.
std::string fixedDigits(double magnitude)
{
    if (magnitude < kExactIntegerLimit && magnitude == std::floor(magnitude)) {
        char buffer[24];
        const auto end = std::to_chars(buffer, buffer + sizeof buffer, static_cast<long long>(magnitude)).ptr;
        return std::string(buffer, end);
    }
    // "d.dddddddddddddde+XX" gives the rounded digits and the decimal exponent.
    char buffer[32];
    const auto end = std::to_chars(buffer, buffer + sizeof buffer, magnitude, std::chars_format::scientific,
                                   kSignificantDigits - 1).ptr;
    const std::string text(buffer, end);
    const std::size_t e = text.find('e');
    std::string digits = text.substr(0, 1) + text.substr(2, e - 2);
    int exponent = 0;
    std::from_chars(text.data() + e + (text[e + 1] == '+' ? 2 : 1), text.data() + text.size(), exponent);
    while (digits.size() > 1 && digits.back() == '0')
        digits.pop_back();

    if (exponent < 0)
        return "0." + std::string(std::size_t(-exponent - 1), '0') + digits;
    const std::size_t integerDigits = std::size_t(exponent) + 1;
    if (digits.size() <= integerDigits)
        return digits + std::string(integerDigits - digits.size(), '0');
    return digits.substr(0, integerDigits) + '.' + digits.substr(integerDigits);
}

}  // namespace

CellText::CellText(const QLocale &locale, bool date1904)
    : locale_(locale), decimalPoint_(locale.decimalPoint()), minusSign_(locale.negativeSign()), date1904_(date1904)
{
}

QString CellText::boolean(bool value)
{
    return value ? QStringLiteral("TRUE") : QStringLiteral("FALSE");
}

QString CellText::error(std::uint8_t code)
{
    switch (code) {
    case 0x00: return QStringLiteral("#NULL!");
    case 0x07: return QStringLiteral("#DIV/0!");
    case 0x0F: return QStringLiteral("#VALUE!");
    case 0x17: return QStringLiteral("#REF!");
    case 0x1D: return QStringLiteral("#NAME?");
    case 0x24: return QStringLiteral("#NUM!");
    case 0x2B: return QStringLiteral("#GETTING_DATA");
    default: return QStringLiteral("#N/A");
    }
}

QString CellText::number(double value, NumberKind kind) const
{
    QString text;
    number(value, kind, text);
    return text;
}

void CellText::number(double value, NumberKind kind, QString &out) const
{
    if (kind != NumberKind::Plain && value >= 0 && value < kLastSerialDay)
        out = calendar(value, kind);
    else
        plain(value, out);
}

QString CellText::number(double value, const NumberFormat &format) const
{
    QString text;
    number(value, format, text);
    return text;
}

void CellText::number(double value, const NumberFormat &format, QString &out) const
{
    // Negative numbers of a padded format are rare and often have a section of
    // their own; they keep the plain form.
    if (format.paddedDigits == 0 || !(value >= 0) || !std::isfinite(value)) {
        number(value, format.kind, out);
        return;
    }
    const std::string digits = fixedDigits(std::round(value));
    out.resize(0);
    out += format.before;
    const auto padding = qsizetype(std::size_t(format.paddedDigits) - std::min(digits.size(), std::size_t(format.paddedDigits)));
    out += QString(padding, u'0');
    out += QLatin1String(digits.data(), qsizetype(digits.size()));
    out += format.after;
}

void CellText::plain(double value, QString &out) const
{
    out.resize(0);
    if (!std::isfinite(value)) {
        out += QLatin1String("#NUM!");
        return;
    }
    const std::string digits = fixedDigits(std::fabs(value));
    if (value < 0 && digits != "0")
        out += minusSign_;
    const std::size_t point = digits.find('.');
    out += QLatin1String(digits.data(), qsizetype(std::min(point, digits.size())));
    if (point != std::string::npos) {
        out += decimalPoint_;
        out += QLatin1String(digits.data() + point + 1, qsizetype(digits.size() - point - 1));
    }
}

QString CellText::calendar(double serial, NumberKind kind) const
{
    // Whole seconds, so that 0.99999999 of a day is midnight of the next one.
    const auto seconds = static_cast<long long>(std::llround(serial * 86400.0));
    long long day = seconds / 86400;
    const QTime time = QTime(0, 0).addSecs(int(seconds % 86400));

    // The 1900 system counts from 1899-12-31 and has a 29 February 1900 (day
    // 60) that never was; from day 61 on, counting from 1899-12-30 is right.
    QDate date;
    if (date1904_)
        date = QDate(1904, 1, 1).addDays(day);
    else
        date = day > 60 ? QDate(1899, 12, 30).addDays(day) : QDate(1899, 12, 31).addDays(day);

    switch (kind) {
    case NumberKind::Date:
        return locale_.toString(date, QLocale::ShortFormat);
    case NumberKind::Time:
        return locale_.toString(time, QLocale::ShortFormat);
    default:
        return locale_.toString(date, QLocale::ShortFormat) + u' ' + locale_.toString(time, QLocale::ShortFormat);
    }
}

}  // namespace spreadsheet
