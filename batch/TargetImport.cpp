#include "batch/TargetImport.h"

#include <QDateTime>
#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>

#include <algorithm>

#include "import/BarcodeLookup.h"
#include "import/ImportJournal.h"
#include "import/ImportUndo.h"
#include "import/ColourTable.h"
#include "import/LookupLists.h"

namespace batch {

namespace {

// The printer named by `nameOrId`, as a position of the window's printer
// list ("YOK" at 0) and its id; an id is matched before a name. A failure
// when the printers cannot be read or none is named so.
struct PrinterChoice : platform::Outcome {
    int position = 0;
    QString id;
};

PrinterChoice findPrinter(const QSqlDatabase &db, const QString &nameOrId)
{
    PrinterChoice choice;
    const import::lookup::ReadResult printers = import::lookup::readRecords(db, import::lookup::printers().sql);
    if (!printers.ok()) {
        choice.setOutcome(platform::Outcome::failure(QStringLiteral("yazıcılar okunamadı"), printers.detail()));
        return choice;
    }
    for (const bool byId : {true, false}) {
        for (std::size_t i = 0; i < printers.value.size(); ++i) {
            const import::lookup::Entry &printer = printers.value[i];
            if ((byId ? printer.id : printer.name).trimmed() == nameOrId) {
                choice.position = int(i) + 1;
                choice.id = printer.id.trimmed();
                return choice;
            }
        }
    }
    choice.setOutcome(platform::Outcome::failure(QStringLiteral("yazıcı bulunamadı: “%1”").arg(nameOrId)));
    return choice;
}

}  // namespace

QStringList distinctFileLabels(const QStringList &paths)
{
    QList<QStringList> parts;
    for (const QString &path : paths)
        parts << QDir::fromNativeSeparators(path).split(u'/', Qt::SkipEmptyParts);
    const auto tail = [](const QStringList &path, qsizetype count) {
        return path.mid(std::max<qsizetype>(0, path.size() - count));
    };
    QStringList labels;
    for (qsizetype i = 0; i < parts.size(); ++i) {
        const QStringList &own = parts.at(i);
        qsizetype count = std::min<qsizetype>(1, own.size());
        for (qsizetype j = 0; j < parts.size() && count < own.size(); ++j) {
            while (parts.at(j) != own && count < own.size() && tail(parts.at(j), count) == tail(own, count))
                ++count;
        }
        labels << (count == own.size() ? QDir::toNativeSeparators(paths.at(i))
                                       : QDir::toNativeSeparators(tail(own, count).join(u'/')));
    }
    return labels;
}

import::SaveChoices baseChoices(const BatchOptions &options)
{
    import::SaveChoices choices;
    choices.group = options.group;
    choices.unitPosition = options.unitPosition;
    choices.showOnSalesScreen = options.showOnSalesScreen;
    choices.subMenuTag = options.subMenuTag;
    choices.buttonColor = import::colourText(options.colourPosition).value_or(QString());
    choices.locale = options.locale;
    choices.updatePrices = options.duplicates == DuplicatePolicy::Update;
    choices.updateNames = options.updateNames;
    return choices;
}

TargetOutcome importInto(ado::Connection &connection, const QList<import::ProductRow> &rows,
                         const BatchOptions &options, const import::SaveProgress &progress,
                         const QString &journalFolder)
{
    TargetOutcome outcome;
    outcome.reached = connection.open(options.dryRun ? ado::Access::ReadOnly : ado::Access::ReadWrite);
    outcome.label = connection.description();
    import::SaveChoices choices = baseChoices(options);
    if (!outcome.reached)
        outcome.failure = connection.lastOpen().text();
    else if (options.printer) {
        const PrinterChoice printer = findPrinter(connection.database(), *options.printer);
        choices.printerPosition = printer.position;
        choices.printerId = printer.id;
        outcome.failure = printer.text();
    }

    // The rows' own group and printer cells name the target's records.
    import::ChoiceRecords records;
    if (outcome.failure.isEmpty()) {
        platform::Result<import::ChoiceRecords> read = import::readChoiceRecords(connection.database());
        records = std::move(read.value);
        if (!read.ok())
            outcome.failure = QStringLiteral("kategoriler ve yazıcılar okunamadı: %1").arg(read.text());
    }
    import::GridVerdicts verdicts(choices, {}, connection.textFidelity(), std::move(records));
    verdicts.judgeAll(rows);
    if (outcome.failure.isEmpty()) {
        const import::BarcodeLookup found = import::findExistingBarcodes(connection.database(), verdicts.barcodes());
        if (found.ok())
            verdicts.addExisting(found.items);
        else
            outcome.failure = QStringLiteral("kayıtlı barkodlar okunamadı: %1").arg(found.text());
    }
    outcome.previews = verdicts.previews();
    outcome.newGroups = verdicts.newGroups();
    outcome.choiceWarnings = import::choiceWarnings(outcome.previews, choices);
    if (!outcome.failure.isEmpty())
        return outcome;
    const QSet<int> duplicates = import::duplicateRows(outcome.previews);
    outcome.stoppedForDuplicates = options.duplicates == DuplicatePolicy::Stop && !duplicates.isEmpty();
    if (outcome.stoppedForDuplicates || options.dryRun)
        return outcome;

    const platform::Result<std::unique_ptr<import::ImportJournal>> journal = import::startJournal(
        connection.database(), journalFolder,
        {connection.identity(), QFileInfo(options.file).fileName(), QDateTime::currentDateTimeUtc()});
    if (!journal.ok()) {
        outcome.failure = journal.text();
        return outcome;
    }
    import::BulkImport save(connection.database(), connection.dialect(), connection.lastOpen().text(),
                              connection.textFidelity());
    QElapsedTimer timer;
    timer.start();
    const import::SavePlan plan = options.duplicates == DuplicatePolicy::Update ? import::updatePlan(outcome.previews)
                                    : options.duplicates == DuplicatePolicy::Skip ? import::SavePlan(duplicates)
                                                                                  : import::SavePlan();
    outcome.save = save.run(rows, choices, progress, plan, journal.value.get());
    outcome.saveSeconds = double(timer.nsecsElapsed()) / 1e9;
    if (journal.value->landed())
        outcome.journal = journal.value->path();
    return outcome;
}

UndoOutcome undoInto(ado::Connection &connection, const QString &journal, const QString &journalFolder)
{
    UndoOutcome outcome;
    outcome.reached = connection.open();
    outcome.label = connection.description();
    if (!outcome.reached) {
        outcome.message = connection.lastOpen().text();
        return outcome;
    }
    // A crashed import's batch is settled before the newest import is looked
    // for: one that landed nothing is passed over.
    if (const platform::Outcome settled =
            import::settleJournals(connection.database(), journalFolder, connection.identity());
        !settled.ok()) {
        outcome.message = QStringLiteral("Yarım kalmış bir aktarımın kaydı tamamlanamadı: %1").arg(settled.detail());
        return outcome;
    }
    const QString path = journal.isEmpty() ? import::lastJournal(journalFolder, connection.identity()) : journal;
    if (path.isEmpty()) {
        outcome.message = QStringLiteral("Bu veritabanına yapılmış bir aktarımın kaydı yok.");
        return outcome;
    }
    // A journal's ids mean nothing in another database.
    if (const import::JournalContents contents = import::readJournal(path);
        contents.ok() && contents.header.target != connection.identity()) {
        outcome.message = QStringLiteral("Bu kayıt başka bir veritabanına yapılan aktarımın: %1").arg(contents.header.target);
        return outcome;
    }
    const import::UndoResult undone = import::undoImport(connection.database(), connection.dialect(), path);
    outcome.undone = undone.undone;
    outcome.message = undone.message + QStringLiteral("\n(%1)").arg(QDir::toNativeSeparators(path));
    return outcome;
}

double TargetOutcome::rowsPerSecond() const
{
    return save && saveSeconds > 0 ? save->visitedRows() / saveSeconds : 0;
}

}  // namespace batch
