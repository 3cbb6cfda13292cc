// The product grid on the window: the header reset, the column widths, the
// loading button with its dialog, and the row rule.
#include <array>
#include <cmath>

#include <QCheckBox>
#include <QFile>
#include <QAbstractItemView>
#include <QApplication>
#include <QClipboard>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFileDialog>
#include <QLabel>
#include <QLocale>
#include <QLineEdit>
#include <QMimeData>
#include <QTemporaryDir>
#include <QUrl>
#include <QPushButton>
#include <QTest>

#include "WindowFixture.h"
#include "tests/common/QtPrinters.h"
#include "platform/dialog/CommonDialog.h"
#include "platform/grid/FlexGrid.h"
#include "platform/grid/FlexGridModel.h"
#include "window/GridPreview.h"
#include "spreadsheet/SheetFile.h"
#include "tests/spreadsheet/xls/WorkbookBuilder.h"

namespace {

const QString dataDir = QStringLiteral(TEST_DATA_DIR);

struct GridOnWindow : WindowFixture {
    FlexGrid *grid = nullptr;

    void SetUp() override
    {
        open();
        grid = window->satisekrani2;
    }

    // The dialog answers `path` ("" = cancel) and the button is pressed.
    void pressCommand1(const QString &path)
    {
        window->dlg->setPrompt([path](QWidget *, const dialog::OpenRequest &) { return path; });
        QTest::mouseClick(window->Command1, Qt::LeftButton);
    }

    // A sliver, a third, a sixth (7515 / 6 = 1252.5 goes to the even 1252),
    // and the name in what they leave, with no sideways scrolling.
    void expectStandardWidths() const
    {
        EXPECT_EQ((std::vector<int>{grid->ColWidth(0), grid->ColWidth(1), grid->ColWidth(3)}),
                  (std::vector<int>{10, 2505, 1252}));
        const int all = grid->ColWidth(0) + grid->ColWidth(1) + grid->ColWidth(2) + grid->ColWidth(3);
        EXPECT_GE(grid->ColWidth(2), 1503);
        EXPECT_LE(all, grid->ClientWidth());
        EXPECT_GE(all, grid->ClientWidth() - 100);
    }

    // An operator's edit of one cell, as the cell editor commits it.
    void edit(int row, int col, const QString &text)
    {
        grid->setCurrentIndex(grid->gridModel()->index(row, col));
        grid->gridModel()->setData(grid->gridModel()->index(row, col), text);
    }
};

}  // namespace

TEST_F(GridOnWindow, the_reset_leaves_the_header_row_one_empty_row_and_the_standard_widths)
{
    EXPECT_EQ(grid->Rows(), 2);
    EXPECT_EQ(grid->Cols(), 4);
    EXPECT_EQ(grid->TextMatrix(0, 0), "");
    EXPECT_EQ(grid->TextMatrix(0, 1), "BARKOD");
    EXPECT_EQ(grid->TextMatrix(0, 2), "ÜRÜN ADI");
    EXPECT_EQ(grid->TextMatrix(0, 3), "FİYATI");
    EXPECT_FLOAT_EQ(grid->Width(), 7515.0f);
    expectStandardWidths();
}

TEST_F(GridOnWindow, a_workbook_arrives_below_the_header_with_the_standard_widths)
{
    const QString path = dataDir + QStringLiteral("/xls/lo_cells.xls");
    pressCommand1(path);
    EXPECT_EQ(window->dlg->Flags(), dialog::cdlOFNFileMustExist);
    EXPECT_TRUE(window->lastLoad().ok());

    const spreadsheet::SheetColumns sheet = spreadsheet::readSheet(path);
    ASSERT_TRUE(sheet.ok());
    ASSERT_EQ(grid->Rows(), 1 + static_cast<int>(sheet.rows.size()));
    for (size_t k = 0; k < sheet.rows.size(); ++k) {
        for (int col = 0; col < 3; ++col)
            EXPECT_EQ(grid->TextMatrix(static_cast<int>(k) + 1, col + 1), sheet.rows[k][static_cast<size_t>(col)]);
    }
    EXPECT_EQ(grid->TextMatrix(0, 2), "ÜRÜN ADI");
    EXPECT_EQ(grid->TextMatrix(1, 1), "8690504012345") << "a numeric barcode in full";
    EXPECT_EQ(grid->TextMatrix(1, 2), "Çay Bardağı");
    EXPECT_EQ(grid->TextMatrix(2, 1), "#DIV/0!") << "a formula's result, not its text";
    EXPECT_EQ(grid->TextMatrix(7, 2), "") << "an empty sheet row stays an empty grid row";
    EXPECT_EQ(grid->TextMatrix(8, 1), "123456789.123457");
    expectStandardWidths();
}

