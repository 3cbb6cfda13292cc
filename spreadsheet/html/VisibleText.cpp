#include "spreadsheet/html/VisibleText.h"

#include "spreadsheet/html/HtmlTree.h"

#include <QStringList>

#include <algorithm>
#include <array>

namespace spreadsheet::html {

namespace {

using namespace std::string_view_literals;

constexpr std::array kBlocks{
    "address"sv, "article"sv, "aside"sv,  "blockquote"sv, "caption"sv, "center"sv,  "dd"sv,     "div"sv,
    "dl"sv,      "dt"sv,      "fieldset"sv, "figcaption"sv, "figure"sv, "footer"sv, "form"sv,   "h1"sv,
    "h2"sv,      "h3"sv,      "h4"sv,     "h5"sv,         "h6"sv,      "header"sv,  "hr"sv,     "li"sv,
    "main"sv,    "nav"sv,     "ol"sv,     "p"sv,          "pre"sv,     "section"sv, "table"sv,  "tr"sv,
    "ul"sv};
constexpr std::array kHidden{"script"sv, "style"sv, "template"sv};

template <std::size_t N>
bool isOneOf(std::string_view name, const std::array<std::string_view, N> &names)
{
    return std::find(names.begin(), names.end(), name) != names.end();
}

bool isCell(std::string_view name)
{
    return name == "td" || name == "th";
}

// Gathers text as a browser lays it out: white space and line breaks are
// held back until visible text follows, so none leads, trails or doubles.
class LineBuilder {
public:
    void addText(QStringView text)
    {
        for (const QChar c : text) {
            if (c == u' ' || c == u'\t' || c == u'\n' || c == u'\r' || c == u'\f') {
                space_ = true;
                continue;
            }
            flushPending();
            text_.append(c == QChar(0x00A0) ? QChar(u' ') : c);
        }
    }
    void space() { space_ = true; }
    void blockBoundary() { breaks_ = std::max(breaks_, qsizetype(1)); }
    void lineBreak() { ++breaks_; }

    QString finish()
    {
        QStringList lines = text_.split(u'\n');
        for (QString &line : lines)
            line = line.trimmed();
        while (!lines.isEmpty() && lines.constFirst().isEmpty())
            lines.removeFirst();
        while (!lines.isEmpty() && lines.constLast().isEmpty())
            lines.removeLast();
        return lines.join(u'\n');
    }

private:
    void flushPending()
    {
        if (!text_.isEmpty()) {
            if (breaks_ > 0)
                text_.append(QString(breaks_, u'\n'));
            else if (space_)
                text_.append(u' ');
        }
        breaks_ = 0;
        space_ = false;
    }

    QString text_;
    bool space_ = false;
    qsizetype breaks_ = 0;
};

}  // namespace

QString visibleText(xmlNode *element)
{
    LineBuilder text;
    const auto boundary = [&](std::string_view name) {
        if (isOneOf(name, kBlocks))
            text.blockBoundary();
        else if (isCell(name))
            text.space();
    };
    walkBelow(
        element,
        [&](xmlNode *node) {
            if (node->type == XML_TEXT_NODE || node->type == XML_CDATA_SECTION_NODE) {
                text.addText(QString::fromUtf8(reinterpret_cast<const char *>(node->content)));
                return false;
            }
            const std::string_view name = tagName(node);
            if (name.empty() || isOneOf(name, kHidden))
                return false;
            if (name == "br")
                text.lineBreak();
            boundary(name);
            return true;
        },
        [&](xmlNode *node) { boundary(tagName(node)); });
    return text.finish();
}

}  // namespace spreadsheet::html
