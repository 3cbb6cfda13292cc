// bench_package [FILE.xlsx]: times the .xlsx reader on FILE, or on the 65,535-row
// product list of the .xls benchmark saved as .xlsx by LibreOffice, and
// compares with python3-openpyxl in read-only mode on the same file.

#include "PeakMemory.h"
#include "spreadsheet/package/PackageReader.h"

#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QStandardPaths>
#include <QStringList>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>
#include <optional>
#include <vector>

namespace {

const QString kXlsScripts = QStringLiteral(BENCH_XLS_SCRIPTS "/");
const QString kScripts = QStringLiteral(BENCH_SCRIPTS "/");

// Standard output of `program arguments`, or nullopt when it fails.
std::optional<QString> run(const QString &program, const QStringList &arguments)
{
    QProcess process;
    process.start(program, arguments);
    if (!process.waitForFinished(-1) || process.exitStatus() != QProcess::NormalExit || process.exitCode() != 0)
        return std::nullopt;
    return QString::fromUtf8(process.readAllStandardOutput()).trimmed();
}

// The benchmark workbook as LibreOffice saves it as .xlsx, in `folder`; empty when it cannot be made.
QString makeWorkbook(const QString &folder)
{
    const QString xls = folder + "/bench.xls";
    if (!run(QStringLiteral("/usr/bin/python3"), {kXlsScripts + "make_bench_workbook.py", xls}))
        return {};
    const QString office = QStandardPaths::findExecutable(QStringLiteral("soffice"));
    if (office.isEmpty()
        || !run(office, {QStringLiteral("--headless"), "-env:UserInstallation=file://" + folder + "/profile",
                         QStringLiteral("--convert-to"), QStringLiteral("xlsx"), QStringLiteral("--outdir"), folder,
                         xls}))
        return {};
    return folder + "/bench.xlsx";
}

}  // namespace

int main(int argc, char **argv)
{
    QTemporaryDir scratch;
    const QString workbook = argc > 1 ? QString::fromLocal8Bit(argv[1]) : makeWorkbook(scratch.path());
    if (workbook.isEmpty()) {
        std::fputs("bench_package: cannot generate the workbook (python3-xlwt or soffice missing?); pass FILE.xlsx\n",
                   stderr);
        return 2;
    }
    const QLocale turkish(QLocale::Turkish, QLocale::Turkey);

    constexpr int kRuns = 7;
    std::vector<double> seconds;
    std::size_t rows = 0;
    for (int run = 0; run < kRuns; ++run) {
        QElapsedTimer timer;
        timer.start();
        QFile file(workbook);
        if (!file.open(QIODevice::ReadOnly)) {
            std::fprintf(stderr, "bench_package: %s\n", qPrintable(file.errorString()));
            return 2;
        }
        const spreadsheet::SheetColumns sheet = spreadsheet::readWorkbookPackage(file.readAll(), turkish);
        seconds.push_back(double(timer.nsecsElapsed()) / 1e9);
        if (!sheet.ok()) {
            std::fprintf(stderr, "bench_package: %s\n", qPrintable(sheet.message));
            return 2;
        }
        rows = sheet.rows.size();
    }
    const double first = seconds.front();
    std::sort(seconds.begin(), seconds.end());
    std::printf("workbook           %s\n", qPrintable(workbook));
    std::printf("rows read          %zu\n", rows);
    std::printf("read time          first %.4f s, best %.4f s, median %.4f s (%d runs)\n", first, seconds.front(),
                seconds[kRuns / 2], kRuns);
    std::printf("peak RSS           %.1f MB\n", double(peakResidentBytes()) / (1024.0 * 1024.0));

    const auto openpyxl = run(QStringLiteral("/usr/bin/python3"), {kScripts + "openpyxl_read.py", workbook});
    if (!openpyxl) {
        std::printf("python3-openpyxl   not available\n");
        return 0;
    }
    const double theirs = openpyxl->toDouble();
    std::printf("python3-openpyxl   best %.4f s read-only (reader takes %.1f%% of its time)\n", theirs,
                100.0 * seconds.front() / theirs);
    return 0;
}
