#include "batch/BatchRun.h"

#include <QFile>
#include <QFileInfo>

#include <optional>

#include "batch/BatchOptions.h"
#include "batch/ProgressBar.h"
#include "batch/RowReport.h"
#include "batch/TargetImport.h"
#include "connection/baglanmodul.h"
#include "import/ImportJournal.h"
#include "platform/os/Terminal.h"
#include "spreadsheet/SheetFile.h"
#include "window/LoadReport.h"

namespace batch {

namespace {

void print(std::FILE *stream, const QString &text)
{
    const QByteArray bytes = text.toUtf8();
    std::fwrite(bytes.constData(), 1, std::size_t(bytes.size()), stream);
    std::fflush(stream);
}

// The connection text of `source`, or why there is none.
struct TargetText {
    QString text;
    QString error;
};

TargetText connectionTextOf(const TargetSource &source)
{
    switch (source.kind) {
    case TargetSource::Kind::ConnectionText:
        return {source.value, {}};
    case TargetSource::Kind::WindowDefault: {
        const QString refusal = baglanmodul::encodingRefusal(baglanmodul::ayarlarioku());
        if (!refusal.isEmpty())
            return {{}, refusal};
        break;
    }
    case TargetSource::Kind::SettingsFile: {
        // A settings file named on purpose must hold a text: falling back to
        // this machine's own database would import into the wrong one.
        const xml::LoadResult loaded = baglanmodul::ayarlarioku(source.value);
        const QString refusal = baglanmodul::encodingRefusal(loaded, source.value);
        if (!refusal.isEmpty())
            return {{}, refusal};
        baglanmodul::chooseConnection();
        if (baglanmodul::ayarvar == 0) {
            const QString why = loaded ? QStringLiteral("bağlantı metni yok") : loaded.description;
            return {{}, QStringLiteral("ayar dosyası %1: %2").arg(QFileInfo(source.value).fileName(), why)};
        }
        return {baglanmodul::connectionText(), {}};
    }
    }
    baglanmodul::chooseConnection();
    return {baglanmodul::connectionText(), {}};
}

QList<bulksave::ProductRow> productRows(const spreadsheet::SheetColumns &sheet)
{
    QList<bulksave::ProductRow> rows;
    rows.reserve(qsizetype(sheet.rows.size()));
    for (const auto &cells : sheet.rows)
        rows.append({cells[0], cells[1], cells[2]});
    return rows;
}

int targetStatus(const TargetOutcome &outcome, const QList<ReportRow> &rows)
{
    if (!outcome.reached)
        return TargetUnreachable;
    const bool clean = outcome.failure.isEmpty() && !outcome.stoppedForDuplicates && allLanded(rows);
    return clean ? AllLanded : RowsNotLanded;
}

TargetOutcome importTarget(const TargetSource &source, int number, const QList<bulksave::ProductRow> &rows,
                           const BatchOptions &options, std::FILE *err)
{
    const TargetText text = connectionTextOf(source);
    if (!text.error.isEmpty()) {
        TargetOutcome unreachable;
        unreachable.label = QStringLiteral("hedef %1").arg(number);
        unreachable.failure = text.error;
        unreachable.previews = bulksave::previewRows(rows, baseChoices(options), {}, ado::TextFidelity::unicode());
        return unreachable;
    }
    ado::Connection connection(QStringLiteral("toplu-ekle-%1").arg(number));
    connection.setConnectionString(text.text);
    ProgressBar bar(err, platform::isTerminal(err), int(rows.size()));
    TargetOutcome outcome =
        importInto(connection, rows, options, [&bar](int visited) { return bar.advance(visited); },
                   bulksave::journalFolder());
    if (outcome.label.isEmpty())
        outcome.label = QStringLiteral("hedef %1").arg(number);
    return outcome;
}

// Undoes the last import, or the journal's, on every target in turn.
int undoOnTargets(const BatchOptions &options, std::FILE *err)
{
    int status = AllLanded;
    for (qsizetype i = 0; i < options.targets.size(); ++i) {
        const TargetText text = connectionTextOf(options.targets.at(i));
        UndoOutcome outcome{QStringLiteral("hedef %1").arg(i + 1), false, false, text.error};
        if (text.error.isEmpty()) {
            ado::Connection connection(QStringLiteral("toplu-ekle-%1").arg(i + 1));
            connection.setConnectionString(text.text);
            outcome = undoInto(connection, options.undoJournal, bulksave::journalFolder());
        }
        print(err, QStringLiteral("[%1]\n%2\n").arg(outcome.label, outcome.message));
        status = std::max(status, !outcome.reached ? int(TargetUnreachable) : outcome.undone ? int(AllLanded)
                                                                                               : int(RowsNotLanded));
    }
    return status;
}

}  // namespace

int runBatch(const QStringList &arguments, std::FILE *out, std::FILE *err)
{
    const ParsedArguments parsed = parseArguments(arguments);
    if (parsed.help) {
        print(out, helpText());
        return AllLanded;
    }
    if (!parsed.ok()) {
        print(err, parsed.usageError + QStringLiteral("\n(toplu-ekle --help)\n"));
        return WrongUsage;
    }
    const BatchOptions &options = parsed.options;
    if (options.undoing())
        return undoOnTargets(options, err);

    const spreadsheet::SheetColumns sheet = spreadsheet::readSheet(options.file, options.locale);
    if (const QString message = loadreport::loadMessage(options.file, sheet); !message.isEmpty())
        print(err, message + u'\n');
    if (!sheet.ok())
        return FileUnreadable;
    const QList<bulksave::ProductRow> rows = productRows(sheet);

    QFile report;
    const bool opened = options.reportFile.isEmpty() ? report.open(out, QIODevice::WriteOnly)
                                                     : (report.setFileName(options.reportFile),
                                                        report.open(QIODevice::WriteOnly | QIODevice::Truncate));
    if (!opened) {
        print(err, QStringLiteral("Rapor dosyası yazılamıyor / cannot write the report: %1 (%2)\n")
                       .arg(options.reportFile, report.errorString()));
        return WrongUsage;
    }
    if (!options.json)
        report.write(csvHeader());

    int status = AllLanded;
    QList<TargetReport> targets;
    for (qsizetype i = 0; i < options.targets.size(); ++i) {
        TargetReport target{importTarget(options.targets.at(i), int(i) + 1, rows, options, err), {}};
        target.rows = reportRows(target.outcome, rows, options);
        print(err, targetSummary(target.outcome, options));
        status = std::max(status, targetStatus(target.outcome, target.rows));
        if (options.json)
            targets.append(target);
        else
            report.write(csvLines(target.rows));
        report.flush();
    }
    if (options.json)
        report.write(jsonReport(targets, status));
    return status;
}

}  // namespace batch
