#include "platform/ado/SecretMask.h"

#include <QList>
#include <QRegularExpression>

#include <algorithm>
#include <utility>

namespace ado {

namespace {

using Range = std::pair<qsizetype, qsizetype>;  // [first, second) of the message

// A password keyword and its value: braced with "}}" inside (to the end of
// the message when no lone "}" closes it), quoted with the quote doubled
// inside, or plain up to ";" or the end of the line.
const QRegularExpression kPasswordPair(
    QStringLiteral(R"((?<!\w)(?:pwd|password)\s*=\s*(\{(?:[^}]|\}\})*(?:\}|$)|"(?:[^"]|"")*"|'(?:[^']|'')*'|[^;\r\n]+))"),
    QRegularExpression::CaseInsensitiveOption | QRegularExpression::UseUnicodePropertiesOption);

// The same braced value as FreeTDS reads it, which has no escape for "}" and
// so is sent one as it is: up to the first "}" before ";" or the end.
const QRegularExpression kFreeTdsPasswordPair(
    QStringLiteral(R"((?<!\w)(?:pwd|password)\s*=\s*(\{(?:[^}]|\}(?!;|$))*\}))"),
    QRegularExpression::CaseInsensitiveOption | QRegularExpression::UseUnicodePropertiesOption);

bool isWordChar(QChar c)
{
    return c.isLetterOrNumber() || c == u'_';
}

// False when the text at `range` runs on into a word on either side.
bool standsWhole(const QString &message, const Range &range)
{
    const auto joined = [&message](qsizetype left, qsizetype right) {
        return isWordChar(message.at(left)) && isWordChar(message.at(right));
    };
    const bool joinedLeft = range.first > 0 && joined(range.first - 1, range.first);
    const bool joinedRight = range.second < message.size() && joined(range.second - 1, range.second);
    return !joinedLeft && !joinedRight;
}

bool overlapsAny(const Range &range, const QList<Range> &others)
{
    return std::any_of(others.begin(), others.end(), [&range](const Range &other) {
        return range.first < other.second && other.first < range.second;
    });
}

QList<Range> occurrences(const QString &message, const QString &text, Qt::CaseSensitivity cs)
{
    QList<Range> found;
    if (text.isEmpty())
        return found;
    for (qsizetype at = message.indexOf(text, 0, cs); at >= 0; at = message.indexOf(text, at + 1, cs))
        found.append({at, at + text.size()});
    return found;
}

}  // namespace

QString maskSecrets(const QString &message, QStringList secrets, const QStringList &keep)
{
    // A braced value is masked as far as either reading takes it, so that a
    // password holding "}" is hidden whichever driver family it was sent to.
    QList<Range> masked;
    for (const QRegularExpression *pattern : {&kPasswordPair, &kFreeTdsPasswordPair}) {
        for (auto pairs = pattern->globalMatch(message); pairs.hasNext();) {
            const QRegularExpressionMatch pair = pairs.next();
            masked.append({pair.capturedStart(1), pair.capturedEnd(1)});
        }
    }
    QList<Range> kept;
    for (const QString &text : keep)
        kept += occurrences(message, text, Qt::CaseInsensitive);
    std::sort(secrets.begin(), secrets.end(), [](const QString &a, const QString &b) { return a.size() > b.size(); });
    for (const QString &secret : std::as_const(secrets)) {
        for (const Range &range : occurrences(message, secret, Qt::CaseSensitive)) {
            if (standsWhole(message, range) && !overlapsAny(range, kept) && !overlapsAny(range, masked))
                masked.append(range);
        }
    }
    std::sort(masked.begin(), masked.end());
    QString result;
    qsizetype from = 0;
    // Overlapping ranges (both readings of one value) become one "***".
    for (qsizetype i = 0; i < masked.size(); ++i) {
        const qsizetype start = masked[i].first;
        qsizetype to = masked[i].second;
        while (i + 1 < masked.size() && masked[i + 1].first <= to)
            to = std::max(to, masked[++i].second);
        result += QStringView(message).mid(from, start - from);
        result += QStringLiteral("***");
        from = to;
    }
    result += QStringView(message).mid(from);
    return result;
}

}  // namespace ado
