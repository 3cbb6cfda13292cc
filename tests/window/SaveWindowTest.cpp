// The click of kaydet on the real window: the guard, the save through the
// window's connection, progress, the completion message, the reset, and a
// close of the window during the save.
#include <gtest/gtest.h>

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTimer>

#include "WindowFixture.h"
#include "tests/common/QtPrinters.h"
#include "platform/grid/FlexGrid.h"
#include "window/GridPreview.h"

namespace {

struct Product {
    const char *barcode;
    const char *name;
    const char *price;
};

struct SaveWindow : WindowFixture {
    // The operator has picked a group; the questions about choices left as
    // they were have their own tests.
    void SetUp() override
    {
        putKnownRecords();
        open();
        window->show();
        window->Grup->setCurrentIndex(window->Grup->findText(QStringLiteral("Tatlılar")));
    }

    // Puts the products into grid rows 1 and on, as a loaded sheet would.
    void fillGrid(std::initializer_list<Product> products)
    {
        FlexGrid *grid = window->satisekrani2;
        grid->setRows(int(products.size()) + 1);
        int row = 1;
        for (const Product &product : products) {
            grid->setTextMatrix(row, 1, QString::fromUtf8(product.barcode));
            grid->setTextMatrix(row, 2, QString::fromUtf8(product.name));
            grid->setTextMatrix(row, 3, QString::fromUtf8(product.price));
            ++row;
        }
    }

    qint64 count(const QString &sql) const { return database.value(sql).toLongLong(); }
};

}  // namespace

TEST_F(SaveWindow, without_a_named_row_the_guard_speaks_and_nothing_is_written)
{
    fillGrid({{"869", "   ", "10"}, {"", "", "5"}});
    window->say->setText(QStringLiteral("7"));
    MessageCatcher messages;
    window->kaydet->click();

    EXPECT_EQ(messages.texts, QStringList{"Ürünleri Fiyatıyla Ekleyin\n«EXCELL SEÇ» ile bir liste yükleyin ya da tabloya barkod, ad ve fiyat yazın."});
    EXPECT_EQ(window->say->text(), "0");
    EXPECT_EQ(window->satisekrani2->Rows(), 3);
    EXPECT_EQ(count("SELECT COUNT(*) FROM MenuItems"), 0);
}

TEST_F(SaveWindow, save_writes_the_choices_reports_the_counts_and_resets_the_window)
{
    window->Grup->setCurrentIndex(window->Grup->findText(QStringLiteral("Tatlılar")));
    window->birim->setCurrentIndex(1);
    window->goster->setChecked(true);
    window->yazici->setCurrentIndex(2);
    window->yazici_Click();
    window->renk1->setCurrentIndex(2);
    window->renk1_Click();
    window->altmenu->setText(QStringLiteral(" Şerbetli "));
    fillGrid({{"8691", "Baklava", "10"}, {"8692", "", "5"}, {"8693", "Sütlaç", "25"}});

    // Seen from inside the save, while it lets the window handle events.
    bool kaydetEnabled = true;
    bool command1Enabled = true;
    bool exportEnabled = true;
    QTimer::singleShot(0, window.get(), [&] {
        kaydetEnabled = window->kaydet->isEnabled();
        command1Enabled = window->Command1->isEnabled();
        exportEnabled = window->exportMenu->isEnabled();
    });
    MessageCatcher messages;
    window->kaydet->click();

    EXPECT_FALSE(kaydetEnabled);
    EXPECT_FALSE(command1Enabled);
    EXPECT_FALSE(exportEnabled);
    EXPECT_TRUE(window->kaydet->isEnabled());
    EXPECT_TRUE(window->Command1->isEnabled());
    EXPECT_TRUE(window->exportMenu->isEnabled());
    EXPECT_EQ(messages.texts, QStringList{"2 ürün eklendi\nAtlanan satır: 1 (2)"});
    EXPECT_EQ(window->say->text(), "3");
    EXPECT_EQ(count("SELECT COUNT(*) FROM MenuItems i JOIN MenuItemPortions o ON o.MenuItemId = i.id "
                    "JOIN ScreenMenuItems s ON s.MenuItemId = i.id JOIN PrinterMaps m ON m.MenuItemId = i.id "
                    "WHERE i.GroupCode = 'Tatlılar' AND o.Multiplier = 1000 AND s.ButtonColor = '#FFFFFF00' "
                    "AND s.SubMenuTag = 'Şerbetli' AND s.ScreenMenuCategoryId = 3 AND m.PrinterId = 7"),
              2);
    // The reset after the save.
    EXPECT_EQ(window->satisekrani2->Rows(), 2);
    EXPECT_EQ(window->id->text(), "");
    EXPECT_FALSE(window->goster->isChecked());
    EXPECT_EQ(window->butonrengi, "#FF0000FF");
}

