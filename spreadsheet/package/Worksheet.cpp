#include "spreadsheet/package/Worksheet.h"

#include "spreadsheet/package/CellValues.h"

#include <cmath>

namespace spreadsheet::package {
namespace {

constexpr std::size_t kMaxColumnLetters = 3;  // XFD, the last column
constexpr std::size_t kMaxRowDigits = 9;
constexpr double kMaxStringIndex = 4294967295.0;

// A 1-based row number of at most kMaxRowDigits digits; nullopt for anything else.
std::optional<std::int64_t> rowNumber(std::string_view text)
{
    if (text.empty() || text.size() > kMaxRowDigits)
        return std::nullopt;
    std::int64_t row = 0;
    for (const char c : text) {
        if (c < '0' || c > '9')
            return std::nullopt;
        row = row * 10 + (c - '0');
    }
    return row > 0 ? std::optional(row) : std::nullopt;
}

// The 0-based column and row of a reference such as "B7"; false for anything else.
bool cellAddress(std::string_view text, std::int64_t &column, std::int64_t &row)
{
    std::size_t letters = 0;
    std::int64_t number = 0;
    for (; letters < text.size() && letters <= kMaxColumnLetters; ++letters) {
        const char c = char(text[letters] & ~0x20);  // upper case
        if (c < 'A' || c > 'Z')
            break;
        number = number * 26 + (c - 'A' + 1);
    }
    const auto parsedRow = rowNumber(text.substr(letters));
    if (letters == 0 || letters > kMaxColumnLetters || !parsedRow)
        return false;
    column = number - 1;
    row = *parsedRow - 1;
    return true;
}

}  // namespace

ReadOutcome Worksheet::read(const ZipArchive &zip, std::string_view path)
{
    ReadOutcome stopped;
    bool inValue = false, inInline = false, inText = false;
    int phonetic = 0;
    ReadOutcome outcome = readPart(zip, path, [&](const XmlPart &xml, XmlPart::Node node) {
        if (node == XmlPart::Node::Text) {
            if (inValue)
                cell_.value += xml.text();
            else if (inInline && inText && phonetic == 0)
                cell_.inline_ += xml.text();
            return true;
        }
        const bool start = node == XmlPart::Node::Start;
        const std::string_view name = xml.name();
        if (name == "c") {
            if (start)
                startCell(xml);
            else if (!finishCell()) {
                stopped = SheetColumns::tooManyRows();
                return false;
            }
        } else if (name == "row" && start) {
            const auto number = rowNumber(xml.attribute("r").value_or(""));
            row_ = number ? *number - 1 : row_ + 1;
            nextColumn_ = 0;
        } else if (name == "v") {
            inValue = start;
            cell_.hasValue = true;
        } else if (name == "f") {
            cell_.formula = true;
        } else if (name == "is") {
            inInline = start;
            cell_.hasInline = true;
        } else if (name == "t") {
            inText = start;
        } else if (name == "rPh") {
            phonetic += start ? 1 : -1;
        }
        return true;
    });
    return outcome.ok() ? stopped : outcome;
}

void Worksheet::startCell(const XmlPart &xml)
{
    cell_ = Cell{};
    if (!cellAddress(xml.attribute("r").value_or(""), cell_.column, cell_.row)) {
        cell_.row = row_;
        cell_.column = nextColumn_;
    }
    row_ = cell_.row;
    nextColumn_ = cell_.column + 1;
    const std::string_view type = xml.attribute("t").value_or("n");
    cell_.type = type == "s"           ? Type::SharedString
                 : type == "str"       ? Type::Text
                 : type == "inlineStr" ? Type::InlineText
                 : type == "b"         ? Type::Boolean
                 : type == "e"         ? Type::Error
                 : type == "d"         ? Type::Date
                                       : Type::Number;
    const auto xf = decimal(xml.attribute("s").value_or("0"));
    cell_.xf = xf && *xf >= 0 && *xf < 1e9 ? std::uint64_t(*xf) : 0;
}

bool Worksheet::finishCell()
{
    if (cell_.column >= kMaxColumns || cell_.column < 0)
        return true;
    if (!cell_.hasValue && !cell_.hasInline) {
        // A formula that never got its result; a cell with only a format is blank.
        if (cell_.formula)
            rows_.countUnreadable();
        return true;
    }
    const auto putOrCount = [this](const auto &text) {
        if (!text) {
            rows_.countUnreadable();
            return true;
        }
        return rows_.put(cell_.row, cell_.column, *text);
    };
    return cell_.type == Type::SharedString ? putOrCount(sharedText(cell_)) : putOrCount(textOf(cell_));
}

std::optional<RowStore::Text> Worksheet::sharedText(const Cell &cell) const
{
    const std::optional<double> index = decimal(cell.value);
    if (!index || *index < 0 || *index > kMaxStringIndex || *index != std::floor(*index))
        return std::nullopt;
    return strings_.at(std::size_t(*index));
}

std::optional<QString> Worksheet::textOf(const Cell &cell) const
{
    const auto utf8 = [](const std::string &text) { return QString::fromUtf8(text.data(), qsizetype(text.size())); };
    switch (cell.type) {
    case Type::SharedString:
        return std::nullopt;  // sharedText()'s
    case Type::InlineText:
        return unescapedText(cell.hasInline ? cell.inline_ : cell.value);
    case Type::Text:
    case Type::Error:
        return utf8(cell.value);
    case Type::Boolean:
        if (cell.value == "1" || cell.value == "true")
            return CellText::boolean(true);
        if (cell.value == "0" || cell.value == "false")
            return CellText::boolean(false);
        return std::nullopt;
    case Type::Date: {
        const NumberKind kind = styles_.kindOf(cell.xf);
        if (const std::optional<double> serial = serialOfIsoDate(cell.value, date1904_))
            return text_.number(*serial, kind == NumberKind::Plain ? calendarKind(*serial) : kind);
        // A time of day alone counts from day 0 in either date system.
        if (const std::optional<double> time = dayFractionOfIsoTime(cell.value))
            return text_.number(*time, kind == NumberKind::Plain ? NumberKind::Time : kind);
        return std::nullopt;
    }
    case Type::Number:
        break;
    }
    const std::optional<double> number = decimal(cell.value);
    if (!number)
        return std::nullopt;
    return text_.number(*number, styles_.formatOf(cell.xf));
}

}  // namespace spreadsheet::package
