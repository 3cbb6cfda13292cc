#include "import/ImportUndo.h"

#include <QDir>
#include <QHash>
#include <QSqlError>
#include <QSqlQuery>
#include <QSqlRecord>
#include <QVariant>

#include <algorithm>
#include <optional>

#include "import/PosRecords.h"

namespace import {

namespace {

// The statements of an undo besides the printer mappings, which PosRecords
// reads and writes; each prepared once and run with the id bound.
class UndoRecords {
public:
    explicit UndoRecords(const QSqlDatabase &db) : m_db(db) {}

    // The columns of record `id` of `table` into `values`: a success with
    // the id when it is there, without one when it is not.
    WriteResult read(const QString &table, const QString &columns, qint64 id, QVariantList &values)
    {
        QSqlQuery &query = statement(QStringLiteral("SELECT %1 FROM %2 WHERE id = ?").arg(columns, table), id);
        values.clear();
        if (!query.exec())
            return finished(query, writeFailure(table, query.lastError()));
        if (!query.next())
            return finished(query, WriteResult::success());
        for (int column = 0; column < query.record().count(); ++column)
            values << query.value(column);
        return finished(query, WriteResult::success(id));
    }

    WriteResult remove(const QString &table, qint64 id)
    {
        QSqlQuery &query = statement(QStringLiteral("DELETE FROM %1 WHERE id = ?").arg(table), id);
        return finished(query, query.exec() ? WriteResult::success(id) : writeFailure(table, query.lastError()));
    }

    // How many buttons are in category `id`, into `count`.
    WriteResult buttonsIn(qint64 id, qint64 &count)
    {
        QSqlQuery &query =
            statement(QStringLiteral("SELECT COUNT(*) FROM ScreenMenuItems WHERE ScreenMenuCategoryId = ?"), id);
        if (!query.exec() || !query.next())
            return finished(query, writeFailure(QStringLiteral("ScreenMenuItems"), query.lastError()));
        count = query.value(0).toLongLong();
        return finished(query, WriteResult::success());
    }

private:
    // The statement `sql`, prepared on first use, with `id` bound. A statement
    // the database refuses to prepare fails when it runs.
    QSqlQuery &statement(const QString &sql, qint64 id)
    {
        auto found = m_statements.find(sql);
        if (found == m_statements.end()) {
            found = m_statements.insert(sql, QSqlQuery(m_db));
            found->setForwardOnly(true);
            found->prepare(sql);
        }
        found->bindValue(0, id);
        return *found;
    }

    // No statement stays open to block the commit or the rollback.
    static WriteResult finished(QSqlQuery &query, const WriteResult &result)
    {
        query.finish();
        return result;
    }

