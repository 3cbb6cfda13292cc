// Feeds arbitrary bytes to the workbook reader: it must refuse or read them
// without crashing, hanging, leaking or touching memory outside the input.
// Inputs with the compound-file signature go through the whole reader; any
// other input is taken as a bare workbook stream, so that mutations reach
// the record parsers without first having to keep a container intact.

#include "spreadsheet/xls/WorkbookStream.h"
#include "spreadsheet/xls/XlsReader.h"

#include <cstddef>
#include <cstdint>
#include <cstring>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    static const QLocale turkish(QLocale::Turkish, QLocale::Turkey);
    static constexpr std::uint8_t kSignature[4] = {0xD0, 0xCF, 0x11, 0xE0};
    spreadsheet::xls::SheetColumns sheet;
    if (size >= 4 && std::memcmp(data, kSignature, 4) == 0) {
        const QByteArray bytes = QByteArray::fromRawData(reinterpret_cast<const char *>(data), qsizetype(size));
        sheet = spreadsheet::xls::readColumnsAtoCFromBytes(bytes, turkish);
    } else {
        const QByteArray bytes = QByteArray::fromRawData(reinterpret_cast<const char *>(data), qsizetype(size));
        spreadsheet::xls::StreamSource stream(bytes);
        spreadsheet::RowStore rows;
        spreadsheet::RowTable table(rows);
        spreadsheet::xls::SheetOutcome outcome = spreadsheet::xls::readWorkbookStream(stream, table, turkish);
        sheet = spreadsheet::xls::SheetColumns::gathered(std::move(outcome), std::move(rows));
    }
    // A refusal always says why.
    if (!sheet.ok() && sheet.detail().isEmpty())
        __builtin_trap();
    return 0;
}
