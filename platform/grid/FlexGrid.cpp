#include "platform/grid/FlexGrid.h"

#include <QApplication>
#include <QClipboard>
#include <QHeaderView>
#include <QKeyEvent>
#include <QScopedValueRollback>
#include <QStyle>

#include <algorithm>
#include <cmath>

#include "platform/grid/FlexGridModel.h"
#include "platform/grid/Twips.h"
#include "spreadsheet/SheetFile.h"

namespace {

// Columns of a workbook that LoadGrid copies (A–C, the first cells of each
// row the reader gives) and the grid column that receives column A.
constexpr int sheetColumns = 3;
constexpr int firstLoadColumn = 1;

const char *const flexGridStyle =
    "QTableView { background-color: rgb(128, 128, 128); gridline-color: white;"
    " selection-background-color: rgb(128, 128, 128); selection-color: white; }"
    "QHeaderView { background-color: rgb(128, 128, 128); }"
    "QHeaderView::section { background-color: white; color: black; border: none;"
    " border-right: 1px solid white; border-bottom: 1px solid white; padding-left: 2px; }";

}  // namespace

FlexGrid::FlexGrid(QWidget *parent)
    : QTableView(parent)
    , m_model(new FlexGridModel(this))
{
    setModel(m_model);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setSelectionBehavior(QAbstractItemView::SelectItems);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setTabKeyNavigation(true);
    setWordWrap(false);
    setCornerButtonEnabled(false);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    setStyleSheet(QString::fromLatin1(flexGridStyle));

    verticalHeader()->hide();
    verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    verticalHeader()->setMinimumSectionSize(0);
    QHeaderView *header = horizontalHeader();
    header->setSectionResizeMode(QHeaderView::Fixed);
    header->setMinimumSectionSize(0);
    header->setHighlightSections(false);
    header->setSectionsClickable(false);
    header->setStretchLastSection(false);
    header->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);

    connect(m_model, &FlexGridModel::cellEdited, this, &FlexGrid::RowNotification);
    connect(header, &QHeaderView::sectionResized, this, [this](int col, int, int newSize) {
        // Only the operator's drag is a new width: code sets m_colWidths first.
        if (m_applyingWidths || col >= static_cast<int>(m_colWidths.size()))
            return;
        m_colWidths[static_cast<size_t>(col)] = static_cast<int>(std::lround(twips::fromPixels(newSize, logicalDpiX())));
        emit AfterUserResize(col);
    });
    changeShape([] {});
}

FlexGrid::~FlexGrid() = default;

int FlexGrid::Rows() const
{
    return m_model->rowCount();
}

void FlexGrid::setRows(int rows)
{
    changeShape([&] { m_model->setRowCount(rows); });
}

int FlexGrid::Cols() const
{
    return m_model->columnCount();
}

void FlexGrid::setCols(int cols)
{
    changeShape([&] { m_model->setColumnCount(cols); });
}

int FlexGrid::FixedRows() const
{
    return m_model->fixedRows();
}

void FlexGrid::setFixedRows(int rows)
{
    changeShape([&] { m_model->setFixedRows(rows); });
}

int FlexGrid::FixedCols() const
{
    return m_model->fixedCols();
}

void FlexGrid::setFixedCols(int cols)
{
    changeShape([&] { m_model->setFixedCols(cols); });
}

int FlexGrid::Row() const
{
    return currentIndex().row();
}

void FlexGrid::setRow(int row)
{
    if (row < 0 || row >= Rows())
        return;
    const int col = Col() >= 0 ? Col() : std::min(FixedCols(), Cols() - 1);
    setCurrentIndex(m_model->index(row, std::max(col, 0)));
}

int FlexGrid::Col() const
{
    return currentIndex().column();
}

void FlexGrid::setCol(int col)
{
    if (col < 0 || col >= Cols())
        return;
    const int row = Row() >= 0 ? Row() : std::min(FixedRows(), Rows() - 1);
    setCurrentIndex(m_model->index(std::max(row, 0), col));
}

QString FlexGrid::TextMatrix(int row, int col) const
{
    return m_model->text(row, col);
}

void FlexGrid::setTextMatrix(int row, int col, const QString &text)
{
    m_model->setText(row, col, text);
}

