#pragma once
// How far a running save has come: rows done of rows to do, the rate and the
// time left, and when a display of it is due. One source for every display of
// a save's progress.

#include <QtGlobal>

#include <functional>
#include <optional>

namespace import {

class ProgressMeter {
public:
    // Milliseconds since some fixed moment; tests give their own clock.
    using Clock = std::function<qint64()>;

    // A save of `total` rows, started now, shown at most once per
    // `intervalMs`. Without a clock the steady system clock is used.
    ProgressMeter(int total, qint64 intervalMs, Clock clock = {});

    // Records that `done` rows are finished. Returns true when a display is
    // due: the first call, the first call after `intervalMs` has passed since
    // the last display, and the call that reaches `total`.
    bool advance(int done);

    int done() const { return m_done; }
    int total() const { return m_total; }
    // Milliseconds from the start to the last advance; 0 before the first.
    qint64 elapsedMs() const { return m_now - m_start; }
    // Rows per second since the start; 0 before any time has passed.
    double rowsPerSecond() const;
    // Whole seconds left at the rate so far, rounded up; nullopt while the
    // rate is unknown (no row done yet, or no time passed).
    std::optional<qint64> secondsLeft() const;

private:
    Clock m_clock;
    qint64 m_start;
    qint64 m_intervalMs;
    qint64 m_lastShown = -1;
    qint64 m_now;
    int m_total;
    int m_done = 0;
};

}  // namespace import
