#include "import/SaveReport.h"

#include <algorithm>

#include <QStringList>

#include "import/RowOptions.h"
#include "import/SaveText.h"

namespace import {

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

// The verdict of `gridRow`, or a blank one's for a row without a verdict;
// not copied, as a save's message looks at every row's.
const RowPreview &verdictOf(const QList<RowPreview> &previews, int gridRow)
{
    static const RowPreview kNone;
    return gridRow >= 1 && gridRow <= previews.size() ? previews.at(gridRow - 1) : kNone;
}

// "<label>: <count> (<rows as ranges>)", or nothing for no rows.
QString rowsLine(const QString &label, const QList<int> &rows)
{
    if (rows.isEmpty())
        return {};
    return QStringLiteral("%1: %2 (%3)").arg(label).arg(rows.size()).arg(rowRanges(rows, kListedSkips));
}

// The kinds of warning a row can land with, as the operator reads them.
struct WarningKind {
    RowWarning bit;
    const char *text;
};
constexpr WarningKind kWarningKinds[] = {
    {NameCut, "ad kısaltıldı"},
    {BarcodeCut, "barkod kısaltıldı"},
    {GroupCut, "grup kısaltıldı"},
    {PriceNotPositive, "fiyat sıfır ya da eksi"},
    {PriceGrouped, "fiyatta binlik ayırıcı"},
};

// "<label>: 3 (5, 9–10); ad kısaltıldı 2, fiyat sıfır ya da eksi 1" for the
// rows that were stored with a warning, or nothing for none.
QString warningLine(const QString &label, const QList<int> &rows, const QList<RowPreview> &previews)
{
    if (rows.isEmpty())
        return {};
    QStringList kinds;
    for (const WarningKind &kind : kWarningKinds) {
        const auto count = std::count_if(rows.cbegin(), rows.cend(), [&](int gridRow) {
            return (verdictOf(previews, gridRow).warnings & kind.bit) != 0;
        });
        if (count > 0)
            kinds << QStringLiteral("%1 %2").arg(QString::fromUtf8(kind.text)).arg(count);
    }
    return rowsLine(label, rows) + QStringLiteral("; ") + kinds.join(QStringLiteral(", "));
}

bool landsWithWarning(const RowPreview &preview)
{
    return (preview.warnings & kLandingWarnings) != 0;
}

// A row to be added as a new item that the database can store.
bool willLand(const RowPreview &preview)
{
    return preview.fate == RowFate::WillAdd && !(preview.warnings & NotStorable);
}

// How the operator calls a separator character.
QString separatorName(const QString &separator)
{
    if (separator == u".")
        return QStringLiteral("nokta");
    if (separator == u",")
        return QStringLiteral("virgül");
    // Non-breaking spaces included, as several locales group with them.
    if (separator.trimmed().isEmpty())
        return QStringLiteral("boşluk");
    return QStringLiteral("“%1”").arg(separator);
}

}  // namespace

QString rowRanges(const QList<int> &rows, qsizetype listed)
{
    QStringList entries;
    for (qsizetype first = 0; first < rows.size();) {
        if (entries.size() == listed) {
            entries << QStringLiteral("…");
            break;
        }
        qsizetype last = first;
        while (last + 1 < rows.size() && rows.at(last + 1) == rows.at(last) + 1)
            ++last;
        entries << (last == first ? QString::number(rows.at(first))
                                  : QStringLiteral("%1–%2").arg(rows.at(first)).arg(rows.at(last)));
        first = last + 1;
    }
    return entries.join(QStringLiteral(", "));
}

QString cellQuote(const QString &text)
{
    constexpr qsizetype kQuoted = 100;
    const QString quoted = cutTo(text, kQuoted);
    return quoted.size() < text.size() ? quoted + QStringLiteral("…") : quoted;
}

QString guardMessage()
{
    return QStringLiteral("Ürünleri Fiyatıyla Ekleyin\n"
                          "«EXCELL SEÇ» ile bir liste yükleyin ya da tabloya barkod, ad ve fiyat yazın.");
}

