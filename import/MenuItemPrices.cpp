#include "import/MenuItemPrices.h"

#include <QList>
#include <QSqlError>
#include <QVariant>

#include "import/PosRecords.h"

namespace import {

namespace {

// Columns of the query, in this order.
enum Column { ItemId, Barcode, Name, Group, PortionId, PortionName, PriceId, Price };

struct PortionRead {
    qint64 id = 0;
    QString name;
    ItemPrice price;
};

// The portion whose price counts: the only one, else the first named "Normal".
void choosePortion(MenuItemPrice &item, const QList<PortionRead> &portions)
{
    item.price.reset();
    item.problem = PriceProblem::None;
    if (portions.isEmpty()) {
        item.problem = PriceProblem::NoPortion;
        return;
    }
    if (portions.size() == 1) {
        item.price = portions.first().price;
        return;
    }
    for (const PortionRead &portion : portions) {
        if (portion.name.trimmed() == QLatin1StringView("Normal")) {
            item.price = portion.price;
            return;
        }
    }
    item.problem = PriceProblem::SeveralPortions;
}

}  // namespace

QString menuItemPricesSql(const QString &where)
{
    // The lowest price record of a portion under the save's tag counts.
    return QStringLiteral("SELECT m.id, m.Barcode, m.Name, m.GroupCode, p.id, p.Name, pr.id, pr.Price "
                          "FROM MenuItems m "
                          "LEFT JOIN MenuItemPortions p ON p.MenuItemId = m.id "
                          "LEFT JOIN MenuItemPrices pr ON pr.MenuItemPortionId = p.id AND pr.PriceTag IS NULL "
                          "WHERE %1 ORDER BY m.id, p.id, pr.id")
        .arg(where);
}

platform::Outcome readMenuItemPrices(QSqlQuery &query, const std::function<void(const MenuItemPrice &)> &each)
{
    std::optional<MenuItemPrice> item;
    QList<PortionRead> portions;
    const auto flush = [&] {
        if (!item)
            return;
        choosePortion(*item, portions);
        each(*item);
        item.reset();
        portions.clear();
    };
    while (query.next()) {
        const std::optional<qint64> id = idFrom(query.value(ItemId));
        if (!id)
            continue;
        if (!item || item->id != *id) {
            flush();
            item = MenuItemPrice{*id, query.value(Barcode).toString(), query.value(Name).toString(),
                                 query.value(Group).toString(), std::nullopt, PriceProblem::None};
        }
        const std::optional<qint64> portion = idFrom(query.value(PortionId));
        if (!portion || (!portions.isEmpty() && portions.constLast().id == *portion))
            continue;  // no portion, or a later price record of the same portion
        PortionRead read{*portion, query.value(PortionName).toString(), ItemPrice{*portion, std::nullopt, std::nullopt}};
        if (const std::optional<qint64> price = idFrom(query.value(PriceId))) {
            read.price.priceId = price;
            read.price.price = query.value(Price).toDouble();
        }
        portions << read;
    }
    flush();
    const QSqlError error = query.lastError();
    return error.isValid() ? menuUnread(error) : platform::Outcome();
}

platform::Outcome menuUnread(const QSqlError &error)
{
    return platform::Outcome::failure(QStringLiteral("menü okunamadı"),
                                      writeFailure(QStringLiteral("MenuItems"), error).detail());
}

QString priceProblemText(PriceProblem problem)
{
    switch (problem) {
    case PriceProblem::None:
        break;
    case PriceProblem::NoPortion:
        return QStringLiteral("porsiyonu yok");
    case PriceProblem::SeveralPortions:
        return QStringLiteral("birden çok porsiyon");
    }
    return {};
}

}  // namespace import
