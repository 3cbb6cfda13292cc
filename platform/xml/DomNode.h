#pragma once
// The few document-object operations that the settings reader and the XML
// grid data source need, over pugixml. None of them recurses on the call
// stack, so a document nested 100,000 levels deep is safe.

#include "platform/xml/LoadResult.h"

#include <QByteArray>
#include <QString>

#include <pugixml.hpp>

namespace xml {

// Loads a file as the parser of the original platform did: the XML
// declaration, comments, processing instructions and the document type are
// top-level nodes of their own, so the second top-level node of a file that
// starts with a declaration is its root element. The text is read in the
// encoding the file declares (FileEncoding.h). A file that cannot be read,
// converted or parsed leaves `doc` empty; the result says why.
LoadResult loadFile(pugi::xml_document &doc, const QString &path);

// Loads a file's content already read into memory, as loadFile() does after
// reading; never Unreadable.
LoadResult loadBytes(pugi::xml_document &doc, const QByteArray &fileBytes);

// Writes `doc` to `path` in the encoding its declaration names, through a
// temporary file in the same folder that replaces `path` only when all of it
// was written. A failure says why `path` was left as it was (an encoding
// that cannot be converted or cannot hold a character of the document
// included).
platform::Outcome saveFile(const pugi::xml_document &doc, const QString &path);

// The node written out as markup with everything inside it, without added
// indentation or line breaks ("" for a null node).
QString outerXml(const pugi::xml_node &node);

// The concatenated text of every text and CDATA node below `node`, in
// document order ("" for a null node).
QString nodeText(const pugi::xml_node &node);

// Replaces every child of `node` with one text node holding `text`; an empty
// text leaves no child. Does nothing on a null node.
void setNodeText(pugi::xml_node node, const QString &text);

// Visits `root` and the nodes below it in document order (pre-order),
// following sibling and parent links instead of recursing. `visit(node)`
// returns whether to go on into that node's children.
template <class Visit>
void preOrder(const pugi::xml_node &root, Visit visit)
{
    pugi::xml_node current = root;
    while (current) {
        if (visit(current) && current.first_child()) {
            current = current.first_child();
            continue;
        }
        while (current != root && !current.next_sibling())
            current = current.parent();
        current = current == root ? pugi::xml_node() : current.next_sibling();
    }
}

// Replaces the predefined entities (&amp; &lt; &gt; &quot; &apos;) and numeric
// character references (&#N; &#xH;) with their characters; anything that is
// not a well-formed reference to a valid character stays as it is.
QString decodeCharacterReferences(const QString &text);

}  // namespace xml
