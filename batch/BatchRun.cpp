#include "batch/BatchRun.h"

#include <QFileInfo>

#include <optional>

#include "batch/BatchOptions.h"
#include "batch/ProductList.h"
#include "batch/ProgressBar.h"
#include "batch/ReportOutput.h"
#include "batch/RowReport.h"
#include "batch/TargetExport.h"
#include "batch/TargetImport.h"
#include "connection/baglanmodul.h"
#include "import/ImportJournal.h"
#include "platform/os/Terminal.h"
#include "spreadsheet/SheetFile.h"
#include "import/LoadReport.h"

namespace batch {

namespace {

void print(std::FILE *stream, const QString &text)
{
    const QByteArray bytes = text.toUtf8();
    std::fwrite(bytes.constData(), 1, std::size_t(bytes.size()), stream);
    std::fflush(stream);
}

// The connection text of `source`, or why there is none.
platform::Result<QString> connectionTextOf(const TargetSource &source)
{
    switch (source.kind) {
    case TargetSource::Kind::ConnectionText:
        return source.value;
    case TargetSource::Kind::WindowDefault: {
        if (platform::Outcome refusal = baglanmodul::encodingRefusal(baglanmodul::ayarlarioku()); !refusal.ok())
            return refusal;
        break;
    }
    case TargetSource::Kind::SettingsFile: {
        // A settings file named on purpose must hold a text: falling back to
        // this machine's own database would import into the wrong one.
        const xml::LoadResult loaded = baglanmodul::ayarlarioku(source.value);
        if (platform::Outcome refusal = baglanmodul::encodingRefusal(loaded, source.value); !refusal.ok())
            return refusal;
        baglanmodul::chooseConnection();
        if (baglanmodul::ayarvar == 0) {
            const QString why = loaded ? QStringLiteral("bağlantı metni yok") : loaded.text();
            return platform::Outcome::failure(
                QStringLiteral("ayar dosyası %1: %2").arg(QFileInfo(source.value).fileName(), why));
        }
        return baglanmodul::connectionText();
    }
    }
    baglanmodul::chooseConnection();
    return baglanmodul::connectionText();
}

// Each target's label in the report when it is a database file, telling
// files of the same name apart; "" for the others.
QStringList fileLabels(const QList<TargetSource> &targets)
{
    QStringList paths;
    for (const TargetSource &source : targets) {
        const platform::Result<QString> text = connectionTextOf(source);
        paths << (text.ok() ? ado::databaseFileOf(text.value) : QString());
    }
    return distinctFileLabels(paths);
}

int targetStatus(const TargetOutcome &outcome, const QList<ReportRow> &rows)
{
    if (!outcome.reached)
        return TargetUnreachable;
    const bool clean = outcome.failure.isEmpty() && !outcome.stoppedForDuplicates && allLanded(rows);
    return clean ? AllLanded : RowsNotLanded;
}

TargetOutcome importTarget(const TargetSource &source, int number, const QList<import::ProductRow> &rows,
                           const BatchOptions &options, std::FILE *err)
{
    const platform::Result<QString> text = connectionTextOf(source);
    if (!text.ok()) {
        TargetOutcome unreachable;
        unreachable.label = QStringLiteral("hedef %1").arg(number);
        unreachable.failure = text.reason();
        unreachable.previews = import::previewRows(rows, baseChoices(options), {}, ado::TextFidelity::unicode());
        return unreachable;
    }
    ado::Connection connection(QStringLiteral("toplu-ekle-%1").arg(number));
    connection.setConnectionString(text.value);
    ProgressBar bar(err, platform::isTerminal(err), int(rows.size()));
    TargetOutcome outcome =
        importInto(connection, rows, options, [&bar](int visited) { return bar.advance(visited); },
                   import::journalFolder());
    if (outcome.label.isEmpty())
        outcome.label = QStringLiteral("hedef %1").arg(number);
    return outcome;
}

// Says what is wrong with the command line; the status of wrong usage.
int usageFailure(const QString &error, std::FILE *err)
{
    print(err, error + QStringLiteral("\n(toplu-ekle --help)\n"));
    return WrongUsage;
}

// Says why the report could not be written; the status of a run whose
// report is lost, so that no script takes it for a run that went well.
int reportFailure(const ReportOutput &report, std::FILE *err)
{
    print(err, QStringLiteral("Rapor yazılamadı / cannot write the report: %1\n").arg(report.error()));
    return WrongUsage;
}

// Undoes the last import, or the journal's, on every target in turn.
int undoOnTargets(const BatchOptions &options, std::FILE *err)
{
    int status = AllLanded;
    const QStringList labels = fileLabels(options.targets);
    for (qsizetype i = 0; i < options.targets.size(); ++i) {
        const platform::Result<QString> text = connectionTextOf(options.targets.at(i));
        UndoOutcome outcome{QStringLiteral("hedef %1").arg(i + 1), false, false, text.reason()};
        if (text.ok()) {
            ado::Connection connection(QStringLiteral("toplu-ekle-%1").arg(i + 1));
            connection.setConnectionString(text.value);
            outcome = undoInto(connection, options.undoJournal, import::journalFolder());
        }
        if (!labels.at(i).isEmpty())
            outcome.label = labels.at(i);
        print(err, QStringLiteral("[%1]\n%2\n").arg(outcome.label, outcome.message));
        status = std::max(status, !outcome.reached ? int(TargetUnreachable) : outcome.undone ? int(AllLanded)
                                                                                               : int(RowsNotLanded));
    }
    return status;
}

// Writes the one target's menu to the --export workbook.
int exportFromTarget(const BatchOptions &options, std::FILE *err)
{
    const platform::Result<QString> text = connectionTextOf(options.targets.first());
    ExportOutcome outcome{QStringLiteral("hedef 1"), TargetUnreachable, text.reason()};
    if (text.ok()) {
        ado::Connection connection(QStringLiteral("toplu-ekle-1"));
        connection.setConnectionString(text.value);
        outcome = exportFrom(connection, options);
    }
    if (const QString label = fileLabels(options.targets).first(); !label.isEmpty())
        outcome.label = label;
    print(err, QStringLiteral("[%1]\n%2\n").arg(outcome.label, outcome.message));
    return outcome.status;
}

}  // namespace

int runBatch(const QStringList &arguments, std::FILE *out, std::FILE *err)
{
    const ParsedArguments parsed = parseArguments(arguments);
    if (parsed.help) {
        print(out, helpText());
        return AllLanded;
    }
    if (!parsed.ok())
        return usageFailure(parsed.usageError, err);
    const BatchOptions &options = parsed.options;
    if (options.undoing())
        return undoOnTargets(options, err);
    if (options.exporting())
        return exportFromTarget(options, err);

    const spreadsheet::SheetColumns sheet = spreadsheet::readSheet(options.file, options.locale);
    if (const QString message = import::loadMessage(options.file, sheet); !message.isEmpty())
        print(err, message + u'\n');
    if (!sheet.ok())
        return FileUnreadable;
    const platform::Result<ProductList> list = readProductList(sheet.rows, options);
    if (!list.ok())
        return usageFailure(list.reason(), err);
    if (!list.value.layout.isEmpty())
        print(err, list.value.layout + u'\n');

    ReportOutput report;
    if (!report.open(options.reportFile, out) || (!options.json && !report.write(csvHeader())))
        return reportFailure(report, err);

    // A damaged sheet may have lost cells or run rows together: never a clean run.
    int status = sheet.damaged ? RowsNotLanded : AllLanded;
    QList<TargetReport> targets;
    const QStringList labels = fileLabels(options.targets);
    for (qsizetype i = 0; i < options.targets.size(); ++i) {
        TargetReport target{importTarget(options.targets.at(i), int(i) + 1, list.value.rows, options, err), {}};
        if (!labels.at(i).isEmpty())
            target.outcome.label = labels.at(i);
        target.rows = reportRows(target.outcome, list.value, options);
        if (sheet.damaged)
            markSheetDamaged(target.rows);
        print(err, targetSummary(target.outcome, options));
        status = std::max(status, targetStatus(target.outcome, target.rows));
        if (options.json)
            targets.append(target);
        else if (!report.write(csvLines(target.rows)))
            return reportFailure(report, err);
    }
    if ((options.json && !report.write(jsonReport(targets, status, sheet.damaged))) || !report.close())
        return reportFailure(report, err);
    return status;
}

}  // namespace batch
