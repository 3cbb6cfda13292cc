#include "ZipBuilder.h"

#include <zlib.h>


namespace {

void put16(QByteArray &out, std::uint32_t v)
{
    const char bytes[2] = {char(v & 0xFF), char((v >> 8) & 0xFF)};
    out.append(bytes, 2);
}

void put32(QByteArray &out, std::uint32_t v)
{
    put16(out, v & 0xFFFF);
    put16(out, v >> 16);
}

void put64(QByteArray &out, std::uint64_t v)
{
    put32(out, std::uint32_t(v));
    put32(out, std::uint32_t(v >> 32));
}

constexpr char kContentTypes[] =
    R"(<?xml version="1.0" encoding="UTF-8"?>
<Types xmlns="http://schemas.openxmlformats.org/package/2006/content-types">
<Default Extension="rels" ContentType="application/vnd.openxmlformats-package.relationships+xml"/>
<Default Extension="xml" ContentType="application/xml"/>
<Override PartName="/xl/workbook.xml" ContentType="application/vnd.openxmlformats-officedocument.spreadsheetml.sheet.main+xml"/>
<Override PartName="/xl/worksheets/sheet1.xml" ContentType="application/vnd.openxmlformats-officedocument.spreadsheetml.worksheet+xml"/>
<Override PartName="/xl/sharedStrings.xml" ContentType="application/vnd.openxmlformats-officedocument.spreadsheetml.sharedStrings+xml"/>
</Types>)";
constexpr char kRootRels[] =
    R"(<?xml version="1.0" encoding="UTF-8"?>
<Relationships xmlns="http://schemas.openxmlformats.org/package/2006/relationships">
<Relationship Id="rId1" Type="http://schemas.openxmlformats.org/officeDocument/2006/relationships/officeDocument" Target="xl/workbook.xml"/>
</Relationships>)";
constexpr char kWorkbook[] =
    R"(<?xml version="1.0" encoding="UTF-8"?>
<workbook xmlns="http://schemas.openxmlformats.org/spreadsheetml/2006/main" xmlns:r="http://schemas.openxmlformats.org/officeDocument/2006/relationships">
<sheets><sheet name="Sheet1" sheetId="1" r:id="rId1"/></sheets></workbook>)";
constexpr char kWorkbookRels[] =
    R"(<?xml version="1.0" encoding="UTF-8"?>
<Relationships xmlns="http://schemas.openxmlformats.org/package/2006/relationships">
<Relationship Id="rId1" Type="http://schemas.openxmlformats.org/officeDocument/2006/relationships/worksheet" Target="worksheets/sheet1.xml"/>
<Relationship Id="rId2" Type="http://schemas.openxmlformats.org/officeDocument/2006/relationships/sharedStrings" Target="sharedStrings.xml"/>
</Relationships>)";
constexpr char kSheetHead[] =
    R"(<?xml version="1.0" encoding="UTF-8"?>
<worksheet xmlns="http://schemas.openxmlformats.org/spreadsheetml/2006/main"><sheetData>)";
constexpr char kStringsHead[] =
    R"(<?xml version="1.0" encoding="UTF-8"?>
<sst xmlns="http://schemas.openxmlformats.org/spreadsheetml/2006/main">)";

constexpr char kManifest[] =
    R"(<?xml version="1.0" encoding="UTF-8"?>
<manifest:manifest xmlns:manifest="urn:oasis:names:tc:opendocument:xmlns:manifest:1.0" manifest:version="1.2">
<manifest:file-entry manifest:full-path="/" manifest:media-type="application/vnd.oasis.opendocument.spreadsheet"/>
<manifest:file-entry manifest:full-path="content.xml" manifest:media-type="text/xml"/>
</manifest:manifest>)";
constexpr char kContentHead[] =
    R"(<?xml version="1.0" encoding="UTF-8"?>
