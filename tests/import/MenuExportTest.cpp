// The menu read for export: items the save made and items made otherwise.
#include "tests/import/SaveFixture.h"

#include "import/MenuExport.h"

namespace {

// An item, its portions and their price records, written as another
// program would; `portions` holds "Name=price@tag" texts joined by ";",
// "-" for no price, no "@" for the NULL tag.
void insertItem(const TestDatabase &pos, int id, const QString &group, const QString &barcode, const QString &name,
                const QStringList &portions)
{
    QSqlQuery query = pos.connection.newQuery();
    query.prepare(QStringLiteral("INSERT INTO MenuItems (id, GroupCode, Barcode, Name) VALUES (?, ?, ?, ?)"));
    for (const QVariant &value : {QVariant(id), QVariant(group), QVariant(barcode), QVariant(name)})
        query.addBindValue(value);
    ASSERT_TRUE(query.exec()) << query.lastError().text().toStdString();
    for (const QString &portion : portions) {
        const QStringList parts = portion.split(u'=');
        ASSERT_EQ(pos.exec(QStringLiteral("INSERT INTO MenuItemPortions (Name, MenuItemId) VALUES ('%1', %2)")
                               .arg(parts.at(0))
                               .arg(id)),
                  QString());
        for (const QString &price : parts.at(1).split(u';', Qt::SkipEmptyParts)) {
            if (price == u"-")
                continue;
            const QStringList tagged = price.split(u'@');
            const QString tag = tagged.size() > 1 ? QStringLiteral("'%1'").arg(tagged.at(1)) : QStringLiteral("NULL");
            ASSERT_EQ(pos.exec(QStringLiteral("INSERT INTO MenuItemPrices (MenuItemPortionId, PriceTag, Price) "
                                              "VALUES ((SELECT MAX(id) FROM MenuItemPortions), %1, %2)")
                                   .arg(tag, tagged.at(0))),
                      QString());
        }
    }
}

QString describe(const import::ExportedItem &item)
{
    return QStringLiteral("%1|%2|%3|%4")
        .arg(item.barcode, item.name, item.price ? QString::number(*item.price) : QStringLiteral("-"), item.group);
}

class MenuExportTest : public SaveTest {
protected:
    QStringList exported(const std::optional<QString> &group = std::nullopt)
    {
        const import::MenuExport menu = import::exportMenu(pos.connection.database(), group);
        EXPECT_TRUE(menu.ok()) << menu.text().toStdString();
        QStringList lines;
        for (const import::ExportedItem &item : menu.items)
            lines << describe(item);
        counts = {menu.withoutBarcode, menu.withoutPortion, menu.severalPortions};
        return lines;
    }

    std::array<int, 3> counts{};
};

}  // namespace

TEST_F(MenuExportTest, exports_saved_items_and_the_chosen_price_of_items_made_otherwise)
{
    ASSERT_EQ(save({product("Çay", "12,5", "0086900"), product("Su", "5", " 869 ")}, choices()).count(import::RowStatus::Landed), 2);
    insertItem(pos, 100, "Tatlılar", "111", "Baklava", {"Küçük=80", "Normal=120;150@Happy", "Büyük=200"});
    insertItem(pos, 101, "Tatlılar", "222", "Künefe", {"Tek=90@Happy;95;97"});
    insertItem(pos, 102, "Tatlılar", " 333 ", "Sütlaç", {"Normal=-", "Büyük=60"});
    insertItem(pos, 103, "Tatlılar", "444", "Kadayıf", {"Küçük=70", "Büyük=90"});
    insertItem(pos, 104, "Tatlılar", "555", "Lokum", {});
    insertItem(pos, 105, "Tatlılar", "  ", "Fincan", {"Normal=5"});
    insertItem(pos, 106, "Tatlılar", QString(), "Tabak", {"Normal=5"});

    EXPECT_EQ(exported(), QStringList({"0086900|Çay|12.5|Kahveler", "869|Su|5|Kahveler", "111|Baklava|120|Tatlılar",
                                       "222|Künefe|95|Tatlılar", "333|Sütlaç|-|Tatlılar"}));
    EXPECT_EQ(counts, (std::array<int, 3>{2, 1, 1}));
}

TEST_F(MenuExportTest, a_group_is_compared_as_the_save_stores_it)
{
    ASSERT_EQ(save({product("Çay", "10", "1")}, choices()).count(import::RowStatus::Landed), 1);
    insertItem(pos, 100, "  Kahveler ", "2", "Latte", {"Normal=60"});
    insertItem(pos, 101, "kahveler", "3", "Mocha", {"Normal=70"});
    insertItem(pos, 102, "Tatlılar", "4", "Baklava", {"Normal=80"});
    insertItem(pos, 103, "Kahveler", "", "Bardak", {"Normal=1"});

    EXPECT_EQ(exported(QStringLiteral(" Kahveler  ")),
              QStringList({"1|Çay|10|Kahveler", "2|Latte|60|  Kahveler "}));
    EXPECT_EQ(counts, (std::array<int, 3>{1, 0, 0}));  // only the group's items are counted
    EXPECT_EQ(exported(QStringLiteral("Yok")), QStringList());
}
