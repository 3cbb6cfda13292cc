#include "window/GridPreview.h"

#include <QColor>
#include <QStringList>

#include <algorithm>

#include "import/BarcodeLookup.h"
#include "import/ColourTable.h"
#include "import/SaveReport.h"
#include "platform/grid/FlexGrid.h"
#include "platform/grid/FlexGridModel.h"

namespace {

using import::RowFate;
using import::RowPreview;

// Light enough for the grid's black bold text (contrast 10:1 or more), and
// far enough apart, the grid's own grey included, to be told apart with the
// common kinds of colour blindness too. "Will be added" keeps the grey.
const QColor kWillAdd(192, 192, 192);
const QColor kSkipped(196, 184, 76);
const QColor kInDatabase(255, 160, 148);
const QColor kRepeat(255, 196, 136);
const QColor kWarning(196, 232, 255);
const QColor kWillFail(220, 160, 244);
const QColor kWillUpdate(160, 255, 100);
const QColor kUnchanged(244, 244, 208);

// The rows of `rows` other than `self`, the first twenty of them: a tooltip
// listing thousands would cover the screen.
QString otherRows(const QList<int> &rows, int self)
{
    constexpr qsizetype kListed = 20;
    QStringList texts;
    for (const int row : rows) {
        if (row == self)
            continue;
        if (texts.size() == kListed) {
            texts << QStringLiteral("…");
            break;
        }
        texts << QString::number(row);
    }
    return texts.join(QStringLiteral(", "));
}

// What a row of a registered barcode does to its item.
QStringList updateLines(const RowPreview &p)
{
    QStringList lines;
    if (p.fate == RowFate::WillUpdate) {
        if (p.update->newPrice)
            lines << QStringLiteral("Fiyatı güncellenecek: %1.").arg(import::priceChangeText(*p.update));
        if (p.update->newName)
            lines << QStringLiteral("Adı “%1” yerine “%2” olacak.")
                         .arg(import::cellQuote(p.update->oldName), import::cellQuote(*p.update->newName));
    } else {
        const QString reason = import::notAddedReason(p);
        lines << (p.fate == RowFate::Unchanged ? QStringLiteral("Değişmeyecek: %1 (%2).")
                                                     .arg(reason, import::priceText(p.product->price))
                                               : QStringLiteral("Güncellenmeyecek: %1.").arg(reason));
    }
    if (p.existing.itemsWithBarcode > 1)
        lines << QStringLiteral("Bu barkod %1 üründe var; en küçük numaralı olan (no %2) güncellenir.")
                     .arg(p.existing.itemsWithBarcode)
                     .arg(p.existing.id);
    if (p.notStorable)
        lines << import::notStorableReason(*p.notStorable) + QStringLiteral("; bu satır güncellenemeyecek.");
    return lines;
}

QStringList reasons(const RowPreview &p, int row)
{
    switch (p.fate) {
    case RowFate::Blank:
        return {};
    case RowFate::SkippedNoName:
    case RowFate::SkippedPrice:
    case RowFate::SkippedChoice:
        return {QStringLiteral("Atlanacak: %1.").arg(import::notAddedReason(p))};
    case RowFate::InDatabase:
    case RowFate::RepeatInFile: {
        // The reason's first word, "barkod", opens the sentence.
        const QString reason = import::notAddedReason(p);
        return {reason.first(1).toUpper() + reason.sliced(1) + u'.'};
    }
    case RowFate::WillUpdate:
    case RowFate::Unchanged:
    case RowFate::CannotUpdate:
    case RowFate::PriceConflict:
        return updateLines(p);
    case RowFate::WillAdd:
        break;
    }
    QStringList lines{QStringLiteral("Eklenecek.")};
    if (!p.barcodeRows.isEmpty())
        lines << QStringLiteral("Aynı barkod şu satırlarda da var: %1.").arg(otherRows(p.barcodeRows, row));
    if (p.warnings & import::NameCut)
        lines << QStringLiteral("Ad 50 karakterden uzun; “%1” olarak kaydedilecek.").arg(p.product->name);
    if (p.warnings & import::BarcodeCut)
        lines << QStringLiteral("Barkod 50 karakterden uzun; “%1” olarak kaydedilecek.").arg(p.product->barcode);
    if (p.warnings & import::PriceNotPositive)
        lines << QStringLiteral("Fiyat sıfır ya da eksi.");
    if (p.warnings & import::PriceGrouped)
        lines << QStringLiteral("Fiyattaki nokta binlik ayırıcı sayıldı; fiyatı kontrol edin.");
    if (p.warnings & import::GroupCut)
        lines << QStringLiteral("Grup 50 karakterden uzun; “%1” olarak kaydedilecek.").arg(p.values.group);
    if (p.notStorable)
        lines << import::notStorableReason(*p.notStorable) + QStringLiteral("; bu satır eklenemeyecek.");
    return lines;
}

}  // namespace