TEST_F(SaveWindow, a_group_left_unchosen_or_no_printer_for_the_sales_screen_is_asked_about_going_back_first)
{
    ASSERT_EQ(database.exec(QStringLiteral("DELETE FROM Printers")), QString());
    EXPECT_TRUE(window->formutemizle().ok());
    ASSERT_EQ(window->Grup->currentText(), "SEÇİLMEDİ");
    ASSERT_EQ(window->yaziciid->currentIndex(), -1);
    window->goster->setChecked(true);
    fillGrid({{"", "Çay", "12"}, {"", "Kahve", "40"}, {"", "İkram", "0"}});
    const QString question = "3 ürün “SEÇİLMEDİ” grubuna eklenecek (grup seçilmedi).\n"
                             "Satışta gösterilecek 3 ürün hiçbir yazıcıya gönderilmeyecek (yazıcı seçilmedi).\n"
                             "Grubu «Grubu» listesinden seçin ya da yeni bir grup adı yazın.\n"
                             "Yazıcıyı «Yazıcı» listesinden seçin.";
    {
        MessageCatcher messages;  // the default answer
        window->kaydet->click();
        ASSERT_EQ(messages.texts.size(), 1);
        EXPECT_TRUE(messages.texts[0].startsWith(question + "\n\nGeri Dön: ")) << messages.texts[0].toStdString();
        EXPECT_EQ(count("SELECT COUNT(*) FROM MenuItems"), 0);
        EXPECT_EQ(window->satisekrani2->TextMatrix(2, 2), "Kahve") << "back to the choices, the grid kept";
    }
    MessageCatcher messages(QStringLiteral("Yine de Kaydet"));
    window->kaydet->click();
    ASSERT_EQ(messages.texts.size(), 2);
    EXPECT_EQ(messages.texts[1], "3 ürün eklendi\nUyarıyla eklenen: 1 (3); fiyat sıfır ya da eksi 1");
    EXPECT_EQ(count("SELECT COUNT(*) FROM MenuItems WHERE GroupCode = 'SEÇİLMEDİ'"), 3);
    EXPECT_EQ(count("SELECT COUNT(*) FROM PrinterMaps"), 0);
}

TEST_F(SaveWindow, with_duplicates_too_there_is_one_question_and_going_back_is_its_default)
{
    window->Grup->setCurrentIndex(0);
    fillGrid({{"77", "Simit", "5"}, {"77", "Simit", "5"}});
    MessageCatcher messages;  // the default answer
    window->kaydet->click();
    ASSERT_EQ(messages.texts.size(), 1);
    EXPECT_TRUE(messages.texts[0].startsWith("1 ürün “SEÇİLMEDİ” grubuna eklenecek (grup seçilmedi).\n"
                                             "Grubu «Grubu» listesinden seçin ya da yeni bir grup adı yazın.\n\n"
                                             "0 ürünün barkodu zaten kayıtlı; 1 barkod dosyada birden çok kez geçiyor."))
        << messages.texts[0].toStdString();
    EXPECT_EQ(count("SELECT COUNT(*) FROM MenuItems"), 0);
}

struct DuplicateAnswerCase {
    const char *answer;
    QStringList messages;  // after the question
    QStringList names;     // the items the save adds
    const char *oldPrice;  // the registered item's price after the save
};

class DuplicatesAtSave : public SaveWindow, public ::testing::WithParamInterface<DuplicateAnswerCase> {};

