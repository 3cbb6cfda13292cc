#include "import/BulkImport.h"

#include <QSqlError>

#include <algorithm>
#include <memory>
#include <utility>

#include "import/RowOptions.h"
#include "import/SaveReport.h"
#include "import/SaveText.h"
#include "import/SqlServerBatch.h"
#include "import/StatementWriter.h"

namespace import {

namespace {

// What a row that was not tried is told: why the database could take no more.
QString notTried(const WriteResult &why)
{
    return QStringLiteral("denenmedi: önceki satırlar yazılamadı (%1)").arg(why.detail());
}

std::unique_ptr<RowWriter> writerFor(QSqlDatabase &db, ado::Dialect dialect, SharedValues shared)
{
    if (dialect == ado::Dialect::SqlServer)
        return std::make_unique<SqlServerBatchWriter>(db, std::move(shared));
    return std::make_unique<StatementWriter>(db, dialect, std::move(shared));
}

// One save: judges the rows, hands the usable ones to the writer, and
// records and commits each batch it sends.
class SaveRun {
public:
    SaveRun(QSqlDatabase &db, ado::Dialect dialect, const ado::TextFidelity &fidelity, const SaveChoices &choices,
            const RowOptions &options, QList<RowOutcome> &outcomes, SaveJournal *journal)
        : m_outcomes(outcomes),
          m_journal(journal),
          m_fidelity(fidelity),
          m_locale(choices.locale),
          m_button(choices.showOnSalesScreen),
          m_options(options),
          m_writer(writerFor(db, dialect, SharedValues{m_button, options.windowValues()}))
    {
        m_prepared = m_writer->prepare();
    }

    // Judges one grid row, hands it to the writer when usable and appends
    // its outcome; a row left out or unchanged is only recorded.
    void visit(int gridRow, const ProductRow &row, const SavePlan &plan);
    // Sends and commits the rows kept so far.
    void finish() { sendBatch(); }
    int statementsSent() const { return m_writer->statementsSent(); }

private:
    void write(RowOutcome &outcome, const RowToWrite &row, RowStatus status);
    WriteResult refusal(const RowToWrite &row);
    WriteResult checkTexts(const RowToWrite &row) const;
    void fail(RowOutcome &outcome, const WriteResult &why);
    void sendBatch();
    void loseBatch(const QList<qsizetype> &landed, const WriteResult &why);
    void cannotContinue(const WriteResult &why);

