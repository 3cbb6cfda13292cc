#include "import/PosLayout.h"

namespace import {

namespace {

ColumnValue fixed(const char *column, QVariant value)
{
    return ColumnValue{QString::fromLatin1(column), Source::Fixed, std::move(value)};
}

ColumnValue from(const char *column, Source source)
{
    return ColumnValue{QString::fromLatin1(column), source, {}};
}

// Numbers the point-of-sale application gives meaning to are handed over as
// texts, which the database converts to the column's type.
QVariant text(const char *value)
{
    return QString::fromLatin1(value);
}

}  // namespace

QStringList RecordLayout::columnNames() const
{
    QStringList names;
    for (const ColumnValue &column : columns)
        names << column.column;
    return names;
}

const RecordLayout &menuItemLayout()
{
    static const RecordLayout layout{QStringLiteral("MenuItems"),
                                     {from("GroupCode", Source::Group), from("Barcode", Source::Barcode),
                                      fixed("ItemType", text("0")), from("Name", Source::Name)}};
    return layout;
}

const RecordLayout &portionLayout()
{
    static const RecordLayout layout{QStringLiteral("MenuItemPortions"),
                                     {fixed("Name", text("Normal")), from("Multiplier", Source::Multiplier),
                                      from("MenuItemId", Source::ItemId)}};
    return layout;
}

const RecordLayout &priceLayout()
{
    static const RecordLayout layout{QStringLiteral("MenuItemPrices"),
                                     {from("MenuItemPortionId", Source::PortionId), from("Price", Source::Price)}};
    return layout;
}

// A new category gets the fixed screen-menu settings after its name.
const RecordLayout &categoryLayout()
{
    static const RecordLayout layout{
        QStringLiteral("ScreenMenuCategories"),
        {from("Name", Source::Group),          fixed("Appearance", text("0")),
         fixed("SortOrder", text("0")),        fixed("ScreenMenuId", text("1")),
         fixed("MostUsedItemsCategory", false), fixed("ColumnCount", text("0")),
         fixed("MenuItemButtonHeight", text("0")), fixed("MenuItemButtonColor", text("#FF548DD4")),
         fixed("MenuItemFontSize", text("24")), fixed("WrapText", true),
         fixed("PageCount", text("1")),        fixed("SortAlphabetically", false),
         fixed("MainButtonHeight", text("0")), fixed("MainButtonColor", text("#FF6495ED")),
         fixed("MainFontSize", text("26")),    fixed("SubButtonHeight", text("75")),
         fixed("SubButtonRows", text("1")),    fixed("SubButtonColorDef", text("")),
         fixed("NumeratorType", text("2")),    fixed("NumberPadPercent", text("45")),
         fixed("MaxItems", text("0"))}};
    return layout;
}

const RecordLayout &screenMenuItemLayout()
{
    static const RecordLayout layout{
        QStringLiteral("ScreenMenuItems"),
        {from("Name", Source::Name), fixed("Appearance", text("0")), from("ScreenMenuCategoryId", Source::CategoryId),
         from("MenuItemId", Source::ItemId), fixed("SortOrder", text("0")), fixed("AutoSelect", text("0")),
         from("ButtonColor", Source::ButtonColor), fixed("Quantity", text("1")), fixed("FontSize", text("1")),
         from("SubMenuTag", Source::SubMenuTag)}};
    return layout;
}

const RecordLayout &printerMapLayout()
{
    static const RecordLayout layout{
        QStringLiteral("PrinterMaps"),
        {fixed("PrintJobId", text("2")), from("MenuItemGroupCode", Source::Group), from("MenuItemId", Source::ItemId),
         from("PrinterId", Source::PrinterId), fixed("PrinterTemplateId", text("2")), fixed("DepartmentId", text("0")),
         fixed("TicketTypeId", text("0"))}};
    return layout;
}

QVariant sourceValue(Source source, const RecordValues &values)
{
    switch (source) {
    case Source::Fixed:
        break;
    case Source::Group:
        return values.group;
    case Source::Barcode:
        return values.barcode;
    case Source::Name:
        return values.name;
    case Source::Price:
        return values.price;
    case Source::Multiplier:
        return values.multiplier;
    case Source::ButtonColor:
        return values.buttonColor;
    case Source::SubMenuTag:
        return values.subMenuTag;
    case Source::PrinterId:
        return values.printerId;
    case Source::ItemId:
        return values.itemId;
    case Source::PortionId:
        return values.portionId;
    case Source::CategoryId:
        return values.categoryId;
    }
    return {};
}

QVariantList recordRow(const RecordLayout &layout, const RecordValues &values)
{
    QVariantList row;
    for (const ColumnValue &column : layout.columns)
        row << (column.source == Source::Fixed ? column.fixed : sourceValue(column.source, values));
    return row;
}

}  // namespace import
