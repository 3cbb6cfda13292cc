#include "batch/RowReport.h"

#include <QDir>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QRegularExpression>

#include <algorithm>

#include "import/SaveReport.h"

namespace batch {

namespace {

using import::ItemPrice;
using import::RowFate;
using import::RowPreview;
using import::RowStatus;

// Rows a save leaves out for their barcode, whatever the policy says.
bool isDuplicate(const RowPreview &preview)
{
    return preview.fate == RowFate::InDatabase || preview.fate == RowFate::RepeatInFile ||
           preview.fate == RowFate::CannotUpdate || preview.fate == RowFate::PriceConflict;
}

// The prices of a row that changes, or would change, a registered item.
void notePrices(ReportRow &row, const RowPreview &preview)
{
    const std::optional<ItemPrice> &price = preview.existing.price;
    row.oldPrice = price ? price->price : std::nullopt;
    row.newPrice = preview.product ? std::optional<double>(preview.product->price) : std::nullopt;
}

bool isSkipped(const RowPreview &preview)
{
    return preview.fate == RowFate::SkippedNoName || preview.fate == RowFate::SkippedPrice ||
           preview.fate == RowFate::SkippedChoice;
}

// The group of a row as stored: a usable row's resolved one; for the others,
// their own cell, else the command line's.
QString groupOf(const RowPreview &preview, const import::ProductRow &cells, const BatchOptions &options)
{
    if (!preview.values.group.isEmpty())
        return preview.values.group;
    const QString own = cells.group.trimmed();
    return own.isEmpty() ? options.group : own;
}

const QString kNothingWrittenForDuplicates =
    QStringLiteral("tekrar eden barkodlar olduğu için bu hedefe hiçbir satır yazılmadı");

// A row no save visited: what the preview says, or what would have happened.
void judgeUnsaved(ReportRow &row, const RowPreview &preview, const TargetOutcome &outcome, const BatchOptions &options)
{
    const bool duplicate = isDuplicate(preview);
    row.reason = import::notAddedReason(preview);
    if (isSkipped(preview)) {
        row.status = QStringLiteral("skipped");
    } else if (!outcome.failure.isEmpty()) {
        row.status = QStringLiteral("failed");
        row.reason = outcome.failure;
    } else if (duplicate && options.duplicates != DuplicatePolicy::Add) {
        row.status = QStringLiteral("duplicate");
    } else if (outcome.stoppedForDuplicates) {
        row.status = QStringLiteral("not-attempted");
        row.reason = kNothingWrittenForDuplicates;
    } else if (preview.fate == RowFate::Unchanged) {
        row.status = QStringLiteral("unchanged");
        notePrices(row, preview);
    } else if (options.dryRun && preview.fate == RowFate::WillUpdate) {
        row.status = preview.notStorable ? QStringLiteral("would-fail") : QStringLiteral("would-update");
        row.reason = preview.notStorable ? import::notStorableReason(*preview.notStorable) : QString();
        notePrices(row, preview);
    } else if (options.dryRun) {
        row.status = preview.notStorable ? QStringLiteral("would-fail") : QStringLiteral("would-add");
        if (preview.notStorable)
            row.reason = import::notStorableReason(*preview.notStorable);
    } else {
        row.status = QStringLiteral("not-attempted");
        row.reason = import::notReachedReason();
    }
}

void judgeSaved(ReportRow &row, const import::RowOutcome &saved, const RowPreview &preview)
{
    // A duplicate written anyway keeps its note.
    row.reason = saved.status == RowStatus::Landed ? import::notAddedReason(preview)
                                                   : import::notLandedReason(saved, preview);
    switch (saved.status) {
    case RowStatus::Landed:
        row.status = QStringLiteral("landed");
        row.itemId = saved.itemId;
        break;
    case RowStatus::Skipped:
        row.status = QStringLiteral("skipped");
        break;
    case RowStatus::LeftOut:
        row.status = QStringLiteral("duplicate");
        break;
    case RowStatus::Updated:
        row.status = QStringLiteral("updated");
        row.itemId = saved.itemId;
        notePrices(row, preview);
        break;
    case RowStatus::Unchanged:
        row.status = QStringLiteral("unchanged");
        notePrices(row, preview);
        break;
    case RowStatus::Failed:
        row.status = QStringLiteral("failed");
        break;
    case RowStatus::Empty:
        break;
    }
}

// Whether a spreadsheet program opening the report could take `text` for a
// formula (or a command), as it does for a text starting with "=", "+", "-",
// "@", a tab or a carriage return. A plain number ("-5", "+90", "-3,25") is
// exempt: it can carry no formula, and the prefix would make a negative
// price or a signed barcode differ from the sheet it is joined back to.
bool mayStartFormula(const QString &text)
{
    static const QString kFormulaStarts = QStringLiteral("=+-@\t\r");
    static const QRegularExpression kPlainNumber(QStringLiteral("\\A[+-][0-9]+([.,][0-9]+)?\\z"));
    return !text.isEmpty() && kFormulaStarts.contains(text.front()) && !kPlainNumber.match(text).hasMatch();
}

QByteArray csvField(const QString &text)
{
    static const QString kNeedsQuotes = QStringLiteral(",\"\r\n");
    // A leading apostrophe makes the spreadsheet program read the cell as text.
    const QString field = mayStartFormula(text) ? QStringLiteral("'") + text : text;
    const bool quote = std::any_of(field.cbegin(), field.cend(), [](QChar c) { return kNeedsQuotes.contains(c); });
    if (!quote)
        return field.toUtf8();
    QString quoted = field;
    quoted.replace(u'"', QStringLiteral("\"\""));
    return '"' + quoted.toUtf8() + '"';
}

// A price as a number any program reads back, with a point; "" for none.
QByteArray csvPrice(const std::optional<double> &price)
{
    return price ? QByteArray::number(*price, 'g', 15) : QByteArray();
}

// The choice warnings of a target that was (or, dry, would be) written,
// each with the option that changes it.
QStringList choiceWarningTexts(const TargetOutcome &outcome)
{
    if (!outcome.reached || !outcome.failure.isEmpty() || outcome.stoppedForDuplicates)
        return {};
    const import::ChoiceWarnings &warnings = outcome.choiceWarnings;
    const import::Tense tense = outcome.save ? import::Tense::Past : import::Tense::Future;
    QStringList texts;
    for (const QString &line : import::choiceWarningLines({warnings.unchosenGroup, 0}, tense))
        texts << line + QStringLiteral(" --group ile grup verin.");
    for (const QString &line : import::choiceWarningLines({0, warnings.noPrinter}, tense))
        texts << line + QStringLiteral(" --printer ile yazıcı seçin.");
    return texts;
}

}  // namespace

QList<ReportRow> reportRows(const TargetOutcome &outcome, const ProductList &list, const BatchOptions &options)
{
    QList<ReportRow> report;
    report.reserve(outcome.previews.size());
    for (qsizetype i = 0; i < outcome.previews.size() && i < list.rows.size(); ++i) {
        const RowPreview &preview = outcome.previews.at(i);
        if (preview.fate == RowFate::Blank)
            continue;
        const import::ProductRow &cells = list.rows.at(i);
        ReportRow row{outcome.label, int(list.sheetRows.at(std::size_t(i))), cells.barcode, cells.name,
                      groupOf(preview, cells, options), {}, {}, 0, {}, {}};
        if (outcome.save && i < outcome.save->rows.size())
            judgeSaved(row, outcome.save->rows.at(i), preview);
        else
            judgeUnsaved(row, preview, outcome, options);
        report.append(row);
    }
    return report;
}

void markSheetDamaged(QList<ReportRow> &rows)
{
    const QString note = QStringLiteral("dosya hasarlı okundu; bu satır eksik ya da yanlış olabilir");
    for (ReportRow &row : rows)
        row.reason = row.reason.isEmpty() ? note : row.reason + QStringLiteral("; ") + note;
}

bool allLanded(const QList<ReportRow> &rows)
{
    return std::all_of(rows.cbegin(), rows.cend(), [](const ReportRow &row) {
        return row.status == u"landed" || row.status == u"would-add" || row.status == u"updated" ||
               row.status == u"would-update";
    });
}

QByteArray csvHeader()
{
    return "target,row,barcode,name,group,status,reason,item_id,old_price,new_price\r\n";
}

QByteArray csvLines(const QList<ReportRow> &rows)
{
    QByteArray out;
    for (const ReportRow &row : rows) {
        out += csvField(row.target) + ',' + QByteArray::number(row.gridRow) + ',' + csvField(row.barcode) + ',' +
               csvField(row.name) + ',' + csvField(row.group) + ',' + row.status.toUtf8() + ',' + csvField(row.reason) + ',' +
               (row.itemId > 0 ? QByteArray::number(row.itemId) : QByteArray()) + ',' + csvPrice(row.oldPrice) + ',' +
               csvPrice(row.newPrice) + "\r\n";
    }
    return out;
}

QByteArray jsonReport(const QList<TargetReport> &targets, int exitStatus, bool sheetDamaged)
{
    QJsonArray targetArray;
    for (const TargetReport &target : targets) {
        QJsonArray rowArray;
        for (const ReportRow &row : target.rows) {
            rowArray.append(QJsonObject{
                {QStringLiteral("row"), row.gridRow},
                {QStringLiteral("barcode"), row.barcode},
                {QStringLiteral("name"), row.name},
                {QStringLiteral("group"), row.group},
                {QStringLiteral("status"), row.status},
                {QStringLiteral("reason"), row.reason},
                {QStringLiteral("itemId"), row.itemId > 0 ? QJsonValue(row.itemId) : QJsonValue()},
                {QStringLiteral("old_price"), row.oldPrice ? QJsonValue(*row.oldPrice) : QJsonValue()},
                {QStringLiteral("new_price"), row.newPrice ? QJsonValue(*row.newPrice) : QJsonValue()},
            });
        }
        targetArray.append(QJsonObject{
            {QStringLiteral("target"), target.outcome.label},
            {QStringLiteral("warnings"), QJsonArray::fromStringList(choiceWarningTexts(target.outcome))},
            {QStringLiteral("reached"), target.outcome.reached},
            {QStringLiteral("failure"), target.outcome.failure},
            {QStringLiteral("saveSeconds"), target.outcome.saveSeconds},
            {QStringLiteral("rowsPerSecond"), target.outcome.rowsPerSecond()},
            {QStringLiteral("journal"), target.outcome.journal},
            {QStringLiteral("rows"), rowArray},
        });
    }
    return QJsonDocument(QJsonObject{{QStringLiteral("exitStatus"), exitStatus},
                                     {QStringLiteral("sheetDamaged"), sheetDamaged},
                                     {QStringLiteral("targets"), targetArray}})
        .toJson(QJsonDocument::Indented);
}

QString targetSummary(const TargetOutcome &outcome, const BatchOptions &options)
{
    QString body;
    if (!outcome.reached)
        body = QStringLiteral("Bağlanılamadı: %1").arg(outcome.failure);
    else if (!outcome.failure.isEmpty())
        body = QStringLiteral("Hiçbir ürün eklenmedi: %1").arg(outcome.failure);
    else if (outcome.stoppedForDuplicates)
        body = import::duplicateQuestion(outcome.previews) + u'\n' + kNothingWrittenForDuplicates;
    else if (options.dryRun)
        body = QStringLiteral("Ön izleme (hiçbir şey yazılmadı): %1").arg(import::previewSummary(outcome.previews, outcome.newGroups));
    else
        body = import::completionMessage(*outcome.save, outcome.previews) +
               QStringLiteral("\nKaydetme: %1 satır, %2 sn (%3 satır/sn)")
                   .arg(outcome.save->visitedRows())
                   .arg(outcome.saveSeconds, 0, 'f', 2)
                   .arg(qRound(outcome.rowsPerSecond())) +
               (outcome.journal.isEmpty()
                    ? QString()
                    : QStringLiteral("\nGeri alma kaydı: %1").arg(QDir::toNativeSeparators(outcome.journal)));
    for (const QString &warning : choiceWarningTexts(outcome))
        body += u'\n' + warning;
    return QStringLiteral("[%1]\n%2\n").arg(outcome.label, body);
}

}  // namespace batch
