#include "window/urunlertoplu.h"

#include <QAction>
#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFileInfo>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QMimeData>
#include <QPushButton>
#include <QSignalBlocker>
#include <QUrl>

#include <algorithm>
#include <array>
#include <cmath>

#include "platform/dialog/CommonDialog.h"
#include "platform/grid/FlexGrid.h"
#include "platform/grid/Twips.h"
#include "import/ColourTable.h"
#include "import/ListColumns.h"
#include "spreadsheet/SheetFile.h"
#include "window/GridPreview.h"
#include "import/LoadReport.h"
#include "window/RecentFolders.h"

namespace {

constexpr int clientWidthTwips = 12690;
constexpr int clientHeightTwips = 6120;
// Controls from here rightwards stand beside the grid, not under or left of it.
constexpr int rightColumnTwips = 7300;

const QColor windowColour(128, 128, 128);
const QColor hintColour(255, 255, 128);
const QColor checkBoxColour(192, 192, 192);

// Column widths of the product grid as fractions of its width: barcode a
// third, name a fifth, price a sixth; the leading column stays a sliver.
constexpr int leadingColumnTwips = 10;
constexpr std::array<int, 3> widthDivisors{3, 5, 6};

// Arial bold at `points`; where Arial is missing, its metric twin.
QFont windowFont(double points)
{
    QFont font;
    font.setFamilies({QStringLiteral("Arial"), QStringLiteral("Liberation Sans")});
    font.setPointSizeF(points);
    font.setBold(true);
    return font;
}

// A quotient taken to the nearest whole number, a half going to the even
// neighbour (1252.5 gives 1252, 1253.5 gives 1254).
int roundHalfToEven(double value)
{
    const double floor = std::floor(value);
    const double fraction = value - floor;
    if (fraction != 0.5)
        return static_cast<int>(std::lround(value));
    return static_cast<int>(std::fmod(floor, 2.0) == 0.0 ? floor : floor + 1.0);
}

const char *const graphicalButtonStyle =
    "QPushButton { background-color: rgb(128, 255, 128); border: 1px solid rgb(64, 128, 64); }"
    "QPushButton:focus { border: 2px solid black; }"
    "QPushButton:pressed { background-color: rgb(96, 208, 96); }";

// A small button beside the window's own green ones, for a task apart
// from the import.
const char *const sideButtonStyle =
    "QPushButton { background-color: rgb(192, 192, 192); border: 1px solid rgb(96, 96, 96); padding: 0px; }"
    "QPushButton:focus { border: 2px solid black; }"
    "QPushButton:pressed { background-color: rgb(160, 160, 160); }"
    "QPushButton:disabled { color: rgb(112, 112, 112); }";

}  // namespace

urunlertoplu::urunlertoplu(ado::Connection &connection, QWidget *parent)
    : QWidget(parent)
    , baglanti(connection)
{
    setObjectName(QStringLiteral("urunlertoplu"));
    setWindowTitle(toolName());
    setAutoFillBackground(true);
    QPalette palette = this->palette();
    palette.setColor(QPalette::Window, windowColour);
    setPalette(palette);
    setAcceptDrops(true);
    resize(twips::toPixels(clientWidthTwips, logicalDpiX()), twips::toPixels(clientHeightTwips, logicalDpiY()));

    m_designSize = size();
    setMinimumSize(m_designSize);

    createControls();
    anchor(satisekrani2, Anchor::Grow);
    anchor(kaydet, Anchor::BottomWide);
    anchor(cik, Anchor::BottomRight);
    connectEvents();
    applyTabOrder();
    createPreview();
    altmenu->setFocus();
}

urunlertoplu::~urunlertoplu()
{
    // An edit still open in the grid is committed while the grid is being
    // destroyed, after this window's own part is gone: nothing of it may answer.
    QObject::disconnect(satisekrani2, nullptr, this, nullptr);
    delete preview;
}