GridPreview::GridPreview(FlexGrid &grid, const ado::Connection &connection, ChoicesSource choices, QObject *parent)
    : QObject(parent),
      m_grid(grid),
      m_model(grid.gridModel()),
      m_connection(connection),
      m_choices(std::move(choices)),
      m_verdicts({}, {}, ado::TextFidelity::unicode())
{
    FlexGridModel *model = m_model;
    model->setRowDecoration(this);
    // Texts changed by an edit, a paste, a load or a reset; the decoration's
    // own repaints (colours and tooltips only) are not changes of text.
    connect(model, &QAbstractItemModel::dataChanged, this,
            [this](const QModelIndex &topLeft, const QModelIndex &bottomRight, const QList<int> &roles) {
                if (roles.isEmpty() || roles.contains(Qt::DisplayRole) || roles.contains(Qt::EditRole))
                    rowsChanged(topLeft.row(), bottomRight.row());
            });
    connect(model, &QAbstractItemModel::modelReset, this, &GridPreview::update);
    connect(model, &QAbstractItemModel::rowsRemoved, this, &GridPreview::update);
}

GridPreview::~GridPreview()
{
    if (m_model)
        m_model->setRowDecoration(nullptr);
}

import::ProductRow GridPreview::productRow(const FlexGrid &grid, int row, const QList<import::ListField> &ownFields)
{
    QStringList cells;
    const int columns = import::kProductFields + int(ownFields.size());
    cells.reserve(columns);
    for (int col = 1; col <= columns; ++col)
        cells << grid.TextMatrix(row, col);
    return import::productRowOf(cells, ownFields);
}

QList<import::ProductRow> GridPreview::productRows(const FlexGrid &grid, const QList<import::ListField> &ownFields)
{
    QList<import::ProductRow> rows;
    const int count = grid.Rows();
    rows.reserve(std::max(count - 1, 0));
    for (int row = 1; row < count; ++row)
        rows.append(productRow(grid, row, ownFields));
    return rows;
}

void GridPreview::setOwnFields(const QList<import::ListField> &fields)
{
    m_ownFields = fields;
}

import::ExistingBarcodes GridPreview::lookUpNew(const QStringList &barcodes)
{
    QStringList unasked;
    for (const QString &barcode : barcodes) {
        if (!barcode.isEmpty() && !m_asked.contains(barcode))
            unasked << barcode;
    }
    if (unasked.isEmpty() || !m_connection.isOpen())
        return {};
    const import::BarcodeLookup found = import::findExistingBarcodes(m_connection.database(), unasked);
    m_lookupError = found.text();
    if (!found.ok())
        return {};
    for (const QString &barcode : std::as_const(unasked))
        m_asked.insert(barcode);
    m_existing.insert(found.items);
    return found.items;
}

void GridPreview::update()
{
    if (!m_recordsRead && m_connection.isOpen()) {
        platform::Result<import::ChoiceRecords> read = import::readChoiceRecords(m_connection.database());
        m_records = std::move(read.value);
        m_recordsRead = read.ok();
        if (!m_recordsRead)
            m_lookupError = read.text();
    }
    m_verdicts = import::GridVerdicts(m_choices(), m_existing, m_connection.textFidelity(), m_records);
    m_verdicts.judgeAll(productRows(m_grid, m_ownFields));
    m_verdicts.addExisting(lookUpNew(m_verdicts.barcodes()));
    repaint();
}

void GridPreview::rowsChanged(int first, int last)
{
    // An edit or a short paste; anything larger is as cheap to judge whole.
    constexpr int kRowsJudgedAlone = 64;
    first = std::max(first, 1);
    if (m_verdicts.previews().size() != m_grid.Rows() - 1 || last - first >= kRowsJudgedAlone) {
        update();
        return;
    }
    for (int row = first; row <= last; ++row) {
        m_verdicts.judgeRow(row, productRow(m_grid, row, m_ownFields));
        if (const std::optional<import::Product> &judged = m_verdicts.previews().at(row - 1).product)
            m_verdicts.addExisting(lookUpNew({judged->barcode}));
    }
    repaint();
}

void GridPreview::repaint()
{
    // Rows sharing a barcode with a changed row may have changed too.
    m_model->rowDecorationChanged(1, m_grid.Rows() - 1);
    emit changed();
}

void GridPreview::refresh()
{
    m_existing.clear();
    m_asked.clear();
    m_recordsRead = false;
    update();
}

QString GridPreview::noDatabaseReason(const ado::Connection &connection)
{
    return connection.lastOpen().ok() ? QStringLiteral("bağlantı açılmadı") : connection.lastOpen().text();
}

QString GridPreview::summary() const
{
    if (!m_connection.isOpen())
        return QStringLiteral("Veritabanı yok, hiçbir ürün eklenemez: %1").arg(noDatabaseReason(m_connection));
    const QList<RowPreview> &previews = m_verdicts.previews();
    const bool anyProduct = std::any_of(previews.cbegin(), previews.cend(),
                                        [](const RowPreview &p) { return p.fate != RowFate::Blank; });
    return anyProduct ? import::previewSummary(previews, m_verdicts.newGroups()) : QString();
}