TEST_P(DuplicatesAtSave, the_question_s_answer_decides_what_lands)
{
    for (const char *sql : {"INSERT INTO MenuItems (id, GroupCode, Barcode, Name) VALUES (900, 'G', '8690', 'Eski')",
                            "INSERT INTO MenuItemPortions (id, Name, MenuItemId) VALUES (900, 'Normal', 900)",
                            "INSERT INTO MenuItemPrices (id, MenuItemPortionId, Price) VALUES (900, 900, 8)"})
        ASSERT_EQ(database.exec(QString::fromUtf8(sql)), QString());
    fillGrid({{"8690", "Çay", "10"}, {"77", "Simit", "5"}, {"77", "Simit", "5"}, {"88", "Su", "3"}});
    MessageCatcher messages(QString::fromUtf8(GetParam().answer));
    window->kaydet->click();

    const QString question = "1 ürünün barkodu zaten kayıtlı; 1 barkod dosyada birden çok kez geçiyor.";
    ASSERT_FALSE(messages.texts.isEmpty());
    EXPECT_TRUE(messages.texts[0].startsWith(question + "\n\nAtla: ")) << messages.texts[0].toStdString();
    EXPECT_EQ(messages.texts.mid(1), GetParam().messages);
    EXPECT_EQ(count("SELECT Price FROM MenuItemPrices WHERE id = 900"), QString::fromUtf8(GetParam().oldPrice).toInt());
    QStringList names;
    for (const QVariantList &row : database.rows("SELECT Name FROM MenuItems WHERE id <> 900 ORDER BY id"))
        names << row.value(0).toString();
    EXPECT_EQ(names, GetParam().names);
    EXPECT_EQ(window->satisekrani2->Rows(), GetParam().names.isEmpty() ? 5 : 2) << "a cancel leaves the grid as it was";
}

INSTANTIATE_TEST_SUITE_P(
    Answers, DuplicatesAtSave,
    ::testing::Values(
        DuplicateAnswerCase{"Atla",
                            {"2 ürün eklendi\nTekrar olduğu için eklenmeyen: 2 (1, 3)"},
                            {"Simit", "Su"},
                            "8"},
        DuplicateAnswerCase{"Yine de ekle", {"4 ürün eklendi"}, {"Çay", "Simit", "Simit", "Su"}, "8"},
        DuplicateAnswerCase{"Fiyatları Güncelle",
                            {"2 ürün eklendi, 1 ürün güncellendi\nGüncellenen ürün: 1 (1)\nTekrar olduğu için eklenmeyen: 1 (3)"},
                            {"Simit", "Su"},
                            "10"},
        DuplicateAnswerCase{"Vazgeç", {}, {}, "8"}),
    [](const auto &info) {
        return QStringLiteral("skip add_anyway update_prices cancel").split(u' ').at(info.index).toStdString();
    });

TEST_F(SaveWindow, all_rows_landed_is_the_plain_message_and_a_new_group_joins_the_list)
{
    window->Grup->setEditText(QStringLiteral("Kahveler"));
    window->goster->setChecked(true);
    window->yazici->setCurrentIndex(1);
    fillGrid({{"", "Türk Kahvesi", "40"}, {"", "Çay", "12"}});
    MessageCatcher messages;
    window->kaydet->click();

    EXPECT_EQ(messages.texts, QStringList{"2 ürün eklendi"});
    EXPECT_EQ(messages.captions, QStringList{"Toplu Ürün Eklendi"});
    EXPECT_EQ(count("SELECT COUNT(*) FROM ScreenMenuCategories WHERE Name = 'Kahveler'"), 1);
    EXPECT_GE(window->Grup->findText(QStringLiteral("Kahveler")), 0);
}

TEST_F(SaveWindow, a_close_during_the_save_finishes_the_row_and_closes_without_a_message)
{
    QApplication::setQuitOnLastWindowClosed(false);
    fillGrid({{"", "Birinci", "1"}, {"", "İkinci", "2"}, {"", "Üçüncü", "3"}});
    QTimer::singleShot(0, window.get(), [this] { window->close(); });
    MessageCatcher messages;
    window->kaydet->click();
    QApplication::setQuitOnLastWindowClosed(true);

    EXPECT_FALSE(window->isVisible());
    EXPECT_TRUE(messages.texts.isEmpty());
    EXPECT_EQ(window->say->text(), "1");
    EXPECT_EQ(count("SELECT COUNT(*) FROM MenuItems"), 1);
    EXPECT_EQ(count("SELECT COUNT(*) FROM MenuItemPrices"), 1);
}

