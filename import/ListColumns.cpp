#include "import/ListColumns.h"

#include <QLocale>

#include <algorithm>

#include "import/SaveText.h"

namespace import {

namespace {

struct FieldNames {
    ListField field;
    std::initializer_list<const char16_t *> headers;  // as a list's header writes them
    std::initializer_list<const char16_t *> keys;     // as a command line names the field
};

const std::array<FieldNames, kListFields> &fieldNames()
{
    static const std::array<FieldNames, kListFields> names{{
        {ListField::Barcode, {u"Barkod", u"Barkod No", u"Barkodu", u"EAN", u"UPC", u"Kod", u"Barcode"}, {u"barkod", u"barcode"}},
        {ListField::Name,
         {u"Ürün Adı", u"Ürün", u"Ürün İsmi", u"Ad", u"Adı", u"İsim", u"Açıklama", u"Name", u"Product", u"Product Name",
          u"Item"},
         {u"ad", u"name"}},
        {ListField::Price, {u"Fiyat", u"Fiyatı", u"Satış Fiyatı", u"Birim Fiyat", u"Price", u"Sales Price"}, {u"fiyat", u"price"}},
        {ListField::Group, {u"Grup", u"Grubu", u"Kategori", u"Menü Grubu", u"Category", u"Group"}, {u"grup", u"group"}},
        {ListField::Unit, {u"Birim", u"Unit"}, {u"birim", u"unit"}},
        {ListField::Printer, {u"Yazıcı", u"İstasyon", u"Printer"}, {u"yazıcı", u"printer"}},
        {ListField::Colour, {u"Renk", u"Buton Rengi", u"Colour", u"Color"}, {u"renk", u"colour", u"color"}},
        {ListField::SubMenuTag, {u"Alt Grup", u"Alt Menü", u"Sub Menu"}, {u"alt grup", u"alt menü", u"submenu"}},
    }};
    return names;
}

// Every folded name of `part` (headers or keys) with its field.
QHash<QString, ListField> foldedNames(std::initializer_list<const char16_t *> FieldNames::*part)
{
    QHash<QString, ListField> byName;
    for (const FieldNames &names : fieldNames()) {
        for (const char16_t *name : names.*part)
            byName.insert(foldedName(QString::fromUtf16(name)), names.field);
    }
    return byName;
}

// The text without a closing part in brackets: "Fiyat (TL)" names the price.
QString withoutBracketedEnd(const QString &text)
{
    const QString trimmed = text.trimmed();
    const qsizetype open = trimmed.lastIndexOf(u'(');
    if (open > 0 && trimmed.endsWith(u')'))
        return trimmed.left(open);
    return trimmed;
}

bool isBlankRow(const QStringList &cells)
{
    return std::all_of(cells.cbegin(), cells.cend(), [](const QString &cell) { return cell.trimmed().isEmpty(); });
}

// A header names columns: a cell holding a number (a barcode, a price) makes
// the row a product, whatever its other cells say.
bool holdsNumber(const QStringList &cells)
{
    static const QLocale c = QLocale::c();
    return std::any_of(cells.cbegin(), cells.cend(), [](const QString &cell) {
        return localeNumber(cell, c).has_value() || localeNumber(cell, QLocale(QLocale::Turkish)).has_value();
    });
}

// How a row reads as a header: the column of each field it names (the
// leftmost where two name one), and the texts it names nothing with.
struct HeaderReading {
    std::array<int, kListFields> columns;
    QStringList ignored;
    int named = 0;

