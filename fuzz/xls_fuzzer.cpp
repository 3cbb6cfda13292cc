// Feeds arbitrary bytes to the workbook reader: it must refuse or read them
// without crashing, hanging, leaking or touching memory outside the input.

#include "platform/xls/XlsReader.h"

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    static const QLocale turkish(QLocale::Turkish, QLocale::Turkey);
    const QByteArray bytes = QByteArray::fromRawData(reinterpret_cast<const char *>(data), qsizetype(size));
    const xls::SheetColumns sheet = xls::readColumnsAtoCFromBytes(bytes, turkish);
    // A refusal always says why.
    if (!sheet.ok() && sheet.message.isEmpty())
        __builtin_trap();
    return 0;
}
