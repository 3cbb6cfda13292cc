#include "window/PosRecords.h"

#include <QSqlError>
#include <QStringList>
#include <QVariant>


namespace bulksave {

namespace {

// Everything that differs between SQL Server and SQLite: how a new id is
// read back and how the first match of a find is asked for. On SQL Server
// the id comes from SCOPE_IDENTITY() in the same batch, because @@IDENTITY
// (what a driver's last-insert-id reads) is falsified by triggers.
QString insertSql(ado::Dialect dialect, const QString &table, const QStringList &columns, bool returningId)
{
    QStringList marks;
    for (qsizetype i = 0; i < columns.size(); ++i)
        marks << QStringLiteral("?");
    const QString insert = QStringLiteral("INSERT INTO %1 (%2) VALUES (%3)")
                               .arg(table, columns.join(QStringLiteral(", ")), marks.join(QStringLiteral(", ")));
    if (!returningId)
        return insert;
    switch (dialect) {
    case ado::Dialect::SqlServer:
        return QStringLiteral("SET NOCOUNT ON; %1; SELECT CAST(SCOPE_IDENTITY() AS bigint)").arg(insert);
    case ado::Dialect::Sqlite:
        return insert + QStringLiteral(" RETURNING id");
    case ado::Dialect::None:
        break;
    }
    return {};
}

QString firstIdSql(ado::Dialect dialect, const QString &table, const QString &keyColumn)
{
    switch (dialect) {
    case ado::Dialect::SqlServer:
        return QStringLiteral("SELECT TOP 1 id FROM %1 WHERE %2 = ? ORDER BY id").arg(table, keyColumn);
    case ado::Dialect::Sqlite:
        return QStringLiteral("SELECT id FROM %1 WHERE %2 = ? ORDER BY id LIMIT 1").arg(table, keyColumn);
    case ado::Dialect::None:
        break;
    }
    return {};
}

const QStringList kMenuItemColumns{"GroupCode", "Barcode", "ItemType", "Name"};
const QStringList kPortionColumns{"Name", "Multiplier", "MenuItemId"};
const QStringList kPriceColumns{"MenuItemPortionId", "Price"};
const QStringList kCategoryColumns{
    "Name", "Appearance", "SortOrder", "ScreenMenuId", "MostUsedItemsCategory", "ColumnCount",
    "MenuItemButtonHeight", "MenuItemButtonColor", "MenuItemFontSize", "WrapText", "PageCount",
    "SortAlphabetically", "MainButtonHeight", "MainButtonColor", "MainFontSize", "SubButtonHeight",
    "SubButtonRows", "SubButtonColorDef", "NumeratorType", "NumberPadPercent", "MaxItems"};
const QStringList kScreenMenuItemColumns{"Name", "Appearance", "ScreenMenuCategoryId", "MenuItemId", "SortOrder",
                                         "AutoSelect", "ButtonColor", "Quantity", "FontSize", "SubMenuTag"};
const QStringList kPrinterMapColumns{"PrintJobId", "MenuItemGroupCode", "MenuItemId", "PrinterId",
                                     "PrinterTemplateId", "DepartmentId", "TicketTypeId"};

QString updateSql(const QString &table, const QStringList &columns)
{
    QStringList sets;
    for (const QString &column : columns)
        sets << column + QStringLiteral(" = ?");
    return QStringLiteral("UPDATE %1 SET %2 WHERE id = ?").arg(table, sets.join(QStringLiteral(", ")));
}

QString messageOf(const QSqlError &error)
{
    const QString database = error.databaseText().trimmed();
    return database.isEmpty() ? error.text().trimmed() : database;
}

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

// Every column of a new category after its Name: the fixed screen-menu settings.
const QVariantList kCategorySettings{
    QStringLiteral("0"),  QStringLiteral("0"),  QStringLiteral("1"), false, QStringLiteral("0"),
    QStringLiteral("0"),  QStringLiteral("#FF548DD4"), QStringLiteral("24"), true, QStringLiteral("1"),
    false,                QStringLiteral("0"),  QStringLiteral("#FF6495ED"), QStringLiteral("26"),
    QStringLiteral("75"), QStringLiteral("1"),  QStringLiteral(""), QStringLiteral("2"), QStringLiteral("45"),
    QStringLiteral("0")};

QVariantList printerMapRow(const PrinterMapValues &values)
{
    return {QStringLiteral("2"), values.groupCode,   values.menuItemId,  values.printerId,
            QStringLiteral("2"), QStringLiteral("0"), QStringLiteral("0")};
}

WriteResult failure(const QString &table, const QSqlError &error)
{
    return WriteResult{std::nullopt, messageOf(error), table};
}

// Runs a bound statement that returns nothing.
WriteResult execute(QSqlQuery &query, const QString &table)
{
    const bool ran = query.exec();
    const WriteResult result = ran ? WriteResult{} : failure(table, query.lastError());
    query.finish();
    return result;
}

// Runs a bound statement whose first column of its first row is an id; a
// statement without rows gives a success without an id. The query is always
// finished, so that no open statement blocks the commit.
WriteResult fetchId(QSqlQuery &query, const QString &table)
{
    if (!query.exec()) {
        const WriteResult result = failure(table, query.lastError());
        query.finish();
        return result;
    }
    while (!query.isSelect() && query.nextResult()) {
    }
    WriteResult result;
    if (query.next()) {
        bool ok = false;
        const qint64 id = query.value(0).toLongLong(&ok);
        if (ok)
            result.id = id;
        else
            result = WriteResult{std::nullopt, QStringLiteral("the database gave no usable id"), table};
    }
    query.finish();
    return result;
}

WriteResult insertReturningId(QSqlQuery &query, const QString &table)
{
    WriteResult result = fetchId(query, table);
    if (result.ok() && !result.id)
        result = WriteResult{std::nullopt, QStringLiteral("the database gave no id for the new record"), table};
    return result;
}

}  // namespace

PosRecords::PosRecords(const QSqlDatabase &db, ado::Dialect dialect)
    : m_dialect(dialect),
      m_menuItem{QSqlQuery(db), "MenuItems", insertSql(dialect, "MenuItems", kMenuItemColumns, true)},
      m_portion{QSqlQuery(db), "MenuItemPortions", insertSql(dialect, "MenuItemPortions", kPortionColumns, true)},
      m_price{QSqlQuery(db), "MenuItemPrices", insertSql(dialect, "MenuItemPrices", kPriceColumns, false)},
      m_findCategory{QSqlQuery(db), "ScreenMenuCategories", firstIdSql(dialect, "ScreenMenuCategories", "Name")},
      m_category{QSqlQuery(db), "ScreenMenuCategories",
                 insertSql(dialect, "ScreenMenuCategories", kCategoryColumns, true)},
      m_screenMenuItem{QSqlQuery(db), "ScreenMenuItems",
                       insertSql(dialect, "ScreenMenuItems", kScreenMenuItemColumns, false)},
      m_findPrinterMap{QSqlQuery(db), "PrinterMaps", firstIdSql(dialect, "PrinterMaps", "MenuItemId")},
      m_printerMap{QSqlQuery(db), "PrinterMaps", insertSql(dialect, "PrinterMaps", kPrinterMapColumns, false)},
      m_updatePrinterMap{QSqlQuery(db), "PrinterMaps", updateSql("PrinterMaps", kPrinterMapColumns)}
{
}

WriteResult PosRecords::prepare()
{
    if (m_dialect == ado::Dialect::None)
        return WriteResult{std::nullopt, QStringLiteral("the database kind is unknown"), QString()};
    for (Statement *statement : {&m_menuItem, &m_portion, &m_price, &m_findCategory, &m_category,
                                 &m_screenMenuItem, &m_findPrinterMap, &m_printerMap, &m_updatePrinterMap}) {
        statement->query.setForwardOnly(true);
        if (!statement->query.prepare(statement->sql))
            return failure(statement->table, statement->query.lastError());
    }
    return {};
}

WriteResult PosRecords::insertMenuItem(const QString &groupCode, const QString &barcode, const QString &name)
{
    bind(m_menuItem.query, {groupCode, barcode, QStringLiteral("0"), name});
    return insertReturningId(m_menuItem.query, m_menuItem.table);
}

WriteResult PosRecords::insertPortion(const QString &multiplier, qint64 menuItemId)
{
    bind(m_portion.query, {QStringLiteral("Normal"), multiplier, menuItemId});
    return insertReturningId(m_portion.query, m_portion.table);
}

WriteResult PosRecords::insertPrice(qint64 portionId, double price)
{
    bind(m_price.query, {portionId, price});
    return execute(m_price.query, m_price.table);
}

WriteResult PosRecords::findCategory(const QString &name)
{
    bind(m_findCategory.query, {name});
    return fetchId(m_findCategory.query, m_findCategory.table);
}

WriteResult PosRecords::insertCategory(const QString &name)
{
    bind(m_category.query, QVariantList{name} + kCategorySettings);
    return insertReturningId(m_category.query, m_category.table);
}

WriteResult PosRecords::insertScreenMenuItem(const ScreenMenuItemValues &values)
{
    bind(m_screenMenuItem.query,
         {values.name, QStringLiteral("0"), values.categoryId, values.menuItemId, QStringLiteral("0"),
          QStringLiteral("0"), values.buttonColor, QStringLiteral("1"), QStringLiteral("1"), values.subMenuTag});
    return execute(m_screenMenuItem.query, m_screenMenuItem.table);
}

WriteResult PosRecords::findPrinterMap(qint64 menuItemId)
{
    bind(m_findPrinterMap.query, {menuItemId});
    return fetchId(m_findPrinterMap.query, m_findPrinterMap.table);
}

WriteResult PosRecords::insertPrinterMap(const PrinterMapValues &values)
{
    bind(m_printerMap.query, printerMapRow(values));
    return execute(m_printerMap.query, m_printerMap.table);
}

WriteResult PosRecords::updatePrinterMap(qint64 mapId, const PrinterMapValues &values)
{
    bind(m_updatePrinterMap.query, printerMapRow(values) << mapId);
    return execute(m_updatePrinterMap.query, m_updatePrinterMap.table);
}

}  // namespace bulksave
