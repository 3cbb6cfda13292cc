#include "window/SavePacing.h"

#include <QCoreApplication>
#include <QLabel>

#include <utility>

SavePacing::SavePacing(QWidget *window, QLabel *counter, int total, import::ProgressMeter::Clock clock)
    : m_meter(total, kFrameMs, std::move(clock)), m_counter(counter), m_dialog(window)
{
}

bool SavePacing::rowVisited(int visited)
{
    if (!m_meter.advance(visited))
        return !m_dialog.stopRequested();
    m_counter->setText(QString::number(visited));
    m_counter->repaint();
    if (m_dialog.isVisible() || (m_meter.elapsedMs() >= kDialogAfterMs && visited < m_meter.total()))
        m_dialog.showProgress(m_meter);
    QCoreApplication::processEvents();
    return !m_dialog.stopRequested();
}