template <typename Control>
Control *urunlertoplu::place(Control *control, const char *name, const QRect &twipsRect, double points, int tabIndex)
{
    control->setObjectName(QString::fromLatin1(name));
    control->setFont(windowFont(points));
    control->setGeometry(twips::toPixels(twipsRect, logicalDpiX(), logicalDpiY()));
    m_tabOrder.emplace_back(tabIndex, control);
    // What stands right of the grid's column keeps its distance to the
    // window's right edge; the rest stays where it is.
    m_placements.push_back({control, control->geometry(),
                            twipsRect.left() >= rightColumnTwips ? Anchor::Right : Anchor::TopLeft});
    return control;
}

void urunlertoplu::anchor(QWidget *control, Anchor anchor)
{
    for (Placement &placement : m_placements) {
        if (placement.control == control)
            placement.anchor = anchor;
    }
}

void urunlertoplu::resizeEvent(QResizeEvent *event)
{
    // The window only grows (its minimum is the size it was designed at):
    // the grid takes the room, the buttons under it go down with the bottom
    // edge, and the controls on the right follow the right edge.
    const int dx = std::max(width() - m_designSize.width(), 0);
    const int dy = std::max(height() - m_designSize.height(), 0);
    for (const Placement &placement : m_placements) {
        QRect rect = placement.designed;
        switch (placement.anchor) {
        case Anchor::TopLeft:
            break;
        case Anchor::Right:
            rect.translate(dx, 0);
            break;
        case Anchor::Grow:
            rect.adjust(0, 0, dx, dy);
            break;
        case Anchor::BottomWide:
            rect.translate(0, dy);
            rect.setWidth(rect.width() + dx);
            break;
        case Anchor::BottomRight:
            rect.translate(dx, dy);
            break;
        }
        placement.control->setGeometry(rect);
    }
    fitNameColumn();
    QWidget::resizeEvent(event);
}

QLabel *urunlertoplu::makeLabel(const QString &text, const QRect &twipsRect, double points, const QColor &colour,
                                int tabIndex)
{
    auto *label = place(new QLabel(text, this), "", twipsRect, points, tabIndex);
    QPalette palette = label->palette();
    palette.setColor(QPalette::WindowText, colour);
    label->setPalette(palette);
    return label;
}

QCheckBox *urunlertoplu::makeCheckBox(const char *name, const QString &text, const QRect &twipsRect, int tabIndex)
{
    auto *box = place(new QCheckBox(text, this), name, twipsRect, 9.75, tabIndex);
    QPalette palette = box->palette();
    palette.setColor(QPalette::Window, checkBoxColour);
    palette.setColor(QPalette::WindowText, Qt::black);
    box->setPalette(palette);
    box->setAutoFillBackground(true);
    return box;
}

QComboBox *urunlertoplu::makeList(const char *name, const QStringList &entries, const QRect &twipsRect, int tabIndex,
                                  bool editable)
{
    auto *list = place(new QComboBox(this), name, twipsRect, 11.25, tabIndex);
    list->setEditable(editable);
    if (editable) {
        // Typed names stay as typed: no completion, and Enter never adds an
        // entry that its id list would lack.
        list->setCompleter(nullptr);
        list->setInsertPolicy(QComboBox::NoInsert);
    }
    list->addItems(entries);
    list->setCurrentIndex(-1);
    return list;
}