    QList<RowOutcome> &m_outcomes;
    SaveJournal *m_journal;
    // Why no more rows can be written: the database became unavailable or
    // the journal could not record a batch. Later rows fail with it untried.
    QString m_cannotContinue;
    const ado::TextFidelity &m_fidelity;
    QLocale m_locale;
    bool m_button;
    const RowOptions &m_options;
    std::unique_ptr<RowWriter> m_writer;
    WriteResult m_prepared;
    // The outcomes of the rows handed to the writer since the last send, in order.
    QList<qsizetype> m_sent;
};

void SaveRun::visit(int gridRow, const ProductRow &row, const SavePlan &plan)
{
    RowOutcome outcome;
    outcome.gridRow = gridRow;
    // The plan's rows may have no name: with prices updated a barcode and a
    // price are enough, and the plan holds their values.
    const auto update = plan.updates.constFind(gridRow);
    if (update != plan.updates.cend()) {
        write(outcome, RowToWrite{gridRow, update->product, update->update}, RowStatus::Updated);
    } else if (plan.unchanged.contains(gridRow)) {
        outcome.status = RowStatus::Unchanged;
    } else if (plan.leaveOut.contains(gridRow)) {
        outcome.status = RowStatus::LeftOut;
    } else if (const RowJudgement judgement = judgeRow(row, m_locale, m_options); !judgement.usable()) {
        outcome.status = judgement.blank ? RowStatus::Empty : RowStatus::Skipped;
        outcome.skipReason = judgement.skipReason;
        outcome.error = judgement.unknownChoice;
    } else {
        write(outcome, RowToWrite{gridRow, *judgement.product, std::nullopt, judgement.values}, RowStatus::Landed);
    }
    m_outcomes.append(outcome);
    if (m_writer->full())
        sendBatch();
}

// Hands `row` to the writer, its outcome `status` until its batch's answer
// says otherwise.
void SaveRun::write(RowOutcome &outcome, const RowToWrite &row, RowStatus status)
{
    // A row the open batch has no room for goes into the next one.
    if (!m_writer->takes(row))
        sendBatch();
    if (const WriteResult refused = refusal(row); !refused.ok()) {
        fail(outcome, refused);
        return;
    }
    outcome.status = status;
    m_sent.append(m_outcomes.size());
    m_writer->add(row);
}

// Why a usable row is not even handed to the writer, or a success.
WriteResult SaveRun::refusal(const RowToWrite &row)
{
    if (const std::optional<WriteResult> unavailable = m_writer->unavailable())
        cannotContinue(*unavailable);
    if (!m_cannotContinue.isEmpty())
        return WriteResult::failedOn({}, m_cannotContinue);
    if (!m_prepared.ok())
        return m_prepared;
    return checkTexts(row);
}

void SaveRun::fail(RowOutcome &outcome, const WriteResult &why)
{
    outcome.status = RowStatus::Failed;
    outcome.failedTable = why.table;
    outcome.error = why.detail();
    outcome.itemId = 0;
}

// A row with a text the database would store altered fails before anything
// is written, rather than landing with "?" in place of some letters. An
// update writes no text but a new name.
WriteResult SaveRun::checkTexts(const RowToWrite &row) const
{
    const std::optional<UnstorableText> text = row.update
                                                   ? firstUnstorableText(*row.update, m_fidelity)
                                                   : firstUnstorableText(row.product, row.values, m_button, m_fidelity);
    if (!text)
        return {};
    return WriteResult::failedOn(QLatin1StringView(text->table), notStorableReason(*text));
}

// Sends the kept rows, then, with a journal, records the rows that landed
// before committing them; a batch the journal cannot record is rolled back
// instead, and no later row is written.
void SaveRun::sendBatch()
{
    const QList<RowWritten> written = m_writer->send();
    const QList<qsizetype> sent = std::exchange(m_sent, {});
    QList<qsizetype> landed;
    JournalBatch batch;
    for (qsizetype index = 0; index < written.size() && index < sent.size(); ++index) {
        const RowWritten &row = written.at(index);
        RowOutcome &outcome = m_outcomes[sent.at(index)];
        if (!row.result.ok()) {
            fail(outcome, row.tried ? row.result : WriteResult::failedOn({}, notTried(row.result)));
            if (row.result.databaseUnavailable)
                cannotContinue(row.result);
            continue;
        }
        outcome.itemId = *row.result.id;
        landed << sent.at(index);
        batch.rows << row.record;
        if (row.newCategory)
            batch.newCategories << *row.newCategory;
    }
    if (m_journal && !batch.rows.isEmpty()) {
        if (const platform::Outcome recorded = m_journal->pending(batch); !recorded.ok()) {
            const WriteResult unrecorded = WriteResult::failedOn(
                {}, QStringLiteral("the journal for undoing this import could not be written: ") + recorded.detail());
            m_writer->rollback();
            loseBatch(landed, unrecorded);
            cannotContinue(unrecorded);
            return;
        }
    }
    const WriteResult committed = m_writer->commit();
    if (m_journal && !batch.rows.isEmpty())
        m_journal->settled(committed.ok());
    if (!committed.ok()) {
        loseBatch(landed, committed);
        if (committed.databaseUnavailable)
            cannotContinue(committed);
    }
}

// From now on every row fails with `why` without being tried: a locked or
// full database would refuse each one only after its own wait.
void SaveRun::cannotContinue(const WriteResult &why)
{
    if (m_cannotContinue.isEmpty())
        m_cannotContinue = notTried(why);
}

// The database dropped the rows of a batch that had landed: they are
// reported as failed with the reason (no write of theirs failed, so they
// name no table).
void SaveRun::loseBatch(const QList<qsizetype> &landed, const WriteResult &why)
{
    for (const qsizetype index : landed)
        fail(m_outcomes[index], WriteResult::failedOn({}, why.detail()));
}

// The grid rows of rows[first] and after that hold anything: what a stop
// before them leaves unattempted. Blank rows are no products and not listed.
QList<int> rowsNotAttempted(const QList<ProductRow> &rows, qsizetype first, const QLocale &locale)
{
    QList<int> gridRows;
    for (qsizetype index = first; index < rows.size(); ++index) {
        if (!judgeRow(rows.at(index), locale).blank)
            gridRows << int(index) + 1;
    }
    return gridRows;
}

}  // namespace

int SaveResult::count(RowStatus status) const
{
    return int(std::count_if(rows.cbegin(), rows.cend(), [status](const RowOutcome &row) { return row.status == status; }));
}

std::optional<qint64> SaveResult::lastItemId() const
{
    const auto last = std::find_if(rows.crbegin(), rows.crend(),
                                   [](const RowOutcome &row) { return row.status == RowStatus::Landed; });
    return last == rows.crend() ? std::nullopt : std::optional<qint64>(last->itemId);
}

bool hasNamedRow(const QList<ProductRow> &rows)
{
    return std::any_of(rows.cbegin(), rows.cend(), [](const ProductRow &row) { return !trimSpaces(row.name).isEmpty(); });
}

BulkImport::BulkImport(QSqlDatabase db, ado::Dialect dialect, QString notOpenReason, ado::TextFidelity fidelity)
    : m_db(std::move(db)), m_dialect(dialect), m_notOpenReason(std::move(notOpenReason)), m_fidelity(fidelity)
{
}

SaveResult BulkImport::run(const QList<ProductRow> &rows, const SaveChoices &choices, const SaveProgress &progress,
                           const SavePlan &plan, SaveJournal *journal)
{
    SaveResult result;
    if (!m_db.isOpen()) {
        result.connectionError = m_notOpenReason.isEmpty() ? m_db.lastError().text().trimmed() : m_notOpenReason;
        return result;
    }
    platform::Result<ChoiceRecords> records = readChoiceRecords(m_db);
    if (!records.ok()) {
        result.connectionError = records.text();
        return result;
    }
    RowOptions options(choices, std::move(records.value));
    options.learnGroups(rows);
    result.connected = true;
    result.rows.reserve(rows.size());
    SaveRun run(m_db, m_dialect, m_fidelity, choices, options, result.rows, journal);
    for (qsizetype index = 0; index < rows.size(); ++index) {
        run.visit(int(index) + 1, rows.at(index), plan);
        const bool goOn = !progress || progress(result.visitedRows());
        if (!goOn && index + 1 < rows.size()) {
            result.stopped = true;
            result.notAttempted = rowsNotAttempted(rows, index + 1, choices.locale);
            break;
        }
    }
    run.finish();
    result.statementsSent = run.statementsSent();
    return result;
}

}  // namespace import