    bool names(ListField field) const { return columns[std::size_t(field)] >= 0; }
    bool isHeader() const { return names(ListField::Name) && names(ListField::Price); }
};

HeaderReading readHeader(const QStringList &cells)
{
    HeaderReading reading;
    reading.columns.fill(-1);
    for (int column = 0; column < cells.size(); ++column) {
        const QString text = cells.at(column).trimmed();
        if (text.isEmpty())
            continue;
        const std::optional<ListField> field = fieldNamed(text);
        if (field && !reading.names(*field)) {
            reading.columns[std::size_t(*field)] = column;
            ++reading.named;
        } else {
            reading.ignored << text;
        }
    }
    return reading;
}

// The column of `cells` whose text is `text`, ignoring case and marks; -1 for none.
int columnOfText(const QStringList &cells, const QString &text)
{
    const QString wanted = foldedName(text);
    for (int column = 0; column < cells.size(); ++column) {
        if (!wanted.isEmpty() && foldedName(cells.at(column)) == wanted)
            return column;
    }
    return -1;
}

}  // namespace

ListColumns::ListColumns()
{
    setColumns({0, 1, 2, -1, -1, -1, -1, -1});
}

void ListColumns::setColumns(const std::array<int, kListFields> &columns)
{
    m_columns = columns;
    m_ownFields.clear();
    for (int field = kProductFields; field < kListFields; ++field) {
        if (columns[std::size_t(field)] >= 0)
            m_ownFields << ListField(field);
    }
}

ListColumns ListColumns::withHeader(std::size_t row, const QStringList &cells, const std::array<int, kListFields> &columns)
{
    ListColumns layout = withoutHeader(columns);
    layout.m_headerRow = row;
    for (int column = 0; column < cells.size(); ++column) {
        const QString text = cells.at(column).trimmed();
        const auto field = std::find(columns.cbegin(), columns.cend(), column);
        if (field != columns.cend())
            layout.m_captions[std::size_t(field - columns.cbegin())] = text;
        else if (!text.isEmpty())
            layout.m_ignored << text;
    }
    return layout;
}

ListColumns ListColumns::withoutHeader(const std::array<int, kListFields> &columns)
{
    ListColumns layout;
    layout.setColumns(columns);
    return layout;
}

bool ListColumns::isHeaderAgain(const QStringList &cells) const
{
    if (!m_headerRow)
        return false;
    // Most rows hold a price: one look at that cell settles them.
    const QString price = cellAt(cells, column(ListField::Price)).trimmed();
    if (price.isEmpty() || price.front().isDigit() || fieldNamed(price) != ListField::Price)
        return false;
    return !holdsNumber(cells) && readHeader(cells).isHeader();
}

QStringList ListColumns::gridCells(const QStringList &cells) const
{
    QStringList grid;
    grid.reserve(kProductFields + m_ownFields.size());
    for (int field = 0; field < kProductFields; ++field)
        grid << cellAt(cells, m_columns[std::size_t(field)]);
    for (const ListField field : m_ownFields)
        grid << cellAt(cells, column(field));
    return grid;
}

std::optional<ListField> fieldNamed(const QString &headerText)
{
    static const QHash<QString, ListField> byName = foldedNames(&FieldNames::headers);
    const auto found = byName.constFind(foldedName(withoutBracketedEnd(headerText)));
    return found == byName.cend() ? std::nullopt : std::optional<ListField>(*found);
}

std::optional<ListField> fieldOfKey(const QString &key)
{
    static const QHash<QString, ListField> byKey = foldedNames(&FieldNames::keys);
    const auto found = byKey.constFind(foldedName(key));
    return found == byKey.cend() ? std::nullopt : std::optional<ListField>(*found);
}

ListColumns detectColumns(const spreadsheet::RowStore &rows)
{
    ListColumns plain;
    int looked = 0;
    for (std::size_t row = 0; row < rows.size() && looked < kHeaderSearchRows; ++row) {
        const QStringList &cells = rows[row];
        if (isBlankRow(cells))
            continue;
        ++looked;
        if (holdsNumber(cells))
            continue;
        const HeaderReading reading = readHeader(cells);
        if (reading.isHeader())
            return ListColumns::withHeader(row, cells, reading.columns);
        if (reading.named >= 2 && plain.m_nearHeader.isEmpty()) {
            for (const QString &cell : cells) {
                if (fieldNamed(cell.trimmed()))
                    plain.m_nearHeader << cell.trimmed();
            }
        }
    }
    return plain;
}

std::optional<int> columnOfLetters(const QString &letters)
{
    const QString upper = letters.trimmed().toUpper();
    if (upper.isEmpty() || upper.size() > 2)
        return std::nullopt;
    int column = 0;
    for (const QChar c : upper) {
        if (c < u'A' || c > u'Z')
            return std::nullopt;
        column = column * 26 + (c.unicode() - u'A' + 1);
    }
    return column - 1 < kMaxListColumns ? std::optional<int>(column - 1) : std::nullopt;
}

platform::Result<ListColumns> mapColumns(const QList<ColumnChoice> &choices, const spreadsheet::RowStore &rows,
                                         bool noHeader)
{
    const ListColumns found = noHeader ? ListColumns() : detectColumns(rows);
    std::optional<std::size_t> headerRow = found.headerRow();
    std::array<int, kListFields> columns;
    for (int field = 0; field < kListFields; ++field)
        columns[std::size_t(field)] = found.column(ListField(field));

    const auto byText = [](const ColumnChoice &choice) { return !columnOfLetters(choice.column); };
    if (std::any_of(choices.cbegin(), choices.cend(), byText)) {
        if (noHeader)
            return platform::Outcome::failure(QStringLiteral("--no-header ile sütunlar başlık metniyle verilemez"));
        // The header is the first row near the top that holds every text given.
        const auto holdsAll = [&](const QStringList &cells) {
            return std::all_of(choices.cbegin(), choices.cend(), [&](const ColumnChoice &choice) {
                return !byText(choice) || columnOfText(cells, choice.column) >= 0;
            });
        };
        headerRow.reset();
        int looked = 0;
        for (std::size_t row = 0; row < rows.size() && looked < kHeaderSearchRows && !headerRow; ++row) {
            if (isBlankRow(rows[row]))
                continue;
            ++looked;
            if (holdsAll(rows[row]))
                headerRow = row;
        }
        if (!headerRow)
            return platform::Outcome::failure(
                QStringLiteral("başlık satırı bulunamadı: ilk %1 dolu satırın hiçbiri verilen sütun adlarının hepsini taşımıyor")
                    .arg(kHeaderSearchRows));
        columns = readHeader(rows[*headerRow]).columns;
    }
    // A column given by hand is that field's alone: a field the header put
    // there gives way; two fields given the same column are a mistake.
    QHash<ListField, int> given;
    for (const ColumnChoice &choice : choices) {
        const std::optional<int> letter = columnOfLetters(choice.column);
        const int column = letter ? *letter : columnOfText(rows[*headerRow], choice.column);
        if (given.key(column, choice.field) != choice.field)
            return platform::Outcome::failure(QStringLiteral("“%1” sütunu iki alana verilmiş").arg(choice.column));
        given.insert(choice.field, column);
    }
    for (int &column : columns) {
        if (std::find(given.cbegin(), given.cend(), column) != given.cend())
            column = -1;
    }
    for (auto field = given.cbegin(); field != given.cend(); ++field)
        columns[std::size_t(field.key())] = field.value();
    if (!headerRow)
        return ListColumns::withoutHeader(columns);
    return ListColumns::withHeader(*headerRow, rows[*headerRow], columns);
}

ListRows listRows(const spreadsheet::RowStore &sheetRows, const ListColumns &columns)
{
    ListRows list;
    const std::size_t first = columns.headerRow() ? *columns.headerRow() + 1 : 0;
    list.cells.reserve(sheetRows.size() > first ? sheetRows.size() - first : 0);
    list.sheetRows.reserve(list.cells.capacity());
    for (std::size_t row = first; row < sheetRows.size(); ++row) {
        const QStringList cells = sheetRows[row];
        if (columns.isHeaderAgain(cells)) {
            ++list.headersLeftOut;
            continue;
        }
        list.cells.push_back(columns.gridCells(cells));
        list.sheetRows.push_back(row + 1);
    }
    return list;
}

namespace {

QString quotedList(const QStringList &texts)
{
    QStringList quoted;
    for (const QString &text : texts)
        quoted << QStringLiteral("“%1”").arg(text);
    return quoted.join(QStringLiteral(", "));
}

// What the operator calls a field, in a sentence.
QString fieldWord(ListField field)
{
    static const std::array<const char16_t *, kListFields> words{
        u"barkod", u"ürün adı", u"fiyat", u"grup", u"birim", u"yazıcı", u"renk", u"alt grup"};
    return QString::fromUtf16(words[std::size_t(field)]);
}

}  // namespace

QString layoutMessage(const ListColumns &columns, const ListRows &rows)
{
    QStringList lines;
    if (const std::optional<std::size_t> header = columns.headerRow()) {
        QStringList read;
        for (int field = 0; field < kListFields; ++field) {
            const int column = columns.column(ListField(field));
            if (column >= 0)
                read << QStringLiteral("%1: “%2”").arg(fieldWord(ListField(field)), columns.caption(ListField(field)));
        }
        lines << QStringLiteral("Başlık satırı %1. satırda bulundu; okunan sütunlar: %2.")
                     .arg(*header + 1)
                     .arg(read.join(QStringLiteral(", ")));
        if (!columns.ignored().isEmpty())
            lines << QStringLiteral("Kullanılmayan sütunlar: %1.").arg(quotedList(columns.ignored()));
        if (rows.headersLeftOut > 0)
            lines << QStringLiteral("Başlığı tekrarlayan %1 satır atlandı.").arg(rows.headersLeftOut);
    } else if (!columns.nearHeader().isEmpty()) {
        QStringList missing;
        for (const ListField field : {ListField::Name, ListField::Price}) {
            const bool found = std::any_of(columns.nearHeader().cbegin(), columns.nearHeader().cend(),
                                           [field](const QString &text) { return fieldNamed(text) == field; });
            if (!found)
                missing << fieldWord(field);
        }
        lines << QStringLiteral("Başlık satırı sayılmadı: %1 sütunu yok (bulunan adlar: %2). "
                                "Sütunlar A barkod, B ürün adı, C fiyat olarak okundu.")
                     .arg(missing.join(QStringLiteral(" ve ")), quotedList(columns.nearHeader()));
    }
    return lines.join(u'\n');
}

namespace {

// The cell of `row` that holds `field`.
template <typename Row>
auto &cellOf(Row &row, ListField field)
{
    switch (field) {
    case ListField::Barcode:
        return row.barcode;
    case ListField::Name:
        return row.name;
    case ListField::Price:
        return row.price;
    case ListField::Group:
        return row.group;
    case ListField::Unit:
        return row.unit;
    case ListField::Printer:
        return row.printer;
    case ListField::Colour:
        return row.colour;
    case ListField::SubMenuTag:
        break;
    }
    return row.subMenuTag;
}

// The grid's fields in column order.
QList<ListField> gridFields(const QList<ListField> &ownFields)
{
    return QList<ListField>{ListField::Barcode, ListField::Name, ListField::Price} + ownFields;
}

}  // namespace

ProductRow productRowOf(const QStringList &gridCells, const QList<ListField> &ownFields)
{
    ProductRow row;
    const QList<ListField> fields = gridFields(ownFields);
    for (qsizetype column = 0; column < fields.size(); ++column)
        cellOf(row, fields.at(column)) = cellAt(gridCells, int(column));
    return row;
}

QStringList gridCellsOf(const ProductRow &row, const QList<ListField> &ownFields)
{
    QStringList cells;
    for (const ListField field : gridFields(ownFields))
        cells << cellOf(row, field);
    return cells;
}

QString defaultCaption(ListField field)
{
    static const std::array<const char16_t *, kListFields> captions{
        u"BARKOD", u"ÜRÜN ADI", u"FİYATI", u"GRUP", u"BİRİM", u"YAZICI", u"RENK", u"ALT GRUP"};
    return QString::fromUtf16(captions[std::size_t(field)]);
}

QStringList defaultCaptions(const QList<ListField> &ownFields)
{
    QStringList captions;
    for (const ListField field : gridFields(ownFields))
        captions << defaultCaption(field);
    return captions;
}

}  // namespace import