void urunlertoplu::createControls()
{
    const QStringList colours = import::colourNames();

    Command1 = place(new QPushButton(QStringLiteral("EXCELL SEÇ"), this), "Command1", {120, 210, 2715, 615}, 12, 24);
    Command1->setStyleSheet(QString::fromLatin1(graphicalButtonStyle));
    Grup = makeList("Grup", {}, {9240, 960, 3225, 390}, 14, true);
    kdv = makeList("kdv", {}, {9240, 2400, 3225, 390}, 13);
    fiyat = place(new QLineEdit(this), "fiyat", {8760, 4740, 1185, 390}, 11.25, 12);
    fiyat->hide();
    birim = makeList("birim", {QStringLiteral("Adet"), QStringLiteral("Kg")}, {9240, 1920, 3225, 390}, 11);
    yazici = makeList("yazici", {}, {9240, 2880, 3225, 390}, 10);
    goster = makeCheckBox("goster", QStringLiteral("Satışta Göster"), {9240, 4440, 3255, 375}, 9);
    // Under the sales-screen box, in the space the hidden id box leaves.
    updatePrices = makeCheckBox("updatePrices", QStringLiteral("Fiyatları Güncelle"), {9240, 4860, 1995, 375}, 9);
    updatePrices->setToolTip(QStringLiteral("Barkodu zaten kayıtlı ürünlerin fiyatı dosyadaki fiyatla değişir; "
                                            "yeni barkodlar eklenir. Önizleme eski ve yeni fiyatı gösterir."));
    updateNames = makeCheckBox("updateNames", QStringLiteral("Adları da"), {11265, 4860, 1230, 375}, 9);
    updateNames->setToolTip(QStringLiteral("Fiyatla birlikte ürün adı da dosyadaki adla değişir; boş ad değiştirmez."));
    updateNames->setEnabled(false);
    renk1 = makeList("renk1", colours, {9240, 3360, 3225, 390}, 8);
    renk2 = makeList("renk2", colours, {9240, 3840, 3225, 390}, 7);
    renk2->hide();
    kaydet = place(new QPushButton(QStringLiteral("KAYDET"), this), "kaydet", {120, 5340, 7095, 615}, 12, 6);
    kaydet->setStyleSheet(QString::fromLatin1(graphicalButtonStyle));
    cik = place(new QPushButton(QStringLiteral("ÇIK"), this), "cik", {7320, 5340, 5205, 615}, 12, 5);
    id = place(new QLineEdit(this), "id", {9900, 4830, 1185, 390}, 11.25, 4);
    id->hide();
    yaziciid = makeList("yaziciid", {}, {12120, 2880, 360, 390}, 3);
    yaziciid->hide();
    altmenu = place(new QLineEdit(this), "altmenu", {9240, 1440, 3225, 375}, 11.25, 2);
    kdvid = makeList("kdvid", {}, {12120, 2400, 390, 390}, 1);
    kdvid->hide();
    Grupid = makeList("Grupid", {}, {11340, 570, 495, 390}, 0);
    Grupid->hide();

    satisekrani2 = place(new FlexGrid(this), "satisekrani2", {120, 960, 7515, 4260}, 9.75, 15);
    satisekrani2->setTwipsGeometry({120, 960, 7515, 4260});
    satisekrani2->setEditable(1);
    // The operator sees the row numbers the messages cite, widens a column
    // whose texts are cut, and selects rows (by their numbers) to remove.
    satisekrani2->setRowNumbers(true);
    satisekrani2->setAllowUserResizing(FlexGrid::flexResizeColumns);
    satisekrani2->setSelectionMode(QAbstractItemView::ExtendedSelection);
    removeRowsAction = new QAction(QStringLiteral("Seçili satırları sil"), satisekrani2);
    removeRowsAction->setShortcut(QKeySequence::Delete);
    // Only while the grid itself has the focus: in a cell being edited,
    // Delete deletes text.
    removeRowsAction->setShortcutContext(Qt::WidgetShortcut);
    satisekrani2->addAction(removeRowsAction);
    satisekrani2->setContextMenuPolicy(Qt::ActionsContextMenu);

    dlg = new dialog::CommonDialog(this);
    dlg->setObjectName(QStringLiteral("dlg"));

    say = makeLabel(QStringLiteral("0"), {7410, 4560, 1665, 585}, 14.25, hintColour, 27);
    say->setObjectName(QStringLiteral("say"));
    say->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
    // Under the number, in the lower part of its own box.
    sayBaslik = makeLabel(QStringLiteral("işlenen satır"), {7410, 4950, 1665, 240}, 8.25, hintColour, 27);
    sayBaslik->setObjectName(QStringLiteral("sayBaslik"));
    sayBaslik->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
    baslik[1] = makeLabel(QStringLiteral("EXCELL 97 2023 XLS FORMATI"), {3300, 240, 4155, 345}, 9.75, hintColour, 26);
    baslik[0] = makeLabel(QStringLiteral("A BARKOD B ÜRÜN ADI C SATIŞ FİYATI"), {3300, 540, 4155, 345}, 9.75, hintColour, 25);
    // The hint names one format; the tool reads more, and lists with a header.
    baslik[1]->setToolTip(spreadsheet::readableKinds());
    baslik[0]->setToolTip(QStringLiteral("Başlık satırı olan listelerde sütunlar adlarından tanınır; "
                                         "sıraları önemli değildir."));
    Command1->setToolTip(spreadsheet::readableKinds());
    islem = makeLabel(QStringLiteral("TOPLU ÜRÜN EKLE"), {7320, 180, 5145, 495}, 21.75, Qt::white, 23);
    islem->setObjectName(QStringLiteral("islem"));
    islem->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
    baslik[6] = makeLabel(QStringLiteral("Birim"), {7800, 2040, 1575, 255}, 9.75, Qt::white, 22);
    baslik[3] = makeLabel(QStringLiteral("KDV"), {7800, 2520, 1095, 255}, 9.75, Qt::white, 21);
    baslik[8] = makeLabel(QStringLiteral("Grubu"), {7800, 1080, 1695, 255}, 9.75, Qt::white, 20);
    baslik[2] = makeLabel(QStringLiteral("Yazıcı"), {7800, 3000, 1095, 255}, 9.75, Qt::white, 19);
    baslik[5] = makeLabel(QStringLiteral("Buton Rengi"), {7800, 3480, 1695, 255}, 9.75, Qt::white, 18);
    eeeee[7] = makeLabel(QStringLiteral("Yazı Rengi"), {7800, 3960, 1695, 255}, 9.75, Qt::white, 17);
    eeeee[7]->hide();
    baslik[7] = makeLabel(QStringLiteral("Alt Grup"), {7800, 1560, 1695, 255}, 9.75, Qt::white, 16);

    // In the strip between the title and the group list, which no control
    // used. In the tab order right after the other file button: its index,
    // and created after it.
    exportMenu = place(new QPushButton(QStringLiteral("Menüyü Dışa Aktar…"), this), "exportMenu", {9240, 675, 3225, 270},
                      9, 24);
    exportMenu->setStyleSheet(QString::fromLatin1(sideButtonStyle));
    exportMenu->setToolTip(QStringLiteral("Menüdeki ürünleri fiyatlarıyla bir Excel dosyasına yazar: A barkod, B ürün adı, "
                                         "C fiyat, D grup. Fiyatları düzenleyip dosyayı yeniden yükleyebilirsiniz."));

    // Control arrays share one name; the index tells their members apart.
    for (auto *array : {&baslik, &eeeee}) {
        const QString name = array == &baslik ? QStringLiteral("baslik") : QStringLiteral("eeeee");
        for (const auto &[index, label] : *array) {
            label->setObjectName(name);
            label->setProperty("Index", index);
        }
    }
}

