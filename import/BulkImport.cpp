#include "import/BulkImport.h"

#include <QSqlError>

#include <algorithm>
#include <utility>

#include "import/PosRecords.h"
#include "import/RowBatch.h"
#include "import/SaveText.h"

namespace bulksave {

namespace {

// The printer id to map every item to, or nullopt for no mapping: the
// leading "YOK" entry (position 0), no entry at all (a printer list that
// could not be read or is empty leaves position -1 and an empty text) and
// an empty id all mean that no printer was chosen.
std::optional<QString> printerToMap(const SaveChoices &choices)
{
    const QString id = trimSpaces(choices.printerId);
    if (choices.printerPosition <= 0 || id.isEmpty())
        return std::nullopt;
    return id;
}

// The choices of one save turned into record values once, with the
// statements prepared for it, its transactions and the category it uses.
class SaveRun {
public:
    SaveRun(QSqlDatabase &db, ado::Dialect dialect, const ado::TextFidelity &fidelity, const SaveChoices &choices,
            QList<RowOutcome> &outcomes, SaveJournal *journal)
        : m_outcomes(outcomes),
          m_journal(journal),
          m_fidelity(fidelity),
          m_records(db, dialect),
          m_batch(db, dialect),
          m_locale(choices.locale),
          m_texts(sharedTexts(choices)),
          m_multiplier(choices.unitPosition == 0 ? QStringLiteral("1") : QStringLiteral("1000")),
          m_printerId(printerToMap(choices))
    {
        m_prepared = m_records.prepare();
        if (m_prepared.ok())
            m_prepared = m_batch.prepare();
    }

    // Judges one grid row, writes it when usable and appends its outcome;
    // a row left out is only recorded.
    void visit(int gridRow, const ProductRow &row, bool leftOut);
    // Commits the rows kept so far; a refused commit turns them into failures.
    void finish() { commit(); }

private:
    RowOutcome write(int gridRow, const Product &product);
    WriteResult checkTexts(const Product &product) const;
    WriteResult writeProduct(const Product &product, JournalRow &written);
    WriteResult writeButton(const QString &name, qint64 itemId);
    WriteResult writePrinterMap(qint64 itemId, JournalRow &written);
    WriteResult categoryId();
    void commit();
    void batchLost(const WriteResult &why);
    void cannotContinue(const WriteResult &why);

