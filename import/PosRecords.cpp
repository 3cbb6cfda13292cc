#include "import/PosRecords.h"

#include <QSqlError>
#include <QStringList>
#include <QVariant>

#include "import/SqlDialect.h"

namespace bulksave {

namespace {

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

// Runs a bound statement that returns nothing.
WriteResult execute(QSqlQuery &query, const QString &table)
{
    const bool ran = query.exec();
    const WriteResult result = ran ? WriteResult::success() : writeFailure(table, query.lastError());
    query.finish();
    return result;
}

// Runs a bound statement whose first column of its first row is an id; a
// statement without rows gives a success without an id. The query is always
// finished, so that no open statement blocks the commit.
WriteResult fetchId(QSqlQuery &query, const QString &table)
{
    if (!query.exec()) {
        const WriteResult result = writeFailure(table, query.lastError());
        query.finish();
        return result;
    }
    while (!query.isSelect() && query.nextResult()) {
    }
    WriteResult result;
    if (query.next()) {
        result.id = idFrom(query.value(0));
        if (!result.id)
            result = WriteResult::failure(table, QStringLiteral("the database gave no usable id"));
    }
    query.finish();
    return result;
}

WriteResult insertReturningId(QSqlQuery &query, const QString &table)
{
    WriteResult result = fetchId(query, table);
    if (result.ok() && !result.id)
        result = WriteResult::failure(table, QStringLiteral("the database gave no id for the new record"));
    return result;
}

}  // namespace

WriteResult WriteResult::success(std::optional<qint64> id)
{
    return WriteResult{id, QString(), QString(), false};
}

WriteResult WriteResult::failure(const QString &table, const QString &why)
{
    return WriteResult{std::nullopt,
                       why.isEmpty() ? QStringLiteral("the database refused without giving a reason") : why, table,
                       true};
}

WriteResult writeFailure(const QString &table, const QSqlError &error)
{
    const QString database = error.databaseText().trimmed();
    WriteResult result = WriteResult::failure(table, database.isEmpty() ? error.text().trimmed() : database);
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
      m_menuItem{QSqlQuery(db), "MenuItems", insertReturningIdSql(dialect, "MenuItems", kMenuItemColumns)},
      m_portion{QSqlQuery(db), "MenuItemPortions", insertReturningIdSql(dialect, "MenuItemPortions", kPortionColumns)},
      m_price{QSqlQuery(db), "MenuItemPrices", insertReturningIdSql(dialect, "MenuItemPrices", kPriceColumns)},
      m_findCategory{QSqlQuery(db), "ScreenMenuCategories", firstIdSql(dialect, "ScreenMenuCategories", "Name")},
      m_category{QSqlQuery(db), "ScreenMenuCategories",
                 insertReturningIdSql(dialect, "ScreenMenuCategories", kCategoryColumns)},
      m_screenMenuItem{QSqlQuery(db), "ScreenMenuItems",
                       insertReturningIdSql(dialect, "ScreenMenuItems", kScreenMenuItemColumns)},
      m_findPrinterMap{QSqlQuery(db), "PrinterMaps", firstIdSql(dialect, "PrinterMaps", "MenuItemId")},
      m_readPrinterMap{QSqlQuery(db), "PrinterMaps",
                       QStringLiteral("SELECT %1 FROM PrinterMaps WHERE id = ?").arg(kPrinterMapColumns.join(u','))},
      m_printerMap{QSqlQuery(db), "PrinterMaps", insertReturningIdSql(dialect, "PrinterMaps", kPrinterMapColumns)},
      m_updatePrinterMap{QSqlQuery(db), "PrinterMaps", updateByIdSql("PrinterMaps", kPrinterMapColumns)}
{
}

WriteResult PosRecords::prepare()
{
    if (m_dialect == ado::Dialect::None)
        return WriteResult::failure(QString(), QStringLiteral("the database kind is unknown"));
    for (Statement *statement : {&m_menuItem, &m_portion, &m_price, &m_findCategory, &m_category,
                                 &m_screenMenuItem, &m_findPrinterMap, &m_readPrinterMap, &m_printerMap,
                                 &m_updatePrinterMap}) {
        statement->query.setForwardOnly(true);
        if (!statement->query.prepare(statement->sql))
            return writeFailure(statement->table, statement->query.lastError());
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
    return insertReturningId(m_price.query, m_price.table);
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
    return insertReturningId(m_screenMenuItem.query, m_screenMenuItem.table);
}

WriteResult PosRecords::findPrinterMap(qint64 menuItemId)
{
    bind(m_findPrinterMap.query, {menuItemId});
    return fetchId(m_findPrinterMap.query, m_findPrinterMap.table);
}

WriteResult PosRecords::insertPrinterMap(const PrinterMapValues &values)
{
    bind(m_printerMap.query, printerMapRow(values));
    return insertReturningId(m_printerMap.query, m_printerMap.table);
}

WriteResult PosRecords::readPrinterMap(qint64 mapId, QVariantList &values)
{
    QSqlQuery &query = m_readPrinterMap.query;
    bind(query, {mapId});
    if (!query.exec()) {
        const WriteResult failed = writeFailure(m_readPrinterMap.table, query.lastError());
        query.finish();
        return failed;
    }
    const bool found = query.next();
    values.clear();
    for (int column = 0; found && column < kPrinterMapColumns.size(); ++column)
        values << query.value(column);
    query.finish();
    return found ? WriteResult::success(mapId)
                 : WriteResult::failure(m_readPrinterMap.table, QStringLiteral("the mapping to overwrite is gone"));
}

WriteResult PosRecords::updatePrinterMap(qint64 mapId, const PrinterMapValues &values)
{
    return restorePrinterMap(mapId, printerMapRow(values));
}

WriteResult PosRecords::restorePrinterMap(qint64 mapId, const QVariantList &values)
{
    if (values.size() != kPrinterMapColumns.size())
        return WriteResult::failure(m_updatePrinterMap.table, QStringLiteral("the mapping's values are incomplete"));
    bind(m_updatePrinterMap.query, QVariantList(values) << mapId);
    return execute(m_updatePrinterMap.query, m_updatePrinterMap.table);
}

}  // namespace bulksave
