#include "window/SaveProgressDialog.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QVBoxLayout>

#include "import/SaveReport.h"

SaveProgressDialog::SaveProgressDialog(QWidget *window)
    : QDialog(window),
      m_bar(new QProgressBar(this)),
      m_figures(new QLabel(this)),
      m_stop(new QPushButton(QStringLiteral("Durdur"), this))
{
    setWindowTitle(QStringLiteral("Ürünler kaydediliyor"));
    setWindowModality(Qt::WindowModal);
    auto *buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(m_stop);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(m_bar);
    layout->addWidget(m_figures);
    layout->addLayout(buttons);
    m_figures->setMinimumWidth(m_figures->fontMetrics().horizontalAdvance(QStringLiteral("0").repeated(56)));
    connect(m_stop, &QPushButton::clicked, this, &SaveProgressDialog::requestStop);
}

void SaveProgressDialog::showProgress(const import::ProgressMeter &meter)
{
    m_bar->setRange(0, meter.total());
    m_bar->setValue(meter.done());
    m_figures->setText(import::progressText(meter));
    if (!isVisible())
        show();
}

void SaveProgressDialog::reject()
{
    requestStop();
}

void SaveProgressDialog::requestStop()
{
    m_stopRequested = true;
    m_stop->setEnabled(false);
    m_stop->setText(QStringLiteral("Durduruluyor…"));
}
