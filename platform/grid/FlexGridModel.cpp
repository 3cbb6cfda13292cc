#include "platform/grid/FlexGridModel.h"

#include <algorithm>
#include <exception>

namespace {

QColor fromBgr(quint32 bgr)
{
    return QColor(static_cast<int>(bgr & 0xFF), static_cast<int>((bgr >> 8) & 0xFF), static_cast<int>((bgr >> 16) & 0xFF));
}

// The source's answer, or `fallback` when it throws: a bad record or field
// shows as an empty cell instead of ending the paint.
template <typename Call, typename Value>
Value ask(Call call, Value fallback)
{
    try {
        return call();
    } catch (const std::exception &) {
        return fallback;
    }
}

}  // namespace

FlexGridModel::FlexGridModel(QObject *parent)
    : QAbstractTableModel(parent)
{
}

int FlexGridModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : m_rows;
}

int FlexGridModel::columnCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : m_cols;
}

QVariant FlexGridModel::data(const QModelIndex &index, int role) const
{
    if (!index.isValid() || !contains(index.row(), index.column()))
        return {};
    const int row = index.row();
    const int col = index.column();
    switch (role) {
    case Qt::DisplayRole:
    case Qt::EditRole:
        return text(row, col);
    case Qt::BackgroundRole:
        if (const quint32 tint = backColour(row, col))
            return fromBgr(tint);
        if (isFixed(row, col))
            return m_fixedBack;
        if (m_decoration) {
            if (const QColor decorated = m_decoration->background(row); decorated.isValid())
                return decorated;
        }
        return m_back;
    case Qt::ForegroundRole:
        return m_text;
    case Qt::ToolTipRole:
        if (m_decoration && !isFixed(row, col)) {
            if (const QString tip = m_decoration->toolTip(row, col); !tip.isEmpty())
                return tip;
        }
        return {};
    default:
        return {};
    }
}

void FlexGridModel::setRowDecoration(const RowDecoration *decoration)
{
    m_decoration = decoration;
    if (m_rows > 0 && m_cols > 0)
        emit dataChanged(index(0, 0), index(m_rows - 1, m_cols - 1), {Qt::BackgroundRole, Qt::ToolTipRole});
}

void FlexGridModel::rowDecorationChanged(int first, int last)
{
    first = std::max(first, 0);
    last = std::min(last, m_rows - 1);
    if (first <= last && m_cols > 0)
        emit dataChanged(index(first, 0), index(last, m_cols - 1), {Qt::BackgroundRole, Qt::ToolTipRole});
}

bool FlexGridModel::setData(const QModelIndex &index, const QVariant &value, int role)
{
    if (role != Qt::EditRole || !index.isValid() || !m_editable || isFixed(index.row(), index.column())
        || !contains(index.row(), index.column()))
        return false;
    setText(index.row(), index.column(), value.toString());
    emit cellEdited(index.row(), index.column());
    return true;
}

Qt::ItemFlags FlexGridModel::flags(const QModelIndex &index) const
{
    if (!index.isValid() || isFixed(index.row(), index.column()))
        return Qt::NoItemFlags;
    Qt::ItemFlags result = Qt::ItemIsEnabled | Qt::ItemIsSelectable;
    if (m_editable)
        result |= Qt::ItemIsEditable;
    return result;
}

QVariant FlexGridModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation == Qt::Vertical) {
        if (role != Qt::DisplayRole || section < m_fixedRows || section >= m_rows)
            return {};
        return QString::number(section);
    }
    if (orientation != Qt::Horizontal || m_fixedRows == 0 || section < 0 || section >= m_cols)
        return {};
    switch (role) {
    case Qt::DisplayRole:
        return text(0, section);
    case Qt::BackgroundRole:
        return m_fixedBack;
    case Qt::ForegroundRole:
        return m_text;
    default:
        return {};
    }
}

void FlexGridModel::setRowCount(int rows)
{
    if (m_source || rows < 0 || rows == m_rows)
        return;
    const auto cellCount = static_cast<size_t>(rows) * static_cast<size_t>(m_cellCols);
    if (rows > m_rows) {
        beginInsertRows(QModelIndex(), m_rows, rows - 1);
        m_cells.resize(cellCount);
        m_rows = m_cellRows = rows;
        endInsertRows();
    } else {
        beginRemoveRows(QModelIndex(), rows, m_rows - 1);
        dropBeyond(rows, m_cols);
        m_cells.resize(cellCount);
        m_rows = m_cellRows = rows;
        endRemoveRows();
    }
}

