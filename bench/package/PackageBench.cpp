// bench_package [FILE.xlsx]: times the .xlsx reader on FILE, or on the 65,535-row
// product list of the .xls benchmark saved as .xlsx by LibreOffice (or, with
// no LibreOffice, written as it writes it by make_xlsx_workbook.py), and
// compares with python3-openpyxl in read-only mode on the same file.

#include "BenchSupport.h"
#include "spreadsheet/package/PackageReader.h"

#include <QFile>
#include <QStandardPaths>
#include <QStringList>
#include <QTemporaryDir>

#include <cstdio>
#include <optional>

namespace {

const QString kXlsScripts = QStringLiteral(BENCH_XLS_SCRIPTS "/");
const QString kScripts = QStringLiteral(BENCH_SCRIPTS "/");

// The benchmark workbook as LibreOffice saves it as .xlsx, in `folder`; empty when it cannot be made.
QString saveByLibreOffice(const QString &folder)
{
    const QString xls = folder + "/bench.xls";
    if (!runForOutput(QStringLiteral("/usr/bin/python3"), {kXlsScripts + "make_bench_workbook.py", xls}))
        return {};
    const QString office = QStandardPaths::findExecutable(QStringLiteral("soffice"));
    if (office.isEmpty()
        || !runForOutput(office, {QStringLiteral("--headless"), "-env:UserInstallation=file://" + folder + "/profile",
                         QStringLiteral("--convert-to"), QStringLiteral("xlsx"), QStringLiteral("--outdir"), folder,
                         xls}))
        return {};
    return folder + "/bench.xlsx";
}

// The same list written the way LibreOffice writes it, by a script that needs
// only Python's standard library; empty when even that cannot run.
QString writeLikeLibreOffice(const QString &folder)
{
    const QString xlsx = folder + "/bench-python.xlsx";
    if (!runForOutput(QStringLiteral("/usr/bin/python3"), {kScripts + "make_xlsx_workbook.py", xlsx}))
        return {};
    return xlsx;
}

QString makeWorkbook(const QString &folder)
{
    if (QString saved = saveByLibreOffice(folder); !saved.isEmpty())
        return saved;
    std::puts("(no python3-xlwt or LibreOffice: the workbook is written by make_xlsx_workbook.py)");
    return writeLikeLibreOffice(folder);
}

}  // namespace

int main(int argc, char **argv)
{
    QTemporaryDir scratch;
    const QString workbook = argc > 1 ? QString::fromLocal8Bit(argv[1]) : makeWorkbook(scratch.path());
    if (workbook.isEmpty()) {
        std::fputs("bench_package: cannot generate the workbook (no python3?); pass FILE.xlsx\n",
                   stderr);
        return 2;
    }
    const QLocale turkish(QLocale::Turkish, QLocale::Turkey);

    std::size_t rows = 0;
    QString refusal;
    const std::optional<RunTimes> times = timeRuns(7, [&] {
        QFile file(workbook);
        if (!file.open(QIODevice::ReadOnly)) {
            refusal = file.errorString();
            return false;
        }
        const spreadsheet::SheetColumns sheet = spreadsheet::readWorkbookPackage(file.readAll(), turkish);
        rows = sheet.rows.size();
        refusal = sheet.detail();
        return sheet.ok();
    });
    if (!times) {
        std::fprintf(stderr, "bench_package: %s\n", qPrintable(refusal));
        return 2;
    }
    printReadFigures(workbook, rows, *times);

    const auto openpyxl = runForOutput(QStringLiteral("/usr/bin/python3"), {kScripts + "openpyxl_read.py", workbook});
    if (!openpyxl) {
        std::printf("python3-openpyxl   not available\n");
        return 0;
    }
    const double theirs = openpyxl->toDouble();
    std::printf("python3-openpyxl   best %.4f s read-only (reader takes %.1f%% of its time)\n", theirs,
                100.0 * times->best / theirs);
    return 0;
}
