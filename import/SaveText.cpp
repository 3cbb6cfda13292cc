#include "import/SaveText.h"

#include <cmath>

namespace bulksave {

namespace {
constexpr qsizetype kColumnWidth = 50;
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

QString cutTo50(const QString &text)
{
    if (text.size() <= kColumnWidth)
        return text;
    const bool splitsPair = text.at(kColumnWidth - 1).isHighSurrogate();
    return text.left(splitsPair ? kColumnWidth - 1 : kColumnWidth);
}

std::optional<double> localeNumber(const QString &text, const QLocale &locale)
{
    // Grid texts of numeric cells carry the locale's group separators, so
    // they must be accepted even where the caller's locale would refuse them.
    QLocale reading = locale;
    reading.setNumberOptions(locale.numberOptions() & ~QLocale::RejectGroupSeparator);
    bool ok = false;
    const double value = reading.toDouble(text.trimmed(), &ok);
    if (!ok || !std::isfinite(value))
        return std::nullopt;
    return value;
}

}  // namespace bulksave
