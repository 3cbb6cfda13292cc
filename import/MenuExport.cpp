#include "import/MenuExport.h"

#include <QLocale>
#include <QSqlError>
#include <QSqlQuery>

#include "import/MenuItemPrices.h"
#include "import/PosRecords.h"
#include "import/RowRules.h"
#include "import/SaveText.h"

namespace import {

namespace {

// A group text as a save with it would store it.
QString storedGroup(const QString &group)
{
    SaveChoices choices;
    choices.group = group;
    return windowValues(choices).group;
}

// Counts `item` under why it is left out; false when it is exported.
bool leftOut(const MenuItemPrice &item, const QString &barcode, MenuExport &menu)
{
    if (barcode.isEmpty()) {
        ++menu.withoutBarcode;
        return true;
    }
    switch (item.problem) {
    case PriceProblem::None:
        return false;
    case PriceProblem::NoPortion:
        ++menu.withoutPortion;
        return true;
    case PriceProblem::SeveralPortions:
        ++menu.severalPortions;
        return true;
    }
    return false;
}

}  // namespace

MenuExport exportMenu(const QSqlDatabase &db, const std::optional<QString> &group)
{
    MenuExport menu;
    const auto unread = [&menu](platform::Outcome why) {
        menu.setOutcome(std::move(why));
        menu.items.clear();
        return menu;
    };
    if (!db.isOpen())
        return unread(platform::Outcome::failure(QStringLiteral("veritabanı açık değil")));
    // The group is compared here rather than in SQL: a server's collation
    // would match it without regard to case, and the stored text may carry
    // blanks the save would have trimmed.
    const std::optional<QString> wanted = group ? std::optional(storedGroup(*group)) : std::nullopt;
    QSqlQuery query(db);
    query.setForwardOnly(true);
    if (!query.exec(menuItemPricesSql(QStringLiteral("1 = 1"))))
        return unread(menuUnread(query.lastError()));
    platform::Outcome read = readMenuItemPrices(query, [&](const MenuItemPrice &item) {
        if (wanted && storedGroup(item.group) != *wanted)
            return;
        const QString barcode = trimSpaces(item.barcode);
        if (leftOut(item, barcode, menu))
            return;
        menu.items.push_back({barcode, item.name,
                              item.price && item.price->priceId ? item.price->price : std::nullopt, item.group});
    });
    if (!read.ok())
        return unread(std::move(read));
    return menu;
}

QString exportSummary(const MenuExport &menu, const QString &fileName)
{
    const QLocale turkish(QLocale::Turkish, QLocale::Turkey);
    QStringList lines{QStringLiteral("%1 ürün yazıldı: %2").arg(turkish.toString(qsizetype(menu.items.size())), fileName)};
    if (menu.withoutBarcode > 0)
        lines << QStringLiteral("Barkodu olmayan %1 ürün yazılmadı").arg(turkish.toString(menu.withoutBarcode));
    for (const auto &[count, problem] : {std::pair(menu.withoutPortion, PriceProblem::NoPortion),
                                         std::pair(menu.severalPortions, PriceProblem::SeveralPortions)}) {
        if (count > 0)
            lines << QStringLiteral("Fiyatı okunamayan %1 ürün yazılmadı (%2)")
                         .arg(turkish.toString(count), priceProblemText(problem));
    }
    return lines.join(u'\n');
}

}  // namespace import
