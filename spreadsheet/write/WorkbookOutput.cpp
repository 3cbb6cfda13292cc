#include "spreadsheet/write/WorkbookOutput.h"

#include "platform/os/CNumbers.h"
#include "spreadsheet/SheetFile.h"

#include <QDir>
#include <QFile>
#include <QLocale>
#include <QSaveFile>
#include <QTemporaryDir>

#include <algorithm>
#include <memory>

namespace spreadsheet {

namespace {

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

// buildWorkbook() once numbers are printed with a decimal point.
platform::Outcome buildWorkbookInCLocale(const QString &file, const QString &scratchDir, const WorkbookFiller &fill)
{
    // libxlsxwriter takes paths in UTF-8 on every platform.
    QByteArray scratch = scratchDir.toUtf8();
    lxw_workbook_options options{};
    options.tmpdir = scratch.data();
    Workbook book(workbook_new_opt(file.toUtf8().constData(), &options), lxw_workbook_free);
    if (!book)
        return platform::Outcome::failure({}, QStringLiteral("the workbook writer could not start"));
    if (platform::Outcome filled = fill(book.get()); !filled.ok())
        return filled;
    const lxw_error error = workbook_close(book.release());
    if (error != LXW_NO_ERROR)
        return writerError(QStringLiteral("cannot assemble the workbook"), error);
    return {};
}

// Writes the workbook to `file`, with libxlsxwriter's own scratch files in
// `scratchDir`.
platform::Outcome buildWorkbook(const QString &file, const QString &scratchDir, const WorkbookFiller &fill)
{
    // libxlsxwriter prints numbers, widths and margins with the C library,
    // in its locale: under Turkish number rules "18,7", which no reader
    // takes. The switch is made here, for this thread and these calls only,
    // rather than once at start-up in each program: it then holds for every
    // caller (tests and worker threads included), and nothing else loses the
    // user's locale.
    platform::Outcome built;
    if (!platform::withCNumbers([&] { built = buildWorkbookInCLocale(file, scratchDir, fill); }))
        return platform::Outcome::failure({}, QStringLiteral("cannot switch the C library to plain number formatting"));
    return built;
}

// Whether `workbook` reads back as `expected`; "" or what differs.
// libxlsxwriter does not notice when its scratch files are cut short (a full
// disk), and then reports success for a workbook that lost rows.
QString readBackDifference(const QByteArray &workbook, std::size_t rows, const ExpectedCells &expected)
{
    std::size_t withText = rows;
    while (withText > 0 && !hasText(expected(withText - 1)))
        --withText;

    const SheetColumns sheet = readSheetFromBytes(workbook, QLocale::c());
    if (withText == 0 && sheet.error == ReadError::Empty)
        return {};
    if (!sheet.ok() || sheet.damaged)
        return QStringLiteral("the written workbook does not read back: %1").arg(sheet.ok() ? sheet.damage : sheet.detail());
    if (sheet.rows.size() != withText)
        return QStringLiteral("the written workbook reads back with %1 rows instead of %2").arg(sheet.rows.size()).arg(withText);
    for (std::size_t row = 0; row < withText; ++row) {
        RowCells wanted = expected(row);
        fitRow(wanted);
        if (sheet.rows[row] != wanted)
            return QStringLiteral("the written workbook reads back differently on row %1").arg(row + 1);
    }
    return {};
}

}  // namespace

QString storableText(const QString &text)
{
    QString kept;
    kept.reserve(std::min(text.size(), kMaxCellText));
    for (qsizetype i = 0; i < text.size(); ++i) {
        const char16_t c = text[i].unicode();
        const char16_t next = i + 1 < text.size() ? text[i + 1].unicode() : u'\0';
        if (QChar::isHighSurrogate(c) && QChar::isLowSurrogate(next)) {
            if (kept.size() + 2 > kMaxCellText)
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
        if (kept.size() == kMaxCellText)
            break;
        kept.append(QChar(stored));
    }
    return kept;
}

platform::Outcome writerError(const QString &step, lxw_error error)
{
    return platform::Outcome::failure({}, QStringLiteral("%1: %2").arg(step, QString::fromUtf8(lxw_strerror(error))));
}

platform::Outcome setColumnWidths(lxw_worksheet *sheet, std::span<const double> widths)
{
    for (lxw_col_t column = 0; column < widths.size(); ++column) {
        const lxw_error error = worksheet_set_column(sheet, column, column, widths[column], nullptr);
        if (error != LXW_NO_ERROR)
            return writerError(QStringLiteral("cannot set the column widths"), error);
    }
    return {};
}

platform::Outcome writeCheckedWorkbook(const QString &path, const WorkbookFiller &fill, std::size_t rows,
                                       const ExpectedCells &expected)
{
    const auto unwritten = [&path](const QString &why) {
        return platform::Outcome::failure(QStringLiteral("%1 yazılamadı").arg(QDir::toNativeSeparators(path)), why);
    };
    // libxlsxwriter assembles its zip in the file it is given, so a failure
    // part-way would leave a broken file there: it writes into a scratch
    // folder, and the checked bytes reach `path` through QSaveFile, which
    // replaces the file whole or not at all.
    QSaveFile target(path);
    if (!target.open(QIODevice::WriteOnly))
        return unwritten(QStringLiteral("cannot create %1: %2").arg(QDir::toNativeSeparators(path), target.errorString()));
    const QTemporaryDir scratch;
    if (!scratch.isValid())
        return unwritten(QStringLiteral("cannot create a temporary folder: %1").arg(scratch.errorString()));

    const QString built = scratch.filePath(QStringLiteral("rows.xlsx"));
    if (const platform::Outcome written = buildWorkbook(built, scratch.path(), fill); !written.ok())
        return unwritten(written.detail());

    QFile workbook(built);
    if (!workbook.open(QIODevice::ReadOnly))
        return unwritten(QStringLiteral("cannot read the workbook back: %1").arg(workbook.errorString()));
    const QByteArray bytes = workbook.readAll();
    if (const QString why = readBackDifference(bytes, rows, expected); !why.isEmpty())
        return unwritten(why);
    if (target.write(bytes) != bytes.size() || !target.commit())
        return unwritten(QStringLiteral("cannot write %1: %2").arg(QDir::toNativeSeparators(path), target.errorString()));
    return {};
}

}  // namespace spreadsheet
