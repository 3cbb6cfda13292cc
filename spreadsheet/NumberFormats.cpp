#include "spreadsheet/NumberFormats.h"

namespace spreadsheet {
namespace {

// Built-in formats that Excel does not store: 14-22 dates and times, 45-47
// minute and elapsed-time forms, 27-36 and 50-58 East Asian dates.
NumberKind builtinKind(std::uint16_t index)
{
    if ((index >= 14 && index <= 17) || (index >= 27 && index <= 36) || (index >= 50 && index <= 58))
        return NumberKind::Date;
    if ((index >= 18 && index <= 21) || index == 45 || index == 47)
        return NumberKind::Time;
    if (index == 22)
        return NumberKind::DateTime;
    return NumberKind::Plain;
}

// The zero-padded integer form of a format code's first section, or a format
// without padding.
NumberFormat zeroPadding(QStringView code)
{
    NumberFormat format;
    QString *literal = &format.before;
    for (qsizetype i = 0; i < code.size(); ++i) {
        const QChar c = code[i];
        if (c == u';')
            break;
        if (c == u'0') {
            if (literal == &format.after)
                return {};  // placeholders split by text
            ++format.paddedDigits;
        } else {
            if (format.paddedDigits > 0)
                literal = &format.after;
            if (c == u'"') {
                const qsizetype close = code.indexOf(u'"', i + 1);
                if (close < 0)
                    return {};
                *literal += code.mid(i + 1, close - i - 1);
                i = close;
            } else if (c == u'\\' && i + 1 < code.size()) {
                *literal += code[++i];
            } else if (c == u'[') {
                // Colours and [$-41F] locales change nothing shown; conditions do.
                const qsizetype close = code.indexOf(u']', i);
                if (close < 0 || (close > i + 1 && QStringLiteral("<>=").contains(code[i + 1])))
                    return {};
                i = close;
            } else {
                return {};
            }
        }
    }
    if (format.paddedDigits < 2)
        return {};
    return format;
}

}  // namespace

NumberFormat parseFormatCode(QStringView code)
{
    NumberFormat format = zeroPadding(code);
    format.kind = classifyFormatCode(code);
    return format;
}

NumberKind classifyFormatCode(QStringView code)
{
    bool date = false, time = false, month = false;
    // Only the first section (positive numbers) decides.
    for (qsizetype i = 0; i < code.size(); ++i) {
        const char16_t c = QChar::toLower(code[i].unicode());
        if (c == u';')
            break;
        if (c == u'"') {
            while (++i < code.size() && code[i] != u'"') {}
        } else if (c == u'\\' || c == u'_' || c == u'*') {
            ++i;  // the next character is literal or padding
        } else if (c == u'[') {
            const qsizetype close = code.indexOf(u']', i);
            if (close < 0)
                break;
            const QStringView inside = code.mid(i + 1, close - i - 1);
            // Elapsed hours, minutes or seconds are a duration, not a clock time.
            if (!inside.isEmpty() && QStringLiteral("hms").contains(inside.front().toLower()))
                return NumberKind::Plain;
            i = close;
        } else if (c == u'd' || c == u'y') {
            date = true;
        } else if (c == u'h' || c == u's') {
            time = true;
        } else if (c == u'm') {
            month = true;
        }
    }
    // "m" is a month beside a day or year, minutes beside hours or seconds.
    if (month && !time)
        date = true;
    if (date && time)
        return NumberKind::DateTime;
    return date ? NumberKind::Date : time ? NumberKind::Time : NumberKind::Plain;
}

void NumberFormats::addFormat(std::uint16_t index, const QString &code)
{
    codes_[index] = code;
    formats_.clear();
}

void NumberFormats::addCellFormat(std::uint16_t formatIndex)
{
    cellFormats_.push_back(formatIndex);
    formats_.clear();
}

NumberFormat NumberFormats::formatOfIndex(std::uint16_t index) const
{
    const auto code = codes_.find(index);
    if (code != codes_.end())
        return parseFormatCode(code->second);
    NumberFormat builtin;  // none of the built-in codes pads
    builtin.kind = builtinKind(index);
    return builtin;
}

const NumberFormat &NumberFormats::formatOf(std::uint16_t xf) const
{
    static const NumberFormat plain;
    if (formats_.size() != cellFormats_.size()) {
        formats_.clear();
        formats_.reserve(cellFormats_.size());
        for (std::uint16_t format : cellFormats_)
            formats_.push_back(formatOfIndex(format));
    }
    return xf < formats_.size() ? formats_[xf] : plain;
}

}  // namespace spreadsheet
