#include "import/StatementWriter.h"

namespace bulksave {

StatementWriter::StatementWriter(QSqlDatabase &db, ado::Dialect dialect, SharedValues shared)
    : m_records(db, dialect), m_batch(db, dialect), m_shared(std::move(shared))
{
}

WriteResult StatementWriter::prepare()
{
    const WriteResult records = m_records.prepare();
    return records.ok() ? m_batch.prepare() : records;
}

void StatementWriter::add(const RowToWrite &row)
{
    RowWritten written;
    written.record = unwrittenRecord(row, m_shared.texts.group);
    const std::optional<qint64> categoryBefore = m_category;
    written.result = m_batch.beginRow();
    if (written.result.ok()) {
        written.result = row.update ? writeUpdate(*row.update, written.record) : writeProduct(row.product, written);
        const WriteResult ended = m_batch.endRow(written.result.ok());
        if (!written.result.ok()) {
            m_category = categoryBefore;
            written.newCategory.reset();
        }
        if (!ended.ok()) {
            // The rows lost with the batch are told this row's failure when
            // it caused the loss.
            loseBatch(written.result.ok() ? ended : written.result);
            if (written.result.ok())
                written.result = ended;
        }
    }
    if (written.result.databaseUnavailable)
        m_unavailable = written.result;
    m_written.append(written);
}

QList<RowWritten> StatementWriter::send()
{
    return std::exchange(m_written, {});
}

WriteResult StatementWriter::commit()
{
    const WriteResult committed = m_batch.commit();
    if (!committed.ok()) {
        m_category.reset();
        if (committed.databaseUnavailable)
            m_unavailable = committed;
    }
    return committed;
}

void StatementWriter::rollback()
{
    m_batch.rollback();
    m_category.reset();
}

// The database dropped the open batch: the rows written into it since the
// last send fail with the reason (no write of theirs failed, so they name no
// table), and their category is forgotten.
void StatementWriter::loseBatch(const WriteResult &why)
{
    for (RowWritten &lost : m_written) {
        if (lost.result.ok())
            lost.result = WriteResult::failure({}, why.error);
    }
    m_category.reset();
}

// Writes every record of one product; returns the item id, or the first
// write that failed; `written` gets the ids of the records.
WriteResult StatementWriter::writeProduct(const Product &product, RowWritten &written)
{
    JournalRow &record = written.record;
    const WriteResult item = m_records.insertMenuItem(m_shared.texts.group, product.barcode, product.name);
    if (!item.ok())
        return item;
    record.itemId = *item.id;
    const WriteResult portion = m_records.insertPortion(m_shared.multiplier, *item.id);
    if (!portion.ok())
        return portion;
    record.portionId = *portion.id;
    const WriteResult price = m_records.insertPrice(*portion.id, product.price);
    if (!price.ok())
        return price;
    record.priceId = *price.id;
    if (m_shared.texts.button) {
        const WriteResult button = writeButton(product.name, *item.id, written);
        if (!button.ok())
            return button;
        record.buttonId = button.id;
    }
    if (m_shared.printerId) {
        if (const WriteResult map = writePrinterMap(*item.id, record); !map.ok())
            return map;
    }
    return item;
}

// Changes what `update` changes, each value only while it is still the one
// read; a price record the portion lacks is created. Returns the item id.
WriteResult StatementWriter::writeUpdate(const ItemUpdate &update, JournalRow &record)
{
    if (update.newPrice) {
        const WriteResult price = update.priceId
                                      ? m_records.changePrice(*update.priceId, update.oldPrice.value_or(0), *update.newPrice)
                                      : m_records.insertPrice(update.portionId, *update.newPrice);
        if (!price.ok())
            return price;
        if (update.createsPrice())
            record.priceId = *price.id;
    }
    if (update.newName) {
        if (const WriteResult name = m_records.changeName(update.itemId, update.oldName, *update.newName); !name.ok())
            return name;
    }
    return WriteResult::success(update.itemId);
}

WriteResult StatementWriter::writeButton(const QString &name, qint64 itemId, RowWritten &written)
{
    const WriteResult category = categoryId(written);
    if (!category.ok())
        return category;
    return m_records.insertScreenMenuItem(
        ScreenMenuItemValues{name, *category.id, itemId, m_shared.texts.buttonColor, m_shared.texts.subMenuTag});
}

// The group's category: the one an earlier row of this save used, else the
// first one named like the group, else a new one.
WriteResult StatementWriter::categoryId(RowWritten &written)
{
    if (m_category)
        return WriteResult::success(m_category);
    WriteResult category = m_records.findCategory(m_shared.texts.group);
    if (category.ok() && !category.id) {
        category = m_records.insertCategory(m_shared.texts.group);
        if (category.ok())
            written.newCategory = category.id;
    }
    if (category.ok())
        m_category = category.id;
    return category;
}

// Inserts the item's printer mapping, or overwrites the first one that
// already names the item, keeping what it held.
WriteResult StatementWriter::writePrinterMap(qint64 itemId, JournalRow &record)
{
    const PrinterMapValues values{m_shared.texts.group, itemId, *m_shared.printerId};
    const WriteResult existing = m_records.findPrinterMap(itemId);
    if (!existing.ok() || !existing.id) {
        const WriteResult inserted = existing.ok() ? m_records.insertPrinterMap(values) : existing;
        record.printerMapId = inserted.id;
        return inserted;
    }
    ReplacedPrinterMap replaced{*existing.id, {}};
    if (const WriteResult read = m_records.readPrinterMap(replaced.id, replaced.values); !read.ok())
        return read;
    record.printerMapId = replaced.id;
    record.replacedMap = replaced;
    return m_records.updatePrinterMap(replaced.id, values);
}

}  // namespace bulksave
