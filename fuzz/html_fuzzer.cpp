// Feeds arbitrary bytes to the HTML table reader and to the web-page test:
// they must read or refuse them without crashing, hanging or touching memory
// outside the input.

#include "spreadsheet/html/HtmlReader.h"

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    const QByteArray bytes = QByteArray::fromRawData(reinterpret_cast<const char *>(data), qsizetype(size));
    const spreadsheet::SheetColumns sheet = spreadsheet::readHtmlTable(bytes);
    // A refusal always says why; rows end at the last row with a cell.
    if (!sheet.ok() && sheet.detail().isEmpty())
        __builtin_trap();
    if (!sheet.rows.empty() && !spreadsheet::hasText(sheet.rows[sheet.rows.size() - 1]))
        __builtin_trap();
    (void)spreadsheet::looksLikeHtml(bytes);
    return 0;
}
