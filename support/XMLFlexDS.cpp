#include "support/XMLFlexDS.h"

#include "platform/xml/DomNode.h"
#include "support/RuntimeError.h"

#include <limits>

namespace {

constexpr int fieldCount = 2;

bool hasSingleChild(const pugi::xml_node &node)
{
    return node.first_child() && !node.first_child().next_sibling();
}

bool hasSeveralChildren(const pugi::xml_node &node)
{
    return node.first_child() && node.first_child().next_sibling();
}

}  // namespace

XMLFlexDS::~XMLFlexDS()
{
    if (!fileName.isEmpty() && dirty && document) {
        try {
            Save();
        } catch (...) {
            // A destructor must not throw; the file keeps its old content.
        }
    }
    for (const QPointer<FlexGrid> &grid : grids) {
        if (grid && grid->dataSource() == this)
            grid->setDataSource(nullptr);
    }
}

int XMLFlexDS::GetRecordCount()
{
    return records ? int(records->size()) : 0;
}

int XMLFlexDS::GetFieldCount()
{
    return fieldCount;
}

QString XMLFlexDS::GetFieldName(int Field)
{
    return Field == 0 ? QStringLiteral("Baslik") : QStringLiteral("Ayar");
}

QString XMLFlexDS::GetData(int Field, int Record)
{
    const pugi::xml_node node = checkedRecord(Field, Record);
    if (Field == 0)
        return QString::fromUtf8(node.name());
    return hasSingleChild(node) ? xml::nodeText(node.first_child()) : QString();
}

void XMLFlexDS::SetData(int Field, int Record, const QString &newData)
{
    const pugi::xml_node node = checkedRecord(Field, Record);
    if (Field != 1 || !hasSingleChild(node) || xml::nodeText(node.first_child()) == newData)
        return;
    dirty = true;
    xml::setNodeText(node.first_child(), newData);
    if (grids.size() <= 1)
        return;
    for (const QPointer<FlexGrid> &grid : grids) {
        if (grid)
            grid->Refresh();
    }
}

QString XMLFlexDS::XMLFile() const
{
    return fileName;
}

xml::LoadResult XMLFlexDS::setXMLFile(const QString &vNewValue)
{
    auto loaded = std::make_shared<pugi::xml_document>();
    xml::LoadResult result = xml::loadFile(*loaded, vNewValue);
    setXMLDocument(std::move(loaded));
    fileName = vNewValue;
    return result;
}

std::shared_ptr<pugi::xml_document> XMLFlexDS::XMLDocument() const
{
    return document;
}

void XMLFlexDS::setXMLDocument(std::shared_ptr<pugi::xml_document> vNewValue)
{
    document = std::move(vNewValue);
    dirty = false;
    records.reset();
    if (document) {
        records.emplace();
        // The first top-level node is normally the XML declaration; a
        // document without a second one has no records.
        if (const pugi::xml_node second = document->first_child().next_sibling())
            CollectRecords(second);
    }
    for (const QPointer<FlexGrid> &grid : grids) {
        if (grid)
            ApplyOutline(*grid);
    }
}

void XMLFlexDS::BindTo(FlexGrid &fg)
{
    grids.emplace_back(&fg);
    fg.setDataSource(this);
    if (fg.OutlineBar() != 0)
        ApplyOutline(fg);
    fg.AutoSize(0, fg.Cols() - 1);
}

bool XMLFlexDS::isDirty() const
{
    return dirty;
}

platform::Outcome XMLFlexDS::Save()
{
    if (fileName.isEmpty())
        return platform::Outcome::failure(QStringLiteral("kaydedilecek dosyanın adı yok"));
    if (!document)
        return platform::Outcome::failure(QStringLiteral("kaydedilecek belge yok"));
    if (platform::Outcome saved = xml::saveFile(*document, fileName); !saved.ok())
        return saved;
    dirty = false;
    return {};
}

void XMLFlexDS::CollectRecords(const pugi::xml_node &node)
{
    xml::preOrder(node, [this](const pugi::xml_node &current) {
        if (current.type() == pugi::node_comment || !current.first_child())
            return false;
        records->push_back(current);
        return hasSeveralChildren(current);
    });
}

short XMLFlexDS::NodeLevel(const pugi::xml_node &node)
{
    int level = 0;
    for (pugi::xml_node current = node; current; current = current.parent()) {
        if (++level > std::numeric_limits<short>::max())
            throw RuntimeError::overflow();
    }
    return short(level);
}

void XMLFlexDS::ApplyOutline(FlexGrid &fg)
{
    if (!records)
        return;
    const int fixedRows = fg.FixedRows();
    for (std::size_t i = 0; i < records->size(); ++i) {
        const pugi::xml_node &node = (*records)[i];
        const bool isNode = hasSeveralChildren(node);
        const short level = isNode ? NodeLevel(node) : short(0);
        const int row = fixedRows + int(i);
        if (fg.IsSubtotal(row) != isNode || fg.RowOutlineLevel(row) != level) {
            fg.setIsSubtotal(row, isNode);
            fg.setRowOutlineLevel(row, level);
        }
        fg.setCell(FlexGrid::flexcpBackColor, row, 1, isNode ? 0u : uint(leafColour));
    }
}

pugi::xml_node XMLFlexDS::checkedRecord(int Field, int Record) const
{
    if (!records || Record < 0 || Record >= int(records->size()) || Field < 0 || Field >= fieldCount)
        throw RuntimeError::badIndex();
    return (*records)[std::size_t(Record)];
}
