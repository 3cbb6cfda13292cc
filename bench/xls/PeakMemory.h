#pragma once

#include <QString>
#include <QStringList>

#include <cstdint>
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
