// New prices for items already on the menu: judged, written and undone on
// the stand-in database, with items made by the save and items made by hand
// the way the point-of-sale application makes them.
#include <QTemporaryDir>

#include "tests/common/Outcomes.h"
#include "SaveFixture.h"
#include "import/BarcodeLookup.h"
#include "import/ImportJournal.h"
#include "import/ImportUndo.h"
#include "import/SaveReport.h"

using import::RowFate;
using import::RowStatus;

namespace {

// A journal on a full disk.
class FullDisk : public import::SaveJournal {
public:
    platform::Outcome pending(const import::JournalBatch &) override
    {
        return platform::Outcome::failure({}, QStringLiteral("No space left on device"));
    }
    void settled(bool) override {}
};

}  // namespace

class PriceUpdate : public SaveTest {
protected:
    void SetUp() override
    {
        // 111 Çay 45 and 555 Su 10, as the save makes items.
        ASSERT_EQ(save({product("Çay", "45", "111"), product("Su", "10", "555")}, choices()).count(RowStatus::Landed), 2);
        // 222: a Normal portion with a tagged price beside the untagged one, and a Büyük portion.
        // 333: two portions, none named Normal. 444: a portion without a price. 888: no portion.
        // An item without a barcode.
        for (const char *sql : {
                 "INSERT INTO MenuItems (id, GroupCode, Barcode, Name) VALUES (20, 'Tatlı', '222', 'Baklava')",
                 "INSERT INTO MenuItemPortions (id, Name, MenuItemId, Multiplier) VALUES (20, 'Normal', 20, 1)",
                 "INSERT INTO MenuItemPortions (id, Name, MenuItemId, Multiplier) VALUES (21, 'Büyük', 20, 1)",
                 "INSERT INTO MenuItemPrices (MenuItemPortionId, PriceTag, Price) VALUES (20, NULL, 100)",
                 "INSERT INTO MenuItemPrices (MenuItemPortionId, PriceTag, Price) VALUES (20, 'Paket', 110)",
                 "INSERT INTO MenuItemPrices (MenuItemPortionId, PriceTag, Price) VALUES (21, NULL, 150)",
                 "INSERT INTO MenuItems (id, GroupCode, Barcode, Name) VALUES (30, 'Tatlı', '333', 'Kek')",
                 "INSERT INTO MenuItemPortions (id, Name, MenuItemId, Multiplier) VALUES (30, 'Küçük', 30, 1)",
                 "INSERT INTO MenuItemPortions (id, Name, MenuItemId, Multiplier) VALUES (31, 'Büyük', 30, 1)",
                 "INSERT INTO MenuItems (id, GroupCode, Barcode, Name) VALUES (40, 'İçecek', '444', 'Ayran')",
                 "INSERT INTO MenuItemPortions (id, Name, MenuItemId, Multiplier) VALUES (40, 'Normal', 40, 1)",
                 "INSERT INTO MenuItems (id, GroupCode, Barcode, Name) VALUES (80, 'İçecek', '888', 'Boza')",
                 "INSERT INTO MenuItems (id, GroupCode, Barcode, Name) VALUES (90, 'İçecek', NULL, 'Şerbet')",
                 // 999: an item without a name.
                 "INSERT INTO MenuItems (id, GroupCode, Barcode, Name) VALUES (99, 'İçecek', '999', NULL)",
                 "INSERT INTO MenuItemPortions (id, Name, MenuItemId, Multiplier) VALUES (99, 'Normal', 99, 1)",
                 "INSERT INTO MenuItemPrices (MenuItemPortionId, PriceTag, Price) VALUES (99, NULL, 3)",
             })
            ASSERT_EQ(pos.exec(QString::fromUtf8(sql)), QString()) << sql;
    }

    static import::SaveChoices updating(bool names = false)
    {
        import::SaveChoices c = choices();
        c.updatePrices = true;
        c.updateNames = names;
        return c;
    }

    // The verdicts as the window and toplu-ekle reach them: judged, then
    // told which barcodes the database holds.
    QList<import::RowPreview> preview(const QList<import::ProductRow> &rows, const import::SaveChoices &c) const
    {
        import::GridVerdicts verdicts(c, {}, ado::TextFidelity::unicode());
        verdicts.judgeAll(rows);
        const import::BarcodeLookup found = import::findExistingBarcodes(pos.connection.database(), verdicts.barcodes());
        EXPECT_TRUE(found.ok()) << found.text().toStdString();
        verdicts.addExisting(found.items);
        return verdicts.previews();
    }

    import::SaveResult saveUpdates(const QList<import::ProductRow> &rows, const import::SaveChoices &c,
                                     import::SaveJournal *journal)
    {
        import::BulkImport import(pos.connection.database(), pos.connection.dialect());
        return import.run(rows, c, {}, import::updatePlan(preview(rows, c)), journal);
    }

