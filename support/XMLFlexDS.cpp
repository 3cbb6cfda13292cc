#include "support/XMLFlexDS.h"

#include "platform/xml/DomNode.h"
#include "support/RuntimeError.h"

#include <QSaveFile>

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

// Collects pugixml's output, so that it reaches the file in one checked write.
class BufferWriter final : public pugi::xml_writer {
public:
    void write(const void *data, size_t size) override
    {
        bytes.append(static_cast<const char *>(data), qsizetype(size));
    }
    QByteArray bytes;
};

// The encoding the document's declaration names, so that a saved file reads
// back as it says; UTF-8 when there is no declaration or it names another one.
pugi::xml_encoding declaredEncoding(const pugi::xml_document &doc)
{
    const pugi::xml_node declaration = doc.first_child();
    if (declaration.type() != pugi::node_declaration)
        return pugi::encoding_utf8;
    const QString name = QString::fromUtf8(declaration.attribute("encoding").value()).toLower();
    if (name == u"iso-8859-1" || name == u"latin1")
        return pugi::encoding_latin1;
    if (name.startsWith(u"utf-16"))
        return pugi::encoding_utf16_le;
    return pugi::encoding_utf8;
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

pugi::xml_parse_result XMLFlexDS::setXMLFile(const QString &vNewValue)
{
    auto loaded = std::make_shared<pugi::xml_document>();
    const pugi::xml_parse_result result = xml::loadFile(*loaded, vNewValue);
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

QString XMLFlexDS::Save()
{
    if (fileName.isEmpty())
        return QStringLiteral("no file name to save to");
    if (!document)
        return QStringLiteral("no document to save");
    BufferWriter writer;
    const pugi::xml_encoding encoding = declaredEncoding(*document);
    // Written as the document holds it, without indentation: whitespace was
    // dropped at load, and indenting a deeply nested document would grow the
    // file with the square of its depth.
    unsigned flags = pugi::format_raw | pugi::format_no_declaration;
    if (encoding == pugi::encoding_utf16_le)
        flags |= pugi::format_write_bom;
    document->save(writer, "", flags, encoding);
    // Unbuffered, so that a failed write shows in what write() returns: a
    // buffered one could fail only in the flush inside commit(), which then
    // still replaces the file with what was written.
    QSaveFile file(fileName);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Unbuffered))
        return file.errorString();
    if (file.write(writer.bytes) != writer.bytes.size())
        return file.errorString();  // the temporary file goes with `file`, uncommitted
    if (!file.commit())
        return file.errorString();
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