TEST_F(GridOnWindow, a_cancel_leaves_the_empty_grid_silently_and_a_refused_file_says_why)
{
    dialog::OpenRequest asked;
    window->dlg->setPrompt([&asked](QWidget *, const dialog::OpenRequest &request) {
        asked = request;
        return dataDir + QStringLiteral("/xls/lo_cells.xls");
    });
    QTest::mouseClick(window->Command1, Qt::LeftButton);
    ASSERT_GT(grid->Rows(), 2);
    EXPECT_EQ(asked.fileName, "*.xls");
    EXPECT_EQ(dialog::makeOpenDialog(nullptr, asked)->selectedNameFilter(),
              "Tablo dosyaları (*.xls *.xlsx *.xlsm *.ods *.csv *.txt *.htm *.html)");

    MessageCatcher messages;
    pressCommand1(QString());
    EXPECT_EQ(grid->Rows(), 2);
    EXPECT_EQ(grid->TextMatrix(1, 1), "");
    EXPECT_TRUE(messages.texts.isEmpty());

    pressCommand1(dataDir + QStringLiteral("/xls/lo_cells.xls"));
    pressCommand1(dataDir + QStringLiteral("/xls/encrypted.xls"));
    EXPECT_EQ(grid->Rows(), 2);
    EXPECT_EQ(grid->TextMatrix(1, 2), "");
    EXPECT_EQ(grid->TextMatrix(0, 3), "FİYATI");
    EXPECT_EQ(window->lastLoad().error, spreadsheet::ReadError::PasswordProtected);
    expectStandardWidths();
    EXPECT_EQ(messages.texts, QStringList{"«encrypted.xls»\nDosya parola ile korunuyor. Parolayı kaldırıp yeniden "
                                          "kaydedin, sonra tekrar deneyin."});
}

TEST_F(GridOnWindow, a_damaged_file_read_in_part_is_loaded_with_a_warning)
{
    using namespace xlstest;
    // The second row's name names a shared string the workbook lacks.
    const Bytes stream = workbookStream({}, concat({label(0, 0, "8690001"), label(0, 1, "Cay"), number(0, 2, 12.5),
                                                    label(1, 0, "8690002"), labelSst(1, 1, 0)}));
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("bozuk.xls"));
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(CompoundImage(stream).data());
    file.close();

    MessageCatcher messages;
    pressCommand1(path);
    EXPECT_EQ(grid->TextMatrix(1, 2), "Cay");
    EXPECT_EQ(grid->TextMatrix(2, 1), "8690002");
    EXPECT_EQ(grid->TextMatrix(2, 2), "");
    EXPECT_TRUE(window->lastLoad().damaged);
    ASSERT_EQ(messages.texts.size(), 1);
    EXPECT_TRUE(messages.texts.first().startsWith("«bozuk.xls»\nDosya hasarlı; okunabildiği kadarı yüklendi."))
        << messages.texts.first().toStdString();
}

