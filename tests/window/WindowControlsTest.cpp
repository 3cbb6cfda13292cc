// The window's controls as the operator meets them: names, kinds, texts,
// places, fonts, colours, visibility, the tab order and the exit.
#include <QApplication>
#include <QHeaderView>
#include <algorithm>
#include <QCheckBox>
#include <QFontInfo>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

#include "WindowFixture.h"
#include "platform/dialog/CommonDialog.h"
#include "platform/grid/FlexGrid.h"
#include "platform/grid/Twips.h"

namespace {

struct ControlCase {
    const char *name;
    int index;  // control-array index, -1 for a plain control
    const char *className;
    QString text;  // caption, or a list's entries joined by "|"
    QRect twips;
    double points;
    bool visible;
    QColor textColour;  // labels only; invalid = not checked
};

void PrintTo(const ControlCase &c, std::ostream *os)
{
    *os << c.name << (c.index >= 0 ? "(" + std::to_string(c.index) + ")" : std::string());
}

const QString colours = QStringLiteral("BEYAZ|KIRMIZI|SARI|MAVİ|SİYAH|YEŞİL|GRİ|MOR");
const QColor yellow(255, 255, 128);
const QColor white(Qt::white);

const ControlCase controls[] = {
    {"Command1", -1, "QPushButton", "EXCELL SEÇ", {120, 210, 2715, 615}, 12, true, {}},
    {"Grup", -1, "QComboBox", "", {9240, 960, 3225, 390}, 11.25, true, {}},
    {"kdv", -1, "QComboBox", "", {9240, 2400, 3225, 390}, 11.25, true, {}},
    {"fiyat", -1, "QLineEdit", "", {8760, 4740, 1185, 390}, 11.25, false, {}},
    {"birim", -1, "QComboBox", "Adet|Kg", {9240, 1920, 3225, 390}, 11.25, true, {}},
    {"yazici", -1, "QComboBox", "", {9240, 2880, 3225, 390}, 11.25, true, {}},
    {"goster", -1, "QCheckBox", "Satışta Göster", {9240, 4440, 3255, 375}, 9.75, true, {}},
    {"renk1", -1, "QComboBox", colours, {9240, 3360, 3225, 390}, 11.25, true, {}},
    {"renk2", -1, "QComboBox", colours, {9240, 3840, 3225, 390}, 11.25, false, {}},
    {"kaydet", -1, "QPushButton", "KAYDET", {120, 5340, 7095, 615}, 12, true, {}},
    {"cik", -1, "QPushButton", "ÇIK", {7320, 5340, 5205, 615}, 12, true, {}},
    {"id", -1, "QLineEdit", "", {9900, 4830, 1185, 390}, 11.25, false, {}},
    {"yaziciid", -1, "QComboBox", "", {12120, 2880, 360, 390}, 11.25, false, {}},
    {"altmenu", -1, "QLineEdit", "", {9240, 1440, 3225, 375}, 11.25, true, {}},
    {"kdvid", -1, "QComboBox", "", {12120, 2400, 390, 390}, 11.25, false, {}},
    {"Grupid", -1, "QComboBox", "", {11340, 570, 495, 390}, 11.25, false, {}},
    {"satisekrani2", -1, "FlexGrid", "", {120, 960, 7515, 4260}, 9.75, true, {}},
    {"say", -1, "QLabel", "0", {7410, 4560, 1665, 585}, 14.25, true, yellow},
    {"baslik", 1, "QLabel", "EXCELL 97 2023 XLS FORMATI", {3300, 240, 4155, 345}, 9.75, true, yellow},
    {"baslik", 0, "QLabel", "A BARKOD B ÜRÜN ADI C SATIŞ FİYATI", {3300, 540, 4155, 345}, 9.75, true, yellow},
    {"islem", -1, "QLabel", "TOPLU ÜRÜN EKLE", {7320, 180, 5145, 495}, 21.75, true, white},
    {"baslik", 6, "QLabel", "Birim", {7800, 2040, 1575, 255}, 9.75, true, white},
    {"baslik", 3, "QLabel", "KDV", {7800, 2520, 1095, 255}, 9.75, true, white},
    {"baslik", 8, "QLabel", "Grubu", {7800, 1080, 1695, 255}, 9.75, true, white},
    {"baslik", 2, "QLabel", "Yazıcı", {7800, 3000, 1095, 255}, 9.75, true, white},
    {"baslik", 5, "QLabel", "Buton Rengi", {7800, 3480, 1695, 255}, 9.75, true, white},
    {"eeeee", 7, "QLabel", "Yazı Rengi", {7800, 3960, 1695, 255}, 9.75, false, white},
    {"baslik", 7, "QLabel", "Alt Grup", {7800, 1560, 1695, 255}, 9.75, true, white},
    {"exportMenu", -1, "QPushButton", "Menüyü Dışa Aktar…", {9240, 675, 3225, 270}, 9, true, {}},
};

QWidget *findControl(QWidget &window, const ControlCase &c)
{
    for (QWidget *widget : window.findChildren<QWidget *>(QString::fromLatin1(c.name), Qt::FindDirectChildrenOnly)) {
        if (c.index < 0 || widget->property("Index").toInt() == c.index)
            return widget;
    }
    return nullptr;
}

QString shownText(QWidget *widget)
{
    if (auto *button = qobject_cast<QAbstractButton *>(widget))
        return button->text();
    if (auto *label = qobject_cast<QLabel *>(widget))
        return label->text();
    if (auto *list = qobject_cast<QComboBox *>(widget))
        return WindowFixture::entries(list).join(u'|');
    if (auto *edit = qobject_cast<QLineEdit *>(widget))
        return edit->text();
    return {};
}

struct ShownWindow : WindowFixture {
    void SetUp() override
    {
        window = std::make_unique<urunlertoplu>(database.connection);
        window->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(window.get()));
    }
};