TEST_F(SaveWindow, without_a_connection_the_message_says_nothing_was_added_and_why)
{
    ado::Connection closed(QStringLiteral("save-window-closed"));
    closed.setConnectionString(database.connectionText() + QStringLiteral("-yok.db"));
    closed.open();
    window = std::make_unique<urunlertoplu>(closed);
    window->formutemizle();
    fillGrid({{"", "Çay", "12"}});
    MessageCatcher messages;
    window->kaydet->click();

    ASSERT_EQ(messages.texts.size(), 1);
    const QStringList lines = messages.texts.first().split(u'\n');
    EXPECT_EQ(lines.first(), "Veritabanı bağlantısı yok; hiçbir ürün eklenmedi.");
    EXPECT_EQ(messages.captions, QStringList{QApplication::applicationDisplayName()}) << "nothing was added";
    EXPECT_EQ(lines.mid(1).join(u'\n'), closed.lastOpen().text());
    EXPECT_FALSE(closed.lastOpen().ok());
    window.reset();
}

TEST_F(SaveWindow, geri_al_in_the_completion_message_undoes_the_import)
{
    fillGrid({{"111", "Çay", "12"}, {"222", "Simit", "7"}});
    window->goster->setChecked(true);
    window->Grup->setEditText(QStringLiteral("Yeni Grup"));
    window->yazici->setCurrentIndex(1);
    MessageCatcher messages(QStringLiteral("Geri Al"));
    window->kaydet->click();

    ASSERT_EQ(messages.texts.size(), 3) << messages.texts.join(u'|').toStdString();
    EXPECT_EQ(messages.texts[0], "2 ürün eklendi");
    EXPECT_EQ(messages.texts[1], "2 ürün silinecek, emin misiniz?");
    EXPECT_TRUE(messages.texts[2].startsWith("Aktarım geri alındı: 2 ürün silindi.")) << messages.texts[2].toStdString();
    for (const char *table : {"MenuItems", "MenuItemPortions", "MenuItemPrices", "ScreenMenuItems"})
        EXPECT_EQ(count(QStringLiteral("SELECT COUNT(*) FROM %1").arg(QLatin1StringView(table))), 0) << table;
    EXPECT_EQ(count("SELECT COUNT(*) FROM ScreenMenuCategories WHERE Name = 'Yeni Grup'"), 0);
    // The reset after the save no longer lists the category the undo removed.
    EXPECT_EQ(window->Grup->findText(QStringLiteral("Yeni Grup")), -1);
}

TEST_F(SaveWindow, the_rows_that_did_not_land_are_kept_in_a_workbook_that_loads_back)
{
    ASSERT_EQ(database.exec("INSERT INTO MenuItems (GroupCode, Barcode, ItemType, Name) VALUES ('X', '333', 0, 'Eski')"),
              QString());
    window->preview->refresh();
    fillGrid({{"111", "Çay", "12"}, {"0222", "Su", "bedava"}, {"333", "Ayran", "9"}, {"444", "Simit", "7"}});
    QTemporaryDir dir;
    const QString kept = dir.filePath(QStringLiteral("kalanlar.xlsx"));
    QString offered;
    window->keptRowsPrompt = [&](QWidget *, const QString &suggested) {
        offered = suggested;
        return kept;
    };
    MessageCatcher messages(QStringList{"Atla", "Kalanları Kaydet…"});
    window->kaydet->click();

    EXPECT_EQ(offered, QStringLiteral("urunler - kalanlar.xlsx"));
    EXPECT_EQ(count("SELECT COUNT(*) FROM MenuItems"), 3);  // Çay, Simit and the one before
    window->loadSpreadsheet(kept);
    FlexGrid *grid = window->satisekrani2;
    QStringList rows;
    for (int row = 1; row < grid->Rows(); ++row) {
        if (!grid->TextMatrix(row, 2).isEmpty())
            rows << QStringList{grid->TextMatrix(row, 1), grid->TextMatrix(row, 2), grid->TextMatrix(row, 3)}.join(u'|');
    }
    EXPECT_EQ(rows, (QStringList{"0222|Su|bedava", "333|Ayran|9"}));
}

