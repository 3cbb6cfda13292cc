#pragma once
// A change to a menu item already on the menu: its price, and its name when
// the operator asks for it. The old values are those the preview read; a
// save changes a value only while the database still holds them, and an
// undo puts them back only while it holds the new ones.

#include <QString>

#include <optional>

namespace import {

struct ItemUpdate {
    qint64 itemId = 0;
    qint64 portionId = 0;               // the portion whose price changes
    std::optional<qint64> priceId;      // the price record changed; none: one is created for the portion
    std::optional<double> oldPrice;     // what priceId held
    std::optional<double> newPrice;     // none: the price stays
    QString oldName;                    // a null text: the item's Name was NULL
    std::optional<QString> newName;     // none: the name stays

    // True when the save created the item's price record.
    bool createsPrice() const { return newPrice && !priceId; }
};

}  // namespace import
