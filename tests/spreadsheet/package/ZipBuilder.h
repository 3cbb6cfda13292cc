#pragma once
// Zip archives written in memory for the tests, honest or lying about their
// parts' sizes, and the smallest .xlsx and .ods packages around a sheet.

#include <QByteArray>
#include <QString>

#include <cstdint>
#include <optional>
#include <vector>

class ZipBuilder {
public:
    // Adds a part, deflated; `declaredSize` replaces the expanded size the
    // archive states for it (its content stays as given).
    ZipBuilder &add(const QString &name, const QByteArray &content,
                    std::optional<std::uint32_t> declaredSize = std::nullopt);
    // Adds a part whose compressed bytes are given as they are.
    ZipBuilder &addRaw(const QString &name, const QByteArray &deflated, std::uint32_t declaredSize);
    // Writes the sizes and offsets of the central directory in Zip64 records
    // only, the classic fields all ones, as writers do past 4 GB.
    ZipBuilder &zip64() { zip64_ = true; return *this; }
    // The archive: local headers and data, then the central directory and its end record.
    QByteArray build() const;

private:
    struct Part {
        QByteArray name, data;
        std::uint32_t crc = 0, size = 0;
    };
    std::vector<Part> parts_;
    bool zip64_ = false;
};

// The parts of a package, by name, in archive order.
using PackageParts = std::vector<std::pair<QString, QByteArray>>;

// A zip archive of `parts`, deflated, in their order.
QByteArray zipOf(const PackageParts &parts, bool zip64 = false);

// Raw deflate of `content` at the best compression.
QByteArray deflated(const QByteArray &content);

// The parts of an .xlsx package whose only sheet has `sheetData` (the
// inside of <sheetData>), with `sharedStrings` inside its string table.
PackageParts openXmlParts(const QByteArray &sheetData, const QByteArray &sharedStrings = {});
// The same parts zipped.
QByteArray openXmlPackage(const QByteArray &sheetData, const QByteArray &sharedStrings = {});
// The same package with `styles` as its styles part.
QByteArray openXmlPackageWithStyles(const QByteArray &sheetData, const QByteArray &styles);
// The same package without the part named `missing`.
QByteArray openXmlPackageWithout(const QString &missing);
// An .ods package whose only table has `rows` (table:table-row elements).
QByteArray openDocumentPackage(const QByteArray &rows, bool withContent = true);
// The same package's parts, with `manifest` as its manifest when not empty.
PackageParts openDocumentParts(const QByteArray &rows, const QByteArray &manifest = {});
// The same package with `styles` (the inside of <office:automatic-styles>) before the table.
QByteArray openDocumentPackageWithStyles(const QByteArray &rows, const QByteArray &styles);
