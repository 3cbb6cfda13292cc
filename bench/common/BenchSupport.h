#pragma once
// What the benchmark programs share: running other programs, timing repeated
// reads, and the memory figures the operating system gives.

#include <QString>
#include <QStringList>

#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>

// Peak resident memory of this process in bytes so far; 0 where the
// platform does not tell.
std::uint64_t peakResidentBytes();

// What one run of another program cost: wall time and its peak resident memory.
struct ProcessCost {
    double seconds = 0;
    std::uint64_t peakBytes = 0;  // 0 where the platform does not tell
};

// Runs `program` with `arguments`, its output thrown away; nullopt when it
// cannot be started or does not exit with status 0.
std::optional<ProcessCost> runMeasured(const QString &program, const QStringList &arguments);

// Standard output of `program arguments`, trimmed; nullopt when it cannot be
// started or does not exit with status 0.
std::optional<QString> runForOutput(const QString &program, const QStringList &arguments);

// Seconds of a series of runs of one read.
struct RunTimes {
    double first = 0;  // the first run pays for fresh memory; later ones reuse the heap
    double best = 0;
    double median = 0;
    int runs = 0;
};

// Runs `read` `runs` times in a row; nullopt as soon as it returns false.
std::optional<RunTimes> timeRuns(int runs, const std::function<bool()> &read);

// Prints the workbook read, its rows, `times` and this process's peak memory,
// one figure a line.
void printReadFigures(const QString &workbook, std::size_t rows, const RunTimes &times);
