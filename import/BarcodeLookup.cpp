#include "import/BarcodeLookup.h"

#include <QSqlError>
#include <QSqlQuery>
#include <QVariant>

#include "import/MenuItemPrices.h"
#include "import/PosRecords.h"

namespace import {

namespace {

// Well under the bound-value limits of SQL Server (2,100) and old SQLite (999).
constexpr qsizetype kChunk = 500;

QString chunkSql(qsizetype count)
{
    QStringList marks;
    marks.fill(QStringLiteral("?"), count);
    return menuItemPricesSql(QStringLiteral("m.Barcode IN (%1)").arg(marks.join(u',')));
}

}  // namespace

BarcodeLookup findExistingBarcodes(const QSqlDatabase &db, const QStringList &barcodes)
{
    BarcodeLookup lookup;
    const auto unread = [&lookup](platform::Outcome why) {
        lookup.setOutcome(std::move(why));
        return lookup;
    };
    if (!db.isOpen())
        return unread(platform::Outcome::failure(QStringLiteral("veritabanı açık değil")));
    QStringList wanted = barcodes;
    wanted.removeAll(QString());
    // In order, each chunk walks one stretch of the barcode index.
    wanted.sort();
    wanted.removeDuplicates();
    QSqlQuery query(db);
    query.setForwardOnly(true);
    for (qsizetype start = 0; start < wanted.size(); start += kChunk) {
        const QStringList chunk = wanted.mid(start, kChunk);
        // Every full chunk reuses one prepared statement; only the last may differ.
        if (start == 0 || chunk.size() != kChunk) {
            if (!query.prepare(chunkSql(chunk.size())))
                return unread(menuUnread(query.lastError()));
        }
        for (qsizetype i = 0; i < chunk.size(); ++i)
            query.bindValue(int(i), chunk.at(i));
        if (!query.exec())
            return unread(menuUnread(query.lastError()));
        // Items come in id order: a barcode's first item is its lowest.
        platform::Outcome read = readMenuItemPrices(query, [&lookup](const MenuItemPrice &item) {
            const auto found = lookup.items.find(item.barcode);
            if (found != lookup.items.end())
                ++found->itemsWithBarcode;
            else
                lookup.items.insert(item.barcode, ExistingItem{item.id, item.name, item.price, item.problem});
        });
        query.finish();
        if (!read.ok())
            return unread(std::move(read));
    }
    return lookup;
}

}  // namespace import