TEST_F(GridOnWindow, every_row_shows_its_fate_and_the_summary_follows_edits)
{
    ASSERT_EQ(database.exec("INSERT INTO MenuItems (id, GroupCode, Barcode, Name) VALUES (42, 'G', '8690', 'Eski Çay')"),
              QString());
    grid->setRows(5);
    const QStringList cells{"8690", "Çay", "10", "77", "Simit", "on", "88", "Su", "3", "", "", ""};
    for (int i = 0; i < cells.size(); ++i)
        grid->setTextMatrix(1 + i / 3, 1 + i % 3, cells.at(i));
    const auto background = [this](int row) {
        return grid->gridModel()->data(grid->gridModel()->index(row, 2), Qt::BackgroundRole).value<QColor>();
    };
    const auto tip = [this](int row, int col) {
        return grid->gridModel()->data(grid->gridModel()->index(row, col), Qt::ToolTipRole).toString();
    };
    const QColor grey(192, 192, 192);
    EXPECT_EQ(window->ozet->text(), "1 eklenecek · 1 atlanacak · 1 barkod zaten kayıtlı");
    EXPECT_NE(background(1), grey);
    EXPECT_EQ(tip(1, 1), "Barkod zaten kayıtlı: “Eski Çay” (no 42).");
    EXPECT_NE(background(2), grey);
    EXPECT_EQ(tip(2, 3), "Atlanacak: fiyat bir sayı değil (“on”).");
    EXPECT_EQ(background(3), grey);
    EXPECT_EQ(tip(3, 2), "Eklenecek.\nAd: Su");

    edit(2, 3, QStringLiteral("5"));  // the price fixed
    EXPECT_EQ(background(2), grey);
    EXPECT_EQ(window->ozet->text(), "2 eklenecek · 1 barkod zaten kayıtlı");

    edit(4, 1, QStringLiteral("77"));  // a repeat of row 2
    edit(4, 2, QStringLiteral("Simit büyük"));
    edit(4, 3, QStringLiteral("7"));
    EXPECT_EQ(window->ozet->text(), "2 eklenecek · 1 barkod zaten kayıtlı · 1 barkod dosyada tekrar");
    EXPECT_EQ(tip(4, 1), "Barkod dosyada daha önce geçiyor: satır 2.");
    EXPECT_NE(background(4), background(1)) << "a repeat and a registered barcode look different";
}

TEST_F(GridOnWindow, with_prices_updated_a_registered_row_shows_its_old_and_new_price)
{
    for (const char *sql : {"INSERT INTO MenuItems (id, GroupCode, Barcode, Name) VALUES (42, 'G', '8690', 'Eski Çay')",
                            "INSERT INTO MenuItems (id, GroupCode, Barcode, Name) VALUES (50, 'G', '8690', 'Çay 2')",
                            "INSERT INTO MenuItemPortions (id, Name, MenuItemId) VALUES (42, 'Normal', 42)",
                            "INSERT INTO MenuItemPrices (MenuItemPortionId, Price) VALUES (42, 45)"})
        ASSERT_EQ(database.exec(QString::fromUtf8(sql)), QString());
    grid->setRows(4);
    const QStringList cells{"8690", "Çay", "52.5", "8690", "Çay", "52.5", "77", "Simit", "5"};
    for (int i = 0; i < cells.size(); ++i)
        grid->setTextMatrix(1 + i / 3, 1 + i % 3, cells.at(i));
    const auto tip = [this](int row) {
        return grid->gridModel()->data(grid->gridModel()->index(row, 1), Qt::ToolTipRole).toString();
    };
    const auto background = [this](int row) {
        return grid->gridModel()->data(grid->gridModel()->index(row, 1), Qt::BackgroundRole).value<QColor>();
    };
    const QColor registered = background(1);
    ASSERT_FALSE(window->updateNames->isEnabled());

    window->updatePrices->setChecked(true);
    EXPECT_TRUE(window->updateNames->isEnabled());
    EXPECT_EQ(window->ozet->text(), "1 eklenecek · 1 fiyat güncellenecek · 1 barkod dosyada tekrar");
    EXPECT_EQ(tip(1), "Fiyatı güncellenecek: 45,00 → 52,50.\n"
                      "Bu barkod 2 üründe var; en küçük numaralı olan (no 42) güncellenir.");
    EXPECT_NE(background(1), registered);

    edit(1, 3, QStringLiteral("45"));
    edit(2, 3, QStringLiteral("45"));
    EXPECT_EQ(window->ozet->text(), "1 eklenecek · 1 fiyat aynı · 1 barkod dosyada tekrar");

    window->updatePrices->setChecked(false);
    EXPECT_EQ(window->ozet->text(), "1 eklenecek · 2 barkod zaten kayıtlı");
    EXPECT_EQ(background(1), registered);
}

