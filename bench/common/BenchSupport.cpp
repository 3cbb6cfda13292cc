#include "BenchSupport.h"

#include <QElapsedTimer>
#include <QProcess>

#include <algorithm>
#include <cstdio>
#include <vector>

std::optional<QString> runForOutput(const QString &program, const QStringList &arguments)
{
    QProcess process;
    process.start(program, arguments);
    if (!process.waitForFinished(-1) || process.exitStatus() != QProcess::NormalExit || process.exitCode() != 0)
        return std::nullopt;
    return QString::fromUtf8(process.readAllStandardOutput()).trimmed();
}

std::optional<RunTimes> timeRuns(int runs, const std::function<bool()> &read)
{
    std::vector<double> seconds;
    for (int run = 0; run < runs; ++run) {
        QElapsedTimer timer;
        timer.start();
        if (!read())
            return std::nullopt;
        seconds.push_back(double(timer.nsecsElapsed()) / 1e9);
    }
    if (seconds.empty())
        return std::nullopt;
    const double first = seconds.front();
    std::sort(seconds.begin(), seconds.end());
    return RunTimes{first, seconds.front(), seconds[seconds.size() / 2], runs};
}

void printReadFigures(const QString &workbook, std::size_t rows, const RunTimes &times)
{
    std::printf("workbook           %s\n", qPrintable(workbook));
    std::printf("rows read          %zu\n", rows);
    std::printf("read time          first %.4f s, best %.4f s, median %.4f s (%d runs)\n", times.first, times.best,
                times.median, times.runs);
    std::printf("peak RSS           %.1f MB\n", double(peakResidentBytes()) / (1024.0 * 1024.0));
}