    QSqlDatabase m_db;
    QHash<QString, QSqlQuery> m_statements;
};

// "MenuItems 12 (“Çay”)": how the operator finds the record at fault.
QString recordName(const QString &table, qint64 id, const JournalRow &row)
{
    return QStringLiteral("%1 %2 (satır %3, “%4”)").arg(table).arg(id).arg(row.gridRow).arg(row.name);
}

// A record a row wrote, or changed, and the values it left there.
struct Written {
    QString table;
    QString columns;
    std::optional<qint64> id;  // none: the row wrote no such record
    QVariantList values;
};

// The records of `row` as the import left them, the first one telling
// whether the row landed at all: a new item's, or the price (else the
// name) an update changed.
QList<Written> writtenBy(const JournalRow &row)
{
    if (const std::optional<ItemUpdate> &update = row.update) {
        QList<Written> changed;
        if (update->newPrice)
            changed.append({QStringLiteral("MenuItemPrices"), QStringLiteral("MenuItemPortionId, Price"), row.priceId,
                            {row.portionId, *update->newPrice}});
        if (update->newName)
            changed.append({QStringLiteral("MenuItems"), QStringLiteral("Name"), row.itemId, {*update->newName}});
        return changed;
    }
    return {
        {QStringLiteral("MenuItems"), QStringLiteral("GroupCode, Barcode, Name"), row.itemId,
         {row.group, row.barcode, row.name}},
        {QStringLiteral("MenuItemPortions"), QStringLiteral("MenuItemId"), row.portionId, {row.itemId}},
        {QStringLiteral("MenuItemPrices"), QStringLiteral("MenuItemPortionId, Price"), row.priceId,
         {row.portionId, row.price}},
        {QStringLiteral("ScreenMenuItems"), QStringLiteral("MenuItemId"), row.buttonId, {row.itemId}},
        {QStringLiteral("PrinterMaps"), QStringLiteral("MenuItemId"), row.printerMapId, {row.itemId}},
    };
}

// Why `record` of `row` is not as the import left it, or "" when it is.
// Numbers compare by value whatever type the driver gives them.
QString changedSince(UndoRecords &records, const Written &record, const JournalRow &row)
{
    QVariantList values;
    const WriteResult read = records.read(record.table, record.columns, *record.id, values);
    if (!read.ok())
        return read.table + QStringLiteral(": ") + read.detail();
    if (!read.id)
        return recordName(record.table, *record.id, row) + QStringLiteral(" artık yok");
    if (values != record.values)
        return recordName(record.table, *record.id, row) + QStringLiteral(" aktarımdan sonra değiştirilmiş");
    return {};
}

// Why `row`'s records are not as the import left them, or "" when they are.
QString changedSince(UndoRecords &records, const JournalRow &row)
{
    for (const Written &record : writtenBy(row)) {
        if (!record.id)
            continue;
        if (const QString why = changedSince(records, record, row); !why.isEmpty())
            return why;
    }
    return {};
}

// Puts back what an update changed: the old name, the old price, or no
// price record where it created one.
WriteResult revertUpdate(UndoRecords &records, PosRecords &pos, const JournalRow &row)
{
    const ItemUpdate &update = *row.update;
    if (update.newName) {
        if (const WriteResult name = pos.changeName(row.itemId, *update.newName, update.oldName); !name.ok())
            return name;
    }
    if (update.createsPrice())
        return records.remove(QStringLiteral("MenuItemPrices"), row.priceId);
    if (update.newPrice)
        return pos.changePrice(row.priceId, *update.newPrice, update.oldPrice.value_or(0));
    return WriteResult::success();
}

// Removes `row`'s records, the last written first, and puts back the mapping
// it overwrote; an update is reverted instead.
WriteResult removeRow(UndoRecords &records, PosRecords &pos, const JournalRow &row)
{
    if (row.update)
        return revertUpdate(records, pos, row);
    if (row.printerMapId) {
        const WriteResult map = row.replacedMap ? pos.restorePrinterMap(row.replacedMap->id, row.replacedMap->values)
                                                : records.remove(QStringLiteral("PrinterMaps"), *row.printerMapId);
        if (!map.ok())
            return map;
    }
    if (row.buttonId) {
        if (const WriteResult button = records.remove(QStringLiteral("ScreenMenuItems"), *row.buttonId); !button.ok())
            return button;
    }
    for (const auto &[table, id] : {std::pair{QStringLiteral("MenuItemPrices"), row.priceId},
                                    std::pair{QStringLiteral("MenuItemPortions"), row.portionId},
                                    std::pair{QStringLiteral("MenuItems"), row.itemId}}) {
        if (const WriteResult removed = records.remove(table, id); !removed.ok())
            return removed;
    }
    return WriteResult::success();
}

// Whether the journaled but unsettled `batch` is in the database: the first
// record of its first row holds what the journal says it was given.
WriteResult batchInDatabase(UndoRecords &records, const JournalBatch &batch, bool &landed)
{
    landed = false;
    const QList<Written> written = batch.rows.isEmpty() ? QList<Written>() : writtenBy(batch.rows.first());
    if (written.isEmpty())
        return WriteResult::success();
    const Written &first = written.first();
    QVariantList values;
    const WriteResult read = records.read(first.table, first.columns, *first.id, values);
    landed = read.ok() && read.id && values == first.values;
    return read;
}

UndoResult refused(const QString &why)
{
    return {false, 0, QStringLiteral("Aktarım geri alınmadı; veritabanında hiçbir şey değişmedi.\n") + why};
}

}  // namespace

LandedRecords landedRecords(const QSqlDatabase &db, const JournalContents &journal)
{
    UndoRecords records(db);
    QList<JournalBatch> landed = journal.committed;
    for (const JournalBatch &batch : journal.unsettled) {
        bool inDatabase = false;
        if (const WriteResult read = batchInDatabase(records, batch, inDatabase); !read.ok()) {
            LandedRecords unasked;
            unasked.setOutcome(platform::Outcome::failure({}, read.table + QStringLiteral(": ") + read.detail()));
            return unasked;
        }
        if (inDatabase)
            landed.append(batch);
    }
    LandedRecords result;
    for (const JournalBatch &batch : std::as_const(landed)) {
        result.rows += batch.rows;
        result.newCategories += batch.newCategories;
    }
    return result;
}

platform::Outcome settleJournals(const QSqlDatabase &db, const QString &folder, const QString &target)
{
    const auto unsettled = [](const QString &why) {
        return platform::Outcome::failure(QStringLiteral("yarım kalmış bir aktarımın kaydı tamamlanamadı"), why);
    };
    UndoRecords records(db);
    for (const QString &path : journalsOf(folder, target)) {
        if (!mayHoldUnsettledBatch(path))
            continue;
        const JournalContents journal = readJournal(path);
        if (!journal.ok() || journal.undone)
            continue;
        for (const JournalBatch &batch : journal.unsettled) {
            bool landed = false;
            if (const WriteResult read = batchInDatabase(records, batch, landed); !read.ok())
                return unsettled(read.table + QStringLiteral(": ") + read.detail());
            if (const platform::Outcome settled = settleBatch(path, batch.number, landed); !settled.ok())
                return unsettled(QStringLiteral("%1: %2").arg(QDir::toNativeSeparators(path), settled.detail()));
        }
    }
    return {};
}

platform::Result<std::unique_ptr<ImportJournal>> startJournal(const QSqlDatabase &db, const QString &folder,
                                                              const JournalHeader &header)
{
    if (platform::Outcome settled = settleJournals(db, folder, header.target); !settled.ok())
        return settled;
    return ImportJournal::create(folder, header);
}

UndoResult undoImport(const QSqlDatabase &db, ado::Dialect dialect, const QString &journalPath)
{
    const JournalContents journal = readJournal(journalPath);
    if (!journal.ok())
        return refused(QStringLiteral("Geri alma kaydı okunamadı: %1").arg(journal.detail()));
    if (journal.undone)
        return refused(QStringLiteral("Bu aktarım zaten geri alındı."));
    if (!db.isOpen())
        return refused(QStringLiteral("Veritabanı bağlantısı yok."));

    UndoRecords records(db);
    PosRecords maps(db, dialect);
    if (const WriteResult prepared = maps.prepare(); !prepared.ok())
        return refused(prepared.table + QStringLiteral(": ") + prepared.detail());
    QSqlDatabase connection = db;
    if (!connection.transaction())
        return refused(connection.lastError().text());
    // Every exit below that is not a success rolls the transaction back.
    const auto refuse = [&connection](const QString &why) {
        connection.rollback();
        return refused(why);
    };

    const LandedRecords landed = landedRecords(db, journal);
    if (!landed.ok())
        return refuse(landed.detail());
    const QList<JournalRow> &rows = landed.rows;
    const QList<qint64> &categories = landed.newCategories;
    if (rows.isEmpty() && categories.isEmpty())
        return refuse(QStringLiteral("Bu aktarımda veritabanına hiçbir ürün eklenmedi; geri alınacak bir şey yok."));
    for (const JournalRow &row : std::as_const(rows)) {
        if (const QString why = changedSince(records, row); !why.isEmpty())
            return refuse(why);
    }
    for (auto row = rows.crbegin(); row != rows.crend(); ++row) {
        if (const WriteResult removed = removeRow(records, maps, *row); !removed.ok())
            return refuse(QStringLiteral("Veritabanı %1 kaydının silinmesini reddetti: %2")
                              .arg(recordName(removed.table, removed.id.value_or(row->itemId), *row), removed.detail()));
    }
    for (auto category = categories.crbegin(); category != categories.crend(); ++category) {
        qint64 buttons = 0;
        WriteResult step = records.buttonsIn(*category, buttons);
        if (step.ok() && buttons == 0)
            step = records.remove(QStringLiteral("ScreenMenuCategories"), *category);
        if (!step.ok())
            return refuse(QStringLiteral("ScreenMenuCategories %1: %2").arg(*category).arg(step.detail()));
    }
    if (!connection.commit())
        return refuse(connection.lastError().text());

    const int updated = int(std::count_if(rows.cbegin(), rows.cend(), [](const JournalRow &row) { return row.update; }));
    const int removed = int(rows.size()) - updated;
    QStringList done;
    if (removed > 0 || updated == 0)
        done << QStringLiteral("%1 ürün silindi").arg(removed);
    if (updated > 0)
        done << QStringLiteral("%1 ürün eski haline getirildi").arg(updated);
    UndoResult result{true, removed,
                      QStringLiteral("Aktarım geri alındı: %1.").arg(done.join(QStringLiteral(", ")))};
    if (const platform::Outcome marked = markUndone(journalPath); !marked.ok())
        result.message += QStringLiteral("\nGeri alındığı kayda yazılamadı: %1").arg(marked.detail());
    return result;
}

}  // namespace import
