#include "import/PosRecords.h"

#include <QSqlError>
#include <QStringList>
#include <QVariant>

#include "import/PosLayout.h"
#include "import/SqlDialect.h"

namespace import {

namespace {

// Binds the values in column order. A text is never sent as NULL: an empty
// grid cell (a null QString) is written as the empty text.
void bind(QSqlQuery &query, const QVariantList &values)
{
    int position = 0;
    for (const QVariant &value : values) {
        const bool nullText = value.typeId() == QMetaType::QString && value.toString().isNull();
        query.bindValue(position++, nullText ? QVariant(QStringLiteral("")) : value);
    }
}

}  // namespace

WriteResult WriteResult::success(std::optional<qint64> id)
{
    WriteResult result;
    result.id = id;
    return result;
}

WriteResult WriteResult::failedOn(const QString &table, const QString &why)
{
    WriteResult result;
    result.setOutcome(
        Outcome::failure({}, why.isEmpty() ? QStringLiteral("the database refused without giving a reason") : why));
    result.table = table;
    return result;
}

WriteResult writeFailure(const QString &table, const QSqlError &error)
{
    const QString database = error.databaseText().trimmed();
    WriteResult result = WriteResult::failedOn(table, database.isEmpty() ? error.text().trimmed() : database);
    // SQLite gives its (possibly extended) result code, ODBC the server's
    // message numbers separated by ";".
    static const QStringList kUnavailable{"5", "6", "13", "1222", "1105", "9002"};
    for (const QString &code : error.nativeErrorCode().split(u';', Qt::SkipEmptyParts)) {
        bool number = false;
        const int value = code.trimmed().toInt(&number);
        const int primary = value < 1000 ? (value & 0xff) : value;
        if (number && kUnavailable.contains(QString::number(primary)))
            result.databaseUnavailable = true;
    }
    return result;
}

QString changedSinceRead()
{
    return QStringLiteral("kayıt okunduktan sonra değiştirilmiş");
}

std::optional<qint64> idFrom(const QVariant &value)
{
    if (value.isNull())
        return std::nullopt;
    bool ok = false;
    const qint64 id = value.toLongLong(&ok);
    return ok ? std::optional<qint64>(id) : std::nullopt;
}

PosRecords::PosRecords(const QSqlDatabase &db, ado::Dialect dialect)
    : m_dialect(dialect),
      m_menuItem(inserting(db, dialect, menuItemLayout())),
      m_portion(inserting(db, dialect, portionLayout())),
      m_price(inserting(db, dialect, priceLayout())),
      m_findCategory{QSqlQuery(db), categoryLayout().table, firstIdSql(dialect, categoryLayout().table, "Name")},
      m_category(inserting(db, dialect, categoryLayout())),
      m_screenMenuItem(inserting(db, dialect, screenMenuItemLayout())),
      m_findPrinterMap{QSqlQuery(db), printerMapLayout().table,
                       firstIdSql(dialect, printerMapLayout().table, "MenuItemId")},
      m_readPrinterMap{QSqlQuery(db), printerMapLayout().table,
                       QStringLiteral("SELECT %1 FROM %2 WHERE id = ?")
                           .arg(printerMapLayout().columnNames().join(u','), printerMapLayout().table)},
      m_printerMap(inserting(db, dialect, printerMapLayout())),
      m_updatePrinterMap{QSqlQuery(db), printerMapLayout().table,
                         updateByIdSql(printerMapLayout().table, printerMapLayout().columnNames())},
      m_changePrice{QSqlQuery(db), priceLayout().table,
                    QStringLiteral("UPDATE MenuItemPrices SET Price = ? WHERE id = ? AND Price = ?")},
      m_changeName{QSqlQuery(db), menuItemLayout().table,
                   QStringLiteral("UPDATE MenuItems SET Name = ? WHERE id = ? AND COALESCE(Name, '') = ?")}
{
}

WriteResult PosRecords::prepare()
{
    if (m_dialect == ado::Dialect::None)
        return WriteResult::failedOn(QString(), QStringLiteral("the database kind is unknown"));
    for (Statement *statement : {&m_menuItem, &m_portion, &m_price, &m_findCategory, &m_category,
                                 &m_screenMenuItem, &m_findPrinterMap, &m_readPrinterMap, &m_printerMap,
                                 &m_updatePrinterMap, &m_changePrice, &m_changeName}) {
        statement->query.setForwardOnly(true);
        if (!statement->query.prepare(statement->sql))
            return writeFailure(statement->table, statement->query.lastError());
    }
    return {};
}

WriteResult PosRecords::insertMenuItem(const QString &groupCode, const QString &barcode, const QString &name)
{
    RecordValues values;
    values.group = groupCode;
    values.barcode = barcode;
    values.name = name;
    return insertRecord(m_menuItem, menuItemLayout(), values);
}

WriteResult PosRecords::insertPortion(const QString &multiplier, qint64 menuItemId)
{
    RecordValues values;
    values.multiplier = multiplier;
    values.itemId = menuItemId;
    return insertRecord(m_portion, portionLayout(), values);
}

WriteResult PosRecords::insertPrice(qint64 portionId, double price)
{
    RecordValues values;
    values.portionId = portionId;
    values.price = price;
    return insertRecord(m_price, priceLayout(), values);
}

WriteResult PosRecords::findCategory(const QString &name)
{
    bind(m_findCategory.query, {name});
    return fetchId(m_findCategory);
}

WriteResult PosRecords::insertCategory(const QString &name)
{
    RecordValues values;
    values.group = name;
    return insertRecord(m_category, categoryLayout(), values);
}

WriteResult PosRecords::insertScreenMenuItem(const ScreenMenuItemValues &button)
{
    RecordValues values;
    values.name = button.name;
    values.categoryId = button.categoryId;
    values.itemId = button.menuItemId;
    values.buttonColor = button.buttonColor;
    values.subMenuTag = button.subMenuTag;
    return insertRecord(m_screenMenuItem, screenMenuItemLayout(), values);
}

WriteResult PosRecords::findPrinterMap(qint64 menuItemId)
{
    bind(m_findPrinterMap.query, {menuItemId});
    return fetchId(m_findPrinterMap);
}

WriteResult PosRecords::insertPrinterMap(const PrinterMapValues &map)
{
    return insertRecord(m_printerMap, printerMapLayout(), printerMapValues(map));
}

WriteResult PosRecords::readPrinterMap(qint64 mapId, QVariantList &values)
{
    QSqlQuery &query = m_readPrinterMap.query;
    bind(query, {mapId});
    ++m_statements;
    if (!query.exec()) {
        const WriteResult failed = writeFailure(m_readPrinterMap.table, query.lastError());
        query.finish();
        return failed;
    }
    const bool found = query.next();
    values.clear();
    for (int column = 0; found && column < printerMapLayout().columns.size(); ++column)
        values << query.value(column);
    query.finish();
    return found ? WriteResult::success(mapId)
                 : WriteResult::failedOn(m_readPrinterMap.table, QStringLiteral("the mapping to overwrite is gone"));
}

WriteResult PosRecords::updatePrinterMap(qint64 mapId, const PrinterMapValues &map)
{
    return restorePrinterMap(mapId, recordRow(printerMapLayout(), printerMapValues(map)));
}

WriteResult PosRecords::restorePrinterMap(qint64 mapId, const QVariantList &values)
{
    if (values.size() != printerMapLayout().columns.size())
        return WriteResult::failedOn(m_updatePrinterMap.table, QStringLiteral("the mapping's values are incomplete"));
    bind(m_updatePrinterMap.query, QVariantList(values) << mapId);
    return execute(m_updatePrinterMap);
}

WriteResult PosRecords::changePrice(qint64 priceId, double from, double to)
{
    return changeOne(m_changePrice, {to, priceId, from});
}

WriteResult PosRecords::changeName(qint64 itemId, const QString &from, const QString &to)
{
    // A NULL name compares as "" and is put back as NULL.
    const QVariant name = to.isNull() ? QVariant(QMetaType::fromType<QString>()) : QVariant(to);
    return changeOne(m_changeName, {name, itemId, from.isNull() ? QStringLiteral("") : from});
}

// Runs a bound UPDATE that must change exactly the one record it names: one
// that no longer holds the old value was changed by someone else, and is
// left as they made it.
WriteResult PosRecords::changeOne(Statement &statement, const QVariantList &values)
{
    // Bound as given: a value put back may be a NULL.
    for (int position = 0; position < values.size(); ++position)
        statement.query.bindValue(position, values.at(position));
    ++m_statements;
    if (!statement.query.exec()) {
        const WriteResult failed = writeFailure(statement.table, statement.query.lastError());
        statement.query.finish();
        return failed;
    }
    const int changed = statement.query.numRowsAffected();
    statement.query.finish();
    return changed == 1 ? WriteResult::success()
                        : WriteResult::failedOn(statement.table, changedSinceRead());
}

PosRecords::Statement PosRecords::inserting(const QSqlDatabase &db, ado::Dialect dialect, const RecordLayout &layout)
{
    return Statement{QSqlQuery(db), layout.table, insertReturningIdSql(dialect, layout.table, layout.columnNames())};
}

RecordValues PosRecords::printerMapValues(const PrinterMapValues &map)
{
    RecordValues values;
    values.group = map.groupCode;
    values.itemId = map.menuItemId;
    values.printerId = map.printerId;
    return values;
}

WriteResult PosRecords::insertRecord(Statement &statement, const RecordLayout &layout, const RecordValues &values)
{
    bind(statement.query, recordRow(layout, values));
    WriteResult result = fetchId(statement);
    if (result.ok() && !result.id)
        result = WriteResult::failedOn(statement.table, QStringLiteral("the database gave no id for the new record"));
    return result;
}

// Runs a bound statement that returns nothing.
WriteResult PosRecords::execute(Statement &statement)
{
    ++m_statements;
    const bool ran = statement.query.exec();
    const WriteResult result = ran ? WriteResult::success() : writeFailure(statement.table, statement.query.lastError());
    statement.query.finish();
    return result;
}

// Runs a bound statement whose first column of its first row is an id; a
// statement without rows gives a success without an id. The query is always
// finished, so that no open statement blocks the commit.
WriteResult PosRecords::fetchId(Statement &statement)
{
    QSqlQuery &query = statement.query;
    ++m_statements;
    if (!query.exec()) {
        const WriteResult result = writeFailure(statement.table, query.lastError());
        query.finish();
        return result;
    }
    while (!query.isSelect() && query.nextResult()) {
    }
    WriteResult result;
    if (query.next()) {
        result.id = idFrom(query.value(0));
        if (!result.id)
            result = WriteResult::failedOn(statement.table, QStringLiteral("the database gave no usable id"));
    }
    query.finish();
    return result;
}

}  // namespace import
