#pragma once
// What a grid shows about whole rows from knowledge it does not have itself:
// a background and a tooltip per data row, decided elsewhere (the import
// preview) and asked for when a cell is painted.

#include <QColor>
#include <QString>

class RowDecoration {
public:
    virtual ~RowDecoration() = default;
    // The background of the cells of `row`; an invalid colour leaves the grid's own.
    virtual QColor background(int row) const = 0;
    // The tooltip of cell (`row`, `col`); "" for none.
    virtual QString toolTip(int row, int col) const = 0;
};