bool FlexGridModel::removeRows(int first, int count, const QModelIndex &parent)
{
    if (parent.isValid() || m_source || count <= 0 || first < m_fixedRows || first + count > m_rows)
        return false;
    beginRemoveRows(QModelIndex(), first, first + count - 1);
    const auto rowCells = static_cast<std::ptrdiff_t>(m_cellCols);
    const auto from = m_cells.begin() + first * rowCells;
    m_cells.erase(from, from + count * rowCells);
    // Colours and outline settings are keyed by row: those below move up.
    QHash<qint64, quint32> colours;
    for (auto it = m_backColours.cbegin(); it != m_backColours.cend(); ++it) {
        const int row = int(it.key() >> 32);
        const int col = static_cast<qint32>(it.key() & 0xFFFFFFFF);
        if (row < first)
            colours.insert(it.key(), it.value());
        else if (row >= first + count)
            colours.insert(cellKey(row - count, col), it.value());
    }
    m_backColours.swap(colours);
    QHash<int, Outline> outline;
    for (auto it = m_outline.cbegin(); it != m_outline.cend(); ++it) {
        if (it.key() < first)
            outline.insert(it.key(), it.value());
        else if (it.key() >= first + count)
            outline.insert(it.key() - count, it.value());
    }
    m_outline.swap(outline);
    m_rows = m_cellRows = m_rows - count;
    endRemoveRows();
    // Every row below was renumbered.
    if (first < m_rows)
        emit headerDataChanged(Qt::Vertical, first, m_rows - 1);
    return true;
}

void FlexGridModel::setColumnCount(int cols)
{
    if (m_source || cols < 0 || cols == m_cols)
        return;
    const bool growing = cols > m_cols;
    if (growing)
        beginInsertColumns(QModelIndex(), m_cols, cols - 1);
    else
        beginRemoveColumns(QModelIndex(), cols, m_cols - 1);

    std::vector<QString> cells(static_cast<size_t>(m_cellRows) * static_cast<size_t>(cols));
    const int kept = std::min(cols, m_cellCols);
    for (int row = 0; row < m_cellRows; ++row) {
        for (int col = 0; col < kept; ++col)
            cells[static_cast<size_t>(row) * static_cast<size_t>(cols) + static_cast<size_t>(col)] = std::move(cell(row, col));
    }
    m_cells.swap(cells);
    if (!growing)
        dropBeyond(m_rows, cols);
    m_cols = m_cellCols = cols;

    if (growing)
        endInsertColumns();
    else
        endRemoveColumns();
}

void FlexGridModel::setFixedRows(int rows)
{
    rows = std::max(rows, 0);
    if (rows == m_fixedRows)
        return;
    beginResetModel();
    m_fixedRows = rows;
    if (m_source)
        m_rows = sourceShape().rows;
    endResetModel();
}

void FlexGridModel::setFixedCols(int cols)
{
    cols = std::max(cols, 0);
    if (cols == m_fixedCols)
        return;
    beginResetModel();
    m_fixedCols = cols;
    endResetModel();
}

void FlexGridModel::setEditable(bool editable)
{
    m_editable = editable;
}

QString FlexGridModel::text(int row, int col) const
{
    if (!contains(row, col))
        return {};
    if (!m_source)
        return cell(row, col);
    if (row < m_fixedRows)
        return row == 0 ? ask([&] { return m_source->GetFieldName(col); }, QString()) : QString();
    return ask([&] { return m_source->GetData(col, row - m_fixedRows); }, QString());
}

void FlexGridModel::setText(int row, int col, const QString &text)
{
    if (!contains(row, col))
        return;
    if (m_source) {
        if (row < m_fixedRows)
            return;
        ask([&] {
            m_source->SetData(col, row - m_fixedRows, text);
            return true;
        }, false);
    } else {
        if (cell(row, col) == text)
            return;
        cell(row, col) = text;
    }
    emitCellChanged(row, col);
}