void urunlertoplu::createPreview()
{
    // In the free space the hidden text-colour list leaves on the right.
    ozet = makeLabel(QString(), {7800, 3840, 4665, 570}, 9.75, hintColour, 28);
    ozet->setObjectName(QStringLiteral("ozet"));
    ozet->setWordWrap(true);
    ozet->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    ozet->setToolTip(GridPreview::legendHtml());
    preview = new GridPreview(*satisekrani2, baglanti, [this] { return saveChoices(); }, this);
    connect(preview, &GridPreview::changed, this, [this] { showSummary(preview->summary()); });
    // The choices decide texts the database must be able to store, and what
    // the question before a save warns of.
    const auto update = [this] { preview->update(); };
    connect(Grup, &QComboBox::editTextChanged, this, update);
    connect(goster, &QCheckBox::toggled, this, update);
    connect(altmenu, &QLineEdit::textChanged, this, update);
    connect(renk1, &QComboBox::currentIndexChanged, this, update);
    // The unit and the printer are among the values a row's records take.
    connect(birim, &QComboBox::currentIndexChanged, this, update);
    connect(yaziciid, &QComboBox::currentIndexChanged, this, update);
    connect(updatePrices, &QCheckBox::toggled, this, [this](bool on) {
        updateNames->setEnabled(on);
        if (!on)
            updateNames->setChecked(false);
        preview->update();
    });
    connect(updateNames, &QCheckBox::toggled, this, update);
}