TEST_F(GridOnWindow, a_tooltip_quotes_a_long_name_short_and_lists_twenty_other_rows_at_most)
{
    grid->setRows(24);
    for (int row = 1; row <= 23; ++row) {
        grid->setTextMatrix(row, 1, QStringLiteral("77"));
        grid->setTextMatrix(row, 2, row == 1 ? QString(1000, u'a') : QStringLiteral("Ayran"));
        grid->setTextMatrix(row, 3, QStringLiteral("8"));
    }
    QStringList others;
    for (int row = 2; row <= 21; ++row)
        others << QString::number(row);
    EXPECT_EQ(grid->gridModel()->data(grid->gridModel()->index(1, 2), Qt::ToolTipRole).toString(),
              QStringLiteral("Eklenecek.\nAynı barkod şu satırlarda da var: %1, ….\n"
                             "Ad 50 karakterden uzun; “%2” olarak kaydedilecek.\nAd: %3…")
                  .arg(others.join(QStringLiteral(", ")), QString(50, u'a'), QString(100, u'a')));
}

TEST_F(GridOnWindow, a_file_dropped_on_the_grid_loads_as_the_button_does_and_two_files_are_not_taken)
{
    pressCommand1(dataDir + QStringLiteral("/xls/lo_long.xls"));
    const auto drop = [this](const QStringList &paths) {
        QMimeData data;
        QList<QUrl> urls;
        for (const QString &path : paths)
            urls << QUrl::fromLocalFile(path);
        data.setUrls(urls);
        QWidget *target = grid->viewport();
        QDragEnterEvent enter(QPoint(5, 5), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(target, &enter);
        if (!enter.isAccepted())
            return false;
        QDropEvent dropped(QPointF(5, 5), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(target, &dropped);
        return dropped.isAccepted();
    };
    const QString cells = dataDir + QStringLiteral("/xls/lo_cells.xls");
    EXPECT_FALSE(drop({cells, cells}));
    EXPECT_NE(grid->TextMatrix(1, 2), "Çay Bardağı");

    ASSERT_TRUE(drop({cells}));
    const spreadsheet::SheetColumns sheet = spreadsheet::readSheet(cells);
    EXPECT_EQ(grid->Rows(), 1 + static_cast<int>(sheet.rows.size())) << "the longer sheet before is gone";
    EXPECT_EQ(grid->TextMatrix(1, 2), "Çay Bardağı");
    expectStandardWidths();
}

TEST_F(GridOnWindow, naming_the_last_row_appends_one_empty_row_and_only_one)
{
    edit(1, 2, QStringLiteral("Çay"));
    EXPECT_EQ(grid->Rows(), 3);
    edit(1, 3, QStringLiteral("12,5"));
    EXPECT_EQ(grid->Rows(), 3) << "row 1 is no longer the last";
    grid->setRow(2);
    EXPECT_EQ(grid->Rows(), 3) << "the new last row has no name";
    edit(2, 1, QStringLiteral("869"));
    EXPECT_EQ(grid->Rows(), 3) << "a barcode alone is no name";
}

TEST_F(GridOnWindow, moving_onto_a_named_last_row_appends_a_row)
{
    pressCommand1(dataDir + QStringLiteral("/xls/lo_long.xls"));
    const int rows = grid->Rows();
    ASSERT_NE(grid->TextMatrix(rows - 1, 2), "");
    grid->setRow(rows - 2);
    EXPECT_EQ(grid->Rows(), rows);
    grid->setRow(rows - 1);
    EXPECT_EQ(grid->Rows(), rows + 1);
}

TEST_F(GridOnWindow, a_rule_that_cannot_be_tested_appends_a_row)
{
    grid->setRows(1);
    ASSERT_EQ(grid->Row(), -1);
    window->satisekrani2_RowNotification();
    EXPECT_EQ(grid->Rows(), 2) << "no cursor row";

    grid->setRows(3);
    grid->setCols(2);
    grid->setRow(1);
    window->satisekrani2_RowNotification();
    EXPECT_EQ(grid->Rows(), 4) << "no name column";
}

TEST_F(GridOnWindow, typing_a_name_into_the_last_row_gives_the_next_row)
{
    window->show();
    window->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(window.get()));
    grid->setFocus();
    grid->setCurrentIndex(grid->gridModel()->index(1, 2));
    QTest::keyClick(grid, 'S');
    ASSERT_TRUE(qobject_cast<QLineEdit *>(QApplication::focusWidget())) << "typing opened the cell editor";
    QTest::keyClicks(QApplication::focusWidget(), QStringLiteral("imit"));
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    EXPECT_EQ(grid->TextMatrix(1, 2), "Simit");
    EXPECT_EQ(grid->Rows(), 3);
    EXPECT_EQ(grid->Row(), 1);
    EXPECT_EQ(grid->Col(), 3) << "Tab went on to the price";
}

// A paste from a spreadsheet, and the rows the grid has when it is done.
struct PasteCase {
    const char *name;
    int presetRows;  // the grid's rows before the paste (2 = as reset)
    int row, col;    // where the cursor stands
    QString text;
    int rows;        // rows after the paste
    int lastNamed;   // the last row holding a name after the paste
};

void PrintTo(const PasteCase &c, std::ostream *out) { *out << c.name; }

// `count` spreadsheet lines of barcode, name and price, as a copy gives them.
QString productLines(int count)
{
    QString text;
    for (int k = 1; k <= count; ++k)
        text += QStringLiteral("86900000%1\tÜrün %1\t%1,50\r\n").arg(k);
    return text;
}

struct PasteOnWindow : GridOnWindow, ::testing::WithParamInterface<PasteCase> {};

TEST_P(PasteOnWindow, the_block_stays_whole_and_the_row_rule_runs_once_at_its_end)
{
    const PasteCase &c = GetParam();
    grid->setRows(c.presetRows);
    grid->setCurrentIndex(grid->gridModel()->index(c.row, c.col));
    QApplication::clipboard()->setText(c.text);
    QTest::keyClick(grid, Qt::Key_V, Qt::ControlModifier);

    EXPECT_EQ(grid->Rows(), c.rows);
    EXPECT_NE(grid->TextMatrix(c.lastNamed, 2), "");
    for (int row = c.lastNamed + 1; row < grid->Rows(); ++row)
        EXPECT_EQ(grid->TextMatrix(row, 2), "") << "row " << row;
    EXPECT_EQ(grid->TextMatrix(0, 2), "ÜRÜN ADI");
}

INSTANTIATE_TEST_SUITE_P(
    Cases, PasteOnWindow,
    ::testing::Values(
        PasteCase{"one_name_into_the_last_row", 2, 1, 2, QStringLiteral("Poğaça"), 3, 1},
        PasteCase{"forty_products_into_the_reset_grid", 2, 1, 1, productLines(40), 42, 40},
        PasteCase{"names_without_a_final_line_break", 2, 1, 2, QStringLiteral("Çay\nSimit\nAyran"), 5, 3},
        PasteCase{"barcodes_alone_name_no_row", 2, 1, 1, QStringLiteral("1\n2\n3\n"), 4, 0},
        PasteCase{"two_names_over_rows_that_exist", 6, 2, 2, QStringLiteral("Çay\nSimit\n"), 6, 3}),
    [](const ::testing::TestParamInfo<PasteCase> &info) { return std::string(info.param.name); });

TEST_F(GridOnWindow, forty_pasted_products_keep_their_cells_in_order)
{
    grid->setCurrentIndex(grid->gridModel()->index(1, 1));
    QApplication::clipboard()->setText(productLines(40));
    QTest::keyClick(grid, Qt::Key_V, Qt::ControlModifier);
    for (int k = 1; k <= 40; ++k) {
        EXPECT_EQ(grid->TextMatrix(k, 1), QStringLiteral("86900000%1").arg(k));
        EXPECT_EQ(grid->TextMatrix(k, 2), QStringLiteral("Ürün %1").arg(k));
        EXPECT_EQ(grid->TextMatrix(k, 3), QStringLiteral("%1,50").arg(k));
    }
}

TEST_F(GridOnWindow, rows_are_numbered_and_delete_or_the_context_menu_removes_the_selected_ones)
{
    grid->setRows(6);
    for (int row = 1; row <= 5; ++row) {
        grid->setTextMatrix(row, 2, QStringLiteral("Ürün %1").arg(row));
        grid->setTextMatrix(row, 3, QStringLiteral("%1").arg(row));
    }
    QAbstractItemModel *model = grid->gridModel();
    EXPECT_EQ(model->headerData(3, Qt::Vertical).toString(), "3") << "the number the messages cite";
    EXPECT_EQ(window->ozet->text(), "5 eklenecek");

    // Rows 2 and 4 by their numbers, then Delete on the grid.
    window->show();
    window->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(window.get()));
    grid->setFocus();
    grid->selectionModel()->select(model->index(2, 1), QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
    grid->selectionModel()->select(model->index(4, 1), QItemSelectionModel::Select | QItemSelectionModel::Rows);
    QTest::keyClick(grid, Qt::Key_Delete);
    QStringList names;
    for (int row = 1; row < grid->Rows(); ++row)
        names << grid->TextMatrix(row, 2);
    EXPECT_EQ(names, (QStringList{"Ürün 1", "Ürün 3", "Ürün 5"}));
    EXPECT_EQ(model->headerData(3, Qt::Vertical).toString(), "3") << "renumbered";
    EXPECT_EQ(window->ozet->text(), "3 eklenecek");

    // The context menu's action removes the row under the cursor; the last
    // one gone, an empty row stays to type into.
    ASSERT_EQ(grid->contextMenuPolicy(), Qt::ActionsContextMenu);
    ASSERT_TRUE(grid->actions().contains(window->removeRowsAction));
    grid->selectAll();
    window->removeRowsAction->trigger();
    EXPECT_EQ(grid->Rows(), 2);
    EXPECT_EQ(grid->TextMatrix(1, 2), "");
    EXPECT_EQ(window->ozet->text(), "");
}

TEST_F(GridOnWindow, a_new_list_names_its_file_in_the_title_restarts_the_counter_and_opens_where_the_last_one_was)
{
    QTemporaryDir folder;
    const QString path = folder.filePath(QStringLiteral("yeni menü.csv"));
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("111;Çay;12\n");
    file.close();
    window->say->setText(QStringLiteral("40"));
    pressCommand1(path);
    EXPECT_EQ(window->say->text(), "0");
    EXPECT_EQ(window->sayBaslik->text(), "işlenen satır");
    EXPECT_TRUE(window->windowTitle().startsWith("yeni menü.csv — ")) << window->windowTitle().toStdString();

    dialog::OpenRequest asked;
    window->dlg->setPrompt([&asked](QWidget *, const dialog::OpenRequest &request) {
        asked = request;
        return QString();
    });
    QTest::mouseClick(window->Command1, Qt::LeftButton);
    EXPECT_EQ(asked.initDir, folder.path());
    EXPECT_EQ(dialog::makeOpenDialog(nullptr, asked)->directory().absolutePath(), folder.path());
    EXPECT_FALSE(window->windowTitle().contains("yeni menü.csv")) << "the cancel emptied the grid";
}

namespace {

// A colour as a person with full protanopia, deuteranopia or tritanopia
// sees it (the simulation of Machado, Oliveira and Fernandes, 2009), in CIE
// L*a*b*, so that distances between colours are distances as seen.
using Matrix = std::array<std::array<double, 3>, 3>;
const std::vector<std::pair<const char *, Matrix>> visions{
    {"normal", {{{1, 0, 0}, {0, 1, 0}, {0, 0, 1}}}},
    {"protan", {{{0.152286, 1.052583, -0.204868}, {0.114503, 0.786281, 0.099216}, {-0.003882, -0.048116, 1.051998}}}},
    {"deutan", {{{0.367322, 0.860646, -0.227968}, {0.280085, 0.672501, 0.047413}, {-0.011820, 0.042940, 0.968881}}}},
    {"tritan", {{{1.255528, -0.076749, -0.178779}, {-0.078411, 0.930809, 0.147602}, {0.004733, 0.691367, 0.303900}}}},
};

double linear(int channel)
{
    const double c = channel / 255.0;
    return c <= 0.04045 ? c / 12.92 : std::pow((c + 0.055) / 1.055, 2.4);
}

std::array<double, 3> seenAsLab(const QColor &colour, const Matrix &vision)
{
    const std::array<double, 3> rgb{linear(colour.red()), linear(colour.green()), linear(colour.blue())};
    std::array<double, 3> seen{};
    for (size_t i = 0; i < 3; ++i)
        seen[i] = std::clamp(vision[i][0] * rgb[0] + vision[i][1] * rgb[1] + vision[i][2] * rgb[2], 0.0, 1.0);
    const double x = (0.4124 * seen[0] + 0.3576 * seen[1] + 0.1805 * seen[2]) / 0.95047;
    const double y = 0.2126 * seen[0] + 0.7152 * seen[1] + 0.0722 * seen[2];
    const double z = (0.0193 * seen[0] + 0.1192 * seen[1] + 0.9505 * seen[2]) / 1.08883;
    const auto f = [](double t) { return t > 0.008856 ? std::cbrt(t) : 7.787 * t + 16.0 / 116.0; };
    return {116 * f(y) - 16, 500 * (f(x) - f(y)), 200 * (f(y) - f(z))};
}

}  // namespace

TEST(RowColours, every_two_stay_apart_with_common_colour_blindness_and_carry_black_text)
{
    const QList<GridPreview::LegendEntry> legend = GridPreview::legend();
    EXPECT_EQ(legend.first().colour, QColor(192, 192, 192)) << "rows added as they are keep the grid's grey";
    for (const auto &[vision, matrix] : visions) {
        for (qsizetype a = 0; a < legend.size(); ++a) {
            for (qsizetype b = a + 1; b < legend.size(); ++b) {
                const auto la = seenAsLab(legend[a].colour, matrix);
                const auto lb = seenAsLab(legend[b].colour, matrix);
                const double distance = std::hypot(la[0] - lb[0], la[1] - lb[1], la[2] - lb[2]);
                // 15 units of L*a*b*: plainly different side by side.
                EXPECT_GE(distance, 15.0) << vision << ": " << legend[a].text.toStdString() << " / "
                                          << legend[b].text.toStdString();
            }
        }
    }
    for (const GridPreview::LegendEntry &entry : legend) {
        const double luminance = 0.2126 * linear(entry.colour.red()) + 0.7152 * linear(entry.colour.green()) +
                                 0.0722 * linear(entry.colour.blue());
        EXPECT_GE((luminance + 0.05) / 0.05, 7.0) << "contrast with black: " << entry.text.toStdString();
    }
    EXPECT_TRUE(GridPreview::legendHtml().contains(legend.at(3).text)) << "the summary's tooltip lists them";
}

TEST_F(GridOnWindow, a_price_cell_says_how_its_text_was_read_and_one_read_with_thousands_points_is_a_warning)
{
    const QString thousands = QStringLiteral("1") + QLocale::system().groupSeparator() + QStringLiteral("234");
    grid->setRows(3);
    grid->setTextMatrix(1, 2, QStringLiteral("Kuzu Tandır"));
    grid->setTextMatrix(1, 3, thousands);
    grid->setTextMatrix(2, 2, QStringLiteral("Çay"));
    grid->setTextMatrix(2, 3, QStringLiteral("12"));

    EXPECT_EQ(window->preview->background(1), GridPreview::legend().at(1).colour) << "the warning colour";
    EXPECT_TRUE(window->preview->toolTip(1, 3).contains(QStringLiteral("→ 1.234,00 ("))) << window->preview->toolTip(1, 3).toStdString();
    EXPECT_TRUE(window->preview->toolTip(1, 3).contains(QStringLiteral("binlik ayırıcı sayıldı")));
    EXPECT_FALSE(window->preview->background(2).isValid()) << "the grid's own grey";
    EXPECT_TRUE(window->preview->toolTip(2, 3).endsWith(QStringLiteral("Fiyat: “12” → 12,00")));
    EXPECT_EQ(window->ozet->text(), "2 eklenecek (1 uyarıyla)");
}