TEST_F(SaveWindow, a_menu_with_a_header_and_a_category_column_lands_each_row_in_its_group)
{
    QTemporaryDir folder;
    const QString path = folder.filePath(QStringLiteral("menu.csv"));
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("Menü 2026;;;;;;\n"
               "Kategori;Ürün Adı;Barkod;KDV;Fiyat (TL);Birim;Yazıcı\n"
               "TATLILAR;Künefe;1001;%10;120;Adet;Mutfak\n"
               "Soğuk İçecekler;Ayran;1002;%10;25;;Bar\n"
               ";Çay;1003;%10;15;kg;\n"
               "soğuk içecekler;Limonata;1004;%10;40;Paket;\n");
    file.close();
    window->Grup->setCurrentIndex(window->Grup->findText(QStringLiteral("İçecekler")));
    window->goster->setChecked(true);
    QStringList loadMessages;
    {
        MessageCatcher messages;
        window->loadSpreadsheet(path);
        loadMessages = messages.texts;
    }
    ASSERT_EQ(loadMessages.size(), 1);
    EXPECT_TRUE(loadMessages.first().contains(QStringLiteral("Kullanılmayan sütunlar: “KDV”.")));
    FlexGrid *grid = window->satisekrani2;
    QStringList captions;
    for (int col = 1; col < grid->Cols(); ++col)
        captions << grid->TextMatrix(0, col);
    EXPECT_EQ(captions, (QStringList{"Barkod", "Ürün Adı", "Fiyat (TL)", "Kategori", "Birim", "Yazıcı"}));
    EXPECT_EQ(window->ozet->text(),
              QStringLiteral("3 eklenecek · 1 tanınmayan seçimle atlanacak · 1 yeni grup: Soğuk İçecekler"));
    EXPECT_TRUE(window->preview->toolTip(4, 1).contains(QStringLiteral("Paket")));

    const QString kept = folder.filePath(QStringLiteral("kalanlar.xlsx"));
    QString offered;
    window->keptRowsPrompt = [&](QWidget *, const QString &suggested) {
        offered = suggested;
        return kept;
    };
    {
        MessageCatcher messages(QStringList{"Yine de Kaydet", "Kalanları Kaydet…"});
        window->kaydet->click();
        EXPECT_EQ(offered, folder.filePath(QStringLiteral("menu - kalanlar.xlsx"))) << "beside the list";
        EXPECT_TRUE(messages.texts.contains(QStringLiteral("Kalan 1 satır kaydedildi:\n") + QDir::toNativeSeparators(kept)))
            << messages.texts.join(u'|').toStdString();
    }
    EXPECT_EQ(count("SELECT COUNT(*) FROM ScreenMenuCategories"), 3);
    EXPECT_EQ(count("SELECT COUNT(*) FROM MenuItems i JOIN ScreenMenuItems s ON s.MenuItemId = i.id "
                    "JOIN ScreenMenuCategories c ON c.id = s.ScreenMenuCategoryId JOIN MenuItemPortions o "
                    "ON o.MenuItemId = i.id LEFT JOIN PrinterMaps m ON m.MenuItemId = i.id WHERE c.Name = i.GroupCode "
                    "AND ((i.Name = 'Künefe' AND c.id = 3 AND o.Multiplier = 1 AND m.PrinterId = 5) OR "
                    "(i.Name = 'Ayran' AND c.Name = 'Soğuk İçecekler' AND m.PrinterId = 7) OR "
                    "(i.Name = 'Çay' AND c.id = 4 AND o.Multiplier = 1000 AND m.id IS NULL))"),
              3);
    EXPECT_EQ(count("SELECT COUNT(*) FROM MenuItems"), 3);

    // The row that did not land comes back with its own columns.
    MessageCatcher reload;
    window->loadSpreadsheet(kept);
    QStringList cells;
    for (int col = 1; col < grid->Cols(); ++col)
        cells << grid->TextMatrix(1, col);
    EXPECT_EQ(cells, (QStringList{"1004", "Limonata", "40", "soğuk içecekler", "Paket", ""}));
}
