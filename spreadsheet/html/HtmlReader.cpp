#include "spreadsheet/html/HtmlReader.h"

#include "spreadsheet/html/ColumnPlacer.h"
#include "spreadsheet/html/HtmlTree.h"
#include "spreadsheet/html/VisibleText.h"
#include "spreadsheet/text/RowCollector.h"
#include "spreadsheet/text/TextEncoding.h"

#include <libxml/HTMLparser.h>

#include <QStringDecoder>

#include <algorithm>
#include <array>
#include <limits>
#include <memory>

namespace spreadsheet {

namespace {

using html::tagName;
using html::walkBelow;

bool isCell(std::string_view name)
{
    return name == "td" || name == "th";
}

QString decodePage(QByteArrayView bytes)
{
    if (const std::optional<DetectedEncoding> bom = encodingFromBom(bytes))
        return TextDecoder(bom->encoding).decode(bytes.sliced(bom->bomLength));
    // A page that declares a Unicode charset without a byte-order mark is read
    // like an undeclared one: UTF-16 could not have been read to find the
    // declaration, and UTF-8 is what the bytes are tested for anyway.
    // Browsers read the Turkish ISO charset as its Windows widening, which has
    // letters and signs such as € where ISO has control characters. A charset
    // Qt cannot convert (Windows-1254 itself where Qt lacks ICU) is sniffed,
    // which finds Windows-1254 for a Turkish page that is not UTF-8.
    QStringDecoder declared = QStringDecoder::decoderForHtml(bytes);
    if (declared.isValid() && qstricmp(declared.name(), "ISO-8859-9") == 0)
        return TextDecoder(TextEncoding::Windows1254).decode(bytes);
    if (declared.isValid() && qstrnicmp(declared.name(), "UTF", 3) != 0)
        return declared.decode(bytes);
    return TextDecoder(detectEncoding(bytes).encoding).decode(bytes);
}

struct DocumentFree {
    void operator()(xmlDoc *document) const { xmlFreeDoc(document); }
};
using Document = std::unique_ptr<xmlDoc, DocumentFree>;

// Tag soup is mended as browsers would; depth is not limited, since the tree
// is walked without recursion. The network is never used.
constexpr int kParseOptions = HTML_PARSE_RECOVER | HTML_PARSE_NONET | HTML_PARSE_NOERROR | HTML_PARSE_NOWARNING |
                              HTML_PARSE_IGNORE_ENC | int(XML_PARSE_HUGE);

struct XmlFree {
    void operator()(xmlChar *text) const { xmlFree(text); }
};

// A colspan or rowspan read as browsers read it: the digits after any white
// space and a plus sign, up to `largest`; `fallback` when there are none.
int spanValue(xmlNode *cell, const char *attribute, int fallback, int largest)
{
    const std::unique_ptr<xmlChar, XmlFree> value(xmlGetProp(cell, reinterpret_cast<const xmlChar *>(attribute)));
    if (!value)
        return fallback;
    const char *at = reinterpret_cast<const char *>(value.get());
    while (*at == ' ' || *at == '\t' || *at == '\n' || *at == '\r' || *at == '\f')
        ++at;
    if (*at == '+')
        ++at;
    if (*at < '0' || *at > '9')
        return fallback;
    int number = 0;
    for (; *at >= '0' && *at <= '9' && number <= largest; ++at)
        number = number * 10 + (*at - '0');
    return std::min(number, largest);
}

// True when a row or a cell of its own lies below the table, outside tables
// inside it. The parser mends markup as broken as `<table<>` into an empty
// table, which browsers do not show as one.
bool holdsRowsOrCells(xmlNode *table)
{
    bool found = false;
    walkBelow(table, [&](xmlNode *node) {
        const std::string_view name = tagName(node);
        found = found || name == "tr" || isCell(name);
        return !found && name != "table";
    });
    return found;
}

// The first table in the page that holds a row or a cell of its own.
xmlNode *firstTable(xmlDoc *document)
{
    xmlNode *table = nullptr;
    walkBelow(reinterpret_cast<xmlNode *>(document), [&](xmlNode *node) {
        if (table == nullptr && tagName(node) == "table" && holdsRowsOrCells(node))
            table = node;
        return table == nullptr;
    });
    return table;
}

// Reads the rows of one table into sheet rows.
class TableRows {
public:
    // False once a row with a cell lies past kMaxRows.
    bool readRow(xmlNode *row)
    {
        startRow();
        walkBelow(row, [&](xmlNode *node) {
            const std::string_view name = tagName(node);
            if (isCell(name))
                addCell(node);
            return !name.empty() && !isCell(name) && name != "table" && name != "tr";
        });
        return endRow();
    }

