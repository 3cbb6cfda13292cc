#include "spreadsheet/package/PackageReader.h"

#include "spreadsheet/CellText.h"
#include "spreadsheet/package/CellStyles.h"
#include "spreadsheet/package/OdsTable.h"
#include "spreadsheet/package/Relationships.h"
#include "spreadsheet/package/SharedStrings.h"
#include "spreadsheet/package/SheetRows.h"
#include "spreadsheet/package/WorkbookPart.h"
#include "spreadsheet/package/Worksheet.h"
#include "spreadsheet/package/ZipArchive.h"

namespace spreadsheet {
namespace {

using namespace package;

SheetColumns refusedFor(const ReadOutcome &outcome)
{
    return SheetColumns::refused(outcome.error, outcome.detail());
}

// The rows `read` put in `rows`, or its refusal.
SheetColumns rowsOrRefusal(const ReadOutcome &read, SheetRows &rows)
{
    return read.ok() ? rows.take() : refusedFor(read);
}

// Whether the manifest marks the content part encrypted, as a document
// saved with a password has it. A manifest that cannot be read marks
// nothing: the content part then speaks for itself.
bool contentEncrypted(const ZipArchive &zip)
{
    constexpr std::string_view kManifestPath = "META-INF/manifest.xml";
    if (!zip.contains(kManifestPath))
        return false;
    bool inContent = false, encrypted = false;
    const ReadOutcome read = readPart(zip, kManifestPath, [&](const XmlPart &xml, XmlPart::Node node) {
        if (node != XmlPart::Node::Start || xml.namespaceUri() != ns::kManifest)
            return true;
        if (xml.name() == "file-entry")
            inContent = xml.attribute("full-path", ns::kManifest) == std::optional<std::string_view>("content.xml");
        else if (xml.name() == "encryption-data" && inContent)
            encrypted = true;
        return !encrypted;
    });
    return read.ok() && encrypted;
}

// Whether the package's main part is that of an Excel binary workbook (.xlsb).
bool isBinaryWorkbook(std::string_view workbookPath)
{
    return QByteArrayView(workbookPath).endsWith(".bin") || QByteArrayView(workbookPath).endsWith(".BIN");
}

SheetColumns readOpenDocument(const ZipArchive &zip, const QLocale &locale)
{
    if (contentEncrypted(zip))
        return SheetColumns::refused(ReadError::PasswordProtected,
                                     QStringLiteral("the OpenDocument file is protected by a password"));
    const CellText text(locale, false);  // dates come as calendar dates, not serial numbers
    // The number styles of named cell styles live in the styles part.
    OdsNumberStyles styles;
    if (zip.contains("styles.xml")) {
        if (const ReadOutcome read = styles.read(zip, "styles.xml"); !read.ok())
            return refusedFor(read);
    }
    SheetRows rows;
    const ReadOutcome read = OdsTable(text, styles, rows).read(zip, "content.xml");
    return rowsOrRefusal(read, rows);
}

SheetColumns readOpenXml(const ZipArchive &zip, const QLocale &locale)
{
    std::string workbookPath = "xl/workbook.xml";
    if (zip.contains("_rels/.rels")) {
        Relationships root;
        if (const ReadOutcome read = root.read(zip, "_rels/.rels", ""); !read.ok())
            return refusedFor(read);
        workbookPath = root.targetOfKind("officeDocument");
    }
    if (isBinaryWorkbook(workbookPath))
        return SheetColumns::refused(ReadError::BinaryWorkbook,
                                     QStringLiteral("an Excel binary workbook (.xlsb), which this tool does not read; "
                                                    "save it as an Excel workbook (.xlsx)"));
    WorkbookPart workbook;
    if (const ReadOutcome read = workbook.read(zip, workbookPath); !read.ok())
        return refusedFor(read);
    Relationships parts;
    if (const ReadOutcome read =
            parts.read(zip, Relationships::partFor(workbookPath), Relationships::folderOf(workbookPath));
        !read.ok())
        return refusedFor(read);

    // A package without a string table or styles has cells that need none.
    // The string table's texts are kept where the sheet's cells will show them.
    SheetRows rows;
    SharedStrings strings;
    CellStyles styles;
    const std::string stringsPath = parts.targetOfKind("sharedStrings");
    const std::string stylesPath = parts.targetOfKind("styles");
    ReadOutcome read;
    if (zip.contains(stringsPath))
        read = strings.read(zip, stringsPath, rows);
    if (read.ok() && zip.contains(stylesPath))
        read = styles.read(zip, stylesPath);
    if (!read.ok())
        return refusedFor(read);
    const std::string sheetPath = parts.target(workbook.firstSheetId());
    if (sheetPath.empty())
        return SheetColumns::refused(ReadError::Damaged, QStringLiteral("the first sheet's part is not named"));
    const CellText text(locale, workbook.date1904());
    read = Worksheet(strings, styles, text, workbook.date1904(), rows).read(zip, sheetPath);
    return rowsOrRefusal(read, rows);
}

}  // namespace

SheetColumns readWorkbookPackage(const QByteArray &file, const QLocale &locale)
{
    if (file.isEmpty())
        return SheetColumns::refused(ReadError::Empty, QStringLiteral("the file is empty"));
    if (!file.startsWith("PK\x03\x04"))
        return SheetColumns::refused(ReadError::NotSpreadsheet, QStringLiteral("not a zip archive"));
    const ZipArchive zip(file);
    if (!zip.problem().isEmpty())
        return SheetColumns::refused(ReadError::Damaged, zip.problem());
    if (zip.contains("content.xml"))
        return readOpenDocument(zip, locale);
    if (zip.contains("[Content_Types].xml") || zip.contains("_rels/.rels") || zip.contains("xl/workbook.xml"))
        return readOpenXml(zip, locale);
    if (zip.contains("mimetype"))
        return SheetColumns::refused(ReadError::Damaged, QStringLiteral("the OpenDocument file has no content part"));
    return SheetColumns::refused(ReadError::NotSpreadsheet, QStringLiteral("a zip archive that holds no workbook"));
}

}  // namespace spreadsheet
