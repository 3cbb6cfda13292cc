#include "import/StatementWriter.h"

namespace import {

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
    written.record = unwrittenRecord(row);
    written.result = m_batch.beginRow();
    if (written.result.ok()) {
        written.result = row.update ? writeUpdate(*row.update, written.record) : writeProduct(row, written);
        const WriteResult ended = m_batch.endRow(written.result.ok());
        if (!written.result.ok() && written.newCategory) {
            m_categories.remove(row.values.group);
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
        m_categories.clear();
        if (committed.databaseUnavailable)
            m_unavailable = committed;
    }
    return committed;
}

void StatementWriter::rollback()
{
    m_batch.rollback();
    m_categories.clear();
}

// The database dropped the open batch: the rows written into it since the
// last send fail with the reason (no write of theirs failed, so they name no
// table), and their category is forgotten.
void StatementWriter::loseBatch(const WriteResult &why)
{
    for (RowWritten &lost : m_written) {
        if (lost.result.ok())
            lost.result = WriteResult::failedOn({}, why.detail());
    }
    m_categories.clear();
}

// Writes every record of one product; returns the item id, or the first
// write that failed; `written` gets the ids of the records.
WriteResult StatementWriter::writeProduct(const RowToWrite &row, RowWritten &written)
{
    const Product &product = row.product;
    JournalRow &record = written.record;
    const WriteResult item = m_records.insertMenuItem(row.values.group, product.barcode, product.name);
    if (!item.ok())
        return item;
    record.itemId = *item.id;
    const WriteResult portion = m_records.insertPortion(row.values.multiplier, *item.id);
    if (!portion.ok())
        return portion;
    record.portionId = *portion.id;
    const WriteResult price = m_records.insertPrice(*portion.id, product.price);
    if (!price.ok())
        return price;
    record.priceId = *price.id;
    if (m_shared.button) {
        const WriteResult button = writeButton(row, *item.id, written);
        if (!button.ok())
            return button;
        record.buttonId = button.id;
    }
    if (row.values.printerId) {
        if (const WriteResult map = writePrinterMap(row.values, *item.id, record); !map.ok())
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

WriteResult StatementWriter::writeButton(const RowToWrite &row, qint64 itemId, RowWritten &written)
{
    const WriteResult category = categoryId(row.values.group, written);
    if (!category.ok())
        return category;
    return m_records.insertScreenMenuItem(ScreenMenuItemValues{row.product.name, *category.id, itemId,
                                                               row.values.buttonColor, row.values.subMenuTag});
}

// The group's category: the one an earlier row of this batch used, else the
// first one named like the group, else a new one.
WriteResult StatementWriter::categoryId(const QString &group, RowWritten &written)
{
    if (const auto known = m_categories.constFind(group); known != m_categories.cend())
        return WriteResult::success(*known);
    WriteResult category = m_records.findCategory(group);
    if (category.ok() && !category.id) {
        category = m_records.insertCategory(group);
        if (category.ok())
            written.newCategory = category.id;
    }
    if (category.ok())
        m_categories.insert(group, *category.id);
    return category;
}

// Inserts the item's printer mapping, or overwrites the first one that
// already names the item, keeping what it held.
WriteResult StatementWriter::writePrinterMap(const RowValues &row, qint64 itemId, JournalRow &record)
{
    const PrinterMapValues values{row.group, itemId, *row.printerId};
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

}  // namespace import