int FlexGrid::ColWidth(int col) const
{
    if (col < 0 || col >= static_cast<int>(m_colWidths.size()))
        return 0;
    const int stored = m_colWidths[static_cast<size_t>(col)];
    return stored >= 0 ? stored : static_cast<int>(std::lround(twips::fromPixels(columnWidth(col), logicalDpiX())));
}

void FlexGrid::setColWidth(int col, int twips)
{
    if (col < 0 || col >= static_cast<int>(m_colWidths.size()))
        return;
    m_colWidths[static_cast<size_t>(col)] = std::max(twips, -1);
    applyColumnWidths();
}

float FlexGrid::Width() const
{
    return static_cast<float>(m_widthTwips >= 0 ? m_widthTwips : twips::fromPixels(width(), logicalDpiX()));
}

float FlexGrid::ClientWidth() const
{
    int pixels = frameWidth() * 2 + style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, this);
    if (!verticalHeader()->isHidden())
        pixels += verticalHeader()->sizeHint().width();
    return std::max(Width() - static_cast<float>(twips::fromPixels(pixels, logicalDpiX())), 0.0F);
}

void FlexGrid::setAllowUserResizing(int setting)
{
    m_allowResizing = setting;
    const bool columns = setting == flexResizeColumns;
    horizontalHeader()->setSectionResizeMode(columns ? QHeaderView::Interactive : QHeaderView::Fixed);
    setHorizontalScrollBarPolicy(columns ? Qt::ScrollBarAsNeeded : Qt::ScrollBarAlwaysOff);
}

bool FlexGrid::RowNumbers() const
{
    return !verticalHeader()->isHidden();
}

void FlexGrid::setRowNumbers(bool shown)
{
    verticalHeader()->setVisible(shown);
}

QList<int> FlexGrid::SelectedRows() const
{
    QList<int> rows;
    for (const QModelIndex &index : selectionModel()->selectedIndexes())
        rows << index.row();
    if (rows.isEmpty() && currentIndex().isValid())
        rows << currentIndex().row();
    std::sort(rows.begin(), rows.end());
    rows.erase(std::unique(rows.begin(), rows.end()), rows.end());
    rows.removeIf([this](int row) { return row < FixedRows() || row >= Rows(); });
    return rows;
}

int FlexGrid::RemoveRows(const QList<int> &rows)
{
    QList<int> sorted = rows;
    std::sort(sorted.begin(), sorted.end());
    sorted.erase(std::unique(sorted.begin(), sorted.end()), sorted.end());
    sorted.removeIf([this](int row) { return row < FixedRows() || row >= Rows(); });
    const int cursorRow = Row();
    changeShape([&] {
        // From the bottom up, a run of neighbours at a time, so that the
        // rows still to go keep their numbers.
        for (qsizetype end = sorted.size(); end > 0;) {
            qsizetype start = end - 1;
            while (start > 0 && sorted.at(start - 1) == sorted.at(start) - 1)
                --start;
            m_model->removeRows(sorted.at(start), int(end - start));
            end = start;
        }
        // The cursor stays where it was, on the row that moved up into place.
        if (cursorRow >= 0 && Rows() > FixedRows())
            setCurrentIndex(m_model->index(std::min(cursorRow, Rows() - 1), std::max(Col(), FixedCols())));
    });
    return int(sorted.size());
}

void FlexGrid::Clear()
{
    changeShape([&] { m_model->clear(); });
}

bool FlexGrid::LoadGrid(const QString &fileName, int kind)
{
    if (kind != flexFileExcel || m_model->dataSource()) {
        m_lastLoad = spreadsheet::SheetColumns::refused(
            spreadsheet::ReadError::CannotOpen,
            kind != flexFileExcel ? tr("load kind %1 is not supported").arg(kind) : tr("the grid shows a data source"));
        return false;
    }
    const spreadsheet::SheetColumns sheet = spreadsheet::readSheet(fileName);
    m_lastLoad = sheet;
    if (!sheet.ok())
        return false;
    LoadRows(sheet.rows, sheetColumns);
    return true;
}

