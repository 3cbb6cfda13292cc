#pragma once
// Walking the tree libxml2's HTML parser builds, without recursion, so that
// deeply nested markup cannot exhaust the stack.

#include <libxml/tree.h>

#include <string_view>

namespace spreadsheet::html {

// The element's tag name (lower case, as the HTML parser gives it); empty for
// any node that is not an element.
inline std::string_view tagName(const xmlNode *node)
{
    if (node->type != XML_ELEMENT_NODE || node->name == nullptr)
        return {};
    return reinterpret_cast<const char *>(node->name);
}

// Visits the nodes below root in document order. enter(node) returns whether
// to go into the node's children; leave(node) follows for every entered node
// once whatever was visited below it is done.
template <typename Enter, typename Leave>
void walkBelow(xmlNode *root, Enter &&enter, Leave &&leave)
{
    xmlNode *node = root->children;
    while (node != nullptr) {
        if (enter(node) && node->children != nullptr) {
            node = node->children;
            continue;
        }
        leave(node);
        while (node->next == nullptr) {
            node = node->parent;
            if (node == root || node == nullptr)
                return;
            leave(node);
        }
        node = node->next;
    }
}

// The same walk with nothing to do on leaving a node.
template <typename Enter>
void walkBelow(xmlNode *root, Enter &&enter)
{
    walkBelow(root, enter, [](xmlNode *) {});
}

}  // namespace spreadsheet::html
