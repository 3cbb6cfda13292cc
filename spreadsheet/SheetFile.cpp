#include "spreadsheet/SheetFile.h"

#include <QBuffer>
#include <QFile>

#include <algorithm>
#include <optional>

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
    if (xls::looksLikeWorkbook(head)) {
        QBuffer device;
        device.setData(file);
        device.open(QIODevice::ReadOnly);
        const xls::EncryptedPackage encrypted = xls::openEncryptedPackage(device);
        if (!encrypted.found)
            return xls::readColumnsAtoCFromBytes(file, locale);
        if (!encrypted.ok())
            return SheetColumns::refused(encrypted.error, encrypted.detail());
        return readWorkbookPackage(encrypted.package, locale);
    }
    if (file.startsWith("PK\x03\x04"))
        return readWorkbookPackage(file, locale);
    if (looksLikeHtml(head))
        return readHtmlTable(file);
    if (looksLikeText(head))
        return readDelimitedText(file);
    return SheetColumns::refused(ReadError::NotSpreadsheet, QStringLiteral("not a spreadsheet of a kind this tool reads"));
}

// The refusal that a sheet read with `rows` rows earns, or nothing: a
// damaged file of which nothing could be read is damaged, not empty.
std::optional<SheetColumns> refusalFor(const SheetOutcome &sheet, std::size_t rows)
{
    if (sheet.ok() && rows == 0)
        return sheet.damaged ? SheetColumns::refused(ReadError::Damaged, sheet.damage)
                             : SheetColumns::refused(ReadError::Empty, QStringLiteral("the first sheet has nothing in columns A-IV"));
    if (sheet.ok() && rows > std::size_t(kMaxRows))
        return SheetColumns::tooManyRows();
    return std::nullopt;
}

// Cuts cell texts to kMaxCellText and keeps one long text once: a text as
// long as a page that equals the last such text is made to share its data.
// A reader that copies a shared string into each cell (.xls), or a repeated
// cell cut copy by copy, would otherwise hold it once per cell.
class LongTexts {
public:
    // Clips the texts of a row; a row without long texts is left untouched,
    // its data still shared.
    void clip(RowCells &cells)
    {
        for (qsizetype column = 0; column < cells.size(); ++column) {
            if (cells.at(column).size() >= kLongText)
                clip(cells[column]);
        }
    }

private:
    void clip(QString &text)
    {
        if (!text.isSharedWith(original_)) {
            QString cut = text;
            clipCellText(cut);
            if (cut != kept_)
                kept_ = std::move(cut);
            original_ = text;
        }
        text = kept_;
    }

    static constexpr qsizetype kLongText = 4096;
    static_assert(kLongText <= kMaxCellText);
    QString original_;  // the last long text seen, as the reader gave it
    QString kept_;      // the same, cut
};

// Passes rows on to another sink, counting them and cutting their texts
// (a copy of a row shares its data until a long text is cut).
class CountingSink final : public RowSink {
public:
    explicit CountingSink(RowSink &sink) : sink_(sink) {}

    void row(std::size_t index, const RowCells &cells) override
    {
        rows_ = index + 1;
        RowCells clipped = cells;
        texts_.clip(clipped);
        sink_.row(index, clipped);
    }
    void expectRows(std::size_t rows) override { sink_.expectRows(rows); }
    std::size_t rows() const { return rows_; }

private:
    RowSink &sink_;
    LongTexts texts_;
    std::size_t rows_ = 0;
};

}  // namespace

SheetColumns readSheetFromBytes(const QByteArray &file, const QLocale &locale)
{
    if (file.isEmpty())
        return SheetColumns::refused(ReadError::Empty, QStringLiteral("the file is empty"));
    SheetColumns sheet = readByContent(file, locale);
    if (std::optional<SheetColumns> refusal = refusalFor(sheet, sheet.rows.size()))
        return *std::move(refusal);
    return sheet;
}

SheetOutcome readSheet(const QString &path, RowSink &sink, const QLocale &locale)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return SheetColumns::refused(ReadError::CannotOpen, file.errorString());
    // Read, never mapped: a mapped file that another program shortens while
    // we read it would kill the process instead of failing.
    QByteArray bytes = file.read(kHeadBytes);
    if (!xls::looksLikeWorkbook(bytes)) {
        bytes += file.readAll();
        if (file.error() != QFileDevice::NoError)
            return SheetColumns::refused(ReadError::CannotOpen, file.errorString());
    } else if (xls::EncryptedPackage encrypted = xls::openEncryptedPackage(file); encrypted.found) {
        // An encrypted .xlsx: its package, once decrypted, is read as any other.
        if (!encrypted.ok())
            return SheetColumns::refused(encrypted.error, encrypted.detail());
        bytes = std::move(encrypted.package);
    } else {
        // Only an .xls workbook can be read as it streams past; its rows are
        // 16-bit numbers, so it never has too many.
        CountingSink counted(sink);
        SheetOutcome sheet = xls::readColumnsAtoC(file, counted, locale);
        if (std::optional<SheetColumns> refusal = refusalFor(sheet, counted.rows()))
            return *std::move(refusal);
        return sheet;
    }
    const SheetColumns sheet = readSheetFromBytes(bytes, locale);
    for (std::size_t index = 0; index < sheet.rows.size(); ++index)
        sink.row(index, sheet.rows[index]);
    return sheet;
}

SheetColumns readSheet(const QString &path, const QLocale &locale)
{
    RowStore rows;
    RowTable table(rows);
    SheetOutcome outcome = readSheet(path, table, locale);
    return SheetColumns::gathered(std::move(outcome), std::move(rows));
}

}  // namespace spreadsheet
