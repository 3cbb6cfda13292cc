#include <gtest/gtest.h>

#include "tests/common/QtPrinters.h"

#include "platform/xml/DomNode.h"

namespace {

TEST(DomNode, text_joins_the_descendant_texts_and_writing_it_replaces_the_children)
{
    pugi::xml_document doc;
    ASSERT_TRUE(doc.load_string("<r>a<b>b<![CDATA[<c>]]></b><!--no-->d</r>", pugi::parse_full));
    const pugi::xml_node root = doc.document_element();
    EXPECT_EQ(xml::nodeText(root), QStringLiteral("ab<c>d"));
    EXPECT_EQ(xml::nodeText(pugi::xml_node()), QString());

    xml::setNodeText(root, QStringLiteral("Çay & <süt>"));
    EXPECT_EQ(xml::outerXml(root), QStringLiteral("<r>Çay &amp; &lt;süt&gt;</r>"));
    xml::setNodeText(root, QString());
    EXPECT_FALSE(root.first_child());
}

TEST(DomNode, character_references_are_decoded_only_when_well_formed)
{
    EXPECT_EQ(xml::decodeCharacterReferences(QStringLiteral("&amp;&lt;&gt;&quot;&apos;&#65;&#x1F600;")),
              QStringLiteral("&<>\"'A\U0001F600"));
    EXPECT_EQ(xml::decodeCharacterReferences(QStringLiteral("a & b &unknown; &#xZZ; &#0; &#x110000; &")),
              QStringLiteral("a & b &unknown; &#xZZ; &#0; &#x110000; &"));
}

}  // namespace