struct ControlTable : ShownWindow, ::testing::WithParamInterface<ControlCase> {};

}  // namespace

TEST_P(ControlTable, each_control_is_created_as_the_window_defines_it)
{
    const ControlCase &c = GetParam();
    QWidget *control = findControl(*window, c);
    ASSERT_NE(control, nullptr);
    EXPECT_TRUE(control->inherits(c.className)) << control->metaObject()->className();
    EXPECT_EQ(shownText(control), c.text);
    EXPECT_EQ(control->isVisible(), c.visible);
    EXPECT_EQ(control->geometry(), twips::toPixels(c.twips, window->logicalDpiX(), window->logicalDpiY()));
    EXPECT_DOUBLE_EQ(control->font().pointSizeF(), c.points);
    EXPECT_TRUE(control->font().bold());
    const QString family = QFontInfo(control->font()).family();
    EXPECT_TRUE(family == "Arial" || family == "Liberation Sans") << family.toStdString();
    if (c.textColour.isValid()) {
        EXPECT_EQ(control->palette().color(QPalette::WindowText), c.textColour);
    }
}

INSTANTIATE_TEST_SUITE_P(Window, ControlTable, ::testing::ValuesIn(controls));

TEST_F(ShownWindow, the_window_has_its_size_colour_file_dialog_and_grid_shape)
{
    EXPECT_EQ(window->size(), QSize(twips::toPixels(12690, window->logicalDpiX()), twips::toPixels(6120, window->logicalDpiY())));
    EXPECT_EQ(window->palette().color(QPalette::Window), QColor(128, 128, 128));
    EXPECT_EQ(window->goster->palette().color(QPalette::Window), QColor(192, 192, 192));
    EXPECT_EQ(window->findChild<dialog::CommonDialog *>(QStringLiteral("dlg")), window->dlg);
    EXPECT_EQ(window->findChildren<QLabel *>(QStringLiteral("baslik")).size(), 8);
    EXPECT_EQ(window->baslik.count(4), 0u);
    EXPECT_TRUE(window->baslik[1]->toolTip().contains(".xlsx")) << "the hint names .xls; its tooltip the rest";
    // The product grid: one header row, one leading column, numbered rows
    // that can be selected together, columns the operator can widen.
    FlexGrid *grid = window->satisekrani2;
    EXPECT_EQ(grid->FixedRows(), 1);
    EXPECT_EQ(grid->FixedCols(), 1);
    EXPECT_TRUE(grid->RowNumbers());
    EXPECT_EQ(grid->selectionMode(), QAbstractItemView::ExtendedSelection);
    EXPECT_EQ(grid->AllowUserResizing(), FlexGrid::flexResizeColumns);
}

