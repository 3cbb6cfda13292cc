#include "import/SaveText.h"

#include <cmath>

namespace import {

namespace {
constexpr qsizetype kColumnWidth = 50;
// Far longer than any price written out, group separators and decimals
// included; a longer text is no price, and reading a huge one per row costs
// seconds.
constexpr qsizetype kLongestNumber = 64;
}

QString trimSpaces(const QString &text)
{
    qsizetype first = 0;
    qsizetype end = text.size();
    while (first < end && text.at(first) == u' ')
        ++first;
    while (end > first && text.at(end - 1) == u' ')
        --end;
    return text.mid(first, end - first);
}

QString cutTo(const QString &text, qsizetype units)
{
    if (text.size() <= units)
        return text;
    const bool splitsPair = units > 0 && text.at(units - 1).isHighSurrogate();
    return text.left(splitsPair ? units - 1 : units);
}

QString cutTo50(const QString &text)
{
    return cutTo(text, kColumnWidth);
}

QString foldedName(const QString &text)
{
    const QString lower = QLocale(QLocale::Turkish).toLower(text).normalized(QString::NormalizationForm_D);
    QString result;
    result.reserve(lower.size());
    for (const QChar c : lower) {
        if (c == u'ı')
            result += u'i';
        else if (c.isLetterOrNumber() && c.category() != QChar::Mark_NonSpacing)
            result += c;
    }
    return result;
}

std::optional<double> localeNumber(const QString &text, const QLocale &locale)
{
    // Grid texts of numeric cells carry the locale's group separators, so
    // they must be accepted even where the caller's locale would refuse them.
    const QStringView number = QStringView(text).trimmed();
    if (number.size() > kLongestNumber)
        return std::nullopt;
    QLocale reading = locale;
    reading.setNumberOptions(locale.numberOptions() & ~QLocale::RejectGroupSeparator);
    bool ok = false;
    const double value = reading.toDouble(number, &ok);
    if (!ok || !std::isfinite(value))
        return std::nullopt;
    return value;
}

bool hasGroupSeparator(const QString &text, const QLocale &locale)
{
    const QString separator = locale.groupSeparator();
    return !separator.isEmpty() && text.contains(separator);
}

}  // namespace import
