#pragma once
// What the window shows while a save runs, paced to the display: the counter
// and, once the save has run half a second, the progress dialog, updated with
// the events the window has waiting at most once per frame and always after
// the last row. Repainting after every row would cost the save half its rate.

#include "import/ProgressMeter.h"
#include "window/SaveProgressDialog.h"

class QLabel;

class SavePacing {
public:
    // About one display frame.
    static constexpr qint64 kFrameMs = 16;
    // A save shorter than this never shows the dialog.
    static constexpr qint64 kDialogAfterMs = 500;

    // The display of a save of `total` rows over `window`, counting in
    // `counter`; the clock starts now (the steady clock when none is given).
    SavePacing(QWidget *window, QLabel *counter, int total, import::ProgressMeter::Clock clock = {});

    // Records that `visited` rows are done. When a display is due, sets and
    // repaints the counter, shows the dialog (from half a second on, unless
    // this is the last row) and lets the window handle its waiting events.
    // Returns false once the operator asked the dialog to stop.
    bool rowVisited(int visited);

    // The dialog, hidden until the save has run half a second.
    const SaveProgressDialog &dialog() const { return m_dialog; }

private:
    import::ProgressMeter m_meter;
    QLabel *m_counter;
    SaveProgressDialog m_dialog;
};