void urunlertoplu::showSummary(const QString &summary)
{
    // A summary of many kinds of rows takes a smaller font rather than
    // losing its last line under the box below it.
    ozet->setText(summary);
    for (const double points : {9.75, 9.0, 8.25, 7.5}) {
        ozet->setFont(windowFont(points));
        if (ozet->heightForWidth(ozet->width()) <= ozet->height())
            break;
    }
}

import::SaveChoices urunlertoplu::saveChoices() const
{
    import::SaveChoices choices;
    choices.group = Grup->currentText();
    choices.unitPosition = birim->currentIndex();
    choices.showOnSalesScreen = goster->checkState() == Qt::Checked;
    choices.subMenuTag = altmenu->text();
    choices.printerPosition = yaziciid->currentIndex();
    choices.printerId = yaziciid->currentText();
    choices.buttonColor = butonrengi;
    choices.updatePrices = updatePrices->isChecked();
    choices.updateNames = updateNames->isChecked();
    return choices;
}

void urunlertoplu::connectEvents()
{
    // A list's click runs when the operator picks an entry (even the one
    // already shown) and when code moves its position.
    const auto onClick = [this](QComboBox *list, void (urunlertoplu::*handler)()) {
        connect(list, &QComboBox::currentIndexChanged, this, handler);
        connect(list, &QComboBox::activated, this, handler);
    };
    onClick(Grup, &urunlertoplu::Grup_Click);
    onClick(kdv, &urunlertoplu::kdv_Click);
    onClick(yazici, &urunlertoplu::yazici_Click);
    onClick(renk1, &urunlertoplu::renk1_Click);
    onClick(renk2, &urunlertoplu::renk2_Click);
    connect(Grup->lineEdit(), &QLineEdit::textEdited, this, &urunlertoplu::Grup_Change);
    connect(Command1, &QPushButton::clicked, this, &urunlertoplu::Command1_Click);
    connect(cik, &QPushButton::clicked, this, &urunlertoplu::cik_Click);
    connect(kaydet, &QPushButton::clicked, this, &urunlertoplu::kaydet_Click);
    connect(exportMenu, &QPushButton::clicked, this, &urunlertoplu::exportMenu_Click);
    connect(satisekrani2, &FlexGrid::RowNotification, this, &urunlertoplu::satisekrani2_RowNotification);
    connect(removeRowsAction, &QAction::triggered, this, &urunlertoplu::removeSelectedRows);
    // A column the operator widened takes its width from the name column.
    connect(satisekrani2, &FlexGrid::AfterUserResize, this, [this](int col) {
        if (col != 2)
            fitNameColumn();
    });
}

void urunlertoplu::applyTabOrder()
{
    // Labels take no focus and hidden controls are skipped by Qt, so the
    // chain by tab index leaves exactly the operator's order.
    std::stable_sort(m_tabOrder.begin(), m_tabOrder.end(),
                     [](const auto &a, const auto &b) { return a.first < b.first; });
    for (size_t i = 1; i < m_tabOrder.size(); ++i)
        QWidget::setTabOrder(m_tabOrder[i - 1].second, m_tabOrder[i].second);
}

platform::Outcome urunlertoplu::Form_Load(const QString &settingsPath)
{
    const platform::Outcome refusal = baglanmodul::encodingRefusal(baglanmodul::ayarlarioku(settingsPath), settingsPath);
    if (!refusal.ok())
        return refusal;
    baglanmodul::chooseConnection();
    baglanmodul::baglantiac();
    formutemizle();
    setWindowTitle(titleFor(baglanti, m_sheetPath));
    return {};
}