<office:document-content xmlns:office="urn:oasis:names:tc:opendocument:xmlns:office:1.0"
 xmlns:table="urn:oasis:names:tc:opendocument:xmlns:table:1.0" xmlns:text="urn:oasis:names:tc:opendocument:xmlns:text:1.0"
 xmlns:calcext="urn:org:documentfoundation:names:experimental:calc:xmlns:calcext:1.0"
 xmlns:style="urn:oasis:names:tc:opendocument:xmlns:style:1.0"
 xmlns:number="urn:oasis:names:tc:opendocument:xmlns:datastyle:1.0"
 office:version="1.2"><office:body><office:spreadsheet><table:table table:name="Sheet1">)";

}  // namespace

QByteArray deflated(const QByteArray &content)
{
    z_stream stream{};
    deflateInit2(&stream, Z_BEST_COMPRESSION, Z_DEFLATED, -MAX_WBITS, 9, Z_DEFAULT_STRATEGY);
    QByteArray out(qsizetype(deflateBound(&stream, uLong(content.size()))), Qt::Uninitialized);
    stream.next_in = reinterpret_cast<Bytef *>(const_cast<char *>(content.constData()));
    stream.avail_in = uInt(content.size());
    stream.next_out = reinterpret_cast<Bytef *>(out.data());
    stream.avail_out = uInt(out.size());
    deflate(&stream, Z_FINISH);
    out.resize(qsizetype(stream.total_out));
    deflateEnd(&stream);
    return out;
}

ZipBuilder &ZipBuilder::add(const QString &name, const QByteArray &content, std::optional<std::uint32_t> declaredSize)
{
    addRaw(name, deflated(content), declaredSize.value_or(std::uint32_t(content.size())));
    parts_.back().crc = std::uint32_t(crc32(0, reinterpret_cast<const Bytef *>(content.constData()),
                                            uInt(content.size())));
    return *this;
}

ZipBuilder &ZipBuilder::addRaw(const QString &name, const QByteArray &deflatedData, std::uint32_t declaredSize)
{
    parts_.push_back({name.toUtf8(), deflatedData, 0, declaredSize});
    return *this;
}

QByteArray ZipBuilder::build() const
{
    QByteArray out, directory;
    for (const Part &part : parts_) {
        const auto offset = std::uint32_t(out.size());
        const auto header = [&](QByteArray &to, bool central) {
            const bool wideHere = zip64_ && central;
            put32(to, central ? 0x02014b50 : 0x04034b50);
            if (central)
                put16(to, 20);  // made by
            put16(to, 20);      // needed to extract
            put16(to, 0);       // flags
            put16(to, 8);       // deflate
            put32(to, 0);       // time and date
            put32(to, part.crc);
            put32(to, wideHere ? 0xFFFFFFFF : std::uint32_t(part.data.size()));
            put32(to, wideHere ? 0xFFFFFFFF : part.size);
            put16(to, std::uint32_t(part.name.size()));
            put16(to, wideHere ? 28 : 0);  // extra field
            if (central) {
                put16(to, 0);  // comment
                put16(to, 0);  // disk
                put16(to, 0);  // internal attributes
                put32(to, 0);  // external attributes
                put32(to, wideHere ? 0xFFFFFFFF : offset);
            }
            to += part.name;
            if (wideHere) {
                put16(to, 0x0001);
                put16(to, 24);
                put64(to, part.size);
                put64(to, std::uint64_t(part.data.size()));
                put64(to, offset);
            }
        };
        header(out, false);
        out += part.data;
        header(directory, true);
    }
    const auto directoryOffset = std::uint32_t(out.size());
    out += directory;
    if (zip64_) {
        const auto record = std::uint64_t(out.size());
        put32(out, 0x06064b50);
        put64(out, 44);  // the record's size after this field
        put16(out, 45);  // made by
        put16(out, 45);  // needed to extract
        put32(out, 0);   // disk
        put32(out, 0);   // disk of the directory
        put64(out, parts_.size());
        put64(out, parts_.size());
        put64(out, std::uint64_t(directory.size()));
        put64(out, directoryOffset);
        put32(out, 0x07064b50);  // its locator
        put32(out, 0);
        put64(out, record);
        put32(out, 1);  // disks
    }
    put32(out, 0x06054b50);
    put32(out, 0);  // disks
    put16(out, zip64_ ? 0xFFFF : std::uint32_t(parts_.size()));
    put16(out, zip64_ ? 0xFFFF : std::uint32_t(parts_.size()));
    put32(out, zip64_ ? 0xFFFFFFFF : std::uint32_t(directory.size()));
    put32(out, zip64_ ? 0xFFFFFFFF : directoryOffset);
    put16(out, 0);  // comment
    return out;
}