QList<GridPreview::LegendEntry> GridPreview::legend()
{
    return {
        {kWillAdd, QStringLiteral("eklenecek")},
        {kWarning, QStringLiteral("uyarıyla eklenecek: kısaltılacak ad ya da barkod, sıfır ya da binlik noktalı fiyat")},
        {kSkipped, QStringLiteral("atlanacak: ad yok ya da fiyat bir sayı değil")},
        {kWillFail, QStringLiteral("eklenemeyecek: tanınmayan seçim ya da yazılamayan karakter")},
        {kInDatabase, QStringLiteral("barkod zaten kayıtlı")},
        {kRepeat, QStringLiteral("barkod dosyada tekrar")},
        {kWillUpdate, QStringLiteral("fiyatı (ya da adı) güncellenecek")},
        {kUnchanged, QStringLiteral("fiyat aynı, değişmeyecek")},
    };
}

QString GridPreview::legendHtml()
{
    QString rows;
    for (const LegendEntry &entry : legend())
        rows += QStringLiteral("<tr><td bgcolor=\"%1\" width=\"28\"></td><td style=\"white-space:pre\">&nbsp;%2</td></tr>")
                    .arg(entry.colour.name(), entry.text.toHtmlEscaped());
    return QStringLiteral("<b>Satır renkleri</b><table cellspacing=\"2\">%1</table>"
                          "Ayrıntı için satırın üzerinde durun.").arg(rows);
}

QString GridPreview::valuesLine(const import::RowValues &values) const
{
    QString printer = QStringLiteral("yok");
    for (const import::NamedRecord &record : m_records.printers) {
        if (values.printerId && record.id.trimmed() == *values.printerId) {
            printer = record.name;
            break;
        }
    }
    const QStringList colours = import::colourNames();
    QString colour = values.buttonColor;
    for (int position = 0; position < colours.size(); ++position) {
        if (import::colourText(position) == values.buttonColor)
            colour = colours.at(position);
    }
    const bool newGroup = m_verdicts.choices().showOnSalesScreen && m_verdicts.options().isNewGroup(values.group);
    QStringList parts{QStringLiteral("Grup: %1%2").arg(values.group, newGroup ? QStringLiteral(" (yeni)") : QString()),
                      QStringLiteral("Birim: %1").arg(values.multiplier == u"1" ? QStringLiteral("Adet") : QStringLiteral("Kg")),
                      QStringLiteral("Yazıcı: %1").arg(printer)};
    if (m_verdicts.choices().showOnSalesScreen) {
        parts << QStringLiteral("Renk: %1").arg(colour);
        if (!values.subMenuTag.isEmpty())
            parts << QStringLiteral("Alt grup: %1").arg(values.subMenuTag);
    }
    return parts.join(QStringLiteral(" · "));
}

const RowPreview *GridPreview::previewOf(int row) const
{
    const QList<RowPreview> &previews = m_verdicts.previews();
    return row >= 1 && row <= previews.size() ? &previews.at(row - 1) : nullptr;
}

QColor GridPreview::background(int row) const
{
    const RowPreview *p = previewOf(row);
    if (!p)
        return {};
    switch (p->fate) {
    case RowFate::SkippedNoName:
    case RowFate::SkippedPrice:
        return kSkipped;
    case RowFate::SkippedChoice:
        return kWillFail;
    case RowFate::InDatabase:
    case RowFate::CannotUpdate:
        return kInDatabase;
    case RowFate::RepeatInFile:
    case RowFate::PriceConflict:
        return kRepeat;
    case RowFate::WillUpdate:
        return p->notStorable ? kWillFail : kWillUpdate;
    case RowFate::Unchanged:
        return kUnchanged;
    case RowFate::WillAdd:
        if (p->notStorable)
            return kWillFail;
        return p->warnings != import::NoWarning ? kWarning : QColor();
    case RowFate::Blank:
        break;
    }
    return {};
}

QString GridPreview::toolTip(int row, int col) const
{
    const RowPreview *p = previewOf(row);
    if (!p)
        return {};
    QStringList lines = reasons(*p, row);
    if (p->fate == RowFate::WillAdd && !m_connection.isOpen())
        lines.first() = QStringLiteral("Veritabanı yok; eklenemez.");
    if (p->fate == RowFate::WillAdd && !m_ownFields.isEmpty())
        lines << valuesLine(p->values);
    if (col == 2 && !m_grid.TextMatrix(row, 2).isEmpty())
        lines << QStringLiteral("Ad: %1").arg(import::cellQuote(m_grid.TextMatrix(row, 2)));
    // What the number is, as the save will store it.
    if (const QString reading = import::priceReading(m_grid.TextMatrix(row, 3), m_verdicts.choices().locale);
        col == 3 && !reading.isEmpty())
        lines << QStringLiteral("Fiyat: %1").arg(reading);
    return lines.join(u'\n');
}