QString urunlertoplu::toolName()
{
    return QStringLiteral("Toplu Ürün Ekle");
}

QString urunlertoplu::titleFor(const ado::Connection &connection, const QString &sheetPath)
{
    // The tool's name comes last: the platform appends the application's
    // name to a title that does not end with it, and would show it twice.
    // The list comes first, where a narrow title bar still shows it.
    QStringList parts;
    if (!sheetPath.isEmpty())
        parts << QFileInfo(sheetPath).fileName();
    parts << (connection.isOpen() ? connection.description()
                                  : QStringLiteral("Veritabanı yok: %1").arg(GridPreview::noDatabaseReason(connection)));
    parts << toolName();
    return parts.join(QStringLiteral(" — "));
}

import::lookup::ReadResult urunlertoplu::fillPair(QComboBox *list, QComboBox *ids, const import::lookup::PairSource &source)
{
    import::lookup::ReadResult read;
    {
        // Filling moves no position: Qt would select the first entry added,
        // and the pair's handlers would run on a half-filled id list.
        const QSignalBlocker blockList(list);
        const QSignalBlocker blockIds(ids);
        list->clear();
        ids->clear();
        if (source.lead) {
            list->addItem(source.lead->name);
            ids->addItem(source.lead->id);
        }
        read = import::lookup::readRecords(baglanti.database(), source.sql);
        for (const import::lookup::Entry &record : read.value) {
            list->addItem(record.name);
            ids->addItem(record.id);
        }
        list->setCurrentIndex(-1);
        ids->setCurrentIndex(-1);
    }
    if (!read.value.empty()) {
        list->setCurrentIndex(0);
        ids->setCurrentIndex(0);
    }
    return read;
}

import::lookup::ReadResult urunlertoplu::grublarigetir()
{
    return fillPair(Grup, Grupid, import::lookup::groups());
}

import::lookup::ReadResult urunlertoplu::kdvlarigetir()
{
    return fillPair(kdv, kdvid, import::lookup::taxTemplates());
}

import::lookup::ReadResult urunlertoplu::yazicilarigetir()
{
    return fillPair(yazici, yaziciid, import::lookup::printers());
}

platform::Outcome urunlertoplu::formutemizle()
{
    QStringList errors;
    const auto note = [&errors](const QString &list, const import::lookup::ReadResult &read) {
        if (!read.ok())
            errors << QStringLiteral("%1: %2").arg(list, read.text());
    };
    id->setText(QString());
    note(QStringLiteral("ScreenMenuCategories"), grublarigetir());
    birim->setCurrentIndex(0);
    note(QStringLiteral("TaxTemplates"), kdvlarigetir());
    note(QStringLiteral("Printers"), yazicilarigetir());
    renk1->setCurrentIndex(3);
    renk2->setCurrentIndex(4);
    goster->setChecked(false);
    updatePrices->setChecked(false);
    altmenu->setText(QString());
    basliklariyaz();
    if (errors.isEmpty())
        return {};
    return platform::Outcome::failure(QStringLiteral("listeler okunamadı"), errors.join(u'\n'));
}

void urunlertoplu::basliklariyaz()
{
    preview->setOwnFields({});
    satisekrani2->Clear();
    satisekrani2->setRows(2);
    satisekrani2->setCols(4);
    satisekrani2->setTextMatrix(0, 1, QStringLiteral("BARKOD"));
    satisekrani2->setTextMatrix(0, 2, QStringLiteral("ÜRÜN ADI"));
    satisekrani2->setTextMatrix(0, 3, QStringLiteral("FİYATI"));
    setColumnWidths();
}

void urunlertoplu::setColumnWidths()
{
    satisekrani2->setColWidth(0, leadingColumnTwips);
    for (size_t i = 0; i < widthDivisors.size(); ++i) {
        const double width = satisekrani2->Width();
        satisekrani2->setColWidth(static_cast<int>(i) + 1, roundHalfToEven(width / widthDivisors[i]));
    }
    // A list's own columns share the three tenths of the grid's width that
    // the three leave, each at least a tenth (more of them scroll).
    const int ownColumns = satisekrani2->Cols() - 1 - int(widthDivisors.size());
    const double share = std::max(0.3 / std::max(ownColumns, 1), 0.1);
    for (int col = 1 + int(widthDivisors.size()); col < satisekrani2->Cols(); ++col)
        satisekrani2->setColWidth(col, roundHalfToEven(satisekrani2->Width() * share));
    fitNameColumn();
}