void FlexGrid::LoadRows(const spreadsheet::RowStore &rows, int columns)
{
    // Cell by cell from the store: no row is made a list on the way.
    loadBlock(static_cast<int>(rows.size()), columns,
              [&rows](int row, int col) { return rows.cell(static_cast<size_t>(row), col).toString(); });
}

void FlexGrid::LoadRows(const std::vector<QStringList> &rows, int columns)
{
    loadBlock(static_cast<int>(rows.size()), columns, [&rows](int row, int col) {
        const QStringList &cells = rows[static_cast<size_t>(row)];
        return col < cells.size() ? cells.at(col) : QString();
    });
}

void FlexGrid::loadBlock(int count, int columns, const std::function<QString(int, int)> &cell)
{
    changeShape([&] {
        m_model->setRowCount(std::max(Rows(), FixedRows() + count));
        m_model->setColumnCount(std::max(Cols(), firstLoadColumn + columns));
        m_model->setBlock(FixedRows(), firstLoadColumn, count, columns, cell);
    });
}

void FlexGrid::setDataSource(IVSFlexDataSource *source)
{
    changeShape([&] { m_model->setDataSource(source); });
}

IVSFlexDataSource *FlexGrid::dataSource() const
{
    return m_model->dataSource();
}

int FlexGrid::OutlineBar() const
{
    return m_outlineBar;
}

void FlexGrid::setOutlineBar(int setting)
{
    m_outlineBar = setting;
    viewport()->update();
}

bool FlexGrid::IsSubtotal(int row) const
{
    return m_model->isSubtotal(row);
}

void FlexGrid::setIsSubtotal(int row, bool isNode)
{
    m_model->setIsSubtotal(row, isNode);
}

short FlexGrid::RowOutlineLevel(int row) const
{
    return m_model->outlineLevel(row);
}

void FlexGrid::setRowOutlineLevel(int row, short level)
{
    m_model->setOutlineLevel(row, level);
}

QVariant FlexGrid::Cell(int setting, int row, int col) const
{
    if (setting != flexcpBackColor)
        return {};
    return QVariant::fromValue(m_model->backColour(row, col));
}

void FlexGrid::setCell(int setting, int row, int col, const QVariant &value)
{
    if (setting == flexcpBackColor)
        m_model->setBackColour(row, col, value.toUInt());
}

void FlexGrid::AutoSize(int col1, int col2)
{
    const int last = std::min(col2, Cols() - 1);
    for (int col = std::max(col1, 0); col <= last; ++col) {
        const int fitted = std::max(sizeHintForColumn(col), horizontalHeader()->sectionSizeHint(col));
        m_colWidths[static_cast<size_t>(col)] = static_cast<int>(std::lround(twips::fromPixels(fitted, logicalDpiX())));
    }
    applyColumnWidths();
}

void FlexGrid::Refresh()
{
    changeShape([&] { m_model->refresh(); });
}

int FlexGrid::Editable() const
{
    return m_model->isEditable() ? 1 : 0;
}

void FlexGrid::setEditable(int setting)
{
    m_model->setEditable(setting != 0);
    setEditTriggers(setting != 0 ? QAbstractItemView::DoubleClicked | QAbstractItemView::EditKeyPressed
                                       | QAbstractItemView::AnyKeyPressed
                                 : QAbstractItemView::NoEditTriggers);
}

void FlexGrid::setTwipsGeometry(const QRect &twipsRect)
{
    m_widthTwips = twipsRect.width();
    setGeometry(twips::toPixels(twipsRect, logicalDpiX(), logicalDpiY()));
}

void FlexGrid::currentChanged(const QModelIndex &current, const QModelIndex &previous)
{
    QTableView::currentChanged(current, previous);
    if (!m_changingShape && current.row() != previous.row())
        emit RowNotification();
}

void FlexGrid::keyPressEvent(QKeyEvent *event)
{
    if (event->matches(QKeySequence::Paste) && state() != QAbstractItemView::EditingState) {
        pasteText(QApplication::clipboard()->text());
        event->accept();
        return;
    }
    QTableView::keyPressEvent(event);
}

