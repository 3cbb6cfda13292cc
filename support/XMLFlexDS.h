#pragma once
// An XML document shown in grids as a two-column table: field "Baslik" is an
// element's name, field "Ayar" the text of its single child. Grid edits of
// "Ayar" write into the document, which is saved back to the file it came
// from when the data source is destroyed. Grids that show an outline tree get
// the elements with several children as outline nodes at their depth, and
// the value cells of the other rows tinted.

#include "platform/grid/FlexGrid.h"
#include "platform/grid/IVSFlexDataSource.h"
#include "platform/xml/LoadResult.h"

#include <QPointer>
#include <QString>

#include <pugixml.hpp>

#include <cstdint>
#include <memory>
#include <optional>
#include <vector>

class XMLFlexDS : public IVSFlexDataSource {
public:
    XMLFlexDS() = default;
    XMLFlexDS(const XMLFlexDS &) = delete;
    XMLFlexDS &operator=(const XMLFlexDS &) = delete;
    // Saves an edited document that came through XMLFile (see Save) and
    // unbinds the grids that still exist. A failed save is swallowed: the
    // file stays as it was.
    ~XMLFlexDS() override;

    // Number of records; 0 before any document and for a document with a
    // single top-level node.
    int GetRecordCount() override;
    // Always 2.
    int GetFieldCount() override;
    // "Baslik" for field 0, "Ayar" for every other value.
    QString GetFieldName(int Field) override;
    // Field 0: the record's element name; field 1: the text of its single
    // child, "" when it has several. Raises 666 "Bad Index" when Record or
    // Field is outside the table or no document is set.
    QString GetData(int Field, int Record) override;
    // Writes `newData` into the single child of the record for field 1;
    // field 0 and records with several children are left alone. A change
    // marks the document dirty and, when more than one grid is bound,
    // refreshes every bound grid in bind order. Raises 666 as GetData does.
    void SetData(int Field, int Record, const QString &newData) override;

    // The name last given to setXMLFile; "" when none.
    QString XMLFile() const;
    // Loads the file into a new document, read in the encoding it declares,
    // shows it and makes the name the save target. Returns why a file could
    // not be loaded (it then shows an empty document with no records).
    xml::LoadResult setXMLFile(const QString &vNewValue);
    // The document shown, shared with whoever set it; null before the first.
    std::shared_ptr<pugi::xml_document> XMLDocument() const;
    // Shows `vNewValue`: collects its records from the second top-level node
    // on, clears the dirty mark and runs the outline pass on every bound grid
    // (without refreshing them). Null returns to having no document. The save
    // target stays as it was.
    void setXMLDocument(std::shared_ptr<pugi::xml_document> vNewValue);
    // Binds the grid to this data source (a grid bound twice is held twice),
    // runs the outline pass when it shows an outline tree and fits its column
    // widths. A grid destroyed before the data source is skipped from then on.
    void BindTo(FlexGrid &fg);

    // True once an edit has changed a value of the current document.
    bool isDirty() const;
    // Writes the document to XMLFile's name in the encoding its declaration
    // names, through a temporary file in the same folder that replaces the
    // file only when all of it was written, and clears the dirty mark.
    // A failure says why the file was left as it was (no file name, no
    // document, an encoding that cannot be converted or cannot hold a
    // character of the document, or the file system's reason).
    platform::Outcome Save();

private:
    // Appends the records at and below `node` in document order: nodes with
    // children except comments, not descending below a node with one child.
    void CollectRecords(const pugi::xml_node &node);
    // Nodes from `node` up to and including the document node: 2 for the
    // top-level element. Raises 6 beyond a 16-bit count.
    static short NodeLevel(const pugi::xml_node &node);
    // Marks the rows of records with several children as outline nodes at
    // their level and tints the value cells of the others; does nothing
    // before any document.
    void ApplyOutline(FlexGrid &fg);
    // The record at `Record` after the index test for `Field` and `Record`.
    pugi::xml_node checkedRecord(int Field, int Record) const;

    std::shared_ptr<pugi::xml_document> document;
    QString fileName;
    std::optional<std::vector<pugi::xml_node>> records;
    std::vector<QPointer<FlexGrid>> grids;
    std::uint32_t leafColour = 0x00FAD2D2;  // red 210, green 210, blue 250
    bool dirty = false;
};
