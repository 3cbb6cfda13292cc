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

}  // namespace

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
    kinds_.clear();
}

void NumberFormats::addCellFormat(std::uint16_t formatIndex)
{
    cellFormats_.push_back(formatIndex);
    kinds_.clear();
}

NumberKind NumberFormats::kindOfFormat(std::uint16_t index) const
{
    const auto code = codes_.find(index);
    return code == codes_.end() ? builtinKind(index) : classifyFormatCode(code->second);
}

NumberKind NumberFormats::kindOf(std::uint16_t xf) const
{
    if (kinds_.size() != cellFormats_.size()) {
        kinds_.clear();
        kinds_.reserve(cellFormats_.size());
        for (std::uint16_t format : cellFormats_)
            kinds_.push_back(kindOfFormat(format));
    }
    return xf < kinds_.size() ? kinds_[xf] : NumberKind::Plain;
}

}  // namespace spreadsheet
