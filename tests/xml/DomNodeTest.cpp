#include <gtest/gtest.h>

#include "tests/common/QtPrinters.h"

#include <QStringList>

#include "platform/xml/DomNode.h"

namespace {

pugi::xml_node parse(pugi::xml_document &doc, const char *text)
{
    EXPECT_TRUE(doc.load_string(text, pugi::parse_full));
    return doc.document_element();
}

TEST(DomNode, text_concatenates_every_descendant_text_in_order)
{
    pugi::xml_document doc;
    const pugi::xml_node root = parse(doc, "<r>a<b>b<![CDATA[<c>]]></b><!--no-->d</r>");
    EXPECT_EQ(xml::nodeText(root), QStringLiteral("ab<c>d"));
    EXPECT_EQ(xml::nodeText(root.first_child()), QStringLiteral("a"));
    EXPECT_EQ(xml::nodeText(pugi::xml_node()), QString());
}

TEST(DomNode, setting_text_replaces_all_children_with_one_text_node)
{
    pugi::xml_document doc;
    const pugi::xml_node root = parse(doc, "<r>a<b>b</b></r>");
    xml::setNodeText(root, QStringLiteral("Çay & <süt>"));
    EXPECT_EQ(xml::outerXml(root), QStringLiteral("<r>Çay &amp; &lt;süt&gt;</r>"));
    xml::setNodeText(root, QString());
    EXPECT_FALSE(root.first_child());
}

TEST(DomNode, outer_markup_is_written_without_layout)
{
    pugi::xml_document doc;
    const pugi::xml_node root = parse(doc, "<r>\n <a x=\"1\">t</a><e></e></r>");
    EXPECT_EQ(xml::outerXml(root), QStringLiteral("<r><a x=\"1\">t</a><e/></r>"));
}

TEST(DomNode, character_references_are_decoded_only_when_well_formed)
{
    EXPECT_EQ(xml::decodeCharacterReferences(QStringLiteral("&amp;&lt;&gt;&quot;&apos;&#65;&#x1F600;")),
              QStringLiteral("&<>\"'A\U0001F600"));
    EXPECT_EQ(xml::decodeCharacterReferences(QStringLiteral("a & b &unknown; &#xZZ; &#0; &#x110000; &")),
              QStringLiteral("a & b &unknown; &#xZZ; &#0; &#x110000; &"));
}

TEST(DomNode, pre_order_walk_can_skip_children)
{
    pugi::xml_document doc;
    const pugi::xml_node root = parse(doc, "<r><a><x/></a><b><y/></b></r>");
    QStringList seen;
    xml::preOrder(root, [&seen](const pugi::xml_node &node) {
        seen << QString::fromUtf8(node.name());
        return QLatin1StringView(node.name()) != QLatin1StringView("a");
    });
    EXPECT_EQ(seen.join(u','), QStringLiteral("r,a,b,y"));
}

}  // namespace
