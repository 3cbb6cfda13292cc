#include "spreadsheet/SheetFile.h"

#include <QFile>

#include <algorithm>

#include "spreadsheet/csv/CsvReader.h"
#include "spreadsheet/html/HtmlReader.h"
#include "spreadsheet/package/PackageReader.h"
#include "spreadsheet/xls/XlsReader.h"

namespace spreadsheet {

namespace {

// How much of a file's start tells a web page or text from anything else.
constexpr qsizetype kHeadBytes = 64 * 1024;

// Hands the file to the reader of the kind its first bytes show. A web page
// is text too, so it is asked for first.
SheetColumns readByContent(const QByteArray &file, const QLocale &locale)
{
    const QByteArrayView head = QByteArrayView(file).first(std::min(file.size(), kHeadBytes));
    if (xls::looksLikeWorkbook(head))
        return xls::readColumnsAtoCFromBytes(file, locale);
    if (file.startsWith("PK\x03\x04"))
        return readWorkbookPackage(file, locale);
    if (looksLikeHtml(head))
        return readHtmlTable(file);
    if (looksLikeText(head))
        return readDelimitedText(file);
    return SheetColumns::refused(ReadError::NotSpreadsheet, QStringLiteral("not a spreadsheet of a kind this tool reads"));
}

}  // namespace

SheetColumns readSheetFromBytes(const QByteArray &file, const QLocale &locale)
{
    if (file.isEmpty())
        return SheetColumns::refused(ReadError::Empty, QStringLiteral("the file is empty"));
    SheetColumns sheet = readByContent(file, locale);
    // A damaged file of which nothing could be read is damaged, not empty.
    if (sheet.ok() && sheet.rows.empty())
        return sheet.damaged ? SheetColumns::refused(ReadError::Damaged, sheet.message)
                             : SheetColumns::refused(ReadError::Empty, QStringLiteral("the first sheet has nothing in columns A-C"));
    if (sheet.ok() && sheet.rows.size() > std::size_t(kMaxRows))
        return SheetColumns::tooManyRows();
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
