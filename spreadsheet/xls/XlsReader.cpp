#include "spreadsheet/xls/XlsReader.h"

#include "spreadsheet/xls/CompoundFile.h"
#include "spreadsheet/xls/PackageDecryption.h"
#include "spreadsheet/xls/SheetReader.h"
#include "spreadsheet/xls/WorkbookStream.h"

#include <QBuffer>

#include <algorithm>

namespace spreadsheet::xls {
namespace {

SheetOutcome refusal(const Status &status)
{
    SheetOutcome result;
    result.refuse(status.error, status.detail());
    return result;
}

// Excel 2.x-4.0 wrote their BIFF records straight into the file, starting
// with a BOF record (id 0x0009, 0x0209 or 0x0409).
bool isBareBiff(Bytes file)
{
    return file.size() >= 4 && file[0] == 0x09 && file[1] <= 0x04 && (file[1] & 0x01) == 0;
}

// Why the file in `device`, which lacks the compound-file signature, is not a workbook we read.
Status notCompound(QIODevice &device)
{
    QByteArray head;
    if (device.seek(0))
        head = device.read(4);
    if (isBareBiff(bytesOf(head)))
        return Status::refusal(ReadError::Unsupported, QStringLiteral("Excel 2.x-4.0 workbooks are not supported"));
    return Status::refusal(ReadError::NotSpreadsheet, QStringLiteral("not an Excel 97-2003 workbook"));
}

// The workbook stream ("Workbook" for BIFF8, "Book" for BIFF5) of the
// container in `file`.
Status workbookStream(QIODevice &file, StreamSource &stream)
{
    CompoundFile container;
    if (Status s = container.open(file); !s.ok())
        return s.error == ReadError::NotSpreadsheet ? notCompound(file) : s;
    int index = container.findStream("Workbook");
    if (index < 0)
        index = container.findStream("Book");
    // Office 2007 and later keep a password-protected .xlsx as an encrypted
    // package inside a compound file.
    if (index < 0 && container.findStream("EncryptedPackage") >= 0)
        return Status::refusal(ReadError::PasswordProtected,
                            QStringLiteral("an encrypted Office Open XML workbook (a password-protected .xlsx)"));
    if (index < 0)
        return Status::refusal(ReadError::NotSpreadsheet, QStringLiteral("the compound file holds no workbook"));
    return container.openStream(index, stream);
}

// The whole stream at directory index `index`; its size is bounded by the file's.
Status streamBytes(const CompoundFile &container, int index, QByteArray &out)
{
    StreamSource stream;
    if (Status s = container.openStream(index, stream); !s.ok())
        return s;
    out.resize(qsizetype(stream.size()));
    stream.read(0, std::span(reinterpret_cast<std::uint8_t *>(out.data()), std::size_t(out.size())));
    return {};
}

}  // namespace

EncryptedPackage openEncryptedPackage(QIODevice &file)
{
    EncryptedPackage result;
    CompoundFile container;
    if (!container.open(file).ok())
        return result;  // the workbook reader tells what is wrong with it
    const int info = container.findStream("EncryptionInfo");
    const int data = container.findStream("EncryptedPackage");
    if (info < 0 || data < 0)
        return result;
    result.found = true;
    QByteArray infoBytes, dataBytes;
    Status status = streamBytes(container, info, infoBytes);
    if (status.ok())
        status = streamBytes(container, data, dataBytes);
    if (status.ok())
        status = decryptPackage(infoBytes, dataBytes, result.package);
    if (!status.ok())
        result.refuse(status.error, status.detail());
    return result;
}

bool looksLikeWorkbook(QByteArrayView head)
{
    const Bytes bytes(reinterpret_cast<const std::uint8_t *>(head.data()), std::size_t(head.size()));
    return CompoundFile::hasSignature(bytes) || isBareBiff(bytes);
}

SheetOutcome readColumnsAtoC(QIODevice &file, spreadsheet::RowSink &sink, const QLocale &locale)
{
    StreamSource stream;
    if (Status s = workbookStream(file, stream); !s.ok())
        return refusal(s);
    return readWorkbookStream(stream, sink, locale);
}

SheetColumns readColumnsAtoCFromBytes(const QByteArray &file, const QLocale &locale)
{
    QBuffer device;
    device.setData(file);
    device.open(QIODevice::ReadOnly);
    spreadsheet::RowStore rows;
    spreadsheet::RowTable table(rows);
    SheetOutcome outcome = readColumnsAtoC(device, table, locale);
    return SheetColumns::gathered(std::move(outcome), std::move(rows));
}

SheetOutcome readWorkbookStream(StreamSource &stream, spreadsheet::RowSink &sink, const QLocale &locale)
{
    biff::RecordReader reader(stream);
    WorkbookGlobals globals;
    if (Status s = readWorkbookGlobals(reader, globals); !s.ok())
        return refusal(s);
    SheetOutcome result;
    const spreadsheet::CellText text(locale, globals.date1904);
    if (Status s = readSheetColumns(reader, globals, text, sink, result); !s.ok())
        return refusal(s);
    return result;
}

}  // namespace spreadsheet::xls