    std::unique_ptr<import::ImportJournal> newJournal()
    {
        auto journal = valueOf(import::ImportJournal::create(
            journals.path(), {QStringLiteral("pos.db"), QStringLiteral("fiyatlar.xlsx"), QDateTime::currentDateTimeUtc()}));
        EXPECT_TRUE(journal);
        return journal;
    }

    static QList<RowStatus> statuses(const import::SaveResult &result)
    {
        QList<RowStatus> list;
        for (const import::RowOutcome &row : result.rows)
            list << row.status;
        return list;
    }

    QTemporaryDir journals;
};

TEST_F(PriceUpdate, registered_barcodes_get_their_new_price_new_ones_are_added_and_undo_puts_every_table_back)
{
    const QList<import::ProductRow> rows{
        product("Çay", "52,50", "111"),  // 45 → 52,50
        product("", "120", "222"),       // no name: Baklava's Normal portion, untagged price only
        product("Kek", "6", "333"),      // two portions, no Normal
        product("Ayran", "7", "444"),    // a price record created
        product("Su", "10", "555"),      // the same price
        product("Simit", "3", "666"),    // new
        product("Kola", "5", "777"),     // new, twice with different prices
        product("Kola", "6", "777"),
        product("Boza", "4", "888"),     // no portion
        product("Çay", "52,50", "111"),  // the same price again: left out as a repeat
    };
    const QList<import::RowPreview> p = preview(rows, updating());
    QList<RowFate> fates;
    for (const import::RowPreview &row : p)
        fates << row.fate;
    EXPECT_EQ(fates, (QList<RowFate>{RowFate::WillUpdate, RowFate::WillUpdate, RowFate::CannotUpdate,
                                     RowFate::WillUpdate, RowFate::Unchanged, RowFate::WillAdd, RowFate::PriceConflict,
                                     RowFate::PriceConflict, RowFate::CannotUpdate, RowFate::RepeatInFile}));
    EXPECT_EQ(import::priceChangeText(*p[0].update), "45,00 → 52,50");
    EXPECT_EQ(import::priceChangeText(*p[3].update), "fiyat yok → 7,00");
    EXPECT_EQ(import::notAddedReason(p[2]), "kayıtlı ürün güncellenemez: birden çok porsiyon (no 30)");
    EXPECT_EQ(import::notAddedReason(p[6]), "dosyada farklı fiyatlarla tekrar: satır 7–8");
    EXPECT_EQ(import::previewSummary(p), "1 eklenecek · 3 fiyat güncellenecek · 1 fiyat aynı · 1 barkod dosyada tekrar · "
                                           "2 güncellenemeyecek · 2 dosyada farklı fiyatlarla tekrar");

    const QMap<QString, QStringList> before = everyTable();
    const auto journal = newJournal();
    const import::SaveResult result = saveUpdates(rows, updating(), journal.get());
    EXPECT_EQ(statuses(result), (QList<RowStatus>{RowStatus::Updated, RowStatus::Updated, RowStatus::LeftOut,
                                                  RowStatus::Updated, RowStatus::Unchanged, RowStatus::Landed,
                                                  RowStatus::LeftOut, RowStatus::LeftOut, RowStatus::LeftOut,
                                                  RowStatus::LeftOut}));
    EXPECT_EQ(import::completionMessage(result).section(u'\n', 0, 2),
              "1 ürün eklendi, 3 ürün güncellendi\nGüncellenen ürün: 3 (1–2, 4)\nFiyatı aynı olan: 1 (5)");

    QMap<QString, QStringList> after = everyTable();
    EXPECT_EQ(table("SELECT MenuItemPortionId, PriceTag, Price FROM MenuItemPrices WHERE MenuItemPortionId IN (1, 20, 21, 40) "
                    "ORDER BY id"),
              (QStringList{"1|NULL|52.5", "20|NULL|120", "20|Paket|110", "21|NULL|150", "40|NULL|7"}));
    // Nothing else changed: every other table only gained the new item's records.
    for (const QString &name : {QStringLiteral("MenuItems"), QStringLiteral("MenuItemPortions")}) {
        EXPECT_EQ(after[name].mid(0, before[name].size()), before[name]) << name.toStdString();
        EXPECT_EQ(after[name].size(), before[name].size() + 1) << name.toStdString();
    }
    EXPECT_EQ(after["ScreenMenuItems"], before["ScreenMenuItems"]);
    EXPECT_EQ(after["PrinterMaps"], before["PrinterMaps"]);

    const import::UndoResult undone =
        import::undoImport(pos.connection.database(), pos.connection.dialect(), journal->path());
    EXPECT_TRUE(undone.undone) << undone.message.toStdString();
    EXPECT_EQ(undone.message, "Aktarım geri alındı: 1 ürün silindi, 3 ürün eski haline getirildi.");
    EXPECT_EQ(everyTable(), before);
}

