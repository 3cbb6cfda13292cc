#pragma once
// The progress of a batch save as one line on a terminal, rewritten in place:
// rows done of rows to do, rows per second and the time left.

#include <QString>

#include <cstdio>
#include <optional>

#include "import/ProgressMeter.h"

namespace batch {

// The line for `meter`, e.g. "[#####     ] 5000/10000 satır · 812 satır/sn · kalan 0:07";
// the time left is "?" until the rate is known.
QString progressLine(const import::ProgressMeter &meter);

// Draws the line on `stream` while a save of `total` rows runs, at most ten
// times a second and once more at the last row; draws nothing when
// `enabled` is false (the stream is no terminal).
class ProgressBar {
public:
    ProgressBar(std::FILE *stream, bool enabled, int total);
    ~ProgressBar();
    ProgressBar(const ProgressBar &) = delete;
    ProgressBar &operator=(const ProgressBar &) = delete;

    // Records `done` rows and redraws when due; the first call starts the
    // clock, so that the work before the first row does not lower the rate.
    // Always returns true: the batch save runs to its end.
    bool advance(int done);

private:
    std::FILE *m_stream;
    bool m_enabled;
    bool m_drawn = false;
    qsizetype m_width = 0;
    int m_total;
    std::optional<import::ProgressMeter> m_meter;
};

}  // namespace batch