QByteArray zipOf(const PackageParts &parts, bool zip64)
{
    ZipBuilder zip;
    for (const auto &[name, content] : parts)
        zip.add(name, content);
    if (zip64)
        zip.zip64();
    return zip.build();
}

PackageParts openXmlParts(const QByteArray &sheetData, const QByteArray &sharedStrings)
{
    return {
        {QStringLiteral("[Content_Types].xml"), kContentTypes},
        {QStringLiteral("_rels/.rels"), kRootRels},
        {QStringLiteral("xl/workbook.xml"), kWorkbook},
        {QStringLiteral("xl/_rels/workbook.xml.rels"), kWorkbookRels},
        {QStringLiteral("xl/sharedStrings.xml"), kStringsHead + sharedStrings + "</sst>"},
        {QStringLiteral("xl/worksheets/sheet1.xml"), kSheetHead + sheetData + "</sheetData></worksheet>"},
    };
}

QByteArray openXmlPackage(const QByteArray &sheetData, const QByteArray &sharedStrings)
{
    return zipOf(openXmlParts(sheetData, sharedStrings));
}

QByteArray openXmlPackageWithStyles(const QByteArray &sheetData, const QByteArray &styles)
{
    PackageParts parts = openXmlParts(sheetData);
    for (auto &[name, content] : parts) {
        if (name == QLatin1String("xl/_rels/workbook.xml.rels"))
            content.replace("</Relationships>", R"(<Relationship Id="rId3" Type="http://schemas.openxmlformats.org/officeDocument/2006/relationships/styles" Target="styles.xml"/>
</Relationships>)");
    }
    parts.emplace_back(QStringLiteral("xl/styles.xml"),
                       R"(<?xml version="1.0" encoding="UTF-8"?><styleSheet xmlns="http://schemas.openxmlformats.org/spreadsheetml/2006/main">)"
                           + styles + "</styleSheet>");
    return zipOf(parts);
}

QByteArray openXmlPackageWithout(const QString &missing)
{
    PackageParts parts = openXmlParts(R"(<row r="1"><c r="A1"><v>1</v></c></row>)");
    std::erase_if(parts, [&](const auto &part) { return part.first == missing; });
    return zipOf(parts);
}

PackageParts openDocumentParts(const QByteArray &rows, const QByteArray &manifest)
{
    return {
        {QStringLiteral("mimetype"), "application/vnd.oasis.opendocument.spreadsheet"},
        {QStringLiteral("META-INF/manifest.xml"), manifest.isEmpty() ? QByteArray(kManifest) : manifest},
        {QStringLiteral("content.xml"),
         kContentHead + rows + "</table:table></office:spreadsheet></office:body></office:document-content>"},
    };
}

QByteArray openDocumentPackageWithStyles(const QByteArray &rows, const QByteArray &styles)
{
    PackageParts parts = openDocumentParts(rows);
    parts.back().second.replace("<office:body>",
                                "<office:automatic-styles>" + styles + "</office:automatic-styles><office:body>");
    return zipOf(parts);
}

QByteArray openDocumentPackage(const QByteArray &rows, bool withContent)
{
    PackageParts parts = openDocumentParts(rows);
    if (!withContent)
        parts.pop_back();
    return zipOf(parts);
}
