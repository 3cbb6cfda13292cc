#include "import/SaveReport.h"

#include <algorithm>

#include <QStringList>

#include "import/SaveText.h"

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

QString cellQuote(const QString &text)
{
    constexpr qsizetype kQuoted = 100;
    const QString quoted = cutTo(text, kQuoted);
    return quoted.size() < text.size() ? quoted + QStringLiteral("…") : quoted;
}

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
    QStringList skipped;
    QStringList leftOut;
    QStringList unchanged;
    QStringList failed;
    for (const RowOutcome &row : result.rows) {
        if (row.status == RowStatus::Skipped)
            skipped << QString::number(row.gridRow);
        else if (row.status == RowStatus::LeftOut)
            leftOut << QString::number(row.gridRow);
        else if (row.status == RowStatus::Unchanged)
            unchanged << QString::number(row.gridRow);
        else if (row.status == RowStatus::Failed)
            failed << QStringLiteral("%1: %2").arg(row.gridRow).arg(row.error);
    }
    QStringList notAttempted;
    for (const int row : result.notAttempted)
        notAttempted << QString::number(row);
    const int updated = result.count(RowStatus::Updated);
    const QString done = QStringLiteral("Toplu Ürün Eklendi");
    if (!result.stopped && updated == 0 && skipped.isEmpty() && leftOut.isEmpty() && unchanged.isEmpty() &&
        failed.isEmpty())
        return done;
    // A stopped save must not open with a line that reads as "all added".
    QStringList lines{result.stopped ? QStringLiteral("Kaydetme durduruldu") : done,
                      QStringLiteral("Eklenen ürün: %1").arg(result.count(RowStatus::Landed))};
    if (updated > 0)
        lines << QStringLiteral("Güncellenen ürün: %1").arg(updated);
    for (const QString &line :
         {countLine(QStringLiteral("Fiyatı aynı olan"), unchanged, kListedSkips, QStringLiteral(", ")),
          countLine(QStringLiteral("Atlanan satır"), skipped, kListedSkips, QStringLiteral(", ")),
          countLine(QStringLiteral("Tekrar olduğu için eklenmeyen"), leftOut, kListedSkips, QStringLiteral(", ")),
          countLine(QStringLiteral("Hatalı satır"), failed, kListedFailures, QStringLiteral("; ")),
          countLine(QStringLiteral("Denenmeyen satır"), notAttempted, kListedSkips, QStringLiteral(", "))}) {
        if (!line.isEmpty())
            lines << line;
    }
    return lines.join(u'\n');
}

QString progressText(const ProgressMeter &meter)
{
    const std::optional<qint64> left = meter.secondsLeft();
    const QString timeLeft = left ? QStringLiteral("%1:%2").arg(*left / 60).arg(*left % 60, 2, 10, QChar(u'0'))
                                  : QStringLiteral("?");
    return QStringLiteral("%1/%2 satır · %3 satır/sn · kalan %4")
        .arg(meter.done())
        .arg(meter.total())
        .arg(qRound(meter.rowsPerSecond()))
        .arg(timeLeft);
}

QString previewSummary(const QList<RowPreview> &previews, const QStringList &newGroups)
{
    const int skipped = countFate(previews, RowFate::SkippedNoName) + countFate(previews, RowFate::SkippedPrice);
    // A row the database cannot store would fail: it is not counted as one to add.
    const int willFail = int(std::count_if(previews.cbegin(), previews.cend(), [](const RowPreview &preview) {
        return preview.fate == RowFate::WillAdd && (preview.warnings & NotStorable);
    }));
    const auto updating = [&previews](auto changes) {
        return int(std::count_if(previews.cbegin(), previews.cend(), [&changes](const RowPreview &preview) {
            return preview.update && changes(*preview.update);
        }));
    };
    QStringList parts{QStringLiteral("%1 eklenecek").arg(countFate(previews, RowFate::WillAdd) - willFail)};
    const std::pair<int, const char *> others[] = {
        {updating([](const ItemUpdate &update) { return update.newPrice.has_value(); }), "%1 fiyat güncellenecek"},
        {updating([](const ItemUpdate &update) { return update.newName.has_value(); }), "%1 ad güncellenecek"},
        {countFate(previews, RowFate::Unchanged), "%1 fiyat aynı"},
        {willFail, "%1 eklenemeyecek"},
        {skipped, "%1 atlanacak"},
        {countFate(previews, RowFate::SkippedChoice), "%1 tanınmayan seçimle atlanacak"},
        {countFate(previews, RowFate::InDatabase), "%1 barkod zaten kayıtlı"},
        {countFate(previews, RowFate::RepeatInFile), "%1 barkod dosyada tekrar"},
        {countFate(previews, RowFate::CannotUpdate), "%1 güncellenemeyecek"},
        {countFate(previews, RowFate::PriceConflict), "%1 dosyada farklı fiyatlarla tekrar"},
    };
    for (const auto &[count, text] : others) {
        if (count > 0)
            parts << QString::fromUtf8(text).arg(count);
    }
    if (!newGroups.isEmpty()) {
        constexpr qsizetype kNamedGroups = 5;
        QStringList named = newGroups.mid(0, kNamedGroups);
        if (newGroups.size() > kNamedGroups)
            named << QStringLiteral("…");
        parts << QStringLiteral("%1 yeni grup: %2").arg(newGroups.size()).arg(named.join(QStringLiteral(", ")));
    }
    return parts.join(QStringLiteral(" · "));
}

