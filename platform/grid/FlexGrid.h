#pragma once
// Contract for the grid widget that stands in for the vendor grid; the
// implementation may add members but keeps these names and meanings.
// Sizes are in twips (1/1440 inch) at the screen's logical DPI, as the window
// definition stores them. Row 0 is the fixed header row and column 0 the
// fixed leading column; all cells, fixed ones included, hold text.

#include <QRect>
#include <QTableView>
#include <QString>
#include <QStringList>
#include <QVariant>

#include <functional>
#include <vector>

#include "platform/grid/IVSFlexDataSource.h"
#include "spreadsheet/SheetColumns.h"

class FlexGridModel;

class FlexGrid : public QTableView {
    Q_OBJECT
public:
    // Cell settings that Cell/setCell understand.
    enum CellSetting { flexcpBackColor = 6 };
    // Load kinds of LoadGrid.
    enum LoadKind { flexFileExcel = 6 };
    // Settings of AllowUserResizing.
    enum ResizeSetting { flexResizeNone = 0, flexResizeColumns = 1 };

    explicit FlexGrid(QWidget *parent = nullptr);
    ~FlexGrid() override;

    // Row and column counts, fixed ones included. Growing keeps the cells,
    // shrinking drops the cut ones.
    int Rows() const;
    void setRows(int rows);
    int Cols() const;
    void setCols(int cols);
    int FixedRows() const;
    void setFixedRows(int rows);
    int FixedCols() const;
    void setFixedCols(int cols);

    // The cursor cell; -1 when there is none.
    int Row() const;
    void setRow(int row);
    int Col() const;
    void setCol(int col);

    // Text of a cell; "" outside the grid (a write there is ignored).
    QString TextMatrix(int row, int col) const;
    void setTextMatrix(int row, int col, const QString &text);

    // Column widths in twips.
    int ColWidth(int col) const;
    void setColWidth(int col, int twips);
    // Width of the control on its window, in twips.
    float Width() const;
    // The width the columns can fill without a horizontal scroll bar, in
    // twips: Width less the frame, the row numbers and the vertical scroll
    // bar (counted whether shown or not, so that widths do not jump when
    // rows are added).
    float ClientWidth() const;

    // 0: the operator cannot resize anything (the default); 1
    // (flexResizeColumns): columns are resized by dragging their header's
    // edge, and a horizontal scroll bar appears when they outgrow the grid.
    int AllowUserResizing() const { return m_allowResizing; }
    void setAllowUserResizing(int setting);

    // Shows the grid row number of every data row in a column of its own
    // left of the cells, the numbers the grid's rows are reported by.
    bool RowNumbers() const;
    void setRowNumbers(bool shown);

    // The data rows that hold a selected cell, in order; the cursor's row
    // when nothing is selected.
    QList<int> SelectedRows() const;
    // Removes the data rows `rows` (in any order; fixed and missing rows are
    // ignored); the rows below move up. Returns how many were removed.
    int RemoveRows(const QList<int> &rows);

    // Empties every cell; keeps the row and column counts.
    void Clear();

    // Fills the grid from a file of the given kind (flexFileExcel: columns
    // A–C of a spreadsheet's first sheet, of any kind the spreadsheet reader
    // knows, into columns 1–3 from row 1 on, Rows raised to cover them).
    // Returns false when the file is refused; the grid is then unchanged.
    // lastLoad() tells why, or that a damaged file was read in part.
    bool LoadGrid(const QString &fileName, int kind);
    const spreadsheet::ReadOutcome &lastLoad() const { return m_lastLoad; }

    // Fills columns 1 to `columns` from row 1 on with `rows`, a row's
    // missing cells blank and cells past `columns` left out; Rows and Cols
    // are raised to cover them. For a sheet as read, or one whose columns
    // were chosen by the caller rather than read as A–C.
    void LoadRows(const spreadsheet::RowStore &rows, int columns);
    void LoadRows(const std::vector<QStringList> &rows, int columns);

    // Data-source binding: the grid shows the source's records below the
    // fixed row(s), one field per column, and hands edits to SetData.
    // nullptr returns the grid to its own cells.
    void setDataSource(IVSFlexDataSource *source);
    IVSFlexDataSource *dataSource() const;

    // Outline tree: 0 shows none.
    int OutlineBar() const;
    void setOutlineBar(int setting);
    bool IsSubtotal(int row) const;
    void setIsSubtotal(int row, bool isNode);
    short RowOutlineLevel(int row) const;
    void setRowOutlineLevel(int row, short level);

    // Cell settings; flexcpBackColor takes a 0x00BBGGRR colour, 0 = none.
    QVariant Cell(int setting, int row, int col) const;
    void setCell(int setting, int row, int col, const QVariant &value);

    // Fits the widths of columns col1..col2 to their contents.
    void AutoSize(int col1, int col2);
    // Re-reads the data from the bound data source.
    void Refresh();

    // 0: read-only (the default); any other value lets the operator edit
    // the non-fixed cells from the keyboard and by double-click.
    int Editable() const;
    void setEditable(int setting);

    // Places the control by a rectangle in twips on its parent; Width() then
    // answers the twips width itself, not a rounded-back pixel width.
    void setTwipsGeometry(const QRect &twipsRect);

    // The model behind the view (for tests and item-model checks).
    FlexGridModel *gridModel() const { return m_model; }

signals:
    // After the operator finished editing a cell or moved the cursor row;
    // carries no arguments (the window's row rule reads Row and Rows).
    void RowNotification();
    // The operator dragged column `col` to a new width (stored as ColWidth).
    void AfterUserResize(int col);

protected:
    void currentChanged(const QModelIndex &current, const QModelIndex &previous) override;
    void keyPressEvent(QKeyEvent *event) override;
    bool focusNextPrevChild(bool next) override;
    void resizeEvent(QResizeEvent *event) override;
    void changeEvent(QEvent *event) override;

private:
    // Runs a change of the grid's shape or content made by code: cursor
    // moves inside it are not the operator's and send no RowNotification.
    template <typename Change>
    void changeShape(Change change);
    // LoadRows of `count` rows whose cell at a row and column `cell` gives.
    void loadBlock(int count, int columns, const std::function<QString(int, int)> &cell);
    void showFixedRow();
    void ensureCursor();
    void applyColumnWidths();
    // Ctrl+V: tab- and line-separated text from the cursor cell on, with
    // rows added for lines past the last one.
    void pasteText(const QString &text);
    int pixels(double twipsLength) const;

    FlexGridModel *m_model;
    std::vector<int> m_colWidths;  // twips; -1 = the default width
    double m_widthTwips = -1;      // set by setTwipsGeometry, -1 = from pixels
    int m_outlineBar = 0;
    int m_allowResizing = 0;
    bool m_changingShape = false;
    bool m_applyingWidths = false;
    spreadsheet::ReadOutcome m_lastLoad;
};