void urunlertoplu::fitNameColumn()
{
    // Names are the texts most often cut: the name column takes the width
    // the others leave (less a pixel of rounding per column, which would
    // bring up the horizontal scroll bar), never less than its fifth.
    constexpr int nameColumn = 2;
    int others = 0;
    for (int col = 0; col < satisekrani2->Cols(); ++col) {
        if (col != nameColumn)
            others += satisekrani2->ColWidth(col) + twips::fromPixels(1, logicalDpiX());
    }
    const int fifth = roundHalfToEven(satisekrani2->Width() / widthDivisors[1]);
    satisekrani2->setColWidth(nameColumn, std::max(int(satisekrani2->ClientWidth()) - others, fifth));
}

void urunlertoplu::removeSelectedRows()
{
    if (!kaydet->isEnabled())
        return;  // a save is running over the grid's rows
    satisekrani2->RemoveRows(satisekrani2->SelectedRows());
    if (satisekrani2->Rows() <= satisekrani2->FixedRows())
        satisekrani2->setRows(satisekrani2->FixedRows() + 1);
}

int urunlertoplu::unsavedProducts() const
{
    const QList<import::RowPreview> &previews = preview->previews();
    return int(std::count_if(previews.cbegin(), previews.cend(),
                             [](const import::RowPreview &row) { return row.fate != import::RowFate::Blank; }));
}

void urunlertoplu::closeEvent(QCloseEvent *event)
{
    const int unsaved = m_leaving ? 0 : unsavedProducts();
    if (unsaved > 0) {
        QMessageBox box(QMessageBox::Question, QGuiApplication::applicationDisplayName(),
                        QStringLiteral("Tablodaki %1 ürün kaydedilmedi. Çıkarsanız liste kaybolur.").arg(unsaved),
                        QMessageBox::NoButton, this);
        QPushButton *leave = box.addButton(QStringLiteral("Çık"), QMessageBox::DestructiveRole);
        QPushButton *stay = box.addButton(QStringLiteral("Vazgeç"), QMessageBox::RejectRole);
        box.setDefaultButton(stay);
        box.setEscapeButton(stay);
        box.exec();
        if (box.clickedButton() != leave) {
            event->ignore();
            return;
        }
    }
    QWidget::closeEvent(event);
}

void urunlertoplu::Command1_Click()
{
    dlg->setFileName(QStringLiteral("*.xls"));
    dlg->setFilter(openFilter());
    dlg->setFlags(dialog::cdlOFNFileMustExist);
    dlg->setInitDir(recentfolders::folder(recentfolders::Dialog::Open));
    dlg->ShowOpen();
    recentfolders::remember(recentfolders::Dialog::Open, dlg->FileName());
    loadSpreadsheet(dlg->FileName());
}

QString urunlertoplu::openFilter()
{
    return QStringLiteral("Tablo dosyaları|*.xls;*.xlsx;*.xlsm;*.ods;*.csv;*.txt;*.htm;*.html"
                          "|Excel 97-2003 çalışma kitabı|*.xls|Tüm dosyalar|*");
}

void urunlertoplu::loadSpreadsheet(const QString &path)
{
    basliklariyaz();
    // A new list starts a new count; the title names the list on the grid.
    say->setText(QStringLiteral("0"));
    m_sheetPath = path.isEmpty() ? QString() : QFileInfo(path).absoluteFilePath();
    setWindowTitle(titleFor(baglanti, m_sheetPath));
    if (path.isEmpty())
        return;
    // A refused file leaves the empty grid; a damaged one what could be read.
    const spreadsheet::SheetColumns sheet = spreadsheet::readSheet(path);
    m_lastLoad = sheet;
    QStringList messages{import::loadMessage(path, sheet)};
    if (sheet.ok())
        messages << showList(sheet.rows);
    setColumnWidths();
    messages.removeAll(QString());
    if (!messages.isEmpty())
        showMessage(messages.join(QStringLiteral("\n\n")));
}

