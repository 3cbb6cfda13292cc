#pragma once
// The window-modal dialog over the window while a long save runs: rows done
// of rows to do, the rate and the time left, and "Durdur". It only shows
// figures and remembers the request to stop; the save asks for it.

#include <QDialog>

#include "import/ProgressMeter.h"

class QLabel;
class QProgressBar;
class QPushButton;

class SaveProgressDialog : public QDialog {
    Q_OBJECT
public:
    // A hidden dialog, window-modal over `window` once shown.
    explicit SaveProgressDialog(QWidget *window);

    // Shows the dialog, when hidden, with `meter`'s figures.
    void showProgress(const import::ProgressMeter &meter);

    // True once the operator pressed "Durdur" (or Escape, or closed the
    // dialog); stays true for the dialog's life.
    bool stopRequested() const { return m_stopRequested; }

    // Escape and the title bar's close button ask to stop, as "Durdur" does,
    // instead of hiding the dialog of a save that goes on.
    void reject() override;

private:
    void requestStop();

    QProgressBar *m_bar;
    QLabel *m_figures;
    QPushButton *m_stop;
    bool m_stopRequested = false;
};
