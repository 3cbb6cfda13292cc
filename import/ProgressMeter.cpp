#include "import/ProgressMeter.h"

#include <QElapsedTimer>

#include <algorithm>
#include <cmath>
#include <memory>

namespace import {

namespace {

ProgressMeter::Clock steadyClock()
{
    auto timer = std::make_shared<QElapsedTimer>();
    timer->start();
    return [timer] { return timer->elapsed(); };
}

}  // namespace

ProgressMeter::ProgressMeter(int total, qint64 intervalMs, Clock clock)
    : m_clock(clock ? std::move(clock) : steadyClock()),
      m_start(m_clock()),
      m_intervalMs(intervalMs),
      m_now(m_start),
      m_total(total)
{
}

bool ProgressMeter::advance(int done)
{
    m_done = done;
    m_now = m_clock();
    if (m_lastShown >= 0 && m_now - m_lastShown < m_intervalMs && done < m_total)
        return false;
    m_lastShown = m_now;
    return true;
}

double ProgressMeter::rowsPerSecond() const
{
    const qint64 elapsed = m_now - m_start;
    return elapsed > 0 ? m_done * 1000.0 / double(elapsed) : 0.0;
}

std::optional<qint64> ProgressMeter::secondsLeft() const
{
    const double rate = rowsPerSecond();
    if (rate <= 0)
        return std::nullopt;
    return qint64(std::ceil(std::max(m_total - m_done, 0) / rate));
}

}  // namespace import
