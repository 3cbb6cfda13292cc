// The window's export button: the file asked for through the prompt hook,
// the whole menu written, the counts told.
#include "tests/common/StoredRows.h"

#include <gtest/gtest.h>

#include <QComboBox>
#include <QPushButton>
#include <QTemporaryDir>

#include "WindowFixture.h"
#include "spreadsheet/SheetFile.h"

namespace {

struct ExportWindow : WindowFixture {
    void SetUp() override
    {
        putKnownRecords();
        for (const char *sql : {
                 "INSERT INTO MenuItems (id, GroupCode, Barcode, Name) VALUES (1, 'İçecekler', '0086900', 'Çay'), "
                 "(2, 'Tatlılar', '222', 'Baklava'), (3, 'Tatlılar', NULL, 'Tabak'), (4, 'Tatlılar', '444', 'Lokum')",
                 "INSERT INTO MenuItemPortions (id, Name, MenuItemId) VALUES (1, 'Normal', 1), (2, 'Normal', 2), "
                 "(3, 'Normal', 3)",
                 "INSERT INTO MenuItemPrices (MenuItemPortionId, PriceTag, Price) VALUES (1, NULL, 12.5), (3, NULL, 1)"})
            ASSERT_EQ(database.exec(QString::fromUtf8(sql)), QString());
        open();
        window->show();
    }

    QTemporaryDir dir;
};

}  // namespace

TEST_F(ExportWindow, writes_the_whole_menu_whatever_group_is_chosen_and_tells_the_counts)
{
    window->Grup->setCurrentIndex(window->Grup->findText(QStringLiteral("Tatlılar")));
    const QString path = dir.filePath(QStringLiteral("menü.xlsx"));
    QString offered;
    window->exportPrompt = [&](QWidget *, const QString &suggested) {
        offered = suggested;
        return path;
    };
    MessageCatcher messages;
    window->exportMenu->click();

    EXPECT_EQ(offered, QStringLiteral("menü.xlsx"));
    EXPECT_EQ(messages.texts, QStringList{QStringLiteral("2 ürün yazıldı: %1\nBarkodu olmayan 1 ürün yazılmadı\n"
                                                         "Fiyatı okunamayan 1 ürün yazılmadı (porsiyonu yok)")
                                              .arg(QDir::toNativeSeparators(path))});
    const std::vector<spreadsheet::RowCells> rows{{"0086900", "Çay", "12.5", "İçecekler"}, {"222", "Baklava", "", "Tatlılar"}};
    EXPECT_EQ(rowsOf(spreadsheet::readSheet(path, QLocale::c()).rows), rows);

    window->exportMenu->click();
    EXPECT_EQ(offered, path) << "the next export starts in the folder of the last";
}
