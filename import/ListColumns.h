#pragma once
// Where the fields of a product list stand in its sheet. A list without a
// header row is read as column A barcode, B name, C price; a list whose
// first rows hold a header is read by the names in it, in any column order,
// with the per-row group, unit, printer, colour and sub-menu tag columns it
// names besides.

#include <QHash>
#include <QList>
#include <QString>
#include <QStringList>

#include <array>
#include <optional>
#include <vector>

#include "import/RowRules.h"
#include "platform/outcome/Outcome.h"
#include "spreadsheet/RowStore.h"

namespace import {

// What a column of a list holds.
enum class ListField { Barcode, Name, Price, Group, Unit, Printer, Colour, SubMenuTag };
constexpr int kListFields = 8;
// The fields every list shows in the grid's first three columns.
constexpr int kProductFields = 3;

// The text of `cells` at `column`, "" past its end.
inline QString cellAt(const QStringList &cells, int column)
{
    return column >= 0 && column < cells.size() ? cells.at(column) : QString();
}

// The layout of one list's sheet.
class ListColumns {
public:
    // Column A barcode, B name, C price, no header and no other column.
    ListColumns();

    // The sheet column (0 = A) of `field`, or -1 when the list has none.
    int column(ListField field) const { return m_columns[std::size_t(field)]; }
    // The sheet row (0-based) of the header; the rows up to it are no products.
    std::optional<std::size_t> headerRow() const { return m_headerRow; }
    // The header's text over `field`'s column; "" without one.
    QString caption(ListField field) const { return m_captions[std::size_t(field)]; }
    // The per-row fields the list has, after the three product fields, in
    // the order the grid shows them.
    const QList<ListField> &ownFields() const { return m_ownFields; }
    // The header's texts that name no field, or one an earlier column took.
    const QStringList &ignored() const { return m_ignored; }
    // Without a header: the texts of the row that came closest to being one
    // (it named some fields but not both name and price), else empty.
    const QStringList &nearHeader() const { return m_nearHeader; }

    // True for a row after the header that repeats a header (a printed list
    // repeats it on every page, a bilingual one has two): no product.
    bool isHeaderAgain(const QStringList &cells) const;
    // The row's cells as the grid shows them: barcode, name, price, then the
    // own fields in ownFields() order.
    QStringList gridCells(const QStringList &cells) const;

    // The layout whose header is `row` of the sheet, with `columns` for the
    // fields it names (-1 for the others); for a mapping given by hand.
    static ListColumns withHeader(std::size_t row, const QStringList &cells,
                                  const std::array<int, kListFields> &columns);
    // The layout of fixed columns and no header, for a mapping given by hand.
    static ListColumns withoutHeader(const std::array<int, kListFields> &columns);

private:
    void setColumns(const std::array<int, kListFields> &columns);

    std::array<int, kListFields> m_columns;
    std::optional<std::size_t> m_headerRow;
    std::array<QString, kListFields> m_captions;
    QList<ListField> m_ownFields;
    QStringList m_ignored;
    QStringList m_nearHeader;
    friend ListColumns detectColumns(const spreadsheet::RowStore &rows);
};

// How many non-empty rows from the top are looked at for a header.
constexpr int kHeaderSearchRows = 10;

// The field a header text names, ignoring case (Turkish rules), letters'
// marks, spaces, punctuation and a closing part in brackets ("Fiyat (TL)").
std::optional<ListField> fieldNamed(const QString &headerText);

// The layout of a sheet whose rows are `rows` (rows[0] = sheet row 1): the
// first of its first kHeaderSearchRows non-empty rows that names at least
// the name and the price columns and holds no number is its header;
// without one, A/B/C.
ListColumns detectColumns(const spreadsheet::RowStore &rows);

// The most columns a list is read in: A to IV, as the readers read them.
constexpr int kMaxListColumns = 256;

// The column (0 = A) that letters such as "C" or "AD" name, up to IV.
std::optional<int> columnOfLetters(const QString &letters);

// A column of a list given by hand: by its letters, or by the text of its
// header cell when the header uses names the tool does not know.
struct ColumnChoice {
    ListField field;
    QString column;
};

// The layout `choices` give a sheet of `rows`: the fields they name stand
// where they say; the others where the list's own header puts them, else at
// A/B/C. Texts make the first row near the top holding all of them the
// header. `noHeader` reads no header at all. A failure when a text is in no
// header or two fields would share a column.
platform::Result<ListColumns> mapColumns(const QList<ColumnChoice> &choices, const spreadsheet::RowStore &rows,
                                         bool noHeader);

// The rows of a list below its header, as the grid shows them.
struct ListRows {
    std::vector<QStringList> cells;      // ListColumns::gridCells of each row
    std::vector<std::size_t> sheetRows;  // the sheet row of each (1 = the sheet's first)
    int headersLeftOut = 0;              // rows that repeated the header
};

// The rows of `sheetRows` below the header of `columns` (all of them without
// one), repeated headers left out, blank rows kept where they stand.
ListRows listRows(const spreadsheet::RowStore &sheetRows, const ListColumns &columns);

// What the operator is told about how a list was read, in Turkish: the
// header's row, what each column was taken for, the columns not used and
// the repeated headers left out; without a header, only when a row came
// close to being one (which names were found, which was missing). "" for a
// list read as A/B/C with nothing to tell.
QString layoutMessage(const ListColumns &columns, const ListRows &rows);

// The product row of a grid row's cells (barcode, name, price, then the
// `ownFields`), as the preview and the save take it.
ProductRow productRowOf(const QStringList &gridCells, const QList<ListField> &ownFields);

// The grid cells of `row`: the inverse of productRowOf().
QStringList gridCellsOf(const ProductRow &row, const QList<ListField> &ownFields);

// The English and Turkish names a field answers to on a command line
// ("barkod", "ad", "fiyat", "grup", "birim", "yazici", "renk", "altgrup";
// "barcode", "name", …), ignoring case and marks.
std::optional<ListField> fieldOfKey(const QString &key);

// The caption the grid shows over `field` when the list names no header.
QString defaultCaption(ListField field);
// The captions of the grid's columns for a list with `ownFields`, as a
// header row the tool recognises.
QStringList defaultCaptions(const QList<ListField> &ownFields);

}  // namespace import
