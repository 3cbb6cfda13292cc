#include "batch/ProgressBar.h"

#include <algorithm>

#include "import/SaveReport.h"

namespace batch {

namespace {

constexpr int kBarWidth = 20;
constexpr qint64 kRedrawMs = 100;

}  // namespace

QString progressLine(const import::ProgressMeter &meter)
{
    const int total = std::max(meter.total(), 1);
    const int filled = int(qint64(kBarWidth) * std::min(meter.done(), total) / total);
    return QStringLiteral("[%1%2] %3")
        .arg(QString(filled, u'#'), QString(kBarWidth - filled, u' '), import::progressText(meter));
}

ProgressBar::ProgressBar(std::FILE *stream, bool enabled, int total)
    : m_stream(stream), m_enabled(enabled), m_total(total)
{
}

ProgressBar::~ProgressBar()
{
    if (m_drawn)
        std::fputc('\n', m_stream);
}

bool ProgressBar::advance(int done)
{
    if (!m_meter)
        m_meter.emplace(m_total, kRedrawMs);
    if (!m_meter->advance(done) || !m_enabled)
        return true;
    const QString line = progressLine(*m_meter);
    // Blanks wipe what a longer line before it left behind.
    const QByteArray text = '\r' + line.leftJustified(m_width).toUtf8();
    m_width = std::max(m_width, line.size());
    std::fwrite(text.constData(), 1, std::size_t(text.size()), m_stream);
    std::fflush(m_stream);
    m_drawn = true;
    return true;
}

}  // namespace batch
