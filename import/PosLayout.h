#pragma once
// The records a bulk save writes, column by column: where each column's value
// comes from. The statement-per-row writer and the SQL Server batch both
// build their statements from these, so that the two never disagree on a
// column or a fixed value.

#include <QList>
#include <QString>
#include <QStringList>
#include <QVariant>

namespace import {

// Where one column's value comes from.
enum class Source {
    Fixed,        // the layout's own value, the same in every record
    Group,        // the save's group text
    Barcode,      // the row's barcode
    Name,         // the row's product name
    Price,        // the row's price
    Multiplier,   // the portion multiplier of the chosen unit
    ButtonColor,  // the buttons' colour text
    SubMenuTag,   // the buttons' sub-menu tag
    PrinterId,    // the chosen printer's id, as text
    ItemId,       // the new MenuItems record
    PortionId,    // the new MenuItemPortions record
    CategoryId,   // the category found or created for the group
};

struct ColumnValue {
    QString column;
    Source source = Source::Fixed;
    QVariant fixed;  // the value of a Fixed column
};

// One table's written columns, in the order they are written.
struct RecordLayout {
    QString table;
    QList<ColumnValue> columns;

    QStringList columnNames() const;
};

const RecordLayout &menuItemLayout();
const RecordLayout &portionLayout();
const RecordLayout &priceLayout();
const RecordLayout &categoryLayout();
const RecordLayout &screenMenuItemLayout();
const RecordLayout &printerMapLayout();

// The values of one record's sources that are not fixed.
struct RecordValues {
    QString group;
    QString barcode;
    QString name;
    double price = 0;
    QString multiplier;
    QString buttonColor;
    QString subMenuTag;
    QString printerId;
    qint64 itemId = 0;
    qint64 portionId = 0;
    qint64 categoryId = 0;
};

// The value of `source` in `values`; Fixed gives an invalid QVariant.
QVariant sourceValue(Source source, const RecordValues &values);

// The record's values in column order: fixed values as the layout holds
// them, the others from `values`.
QVariantList recordRow(const RecordLayout &layout, const RecordValues &values);

}  // namespace import