TEST_F(PriceUpdate, names_change_only_when_asked_and_a_blank_name_never_wipes_one)
{
    const QList<import::ProductRow> rows{product("Demli Çay", "45", "111"), product("", "11", "555"),
                                           product("Gazoz", "3", "999")};
    EXPECT_EQ(preview(rows, updating())[0].fate, RowFate::Unchanged);

    const QMap<QString, QStringList> before = everyTable();
    const auto journal = newJournal();
    const import::SaveResult result = saveUpdates(rows, updating(true), journal.get());
    EXPECT_EQ(statuses(result), (QList<RowStatus>{RowStatus::Updated, RowStatus::Updated, RowStatus::Updated}));
    EXPECT_EQ(table("SELECT Name FROM MenuItems WHERE Barcode IN ('111', '555', '999') ORDER BY id"),
              (QStringList{"Demli Çay", "Su", "Gazoz"}));
    EXPECT_EQ(row("SELECT Price FROM MenuItemPrices WHERE id = 2"), "11");

    EXPECT_TRUE(import::undoImport(pos.connection.database(), pos.connection.dialect(), journal->path()).undone);
    EXPECT_EQ(everyTable(), before);
}

// What someone else did to a value between two steps of the operator's.
struct LaterChange {
    const char *sql;
    const char *message;
};

TEST_F(PriceUpdate, a_value_changed_by_someone_else_is_never_overwritten_nor_undone)
{
    const LaterChange afterPreview{"UPDATE MenuItemPrices SET Price = 47 WHERE id = 1",
                                   "MenuItemPrices: kayıt okunduktan sonra değiştirilmiş"};
    const QList<import::ProductRow> rows{product("Çay", "50", "111"), product("Su", "12", "555")};
    const import::SavePlan plan = import::updatePlan(preview(rows, updating()));
    ASSERT_EQ(pos.exec(QString::fromUtf8(afterPreview.sql)), QString());
    import::BulkImport import(pos.connection.database(), pos.connection.dialect());
    const auto journal = newJournal();
    const import::SaveResult result = import.run(rows, updating(), {}, plan, journal.get());
    ASSERT_EQ(statuses(result), (QList<RowStatus>{RowStatus::Failed, RowStatus::Updated}));
    EXPECT_EQ(import::notLandedReason(result.rows[0], {}), QString::fromUtf8(afterPreview.message));
    EXPECT_EQ(table("SELECT Price FROM MenuItemPrices WHERE id IN (1, 2) ORDER BY id"), (QStringList{"47", "12"}));

    const LaterChange afterSave{"UPDATE MenuItemPrices SET Price = 13 WHERE id = 2",
                                "MenuItemPrices 2 (satır 2, “Su”) aktarımdan sonra değiştirilmiş"};
    ASSERT_EQ(pos.exec(QString::fromUtf8(afterSave.sql)), QString());
    const QMap<QString, QStringList> edited = everyTable();
    const import::UndoResult undone =
        import::undoImport(pos.connection.database(), pos.connection.dialect(), journal->path());
    EXPECT_FALSE(undone.undone);
    EXPECT_TRUE(undone.message.contains(QString::fromUtf8(afterSave.message))) << undone.message.toStdString();
    EXPECT_EQ(everyTable(), edited);
}

TEST_F(PriceUpdate, bad_input_and_a_refusing_database_write_nothing_half)
{
    // A price that is no number is skipped, a negative one never replaces a price.
    const QList<import::RowPreview> p = preview({product("Çay", "elli", "111"), product("Su", "-3", "555")}, updating());
    EXPECT_EQ(p[0].fate, RowFate::SkippedPrice);
    EXPECT_EQ(p[1].fate, RowFate::CannotUpdate);
    EXPECT_EQ(import::notAddedReason(p[1]), "kayıtlı ürün güncellenemez: yeni fiyat eksi (no 2)");

    // The database refuses the name after taking the price: the row goes back whole.
    ASSERT_EQ(pos.exec("CREATE TRIGGER no_renames BEFORE UPDATE OF Name ON MenuItems "
                       "BEGIN SELECT RAISE(ABORT, 'adlar kilitli'); END"),
              QString());
    const QMap<QString, QStringList> before = everyTable();
    const import::SaveResult refused = saveUpdates({product("Demli Çay", "50", "111")}, updating(true), nullptr);
    ASSERT_EQ(statuses(refused), QList<RowStatus>{RowStatus::Failed});
    EXPECT_EQ(import::notLandedReason(refused.rows[0], {}), "MenuItems: adlar kilitli");
    EXPECT_EQ(everyTable(), before);

    // A journal that cannot be written lets nothing land.
    FullDisk full;
    const import::SaveResult unjournaled = saveUpdates({product("Çay", "50", "111")}, updating(), &full);
    EXPECT_EQ(statuses(unjournaled), QList<RowStatus>{RowStatus::Failed});
    EXPECT_EQ(everyTable(), before);
}
