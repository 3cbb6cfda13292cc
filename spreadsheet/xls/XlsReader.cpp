#include "spreadsheet/xls/XlsReader.h"

#include "spreadsheet/xls/CompoundFile.h"
#include "spreadsheet/xls/SheetReader.h"
#include "spreadsheet/xls/WorkbookStream.h"

#include <QFile>

#include <algorithm>

namespace xls {
namespace {

SheetColumns refusal(const Status &status)
{
    SheetColumns result;
    result.error = status.error;
    result.message = status.message;
    return result;
}

// Why a file without the compound-file signature is not a workbook we read.
Status notCompound(Bytes file)
{
    static constexpr std::uint8_t kZip[] = {'P', 'K', 0x03, 0x04};
    if (file.size() >= 4 && std::equal(std::begin(kZip), std::end(kZip), file.begin()))
        return Status::fail(ReadError::NotSpreadsheet,
                            QStringLiteral("a zip archive (an .xlsx workbook?), not an Excel 97-2003 workbook"));
    // Excel 2.x-4.0 wrote their BIFF records straight into the file.
    if (file.size() >= 4 && file[1] <= 0x04 && (file[1] & 0x01) == 0 && file[0] == 0x09)
        return Status::fail(ReadError::Unsupported, QStringLiteral("Excel 2.x-4.0 workbooks are not supported"));
    return Status::fail(ReadError::NotSpreadsheet, QStringLiteral("not an Excel 97-2003 workbook"));
}

// The workbook stream ("Workbook" for BIFF8, "Book" for BIFF5) out of the
// container, in `file` or in `storage`.
Status workbookStream(Bytes file, std::vector<std::uint8_t> &storage, Bytes &stream)
{
    CompoundFile container;
    if (Status s = container.open(file); !s.ok())
        return s.error == ReadError::NotSpreadsheet ? notCompound(file) : s;
    int index = container.findStream("Workbook");
    if (index < 0)
        index = container.findStream("Book");
    if (index < 0)
        return Status::fail(ReadError::NotSpreadsheet, QStringLiteral("the compound file holds no workbook"));
    return container.readStream(index, storage, stream);
}

}  // namespace

SheetColumns readColumnsAtoCFromBytes(const QByteArray &file, const QLocale &locale)
{
    const Bytes bytes(reinterpret_cast<const std::uint8_t *>(file.constData()), std::size_t(file.size()));
    std::vector<std::uint8_t> storage;
    Bytes stream;
    if (Status s = workbookStream(bytes, storage, stream); !s.ok())
        return refusal(s);
    return readWorkbookStream(stream, locale);
}

SheetColumns readWorkbookStream(Bytes stream, const QLocale &locale)
{
    WorkbookGlobals globals;
    if (Status s = readWorkbookGlobals(stream, globals); !s.ok())
        return refusal(s);
    SheetColumns result;
    const spreadsheet::CellText text(locale, globals.date1904);
    if (Status s = readSheetColumns(stream, globals, text, result.rows, result.unknownRecords); !s.ok())
        return refusal(s);
    return result;
}

SheetColumns readColumnsAtoC(const QString &path, const QLocale &locale)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return refusal(Status::fail(ReadError::CannotOpen, file.errorString()));
    // Read into memory rather than mapped: a mapped file that another program
    // shortens while we read it would kill the process instead of failing.
    const QByteArray bytes = file.readAll();
    if (file.error() != QFileDevice::NoError)
        return refusal(Status::fail(ReadError::CannotOpen, file.errorString()));
    return readColumnsAtoCFromBytes(bytes, locale);
}

}  // namespace xls