void FlexGridModel::setBlock(int firstRow, int firstCol, int rows, int cols, const std::function<QString(int, int)> &text)
{
    if (m_source || firstRow < 0 || firstCol < 0)
        return;
    const int lastRow = std::min(firstRow + rows, m_rows) - 1;
    const int lastCol = std::min(firstCol + cols, m_cols) - 1;
    if (lastRow < firstRow || lastCol < firstCol)
        return;
    for (int row = firstRow; row <= lastRow; ++row) {
        for (int col = firstCol; col <= lastCol; ++col)
            cell(row, col) = text(row - firstRow, col - firstCol);
    }
    emit dataChanged(index(firstRow, firstCol), index(lastRow, lastCol));
    if (firstRow == 0)
        emit headerDataChanged(Qt::Horizontal, firstCol, lastCol);
}

void FlexGridModel::clear()
{
    if (!m_source)
        std::fill(m_cells.begin(), m_cells.end(), QString());
    m_backColours.clear();
    if (m_rows > 0 && m_cols > 0) {
        emit dataChanged(index(0, 0), index(m_rows - 1, m_cols - 1));
        emit headerDataChanged(Qt::Horizontal, 0, m_cols - 1);
    }
}

quint32 FlexGridModel::backColour(int row, int col) const
{
    return m_backColours.value(cellKey(row, col), 0);
}

void FlexGridModel::setBackColour(int row, int col, quint32 bgr)
{
    if (!contains(row, col))
        return;
    if (bgr == 0)
        m_backColours.remove(cellKey(row, col));
    else
        m_backColours.insert(cellKey(row, col), bgr);
    emitCellChanged(row, col);
}

bool FlexGridModel::isSubtotal(int row) const
{
    return m_outline.value(row).isNode;
}

void FlexGridModel::setIsSubtotal(int row, bool isNode)
{
    if (row < 0 || row >= m_rows)
        return;
    m_outline[row].isNode = isNode;
    if (m_cols > 0)
        emit dataChanged(index(row, 0), index(row, m_cols - 1));
}

short FlexGridModel::outlineLevel(int row) const
{
    return m_outline.value(row).level;
}

void FlexGridModel::setOutlineLevel(int row, short level)
{
    if (row < 0 || row >= m_rows)
        return;
    m_outline[row].level = level;
    if (m_cols > 0)
        emit dataChanged(index(row, 0), index(row, m_cols - 1));
}

void FlexGridModel::setDataSource(IVSFlexDataSource *source)
{
    beginResetModel();
    m_source = source;
    m_backColours.clear();
    m_outline.clear();
    const Shape shape = m_source ? sourceShape() : Shape{m_cellRows, m_cellCols};
    m_rows = shape.rows;
    m_cols = shape.cols;
    endResetModel();
}

void FlexGridModel::refresh()
{
    if (m_source) {
        const Shape shape = sourceShape();
        if (shape.rows != m_rows || shape.cols != m_cols) {
            beginResetModel();
            m_rows = shape.rows;
            m_cols = shape.cols;
            dropBeyond(m_rows, m_cols);
            endResetModel();
            return;
        }
    }
    if (m_rows > 0 && m_cols > 0) {
        emit dataChanged(index(0, 0), index(m_rows - 1, m_cols - 1));
        emit headerDataChanged(Qt::Horizontal, 0, m_cols - 1);
    }
}

void FlexGridModel::setColours(const QColor &back, const QColor &fixedBack, const QColor &text)
{
    m_back = back;
    m_fixedBack = fixedBack;
    m_text = text;
    if (m_rows > 0 && m_cols > 0)
        emit dataChanged(index(0, 0), index(m_rows - 1, m_cols - 1));
}

void FlexGridModel::emitCellChanged(int row, int col)
{
    const QModelIndex changed = index(row, col);
    emit dataChanged(changed, changed);
    if (row == 0)
        emit headerDataChanged(Qt::Horizontal, col, col);
}

void FlexGridModel::dropBeyond(int rows, int cols)
{
    m_backColours.removeIf([rows, cols](const auto &entry) {
        const qint64 key = entry.key();
        return (key >> 32) >= rows || static_cast<qint32>(key & 0xFFFFFFFF) >= cols;
    });
    m_outline.removeIf([rows](const auto &entry) { return entry.key() >= rows; });
}

FlexGridModel::Shape FlexGridModel::sourceShape() const
{
    const int records = ask([&] { return m_source->GetRecordCount(); }, 0);
    const int fields = ask([&] { return m_source->GetFieldCount(); }, 0);
    return {m_fixedRows + std::max(records, 0), std::max(fields, 0)};
}
