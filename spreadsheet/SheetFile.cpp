#include "spreadsheet/SheetFile.h"

#include <QFile>

#include "spreadsheet/package/PackageReader.h"
#include "spreadsheet/xls/XlsReader.h"

namespace spreadsheet {

namespace {

// Hands the file to the reader of the kind its first bytes show.
SheetColumns readByContent(const QByteArray &file, const QLocale &locale)
{
    if (xls::looksLikeWorkbook(file))
        return xls::readColumnsAtoCFromBytes(file, locale);
    if (file.startsWith("PK\x03\x04"))
        return readWorkbookPackage(file, locale);
    return SheetColumns::refused(ReadError::NotSpreadsheet, QStringLiteral("not a spreadsheet of a kind this tool reads"));
}

}  // namespace

SheetColumns readSheetFromBytes(const QByteArray &file, const QLocale &locale)
{
    if (file.isEmpty())
        return SheetColumns::refused(ReadError::Empty, QStringLiteral("the file is empty"));
    SheetColumns sheet = readByContent(file, locale);
    if (sheet.ok() && sheet.rows.empty())
        return SheetColumns::refused(ReadError::Empty, QStringLiteral("the first sheet has nothing in columns A-C"));
    if (sheet.ok() && sheet.rows.size() > std::size_t(kMaxRows))
        return SheetColumns::refused(ReadError::TooManyRows,
                                     QStringLiteral("the sheet has more than %1 rows").arg(kMaxRows));
    return sheet;
}

SheetColumns readSheet(const QString &path, const QLocale &locale)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return SheetColumns::refused(ReadError::CannotOpen, file.errorString());
    // Read into memory rather than mapped: a mapped file that another program
    // shortens while we read it would kill the process instead of failing.
    const QByteArray bytes = file.readAll();
    if (file.error() != QFileDevice::NoError)
        return SheetColumns::refused(ReadError::CannotOpen, file.errorString());
    return readSheetFromBytes(bytes, locale);
}

}  // namespace spreadsheet