QString urunlertoplu::showList(const spreadsheet::RowStore &sheetRows)
{
    const import::ListColumns columns = import::detectColumns(sheetRows);
    if (!columns.headerRow()) {
        satisekrani2->LoadRows(sheetRows, import::kProductFields);
        return import::layoutMessage(columns, {});
    }
    const import::ListRows list = import::listRows(sheetRows, columns);
    const QList<import::ListField> &own = columns.ownFields();
    // The preview reads the own columns as soon as they are filled.
    preview->setOwnFields(own);
    satisekrani2->setCols(1 + import::kProductFields + int(own.size()));
    const auto caption = [&columns](import::ListField field) {
        const QString text = columns.caption(field);
        return text.isEmpty() ? import::defaultCaption(field) : text;
    };
    for (int field = 0; field < import::kProductFields; ++field)
        satisekrani2->setTextMatrix(0, 1 + field, caption(import::ListField(field)));
    for (qsizetype index = 0; index < own.size(); ++index)
        satisekrani2->setTextMatrix(0, 1 + import::kProductFields + int(index), caption(own.at(index)));
    satisekrani2->LoadRows(list.cells, import::kProductFields + int(own.size()));
    return import::layoutMessage(columns, list);
}

void urunlertoplu::showMessage(const QString &text)
{
    QMessageBox box(QMessageBox::NoIcon, QGuiApplication::applicationDisplayName(), text, QMessageBox::Ok, this);
    box.exec();
}

// One local file dragged over the window (or the grid, which passes drops
// on) can be dropped; anything else is refused at once.
QString urunlertoplu::droppedFile(const QMimeData *data)
{
    if (!data || !data->hasUrls() || data->urls().size() != 1 || !data->urls().first().isLocalFile())
        return {};
    return data->urls().first().toLocalFile();
}

void urunlertoplu::dragEnterEvent(QDragEnterEvent *event)
{
    if (kaydet->isEnabled() && !droppedFile(event->mimeData()).isEmpty())
        event->acceptProposedAction();
}

void urunlertoplu::dropEvent(QDropEvent *event)
{
    const QString path = droppedFile(event->mimeData());
    if (!kaydet->isEnabled() || path.isEmpty())
        return;
    event->acceptProposedAction();
    loadSpreadsheet(path);
}

void urunlertoplu::cik_Click()
{
    close();
}

void urunlertoplu::Grup_Click()
{
    Grupid->setCurrentIndex(Grup->currentIndex());
}

void urunlertoplu::Grup_Change()
{
    Grupid->setCurrentIndex(Grupid->findText(QStringLiteral("0")));
}

void urunlertoplu::kdv_Click()
{
    kdvid->setCurrentIndex(kdv->currentIndex());
}

void urunlertoplu::yazici_Click()
{
    yaziciid->setCurrentIndex(yazici->currentIndex());
}

void urunlertoplu::renk1_Click()
{
    if (const auto colour = import::colourText(renk1->currentIndex()))
        butonrengi = *colour;
}

void urunlertoplu::renk2_Click()
{
    if (const auto colour = import::colourText(renk2->currentIndex()))
        yazirengi = *colour;
}

void urunlertoplu::satisekrani2_RowNotification()
{
    // The last row just got a name: give the operator an empty row below
    // it. Without a cursor row or a name column the test cannot be made, and
    // a row is appended all the same.
    const int row = satisekrani2->Row();
    const int rows = satisekrani2->Rows();
    const bool testable = row >= 0 && satisekrani2->Cols() >= 3;
    if (!testable || (row == rows - 1 && !satisekrani2->TextMatrix(row, 2).isEmpty()))
        satisekrani2->setRows(rows + 1);
}