QString completionMessage(const SaveResult &result, const QList<RowPreview> &previews)
{
    if (!result.connected) {
        const QString line = QStringLiteral("Veritabanı bağlantısı yok; hiçbir ürün eklenmedi.");
        return result.connectionError.isEmpty() ? line : line + u'\n' + result.connectionError;
    }
    QList<int> updated;
    QList<int> landedWarned;
    QList<int> updatedWarned;
    QList<int> skipped;
    QList<int> leftOut;
    QList<int> unchanged;
    QStringList failed;
    for (const RowOutcome &row : result.rows) {
        const bool warned = landsWithWarning(verdictOf(previews, row.gridRow));
        if (row.status == RowStatus::Landed && warned)
            landedWarned << row.gridRow;
        else if (row.status == RowStatus::Updated)
            (warned ? updatedWarned : updated) << row.gridRow;
        else if (row.status == RowStatus::Skipped)
            skipped << row.gridRow;
        else if (row.status == RowStatus::LeftOut)
            leftOut << row.gridRow;
        else if (row.status == RowStatus::Unchanged)
            unchanged << row.gridRow;
        else if (row.status == RowStatus::Failed)
            failed << QStringLiteral("%1: %2").arg(row.gridRow).arg(row.error);
    }
    // Rows updated with a warning are counted with the updates and listed again with their warning.
    QList<int> allUpdated = updated + updatedWarned;
    std::sort(allUpdated.begin(), allUpdated.end());

    QStringList done;
    if (const int added = result.count(RowStatus::Landed); added > 0)
        done << QStringLiteral("%1 ürün eklendi").arg(added);
    if (!allUpdated.isEmpty())
        done << QStringLiteral("%1 ürün güncellendi").arg(allUpdated.size());
    // A stopped save must not open with a line that reads as "all added".
    const QString first = result.stopped ? QStringLiteral("Kaydetme durduruldu: %1")
                                               .arg(done.isEmpty() ? QStringLiteral("hiçbir ürün eklenmedi")
                                                                   : done.join(QStringLiteral(", ")))
                          : done.isEmpty() ? QStringLiteral("Hiçbir ürün eklenmedi")
                                           : done.join(QStringLiteral(", "));
    QStringList lines{first};
    for (const QString &line :
         {rowsLine(QStringLiteral("Güncellenen ürün"), allUpdated),
          warningLine(QStringLiteral("Uyarıyla eklenen"), landedWarned, previews),
          warningLine(QStringLiteral("Uyarıyla güncellenen"), updatedWarned, previews),
          rowsLine(QStringLiteral("Fiyatı aynı olan"), unchanged),
          rowsLine(QStringLiteral("Atlanan satır"), skipped),
          rowsLine(QStringLiteral("Tekrar olduğu için eklenmeyen"), leftOut),
          countLine(QStringLiteral("Hatalı satır"), failed, kListedFailures, QStringLiteral("; ")),
          rowsLine(QStringLiteral("Denenmeyen satır"), result.notAttempted)}) {
        if (!line.isEmpty())
            lines << line;
    }
    return lines.join(u'\n');
}

QString completionCaption(const SaveResult &result)
{
    return result.connected && result.count(RowStatus::Landed) > 0 ? QStringLiteral("Toplu Ürün Eklendi") : QString();
}

QString priceReading(const QString &text, const QLocale &locale)
{
    const std::optional<double> price = localeNumber(text, locale);
    if (!price)
        return {};
    const QString reading = QStringLiteral("“%1” → %2").arg(cellQuote(text), priceText(*price));
    if (!hasGroupSeparator(text, locale))
        return reading;
    return reading + QStringLiteral(" (%1 binlik ayırıcı sayıldı)").arg(separatorName(locale.groupSeparator()));
}

ChoiceWarnings choiceWarnings(const QList<RowPreview> &previews, const SaveChoices &choices)
{
    ChoiceWarnings warnings;
    const QString unchosen = groupKey(unchosenGroup());
    for (const RowPreview &preview : previews) {
        if (!willLand(preview))
            continue;
        if (groupKey(preview.values.group) == unchosen)
            ++warnings.unchosenGroup;
        if (choices.showOnSalesScreen && preview.values.printerId.value_or(QString()).isEmpty())
            ++warnings.noPrinter;
    }
    return warnings;
}

QStringList choiceWarningLines(const ChoiceWarnings &warnings, Tense tense)
{
    QStringList lines;
    if (warnings.unchosenGroup > 0)
        lines << (tense == Tense::Past ? QStringLiteral("%1 ürün “%2” grubuna eklendi (grup seçilmedi).")
                                       : QStringLiteral("%1 ürün “%2” grubuna eklenecek (grup seçilmedi)."))
                     .arg(warnings.unchosenGroup)
                     .arg(unchosenGroup());
    if (warnings.noPrinter > 0)
        lines << QStringLiteral("Satışta gösterilecek %1 ürün hiçbir yazıcıya gönderilmeyecek (yazıcı seçilmedi).")
                     .arg(warnings.noPrinter);
    return lines;
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
    const int warned = int(std::count_if(previews.cbegin(), previews.cend(), [](const RowPreview &preview) {
        return willLand(preview) && landsWithWarning(preview);
    }));
    QString adding = QStringLiteral("%1 eklenecek").arg(countFate(previews, RowFate::WillAdd) - willFail);
    if (warned > 0)
        adding += QStringLiteral(" (%1 uyarıyla)").arg(warned);
    QStringList parts{adding};
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
    case RowFate::PriceConflict:
        return QStringLiteral("dosyada farklı fiyatlarla tekrar: satır %1").arg(rowRanges(preview.barcodeRows));
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

}  // namespace import
