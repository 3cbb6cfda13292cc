#include "import/SaveReport.h"

#include <QStringList>

namespace bulksave {

namespace {

// Longer lists would make the message box taller than the screen.
constexpr qsizetype kListedSkips = 20;
constexpr qsizetype kListedFailures = 5;

// "<label>: <count> (<first entries>[, …])", or nothing for a count of 0.
QString countLine(const QString &label, const QStringList &entries, qsizetype listed, const QString &separator)
{
    if (entries.isEmpty())
        return {};
    QStringList shown = entries.mid(0, listed);
    if (entries.size() > listed)
        shown << QStringLiteral("…");
    return QStringLiteral("%1: %2 (%3)").arg(label).arg(entries.size()).arg(shown.join(separator));
}

}  // namespace

QString guardMessage()
{
    return QStringLiteral("Ürünleri Fiyatıyla Ekleyin");
}

QString completionMessage(const SaveResult &result)
{
    if (!result.connected) {
        const QString line = QStringLiteral("Veritabanı bağlantısı yok; hiçbir ürün eklenmedi.");
        return result.connectionError.isEmpty() ? line : line + u'\n' + result.connectionError;
    }
    const QString done = QStringLiteral("Toplu Ürün Eklendi");
    QStringList skipped;
    QStringList leftOut;
    QStringList failed;
    for (const RowOutcome &row : result.rows) {
        if (row.status == RowStatus::Skipped)
            skipped << QString::number(row.gridRow);
        else if (row.status == RowStatus::LeftOut)
            leftOut << QString::number(row.gridRow);
        else if (row.status == RowStatus::Failed)
            failed << QStringLiteral("%1: %2").arg(row.gridRow).arg(row.error);
    }
    if (skipped.isEmpty() && leftOut.isEmpty() && failed.isEmpty())
        return done;
    QStringList lines{done, QStringLiteral("Eklenen ürün: %1").arg(result.count(RowStatus::Landed))};
    for (const QString &line :
         {countLine(QStringLiteral("Atlanan satır"), skipped, kListedSkips, QStringLiteral(", ")),
          countLine(QStringLiteral("Tekrar olduğu için eklenmeyen"), leftOut, kListedSkips, QStringLiteral(", ")),
          countLine(QStringLiteral("Hatalı satır"), failed, kListedFailures, QStringLiteral("; "))}) {
        if (!line.isEmpty())
            lines << line;
    }
    return lines.join(u'\n');
}

}  // namespace bulksave