    QList<RowOutcome> &m_outcomes;
    SaveJournal *m_journal;
    // Why no more rows can be written: the database became unavailable or
    // the journal could not record a batch. Later rows fail with it untried.
    QString m_cannotContinue;
    const ado::TextFidelity &m_fidelity;
    PosRecords m_records;
    RowBatch m_batch;
    WriteResult m_prepared;
    QLocale m_locale;
    SharedTexts m_texts;
    QString m_multiplier;
    std::optional<QString> m_printerId;
    // Outcomes of the rows kept in the open batch: they only land with it.
    QList<qsizetype> m_uncommitted;
    // What the kept rows wrote, for the journal.
    JournalBatch m_batchRecords;
    // The category the kept rows use; it goes when their batch is lost.
    std::optional<qint64> m_category;
};

void SaveRun::visit(int gridRow, const ProductRow &row, bool leftOut)
{
    RowOutcome outcome;
    outcome.gridRow = gridRow;
    const RowJudgement judgement = judgeRow(row, m_locale);
    if (judgement.usable() && leftOut) {
        outcome.status = RowStatus::LeftOut;
    } else if (judgement.usable()) {
        outcome = write(gridRow, *judgement.product);
    } else {
        outcome.status = judgement.blank ? RowStatus::Empty : RowStatus::Skipped;
        outcome.skipReason = judgement.skipReason;
    }
    m_outcomes.append(outcome);
    if (outcome.status == RowStatus::Landed)
        m_uncommitted.append(m_outcomes.size() - 1);
    if (m_batch.full())
        commit();
}

RowOutcome SaveRun::write(int gridRow, const Product &product)
{
    RowOutcome outcome;
    outcome.gridRow = gridRow;
    const std::optional<qint64> categoryBefore = m_category;
    const qsizetype newCategoriesBefore = m_batchRecords.newCategories.size();
    JournalRow record{gridRow, 0, 0, 0, {}, {}, {}, m_texts.group, product.barcode, product.name, product.price};
    WriteResult written = m_cannotContinue.isEmpty() ? m_prepared : WriteResult::failure({}, m_cannotContinue);
    if (written.ok())
        written = checkTexts(product);
    if (written.ok())
        written = m_batch.beginRow();
    if (written.ok()) {
        written = writeProduct(product, record);
        const WriteResult ended = m_batch.endRow(written.ok());
        if (!written.ok()) {
            m_category = categoryBefore;
            m_batchRecords.newCategories.resize(newCategoriesBefore);
        }
        if (!ended.ok()) {
            // The rows lost with the batch are told this row's failure when
            // it caused the loss.
            batchLost(written.ok() ? ended : written);
            if (written.ok())
                written = ended;
        }
    }
    if (!written.ok()) {
        outcome.status = RowStatus::Failed;
        outcome.failedTable = written.table;
        outcome.error = written.error;
        if (written.databaseUnavailable)
            cannotContinue(written);
        return outcome;
    }
    outcome.status = RowStatus::Landed;
    outcome.itemId = *written.id;
    m_batchRecords.rows.append(record);
    return outcome;
}

// A row with a text the database would store altered fails before anything
// is written, rather than landing with "?" in place of some letters.
WriteResult SaveRun::checkTexts(const Product &product) const
{
    const std::optional<UnstorableText> text = firstUnstorableText(product, m_texts, m_fidelity);
    if (!text)
        return {};
    return WriteResult::failure(QLatin1StringView(text->table),
                                QStringLiteral("%1 \"%2\" cannot be stored exactly: it holds half of a "
                                               "surrogate pair")
                                    .arg(QLatin1StringView(text->column), text->value));
}

// With a journal, a batch is recorded before it is committed; one the
// journal cannot record is rolled back instead, and no later row is written.
void SaveRun::commit()
{
    if (m_journal && !m_batchRecords.rows.isEmpty()) {
        if (const QString why = m_journal->pending(m_batchRecords); !why.isEmpty()) {
            const WriteResult unrecorded = WriteResult::failure(
                {}, QStringLiteral("the journal for undoing this import could not be written: ") + why);
            m_batch.rollback();
            batchLost(unrecorded);
            cannotContinue(unrecorded);
            return;
        }
    }
    const WriteResult committed = m_batch.commit();
    if (m_journal && !m_batchRecords.rows.isEmpty())
        m_journal->settled(committed.ok());
    if (!committed.ok()) {
        batchLost(committed);
        if (committed.databaseUnavailable)
            cannotContinue(committed);
    }
    m_uncommitted.clear();
    m_batchRecords = {};
}

// From now on every row fails with `why` without being tried: a locked or
// full database would refuse each one only after its own wait.
void SaveRun::cannotContinue(const WriteResult &why)
{
    if (m_cannotContinue.isEmpty())
        m_cannotContinue = QStringLiteral("denenmedi: önceki satırlar yazılamadı (%1)").arg(why.error);
}

// The database dropped every row kept since the last commit: they are
// reported as failed with the reason (no write of theirs failed, so they
// name no table), and their category is forgotten.
void SaveRun::batchLost(const WriteResult &why)
{
    for (const qsizetype index : std::as_const(m_uncommitted)) {
        RowOutcome &lost = m_outcomes[index];
        lost.status = RowStatus::Failed;
        lost.failedTable.clear();
        lost.error = why.error;
        lost.itemId = 0;
    }
    m_uncommitted.clear();
    m_batchRecords = {};
    m_category.reset();
}

// Writes every record of one product; returns the item id, or the first
// write that failed.
// write that failed; `written` gets the ids of the records.
WriteResult SaveRun::writeProduct(const Product &product, JournalRow &written)
{
    const WriteResult item = m_records.insertMenuItem(m_texts.group, product.barcode, product.name);
    if (!item.ok())
        return item;
    written.itemId = *item.id;
    const WriteResult portion = m_records.insertPortion(m_multiplier, *item.id);
    if (!portion.ok())
        return portion;
    written.portionId = *portion.id;
    const WriteResult price = m_records.insertPrice(*portion.id, product.price);
    if (!price.ok())
        return price;
    written.priceId = *price.id;
    if (m_texts.button) {
        const WriteResult button = writeButton(product.name, *item.id);
        if (!button.ok())
            return button;
        written.buttonId = button.id;
    }
    if (m_printerId) {
        if (const WriteResult map = writePrinterMap(*item.id, written); !map.ok())
            return map;
    }
    return item;
}

WriteResult SaveRun::writeButton(const QString &name, qint64 itemId)
{
    const WriteResult category = categoryId();
    if (!category.ok())
        return category;
    return m_records.insertScreenMenuItem(ScreenMenuItemValues{name, *category.id, itemId, m_texts.buttonColor, m_texts.subMenuTag});
}

// The group's category: the one an earlier row of this save used, else the
// first one named like the group, else a new one.
WriteResult SaveRun::categoryId()
{
    if (m_category)
        return WriteResult::success(m_category);
    WriteResult category = m_records.findCategory(m_texts.group);
    if (category.ok() && !category.id) {
        category = m_records.insertCategory(m_texts.group);
        if (category.ok())
            m_batchRecords.newCategories.append(*category.id);
    }
    if (category.ok())
        m_category = category.id;
    return category;
}

// Inserts the item's printer mapping, or overwrites the first one that
// already names the item, keeping what it held.
WriteResult SaveRun::writePrinterMap(qint64 itemId, JournalRow &written)
{
    const PrinterMapValues values{m_texts.group, itemId, *m_printerId};
    const WriteResult existing = m_records.findPrinterMap(itemId);
    if (!existing.ok() || !existing.id) {
        const WriteResult inserted = existing.ok() ? m_records.insertPrinterMap(values) : existing;
        written.printerMapId = inserted.id;
        return inserted;
    }
    ReplacedPrinterMap replaced{*existing.id, {}};
    if (const WriteResult read = m_records.readPrinterMap(replaced.id, replaced.values); !read.ok())
        return read;
    written.printerMapId = replaced.id;
    written.replacedMap = replaced;
    return m_records.updatePrinterMap(replaced.id, values);
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
                           const QSet<int> &leaveOut, SaveJournal *journal)
{
    SaveResult result;
    if (!m_db.isOpen()) {
        result.connectionError = m_notOpenReason.isEmpty() ? m_db.lastError().text().trimmed() : m_notOpenReason;
        return result;
    }
    result.connected = true;
    result.rows.reserve(rows.size());
    SaveRun run(m_db, m_dialect, m_fidelity, choices, result.rows, journal);
    for (qsizetype index = 0; index < rows.size(); ++index) {
        run.visit(int(index) + 1, rows.at(index), leaveOut.contains(int(index) + 1));
        const bool goOn = !progress || progress(result.visitedRows());
        if (!goOn && index + 1 < rows.size()) {
            result.stopped = true;
            result.notAttempted = rowsNotAttempted(rows, index + 1, choices.locale);
            break;
        }
    }
    run.finish();
    return result;
}

}  // namespace bulksave
