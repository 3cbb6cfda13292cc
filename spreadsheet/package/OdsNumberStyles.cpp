#include "spreadsheet/package/OdsNumberStyles.h"

#include <algorithm>
#include <charconv>

namespace spreadsheet::package {
namespace {

constexpr std::string_view kNumber = "urn:oasis:names:tc:opendocument:xmlns:datastyle:1.0";
constexpr std::string_view kStyle = "urn:oasis:names:tc:opendocument:xmlns:style:1.0";

// A whole number attribute; -1 when absent or no number.
int count(std::optional<std::string_view> text)
{
    int value = -1;
    if (text && std::from_chars(text->data(), text->data() + text->size(), value).ptr != text->data() + text->size())
        value = -1;
    return value;
}

QString utf8(std::string_view text)
{
    return QString::fromUtf8(text.data(), qsizetype(text.size()));
}

}  // namespace

ReadOutcome OdsNumberStyles::read(const ZipArchive &zip, std::string_view path)
{
    return readPart(zip, path, [this](const XmlPart &xml, XmlPart::Node node) {
        visit(xml, node);
        return true;
    });
}

void OdsNumberStyles::visit(const XmlPart &xml, XmlPart::Node node)
{
    if (node == XmlPart::Node::Text) {
        if (inText_) {
            const QString text = utf8(xml.text());
            (format_.paddedDigits > 0 ? format_.after : format_.before) += text;
        }
        return;
    }
    const bool start = node == XmlPart::Node::Start;
    const std::string_view name = xml.name();
    if (xml.namespaceUri() == kStyle && name == "style" && start) {
        const auto dataStyle = xml.attribute("data-style-name", kStyle);
        if (dataStyle && xml.attribute("family", kStyle) == std::optional<std::string_view>("table-cell"))
            dataStyleOf_[std::string(xml.attribute("name", kStyle).value_or(""))] = std::string(*dataStyle);
    } else if (xml.namespaceUri() != kNumber) {
        return;
    } else if (name == "number-style") {
        inNumberStyle_ = start;
        if (start) {
            name_ = std::string(xml.attribute("name", kStyle).value_or(""));
            format_ = {};
            padding_ = true;
        } else if (padding_ && format_.paddedDigits >= 2) {
            padded_[name_] = format_;
        }
    } else if (inNumberStyle_ && name == "text") {
        inText_ = start;
    } else if (inNumberStyle_ && start) {
        startNumberPart(xml);
    }
}

void OdsNumberStyles::startNumberPart(const XmlPart &xml)
{
    if (xml.name() != "number" || format_.paddedDigits > 0) {
        padding_ = false;  // a fraction, an exponent, a second number: not a padded integer
        return;
    }
    const int digits = count(xml.attribute("min-integer-digits", kNumber));
    padding_ = count(xml.attribute("decimal-places", kNumber)) == 0
               && xml.attribute("grouping", kNumber) != std::optional<std::string_view>("true");
    format_.paddedDigits = std::max(digits, 0);
}

const NumberFormat &OdsNumberStyles::formatOf(std::string_view cellStyle) const
{
    static const NumberFormat plain;
    const auto dataStyle = dataStyleOf_.find(cellStyle);
    if (dataStyle == dataStyleOf_.end())
        return plain;
    const auto format = padded_.find(dataStyle->second);
    return format == padded_.end() ? plain : format->second;
}

}  // namespace spreadsheet::package
