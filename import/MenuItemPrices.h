#pragma once
// Menu items as read back from the database, each with the one price the
// tool reads and changes: the price record, under the price tag the save
// writes for new items (none), of the item's only portion or, when it has
// several, of its portion named "Normal", as the save names new portions.

#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QString>

#include <functional>
#include <optional>

#include "platform/outcome/Outcome.h"

namespace import {

// Why an item has no price the tool can change.
enum class PriceProblem {
    None,
    NoPortion,        // the item has no portion at all
    SeveralPortions,  // several portions and none named "Normal"
};

// The portion whose price the tool reads and changes, and that price.
struct ItemPrice {
    qint64 portionId = 0;
    std::optional<qint64> priceId;  // none: the portion has no price record under the save's tag
    std::optional<double> price;    // with priceId
};

// One menu item as read.
struct MenuItemPrice {
    qint64 id = 0;
    QString barcode;
    QString name;
    QString group;
    std::optional<ItemPrice> price;  // none: see problem
    PriceProblem problem = PriceProblem::None;
};

// Why the menu items could not be read: the database's `error`.
platform::Outcome menuUnread(const QSqlError &error);

// The query that reads items with their portions and prices, filtered by
// `where` (a condition on MenuItems, aliased m; "1 = 1" for every item),
// in the order readMenuItemPrices() needs.
QString menuItemPricesSql(const QString &where);

// Reads the rows of an executed menuItemPricesSql() query and calls `each`
// once per item, in id order. A failure says why the database stopped.
platform::Outcome readMenuItemPrices(QSqlQuery &query, const std::function<void(const MenuItemPrice &)> &each);

// Why `problem` keeps an item's price from being read or changed, as the
// operator reads it ("birden çok porsiyon"); "" for None.
QString priceProblemText(PriceProblem problem);

}  // namespace import
