#include "spreadsheet/package/OdsTable.h"

#include "spreadsheet/package/CellValues.h"

#include <algorithm>
#include <charconv>

namespace spreadsheet::package {
namespace {

// Longer than the text any spreadsheet program keeps in one cell: past it a
// cell is damage, not text to clip.
constexpr std::size_t kMaxParagraphBytes = std::size_t(1) << 20;

// More repeats than this are taken as this many: already past every limit,
// and small enough that counting rows and columns cannot overflow.
constexpr std::int64_t kMaxRepeat = 0x7FFFFFFF;

// A repeat count attribute: 1 to kMaxRepeat, and 1 for text that is no count.
std::int64_t repeatCount(std::optional<std::string_view> text)
{
    std::int64_t count = 1;
    if (text) {
        const auto [end, error] = std::from_chars(text->data(), text->data() + text->size(), count);
        if (error == std::errc::result_out_of_range)
            count = kMaxRepeat;
        else if (error != std::errc() || end != text->data() + text->size() || count < 1)
            count = 1;
    }
    return std::min(count, kMaxRepeat);
}

bool isCell(const XmlPart &xml)
{
    return (xml.name() == "table-cell" || xml.name() == "covered-table-cell") && xml.namespaceUri() == ns::kTable;
}

bool isTableElement(const XmlPart &xml, std::string_view name)
{
    return xml.name() == name && xml.namespaceUri() == ns::kTable;
}

}  // namespace

ReadOutcome OdsTable::read(const ZipArchive &zip, std::string_view path)
{
    ReadOutcome outcome =
        readPart(zip, path, [this](const XmlPart &xml, XmlPart::Node node) { return visit(xml, node); });
    if (!outcome.ok())
        return outcome;
    if (!stopped_.ok())
        return stopped_;
    if (state_ == State::BeforeSpreadsheet)
        outcome.refuse(ReadError::NotSpreadsheet, QStringLiteral("an OpenDocument file that is no spreadsheet"));
    else if (state_ == State::BeforeTable)
        outcome.refuse(ReadError::Damaged, QStringLiteral("the spreadsheet has no table"));
    return outcome;
}

bool OdsTable::fail(ReadError error, const QString &message)
{
    stopped_.refuse(error, message);
    return false;
}

bool OdsTable::visit(const XmlPart &xml, XmlPart::Node node)
{
    if (inCell_)
        return cellContent(xml, node);
    const bool start = node == XmlPart::Node::Start;
    if (state_ == State::BeforeSpreadsheet) {
        if (start && xml.name() == "spreadsheet" && xml.namespaceUri() == ns::kOffice)
            state_ = State::BeforeTable;
        else
            styles_.visit(xml, node);
        return true;
    }
    if (node == XmlPart::Node::Text)
        return true;
    if (isTableElement(xml, "table")) {
        if (state_ == State::BeforeTable)
            state_ = State::InTable;
        tableDepth_ += start ? 1 : -1;
        if (tableDepth_ == 0)
            state_ = State::AfterTable;
        return state_ != State::AfterTable;
    }
    if (state_ != State::InTable || tableDepth_ != 1)
        return true;
    if (isTableElement(xml, "table-row")) {
        if (start) {
            rowRepeat_ = repeatCount(xml.attribute("number-rows-repeated", ns::kTable));
            column_ = 0;
            texts_.resize(0);  // keeps its room for the next row
        } else {
            if (!rows_.putRepeated(row_, rowRepeat_, texts_))
                return fail(ReadError::TooManyRows, SheetColumns::tooManyRows().detail());
            row_ += rowRepeat_;
        }
    } else if (start && isCell(xml)) {
        startCell(xml);
    } else if (start && isTableElement(xml, "table-column")) {
        startColumn(xml);
    }
    return true;
}

void OdsTable::startColumn(const XmlPart &xml)
{
    const std::int64_t repeat = repeatCount(xml.attribute("number-columns-repeated", ns::kTable));
    const std::string_view style = xml.attribute("default-cell-style-name", ns::kTable).value_or("");
    // Columns come in order: those past the last ones kept, up to kMaxColumns, take this style.
    const auto declared = std::size_t(std::min<std::int64_t>(columnsSeen_ + repeat, kMaxColumns));
    if (declared > columnStyles_.size())
        columnStyles_.resize(declared, std::string(style));
    columnsSeen_ += repeat;
}

void OdsTable::startCell(const XmlPart &xml)
{
    inCell_ = true;
    cell_ = Cell{};
    cell_.repeat = repeatCount(xml.attribute("number-columns-repeated", ns::kTable));
    if (column_ >= kMaxColumns)
        return;  // only its end matters
    const auto value = [&](std::string_view name) { return xml.attribute(name, ns::kOffice); };
    const std::string_view type = value("value-type").value_or("");
    std::optional<QString> text;
    if (xml.attribute("value-type", ns::kCalcExt) == std::optional<std::string_view>("error")) {
        cell_.fromParagraphs = true;  // the error's text; its string value is empty
    } else if (type == "float" || type == "percentage" || type == "currency") {
        const auto style = xml.attribute("style-name", ns::kTable);
        const NumberFormat &format =
            styles_.formatOf(type != "float" ? "" : style ? *style : columnStyle(column_));
        if (const auto number = decimal(value("value").value_or("")))
            text = text_.number(*number, format);
    } else if (type == "date") {
        if (const auto serial = serialOfIsoDate(value("date-value").value_or(""), false))
            text = text_.number(*serial, calendarKind(*serial));
    } else if (type == "time") {
        if (const auto days = daysOfDuration(value("time-value").value_or("")))
            text = text_.number(*days, NumberKind::Time);
    } else if (type == "boolean") {
        const std::string_view truth = value("boolean-value").value_or("");
        if (truth == "true" || truth == "false")
            text = CellText::boolean(truth == "true");
    } else if (type == "string" && value("string-value")) {
        const std::string_view string = *value("string-value");
        text = QString::fromUtf8(string.data(), qsizetype(string.size()));
    } else {
        cell_.fromParagraphs = true;  // a string, or a cell without a type
    }
    cell_.value = text;
    cell_.unreadable = !text && !cell_.fromParagraphs;
}

std::string_view OdsTable::columnStyle(std::int64_t column) const
{
    return std::size_t(column) < columnStyles_.size() ? std::string_view(columnStyles_[std::size_t(column)])
                                                       : std::string_view();
}

bool OdsTable::cellContent(const XmlPart &xml, XmlPart::Node node)
{
    if (node != XmlPart::Node::Text && isCell(xml)) {
        // Cells of a table inside this cell nest; only this cell's own end ends it.
        if (node == XmlPart::Node::Start)
            ++cell_.nested;
        else if (cell_.nested-- == 0)
            finishCell();
        return true;
    }
    if (!cell_.fromParagraphs)
        return true;
    const std::string_view name = node == XmlPart::Node::Text ? std::string_view() : xml.name();
    const bool start = node == XmlPart::Node::Start;
    if (name == "annotation") {
        cell_.annotationDepth += start ? 1 : -1;
        return true;
    }
    if (cell_.annotationDepth > 0)
        return true;
    std::string &out = cell_.paragraphs;
    if (name == "p" || name == "h") {
        cell_.paragraphDepth += start ? 1 : -1;
        if (start && cell_.paragraphCount++ > 0)
            out += '\n';
    } else if (cell_.paragraphDepth == 0) {
        return true;
    } else if (node == XmlPart::Node::Text) {
        out += xml.text();
    } else if (start && name == "s") {
        const std::int64_t spaces = repeatCount(xml.attribute("c", ns::kText));
        if (spaces > std::int64_t(kMaxParagraphBytes))
            return fail(ReadError::Damaged, QStringLiteral("a cell's text is longer than any spreadsheet keeps"));
        out.append(std::size_t(spaces), ' ');
    } else if (start && name == "tab") {
        out += '\t';
    } else if (start && name == "line-break") {
        out += '\n';
    }
    if (out.size() > kMaxParagraphBytes)
        return fail(ReadError::Damaged, QStringLiteral("a cell's text is longer than any spreadsheet keeps"));
    return true;
}

void OdsTable::finishCell()
{
    inCell_ = false;
    if (cell_.fromParagraphs && !cell_.paragraphs.empty())
        cell_.value = QString::fromUtf8(cell_.paragraphs.data(), qsizetype(cell_.paragraphs.size()));
    // A blank cell, however often repeated, costs nothing; one with text
    // fills its columns up to the last.
    const std::int64_t end = std::min(column_ + cell_.repeat, std::int64_t(kMaxColumns));
    if (cell_.value && !cell_.value->isEmpty()) {
        for (std::int64_t column = column_; column < end; ++column)
            cellAt(texts_, column) = *cell_.value;
    } else if (cell_.unreadable) {
        rows_.countUnreadable(std::max<std::int64_t>(end - column_, 0));
    }
    column_ += cell_.repeat;
}

}  // namespace spreadsheet::package
