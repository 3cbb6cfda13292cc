#include "spreadsheet/write/RowsWorkbook.h"

#include "platform/os/CNumbers.h"
#include "spreadsheet/SheetFile.h"

#include <QDir>
#include <QFile>
#include <QSaveFile>
#include <QTemporaryDir>

#include <xlsxwriter.h>

#include <algorithm>
#include <memory>

namespace spreadsheet {

namespace {

// Widths of columns A-D in characters: room for a long barcode, a product
// name, a price and a sentence of reason.
constexpr std::array<double, 4> kColumnWidths{18, 40, 12, 60};
constexpr lxw_col_t kReasonColumn = 3;

// A workbook freed unless handed to workbook_close(), which frees it itself.
using Workbook = std::unique_ptr<lxw_workbook, decltype(&lxw_workbook_free)>;

// Whether an XML 1.0 document can carry the UTF-16 unit `c` on its own.
// Carriage returns are not kept either: the writer would store them as
// "_x000D_", which only some readers turn back into a character.
bool storable(char16_t c)
{
    if (c < 0x20)
        return c == u'\t' || c == u'\n';
    return !QChar::isSurrogate(c) && c != 0xFFFE && c != 0xFFFF;
}

// `text` as a cell can hold it (see writeRowsWorkbook()).
QString storableText(const QString &text)
{
    QString kept;
    kept.reserve(std::min(text.size(), kMaxCellChars));
    for (qsizetype i = 0; i < text.size(); ++i) {
        const char16_t c = text[i].unicode();
        const char16_t next = i + 1 < text.size() ? text[i + 1].unicode() : u'\0';
        if (QChar::isHighSurrogate(c) && QChar::isLowSurrogate(next)) {
            if (kept.size() + 2 > kMaxCellChars)
                break;
            kept.append(text[i]).append(text[i + 1]);
            ++i;
            continue;
        }
        if (c == u'\r' && next == u'\n')
            continue;
        const char16_t stored = c == u'\r' ? u'\n' : c;
        if (!storable(stored))
            continue;
        if (kept.size() == kMaxCellChars)
            break;
        kept.append(QChar(stored));
    }
    return kept;
}

QString writerError(const QString &step, lxw_error error)
{
    return QStringLiteral("%1: %2").arg(step, QString::fromUtf8(lxw_strerror(error)));
}

// Lays `rows` out on a new first sheet of `book`; "" or why not.
QString fillSheet(lxw_workbook *book, const std::vector<RowTexts> &rows)
{
    lxw_worksheet *sheet = workbook_add_worksheet(book, "Kalanlar");
    lxw_format *wrapped = workbook_add_format(book);
    if (sheet == nullptr || wrapped == nullptr)
        return QStringLiteral("the workbook writer ran out of memory");
    // A reason with a line break shows as lines instead of one long line.
    format_set_text_wrap(wrapped);
    for (lxw_col_t column = 0; column < kColumnWidths.size(); ++column) {
        const lxw_error error = worksheet_set_column(sheet, column, column, kColumnWidths[column], nullptr);
        if (error != LXW_NO_ERROR)
            return writerError(QStringLiteral("cannot set the column widths"), error);
    }
    for (std::size_t row = 0; row < rows.size(); ++row) {
        for (lxw_col_t column = 0; column < rows[row].size(); ++column) {
            if (rows[row][column].isEmpty())
                continue;
            const lxw_error error = worksheet_write_string(sheet, lxw_row_t(row), column, rows[row][column].toUtf8().constData(),
                                                           column == kReasonColumn ? wrapped : nullptr);
            if (error != LXW_NO_ERROR)
                return writerError(QStringLiteral("cannot write row %1").arg(row + 1), error);
        }
    }
    return {};
}

// buildWorkbook() once numbers are printed with a decimal point.
QString buildWorkbookInCLocale(const QString &file, const QString &scratchDir, const std::vector<RowTexts> &rows)
{
    // libxlsxwriter takes paths in UTF-8 on every platform.
    QByteArray scratch = scratchDir.toUtf8();
    lxw_workbook_options options{};
    options.tmpdir = scratch.data();
    Workbook book(workbook_new_opt(file.toUtf8().constData(), &options), lxw_workbook_free);
    if (!book)
        return QStringLiteral("the workbook writer could not start");
    if (const QString why = fillSheet(book.get(), rows); !why.isEmpty())
        return why;
    const lxw_error error = workbook_close(book.release());
    return error == LXW_NO_ERROR ? QString() : writerError(QStringLiteral("cannot assemble the workbook"), error);
}

// Writes the workbook to `file`, with libxlsxwriter's own scratch files in
// `scratchDir`; "" or why not.
QString buildWorkbook(const QString &file, const QString &scratchDir, const std::vector<RowTexts> &rows)
{
    // libxlsxwriter prints widths and margins with the C library, in its
    // locale: under Turkish number rules "18,7", which no reader takes. The
    // switch is made here, for this thread and these calls only, rather
    // than once at start-up in each program: it then holds for every caller
    // (tests and worker threads included), and nothing else loses the
    // user's locale.
    QString why;
    if (!platform::withCNumbers([&] { why = buildWorkbookInCLocale(file, scratchDir, rows); }))
        return QStringLiteral("cannot switch the C library to plain number formatting");
    return why;
}

// Whether `workbook` reads back with columns A-C of `rows`; "" or what differs.
// libxlsxwriter does not notice when its scratch files are cut short (a full
// disk), and then reports success for a workbook that lost rows.
QString readBackDifference(const QByteArray &workbook, const std::vector<RowTexts> &rows)
{
    const auto hasGridText = [](const RowTexts &row) {
        return std::any_of(row.begin(), row.begin() + 3, [](const QString &text) { return !text.isEmpty(); });
    };
    const auto lastWithText = std::find_if(rows.rbegin(), rows.rend(), hasGridText);
    const auto expected = std::size_t(rows.rend() - lastWithText);

    const SheetColumns sheet = readSheetFromBytes(workbook, QLocale::c());
    if (expected == 0 && sheet.error == ReadError::Empty)
        return {};
    if (!sheet.ok() || sheet.damaged)
        return QStringLiteral("the written workbook does not read back: %1").arg(sheet.message);
    if (sheet.rows.size() != expected)
        return QStringLiteral("the written workbook reads back with %1 rows instead of %2").arg(sheet.rows.size()).arg(expected);
    for (std::size_t row = 0; row < expected; ++row) {
        if (!std::equal(sheet.rows[row].begin(), sheet.rows[row].end(), rows[row].begin()))
            return QStringLiteral("the written workbook reads back differently on row %1").arg(row + 1);
    }
    return {};
}

}  // namespace

QString writeRowsWorkbook(const QString &path, const std::vector<RowTexts> &rows)
{
    // libxlsxwriter assembles its zip in the file it is given, so a failure
    // part-way would leave a broken file there: it writes into a scratch
    // folder, and the checked bytes reach `path` through QSaveFile, which
    // replaces the file whole or not at all.
    QSaveFile target(path);
    if (!target.open(QIODevice::WriteOnly))
        return QStringLiteral("cannot create %1: %2").arg(QDir::toNativeSeparators(path), target.errorString());
    const QTemporaryDir scratch;
    if (!scratch.isValid())
        return QStringLiteral("cannot create a temporary folder: %1").arg(scratch.errorString());

    std::vector<RowTexts> stored(rows.size());
    for (std::size_t row = 0; row < rows.size(); ++row)
        std::transform(rows[row].begin(), rows[row].end(), stored[row].begin(), storableText);
    const QString built = scratch.filePath(QStringLiteral("rows.xlsx"));
    if (const QString why = buildWorkbook(built, scratch.path(), stored); !why.isEmpty())
        return why;

    QFile workbook(built);
    if (!workbook.open(QIODevice::ReadOnly))
        return QStringLiteral("cannot read the workbook back: %1").arg(workbook.errorString());
    const QByteArray bytes = workbook.readAll();
    if (const QString why = readBackDifference(bytes, stored); !why.isEmpty())
        return why;
    if (target.write(bytes) != bytes.size() || !target.commit())
        return QStringLiteral("cannot write %1: %2").arg(QDir::toNativeSeparators(path), target.errorString());
    return {};
}

}  // namespace spreadsheet