bool FlexGrid::focusNextPrevChild(bool next)
{
    // Tab walks the cells; from the last cell (Shift+Tab: the first) it
    // leaves the grid for the next control instead of wrapping around.
    const QModelIndex current = currentIndex();
    const bool atEnd = next ? current.row() == Rows() - 1 && current.column() == Cols() - 1
                            : current.row() <= FixedRows() && current.column() <= FixedCols();
    if (!current.isValid() || atEnd)
        return QWidget::focusNextPrevChild(next);
    return QTableView::focusNextPrevChild(next);
}

void FlexGrid::resizeEvent(QResizeEvent *event)
{
    if (m_widthTwips >= 0 && width() != pixels(m_widthTwips))
        m_widthTwips = -1;
    QTableView::resizeEvent(event);
}

void FlexGrid::changeEvent(QEvent *event)
{
    if (event->type() == QEvent::FontChange) {
        // Fixed cells use the grid's font too; the style sheet would give
        // the header the application's.
        horizontalHeader()->setFont(font());
        verticalHeader()->setDefaultSectionSize(fontMetrics().height() + 4);
    }
    QTableView::changeEvent(event);
}

template <typename Change>
void FlexGrid::changeShape(Change change)
{
    const QScopedValueRollback<bool> codeChange(m_changingShape, true);
    change();
    showFixedRow();
    applyColumnWidths();
    ensureCursor();
}

void FlexGrid::showFixedRow()
{
    // Row 0 is shown by the horizontal header, which never scrolls away;
    // its model row stays hidden in the cell area.
    const bool headerRow = FixedRows() > 0 && Rows() > 0;
    horizontalHeader()->setVisible(headerRow);
    if (Rows() > 0)
        setRowHidden(0, headerRow);
}

void FlexGrid::ensureCursor()
{
    // The cursor stays on a data cell, and is gone when there is none.
    const QModelIndex current = currentIndex();
    if (current.isValid() && !m_model->isFixed(current.row(), current.column()))
        return;
    if (Rows() <= FixedRows() || Cols() <= FixedCols()) {
        if (current.isValid())
            selectionModel()->clear();
        return;
    }
    const int row = current.isValid() ? std::max(current.row(), FixedRows()) : FixedRows();
    const int col = current.isValid() ? std::max(current.column(), FixedCols()) : FixedCols();
    setCurrentIndex(m_model->index(row, col));
}

void FlexGrid::applyColumnWidths()
{
    const QScopedValueRollback<bool> applying(m_applyingWidths, true);
    m_colWidths.resize(static_cast<size_t>(Cols()), -1);
    QHeaderView *header = horizontalHeader();
    for (int col = 0; col < Cols(); ++col) {
        const int stored = m_colWidths[static_cast<size_t>(col)];
        header->resizeSection(col, stored >= 0 ? pixels(stored) : header->defaultSectionSize());
    }
}

void FlexGrid::pasteText(const QString &text)
{
    const QModelIndex at = currentIndex();
    if (!m_model->isEditable() || !at.isValid() || text.isEmpty())
        return;
    QStringList lines = QString(text).remove(u'\r').split(u'\n');
    if (lines.size() > 1 && lines.last().isEmpty())
        lines.removeLast();  // a spreadsheet copy ends with a line break
    std::vector<QStringList> cells;
    qsizetype width = 0;
    for (const QString &line : lines) {
        cells.push_back(line.split(u'\t'));
        width = std::max(width, cells.back().size());
    }
    // The grid grows to hold every line (columns past the last are dropped),
    // and the cursor ends on the block's last row: the one notification then
    // judges that row, as it would after the operator had typed the block.
    const int lastRow = at.row() + static_cast<int>(cells.size()) - 1;
    changeShape([&] {
        m_model->setRowCount(std::max(Rows(), lastRow + 1));
        m_model->setBlock(at.row(), at.column(), static_cast<int>(cells.size()), static_cast<int>(width),
                          [&cells](int row, int col) { return cells[static_cast<size_t>(row)].value(col); });
        setCurrentIndex(m_model->index(std::min(lastRow, Rows() - 1), at.column()));
    });
    emit RowNotification();
}

int FlexGrid::pixels(double twipsLength) const
{
    return twips::toPixels(twipsLength, logicalDpiX());
}
