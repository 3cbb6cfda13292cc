// Feeds arbitrary bytes to the .xlsx and .ods reader: it must refuse or read
// them without crashing, hanging or touching memory outside the input. A zip
// goes to the reader as it is; any other input is taken as the XML inside a
// sheet (its first byte choosing .xlsx sheet data or .ods table rows) and
// wrapped in a package, so that mutations reach the XML handling without
// first having to keep a zip archive intact.

#include "spreadsheet/package/PackageReader.h"
#include "tests/spreadsheet/package/ZipBuilder.h"

#include <cstddef>
#include <cstdint>
#include <cstring>

namespace {

void check(const spreadsheet::SheetColumns &sheet)
{
    // A refusal always says why, and carries no rows.
    if (!sheet.ok() && (sheet.detail().isEmpty() || !sheet.rows.empty()))
        __builtin_trap();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    static const QLocale turkish(QLocale::Turkish, QLocale::Turkey);
    const QByteArray bytes(reinterpret_cast<const char *>(data), qsizetype(size));
    if (size >= 4 && std::memcmp(data, "PK\x03\x04", 4) == 0) {
        check(spreadsheet::readWorkbookPackage(bytes, turkish));
    } else if (size >= 1 && (data[0] & 1)) {
        check(spreadsheet::readWorkbookPackage(openDocumentPackage(bytes.mid(1)), turkish));
    } else if (size >= 1) {
        check(spreadsheet::readWorkbookPackage(openXmlPackage(bytes.mid(1)), turkish));
    }
    return 0;
}