    // Cells that tag soup left outside any row: each run of them is a row.
    void addLooseCell(xmlNode *cell)
    {
        if (!inLooseRow_) {
            startRow();
            inLooseRow_ = true;
        }
        addCell(cell);
    }
    // False once a row with a cell lies past kMaxRows.
    bool endLooseRow() { return !std::exchange(inLooseRow_, false) || endRow(); }

    RowStore take() { return rows_.take(); }

private:
    void startRow()
    {
        placer_.startRow();
        cells_ = {};
    }
    void addCell(xmlNode *cell)
    {
        const int colspan = std::max(1, spanValue(cell, "colspan", 1, 1000));
        const int rowspan = spanValue(cell, "rowspan", 1, 65534);
        // rowspan="0" reaches to the end of the table.
        const int column = placer_.place(colspan, rowspan == 0 ? kMaxRows : rowspan);
        if (column < 0)
            return;
        QString text = html::visibleText(cell);
        if (!text.isEmpty())
            cellAt(cells_, column) = std::move(text);
    }
    bool endRow() { return rows_.add(index_++, std::move(cells_)); }

    html::ColumnPlacer placer_;
    RowCollector rows_;
    RowCells cells_;
    std::size_t index_ = 0;
    bool inLooseRow_ = false;
};

}  // namespace

SheetColumns readHtmlTable(const QByteArray &bytes)
{
    const QByteArray utf8 = decodePage(bytes).toUtf8();
    if (utf8.size() > std::numeric_limits<int>::max())
        return SheetColumns::refused(ReadError::NotSpreadsheet, QStringLiteral("the web page is too large to read"));
    const Document document(htmlReadMemory(utf8.constData(), int(utf8.size()), nullptr, "UTF-8", kParseOptions));
    xmlNode *table = document ? firstTable(document.get()) : nullptr;
    if (table == nullptr)
        return SheetColumns::refused(ReadError::NotSpreadsheet, QStringLiteral("the web page holds no table"));

    TableRows rows;
    bool fits = true;
    walkBelow(table, [&](xmlNode *node) {
        const std::string_view name = tagName(node);
        if (name == "tr")
            fits = fits && rows.endLooseRow() && rows.readRow(node);
        else if (fits && isCell(name))
            rows.addLooseCell(node);
        return fits && !name.empty() && name != "tr" && !isCell(name) && name != "table";
    });
    if (!(fits && rows.endLooseRow()))
        return SheetColumns::tooManyRows();
    SheetColumns sheet;
    sheet.rows = rows.take();
    return sheet;
}

bool looksLikeHtml(QByteArrayView head)
{
    // The markup sought is ASCII: any 8-bit encoding shows it as Latin-1 does.
    const std::optional<DetectedEncoding> bom = encodingFromBom(head);
    const QString text = bom ? TextDecoder(bom->encoding).decode(head.sliced(bom->bomLength))
                             : QString::fromLatin1(head);
    QStringView rest(text);
    for (;;) {
        while (!rest.isEmpty() && (rest.front() == u' ' || rest.front() == u'\t' || rest.front() == u'\n' ||
                                   rest.front() == u'\r' || rest.front() == u'\f'))
            rest = rest.sliced(1);
        const bool comment = rest.startsWith(u"<!--");
        if (!comment && !rest.startsWith(u"<?"))
            break;
        const qsizetype end = rest.indexOf(comment ? u"-->" : u"?>", comment ? 4 : 2);
        if (end < 0)
            return false;
        rest = rest.sliced(end + (comment ? 3 : 2));
    }
    static constexpr std::array kStarts{u"<!doctype html", u"<html", u"<head", u"<body",
                                        u"<table",         u"<meta", u"<style"};
    return std::any_of(kStarts.begin(), kStarts.end(), [&](const char16_t *start) {
        const QStringView tag(start);
        if (!rest.startsWith(tag, Qt::CaseInsensitive))
            return false;
        // A tag cut short by the next one (`<table<>`) is broken markup, but
        // markup all the same.
        const QStringView after = rest.sliced(tag.size());
        return after.isEmpty() || after.front() == u'>' || after.front() == u'/' || after.front() == u'<' ||
               after.front().isSpace();
    });
}

}  // namespace spreadsheet
