#pragma once
// The cells of a FlexGrid. Model rows and columns are the grid's rows and
// columns one to one, fixed ones included; the view decides how fixed cells
// are shown. Cells are plain texts in one row-major vector, so a grid of tens
// of thousands of rows costs one QString per cell and nothing per view item.

#include <QAbstractTableModel>
#include <QColor>
#include <QHash>
#include <QString>

#include <functional>
#include <vector>

#include "platform/grid/IVSFlexDataSource.h"
#include "platform/grid/RowDecoration.h"

class FlexGridModel : public QAbstractTableModel {
    Q_OBJECT
public:
    explicit FlexGridModel(QObject *parent = nullptr);

    int rowCount(const QModelIndex &parent = QModelIndex()) const override;
    int columnCount(const QModelIndex &parent = QModelIndex()) const override;
    // Text for display and edit roles, the cell's colours for the others.
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
    // An operator's edit: stores the text and emits cellEdited; refuses
    // fixed cells, other roles and a read-only grid.
    bool setData(const QModelIndex &index, const QVariant &value, int role = Qt::EditRole) override;
    // Fixed cells take no cursor; the others are selectable, and editable
    // while the grid is.
    Qt::ItemFlags flags(const QModelIndex &index) const override;
    // Horizontal sections show the texts of row 0 while it is fixed;
    // vertical sections number the rows below the fixed ones by their
    // grid row, the number the grid's messages use.
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;

    // Changes the row count (negative ignored); rows grow empty at the end,
    // and cut rows lose their texts, colours and outline settings. Ignored
    // while a data source decides the count.
    void setRowCount(int rows);
    // Removes `count` rows from `first` on, with their texts, colours and
    // outline settings; the rows below move up. Fixed rows, rows outside the
    // grid and a bound grid are left alone; false then.
    bool removeRows(int first, int count, const QModelIndex &parent = QModelIndex()) override;
    // Same for columns; growing keeps every cell in place.
    void setColumnCount(int cols);
    int fixedRows() const { return m_fixedRows; }
    // Negative values count as 0.
    void setFixedRows(int rows);
    int fixedCols() const { return m_fixedCols; }
    void setFixedCols(int cols);
    bool isFixed(int row, int col) const { return row < m_fixedRows || col < m_fixedCols; }

    bool isEditable() const { return m_editable; }
    void setEditable(bool editable);

    // Text of a cell; "" outside the grid. Bound to a data source, row 0
    // holds the field names and the rows below the fixed ones the records; a
    // source that throws gives "".
    QString text(int row, int col) const;
    // Writes a cell without counting as an operator's edit; outside the grid
    // it is ignored. Bound, it goes to the source's SetData (errors ignored).
    void setText(int row, int col, const QString &text);
    // Writes rows×cols cells from (firstRow, firstCol), asking `cell` for
    // each text by offset; the block must lie inside the grid (the part
    // outside is dropped). One change notification for the whole block.
    void setBlock(int firstRow, int firstCol, int rows, int cols, const std::function<QString(int, int)> &cell);
    // Empties every cell and every cell colour; keeps the counts.
    void clear();

    // Cell back colour as 0x00BBGGRR; 0 means the grid's own colour.
    quint32 backColour(int row, int col) const;
    // Outside the grid it is ignored; 0 removes the cell's own colour.
    void setBackColour(int row, int col, quint32 bgr);

    // Outline settings of a row; false / 0 for rows never set.
    bool isSubtotal(int row) const;
    void setIsSubtotal(int row, bool isNode);
    short outlineLevel(int row) const;
    void setOutlineLevel(int row, short level);

    // Binds the grid to a data source (nullptr unbinds and shows the grid's
    // own cells again). The source is not owned and must outlive the binding.
    void setDataSource(IVSFlexDataSource *source);
    IVSFlexDataSource *dataSource() const { return m_source; }
    // Bound: re-reads the record and field counts and every cell. Unbound:
    // repaints.
    void refresh();

    // Decorates the cells of data rows (not fixed cells): its background
    // where a cell has no colour of its own, and its tooltips. nullptr
    // removes it; it is not owned and must outlive the setting.
    void setRowDecoration(const RowDecoration *decoration);
    // The decoration changed for rows `first` to `last`: they are repainted.
    void rowDecorationChanged(int first, int last);

    // The grid's colours: normal cells, fixed cells, text.
    void setColours(const QColor &back, const QColor &fixedBack, const QColor &text);

signals:
    // The operator finished editing a cell (through setData).
    void cellEdited(int row, int col);

private:
    struct Outline {
        bool isNode = false;
        short level = 0;
    };

    bool contains(int row, int col) const { return row >= 0 && col >= 0 && row < m_rows && col < m_cols; }
    QString &cell(int row, int col) { return m_cells[static_cast<size_t>(row) * static_cast<size_t>(m_cellCols) + static_cast<size_t>(col)]; }
    const QString &cell(int row, int col) const { return m_cells[static_cast<size_t>(row) * static_cast<size_t>(m_cellCols) + static_cast<size_t>(col)]; }
    static qint64 cellKey(int row, int col) { return (static_cast<qint64>(row) << 32) | static_cast<quint32>(col); }
    void emitCellChanged(int row, int col);
    void dropBeyond(int rows, int cols);
    struct Shape {
        int rows;
        int cols;
    };
    // Rows (fixed ones included) and columns the bound source asks for; a
    // source that throws counts as empty.
    Shape sourceShape() const;

    int m_rows = 0;  // the shape shown: the grid's own cells, or the bound source's
    int m_cols = 0;
    int m_cellRows = 0;  // the grid's own cells, kept while a source is bound
    int m_cellCols = 0;
    int m_fixedRows = 1;
    int m_fixedCols = 1;
    bool m_editable = false;
    std::vector<QString> m_cells;  // row-major, m_cellCols per row
    QHash<qint64, quint32> m_backColours;
    QHash<int, Outline> m_outline;
    IVSFlexDataSource *m_source = nullptr;
    const RowDecoration *m_decoration = nullptr;
    QColor m_back{192, 192, 192};
    QColor m_fixedBack{Qt::white};
    QColor m_text{Qt::black};
};
