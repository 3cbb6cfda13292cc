#pragma once
// The point-of-sale records a bulk save writes: one function per statement,
// each prepared once per save and run with bound values.

#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QString>
#include <QVariant>

#include <optional>

#include "import/PosLayout.h"
#include "platform/ado/Connection.h"
#include "platform/outcome/Outcome.h"

namespace import {

// What one statement gave: the id it produced or found, or the table and,
// as the detail, the database's message (never empty on a failure: a driver
// may fail without giving any). A find that matched nothing is a success
// without an id.
struct WriteResult : platform::Outcome {
    std::optional<qint64> id;
    QString table;  // the table of a failed statement, "" for the transaction itself
    // The database cannot take any row now, not only this one: it stayed
    // locked by another program past the busy timeout, or it is full.
    bool databaseUnavailable = false;

    // A success, with the id produced or found, if any.
    static WriteResult success(std::optional<qint64> id = std::nullopt);
    // A failure of a statement on `table`; an empty `why` is replaced by a
    // text that says the database gave no reason.
    static WriteResult failedOn(const QString &table, const QString &why);
};

// A failed statement on `table` with the database's own message (Qt's text
// when the database gave none, a fixed text when neither did), marked
// databaseUnavailable for a lock held past the timeout or a full database
// (SQLite's BUSY, LOCKED and FULL; SQL Server's 1222, 1105 and 9002).
WriteResult writeFailure(const QString &table, const QSqlError &error);

// The failure of a change whose record no longer holds the value the
// preview read: someone changed it since.
QString changedSinceRead();

// The id in `value`: nullopt for a NULL (which Qt would convert to 0) or a
// value that is not a whole number.
std::optional<qint64> idFrom(const QVariant &value);

// Values of a new screen-menu button.
struct ScreenMenuItemValues {
    QString name;
    qint64 categoryId = 0;
    qint64 menuItemId = 0;
    QString buttonColor;
    QString subMenuTag;
};

// Values of the printer mapping of one menu item.
struct PrinterMapValues {
    QString groupCode;
    qint64 menuItemId = 0;
    QString printerId;  // a Printers.id as text; the database converts it
};

// The tables MenuItems, MenuItemPortions, MenuItemPrices,
// ScreenMenuCategories, ScreenMenuItems and PrinterMaps on one open
// connection. The caller owns the transactions; a failed statement leaves
// nothing open that would block a rollback or a commit.
class PosRecords {
public:
    PosRecords(const QSqlDatabase &db, ado::Dialect dialect);

    // Prepares every statement. Returns a success, or the first statement the
    // database (or an unknown dialect) refuses; the write functions must not
    // be called then.
    WriteResult prepare();

    // New MenuItems record with ItemType "0"; returns its id.
    WriteResult insertMenuItem(const QString &groupCode, const QString &barcode, const QString &name);
    // New MenuItemPortions record "Normal" of the item; returns its id.
    WriteResult insertPortion(const QString &multiplier, qint64 menuItemId);
    // New MenuItemPrices record of the portion, the price unscaled; returns its id.
    WriteResult insertPrice(qint64 portionId, double price);
    // The lowest id among ScreenMenuCategories records named exactly `name`;
    // no id when there is none.
    WriteResult findCategory(const QString &name);
    // New ScreenMenuCategories record with the fixed screen-menu settings;
    // returns its id.
    WriteResult insertCategory(const QString &name);
    // New ScreenMenuItems record; returns its id.
    WriteResult insertScreenMenuItem(const ScreenMenuItemValues &values);
    // The lowest id among PrinterMaps records of the item; no id when none.
    WriteResult findPrinterMap(qint64 menuItemId);
    // The columns insertPrinterMap writes, of record `mapId`, into `values`
    // in that order; a failure when the record is not there.
    WriteResult readPrinterMap(qint64 mapId, QVariantList &values);
    // New PrinterMaps record; returns its id.
    WriteResult insertPrinterMap(const PrinterMapValues &values);
    // Overwrites every column that insertPrinterMap writes in record `mapId`.
    WriteResult updatePrinterMap(qint64 mapId, const PrinterMapValues &values);
    // Puts back `values`, as readPrinterMap() gave them, into record `mapId`.
    WriteResult restorePrinterMap(qint64 mapId, const QVariantList &values);
    // Sets the Price of MenuItemPrices record `priceId` from `from` to `to`;
    // a failure, changing nothing, when it does not hold `from` any more.
    WriteResult changePrice(qint64 priceId, double from, double to);
    // Sets the Name of MenuItems record `itemId` from `from` (a NULL counts
    // as "") to `to` (a null text writes NULL); a failure, changing nothing,
    // when it holds another.
    WriteResult changeName(qint64 itemId, const QString &from, const QString &to);

    // Statements run so far, failed ones included.
    int statementsRun() const { return m_statements; }

private:
    struct Statement {
        QSqlQuery query;
        QString table;
        QString sql;
    };

    static Statement inserting(const QSqlDatabase &db, ado::Dialect dialect, const RecordLayout &layout);
    static RecordValues printerMapValues(const PrinterMapValues &map);
    // Inserts one record of `layout` and gives its new id.
    WriteResult insertRecord(Statement &statement, const RecordLayout &layout, const RecordValues &values);
    WriteResult execute(Statement &statement);
    WriteResult changeOne(Statement &statement, const QVariantList &values);
    WriteResult fetchId(Statement &statement);

    ado::Dialect m_dialect;
    Statement m_menuItem;
    Statement m_portion;
    Statement m_price;
    Statement m_findCategory;
    Statement m_category;
    Statement m_screenMenuItem;
    Statement m_findPrinterMap;
    Statement m_readPrinterMap;
    Statement m_printerMap;
    Statement m_updatePrinterMap;
    Statement m_changePrice;
    Statement m_changeName;
    int m_statements = 0;
};

}  // namespace import
