// bench_xls [FILE.xls]: times the workbook reader on FILE, or on a 65,535-row
// workbook it has python3-xlwt generate, and compares with python3-xlrd; then
// times whole processes reading columns A-C, xlsdump beside FreeXL.

#include "BenchSupport.h"
#include "spreadsheet/SheetFile.h"

#include <QStandardPaths>
#include <QStringList>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>
#include <optional>
#include <vector>

namespace {

const QString kScripts = QStringLiteral(BENCH_SCRIPTS "/");

// A Python that has both xlwt and xlrd; empty when none does. Debian's own
// interpreter comes first, since a PATH python may lack the packages.
QString findPython()
{
    QStringList candidates{QStringLiteral("/usr/bin/python3"), QStandardPaths::findExecutable(QStringLiteral("python3")),
                           QStandardPaths::findExecutable(QStringLiteral("python"))};
    for (const QString &python : candidates) {
        if (!python.isEmpty() && runForOutput(python, {QStringLiteral("-c"), QStringLiteral("import xlwt, xlrd")}))
            return python;
    }
    return {};
}

// The best and median of each program's runs, run in turn so that both meet
// the same load on a shared machine.
void compareProcesses(const QString &workbook)
{
    struct Side {
        const char *label;
        QString program;
        std::vector<double> seconds;
        std::uint64_t peak = 0;
    };
    Side sides[] = {{"xlsdump", QStringLiteral(XLSDUMP_PATH), {}, 0}, {"FreeXL", QStringLiteral(FREEXL_DUMP_PATH), {}, 0}};
    if (sides[1].program.isEmpty()) {
        std::printf("FreeXL          not built (install libfreexl-dev and reconfigure)\n");
        return;
    }
    constexpr int kRuns = 9;
    for (int run = 0; run < kRuns; ++run) {
        for (Side &side : sides) {
            const std::optional<ProcessCost> cost = runMeasured(side.program, {workbook});
            if (!cost) {
                std::printf("%-15s cannot run %s\n", side.label, qPrintable(side.program));
                return;
            }
            side.seconds.push_back(cost->seconds);
            side.peak = std::max(side.peak, cost->peakBytes);
        }
    }
    std::printf("whole process, columns A-C, %d runs each, in turn:\n", kRuns);
    for (Side &side : sides) {
        std::sort(side.seconds.begin(), side.seconds.end());
        std::printf("  %-13s best %.4f s, median %.4f s, peak RSS %.1f MB\n", side.label, side.seconds.front(),
                    side.seconds[kRuns / 2], double(side.peak) / (1024.0 * 1024.0));
    }
    std::printf("  FreeXL / xlsdump: %.2fx (best), %.2fx (median)\n", sides[1].seconds.front() / sides[0].seconds.front(),
                sides[1].seconds[kRuns / 2] / sides[0].seconds[kRuns / 2]);
}

}  // namespace

int main(int argc, char **argv)
{
    const QString python = findPython();
    QTemporaryDir scratch;
    QString workbook = argc > 1 ? QString::fromLocal8Bit(argv[1]) : scratch.filePath(QStringLiteral("bench.xls"));
    if (argc <= 1) {
        if (python.isEmpty() || !runForOutput(python, {kScripts + "make_bench_workbook.py", workbook})) {
            std::fputs("bench_xls: cannot generate the workbook (python3-xlwt missing?); pass FILE.xls\n", stderr);
            return 2;
        }
    }

    // The processes run first: a child's peak memory counts the pages it
    // shares with this process at the fork, which the reads below would add.
    compareProcesses(workbook);

    std::size_t rows = 0;
    QString refusal;
    const std::optional<RunTimes> times = timeRuns(7, [&] {
        const spreadsheet::SheetColumns sheet = spreadsheet::readSheet(workbook);
        rows = sheet.rows.size();
        refusal = sheet.detail();
        return sheet.ok();
    });
    if (!times) {
        std::fprintf(stderr, "bench_xls: %s\n", qPrintable(refusal));
        return 2;
    }
    printReadFigures(workbook, rows, *times);

    const auto xlrd = python.isEmpty() ? std::nullopt : runForOutput(python, {kScripts + "xlrd_read.py", workbook});
    if (xlrd) {
        const double xlrdSeconds = xlrd->toDouble();
        std::printf("python3-xlrd    best %.4f s (%.1fx the reader's best time)\n", xlrdSeconds,
                    xlrdSeconds / times->best);
    } else {
        std::printf("python3-xlrd    not available\n");
    }
    return 0;
}