QString notAddedReason(const RowPreview &preview)
{
    switch (preview.fate) {
    case RowFate::SkippedNoName:
        return QStringLiteral("ürün adı yok");
    case RowFate::SkippedPrice:
        return QStringLiteral("fiyat bir sayı değil (“%1”)").arg(cellQuote(preview.priceText));
    case RowFate::SkippedChoice:
        return preview.unknownChoice;
    case RowFate::InDatabase:
        return QStringLiteral("barkod zaten kayıtlı: “%1” (no %2)").arg(cellQuote(preview.existing.name)).arg(preview.existing.id);
    case RowFate::RepeatInFile:
        return QStringLiteral("barkod dosyada daha önce geçiyor: satır %1").arg(preview.barcodeRows.value(0));
    case RowFate::Unchanged:
        return QStringLiteral("fiyat aynı");
    case RowFate::CannotUpdate: {
        const QString why = preview.existing.problem != PriceProblem::None
                                ? priceProblemText(preview.existing.problem)
                                : QStringLiteral("yeni fiyat eksi");
        return QStringLiteral("kayıtlı ürün güncellenemez: %1 (no %2)").arg(why).arg(preview.existing.id);
    }
    case RowFate::PriceConflict: {
        QStringList rows;
        for (const int row : preview.barcodeRows)
            rows << QString::number(row);
        return QStringLiteral("dosyada farklı fiyatlarla tekrar: satır %1").arg(rows.join(QStringLiteral(", ")));
    }
    case RowFate::WillAdd:
    case RowFate::WillUpdate:
    case RowFate::Blank:
        break;
    }
    return {};
}

QString priceText(double price)
{
    return QLocale(QLocale::Turkish, QLocale::Turkey).toString(price, 'f', 2);
}

QString priceChangeText(const ItemUpdate &update)
{
    const QString old = update.oldPrice ? priceText(*update.oldPrice) : QStringLiteral("fiyat yok");
    return QStringLiteral("%1 → %2").arg(old, priceText(update.newPrice.value_or(update.oldPrice.value_or(0))));
}

QString notStorableReason(const UnstorableText &text)
{
    return QStringLiteral("%1 “%2” bozuk bir karakter içeriyor; olduğu gibi yazılamaz")
        .arg(QString::fromUtf8(text.field), cellQuote(text.value));
}

QString notLandedReason(const RowOutcome &outcome, const RowPreview &preview)
{
    switch (outcome.status) {
    case RowStatus::Skipped:
    case RowStatus::LeftOut:
    case RowStatus::Unchanged:
        return notAddedReason(preview);
    case RowStatus::Failed:
        return outcome.failedTable.isEmpty() ? outcome.error : outcome.failedTable + QStringLiteral(": ") + outcome.error;
    case RowStatus::Landed:
    case RowStatus::Updated:
    case RowStatus::Empty:
        break;
    }
    return {};
}

QString notReachedReason()
{
    return QStringLiteral("kaydetme bu satırdan önce durduruldu");
}

QList<RowNotLanded> rowsNotLanded(const SaveResult &result, const QList<ProductRow> &rows,
                                  const QList<RowPreview> &previews)
{
    QList<RowNotLanded> kept;
    for (const RowOutcome &outcome : result.rows) {
        const qsizetype index = outcome.gridRow - 1;
        // Rows that hold their values already need no second try.
        const bool done = outcome.status == RowStatus::Landed || outcome.status == RowStatus::Updated ||
                          outcome.status == RowStatus::Unchanged || outcome.status == RowStatus::Empty;
        if (!done && index < rows.size())
            kept.append({outcome.gridRow, rows.at(index), notLandedReason(outcome, previews.value(index))});
    }
    for (const int gridRow : result.notAttempted) {
        if (gridRow - 1 < rows.size())
            kept.append({gridRow, rows.at(gridRow - 1), notReachedReason()});
    }
    return kept;
}

QString duplicateQuestion(const QList<RowPreview> &previews)
{
    // A repeated barcode counts once, through its first row.
    int registered = 0;
    int repeated = 0;
    for (qsizetype index = 0; index < previews.size(); ++index) {
        const RowPreview &preview = previews.at(index);
        if (preview.existing.id != 0)
            ++registered;
        else if (preview.barcodeRows.value(0) == index + 1)
            ++repeated;
    }
    if (registered == 0 && repeated == 0)
        return {};
    return QStringLiteral("%1 ürünün barkodu zaten kayıtlı; %2 barkod dosyada birden çok kez geçiyor.")
        .arg(registered)
        .arg(repeated);
}

}  // namespace bulksave