TEST_F(ShownWindow, the_keyboard_starts_on_altmenu_and_tabs_through_the_visible_inputs_in_order)
{
    window->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(window.get()));
    window->formutemizle();
    EXPECT_EQ(QApplication::focusWidget(), window->altmenu);

    // "Adları da" is off the path until "Fiyatları Güncelle" is ticked.
    const QList<QWidget *> order{window->cik,    window->kaydet, window->renk1, window->goster,
                                 window->updatePrices, window->yazici, window->birim, window->kdv,
                                 window->Grup,   window->satisekrani2};
    for (QWidget *expected : order) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        EXPECT_EQ(QApplication::focusWidget(), expected) << expected->objectName().toStdString();
    }
    // Inside the grid Tab walks the cells of the row, then leaves the grid
    // from its last cell.
    EXPECT_EQ(window->satisekrani2->Col(), 1);
    QTest::keyClick(window->satisekrani2, Qt::Key_Tab);
    EXPECT_EQ(window->satisekrani2->Col(), 2);
    QTest::keyClick(window->satisekrani2, Qt::Key_Tab);
    EXPECT_EQ(window->satisekrani2->Col(), 3);
    QTest::keyClick(window->satisekrani2, Qt::Key_Tab);
    EXPECT_EQ(QApplication::focusWidget(), window->Command1);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    EXPECT_EQ(QApplication::focusWidget(), window->exportMenu);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    EXPECT_EQ(QApplication::focusWidget(), window->altmenu);
}

TEST_F(ShownWindow, the_export_button_sits_where_no_other_visible_control_is)
{
    for (QWidget *other : window->findChildren<QWidget *>(Qt::FindDirectChildrenOnly)) {
        if (other != window->exportMenu && other->isVisible()) {
            EXPECT_FALSE(other->geometry().intersects(window->exportMenu->geometry())) << other->objectName().toStdString();
        }
    }
}

TEST_F(ShownWindow, cik_asks_once_before_dropping_unsaved_rows_and_closes_an_empty_window_at_once)
{
    window->basliklariyaz();
    window->satisekrani2->setRows(3);
    window->satisekrani2->setTextMatrix(1, 2, QStringLiteral("kaydedilmedi"));
    window->satisekrani2->setTextMatrix(2, 2, QStringLiteral("bu da"));
    {
        MessageCatcher messages(QStringLiteral("Vazgeç"));
        QTest::mouseClick(window->cik, Qt::LeftButton);
        EXPECT_EQ(messages.texts, QStringList{"Tablodaki 2 ürün kaydedilmedi. Çıkarsanız liste kaybolur."});
        EXPECT_TRUE(window->isVisible());
    }
    {
        MessageCatcher messages(QStringLiteral("Çık"));
        EXPECT_TRUE(window->close()) << "the title bar's close asks the same";
        EXPECT_EQ(messages.texts.size(), 1);
    }
    window->show();
    window->basliklariyaz();
    MessageCatcher none;
    QTest::mouseClick(window->cik, Qt::LeftButton);
    EXPECT_TRUE(none.texts.isEmpty());
    EXPECT_FALSE(window->isVisible());
    const QWidgetList windows = QApplication::topLevelWidgets();
    EXPECT_TRUE(std::none_of(windows.begin(), windows.end(), [](QWidget *w) { return w->isVisible(); }));
    EXPECT_TRUE(QApplication::quitOnLastWindowClosed()) << "closing the only window ends the program";
}

TEST_F(ShownWindow, an_enlarged_window_grows_the_grid_and_keeps_the_right_column_on_the_right_edge)
{
    EXPECT_EQ(window->minimumSize(), window->size()) << "never smaller than designed";
    window->basliklariyaz();
    const auto before = [](QWidget *w) { return w->geometry(); };
    const QRect grid = before(window->satisekrani2), save = before(window->kaydet), exit = before(window->cik),
                group = before(window->Grup), open = before(window->Command1);
    const int name = window->satisekrani2->ColWidth(2), barcode = window->satisekrani2->ColWidth(1);
    window->resize(window->width() + 300, window->height() + 200);
    QApplication::processEvents();

    EXPECT_EQ(window->satisekrani2->geometry(), grid.adjusted(0, 0, 300, 200));
    EXPECT_EQ(window->kaydet->geometry(), save.translated(0, 200).adjusted(0, 0, 300, 0));
    EXPECT_EQ(window->cik->geometry(), exit.translated(300, 200));
    EXPECT_EQ(window->Grup->geometry(), group.translated(300, 0));
    EXPECT_EQ(window->Command1->geometry(), open);
    EXPECT_EQ(window->satisekrani2->ColWidth(1), barcode);
    EXPECT_GT(window->satisekrani2->ColWidth(2), name + 3000) << "the name column takes the new room";

    // The operator widens the barcode: the name column gives the room.
    const int widened = window->satisekrani2->ColWidth(2);
    window->satisekrani2->horizontalHeader()->resizeSection(1, window->satisekrani2->columnWidth(1) + 50);
    EXPECT_GT(window->satisekrani2->ColWidth(1), barcode + 600);
    EXPECT_LT(window->satisekrani2->ColWidth(2), widened - 600);
}

TEST_F(ShownWindow, the_title_bar_close_is_accepted_at_once)
{
    EXPECT_TRUE(window->close());
    EXPECT_FALSE(window->isVisible());
}
