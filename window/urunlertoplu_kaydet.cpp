// The click of kaydet: the bulk save run from the window. The window only
// gathers the grid and the choices, shows progress and the outcome; the
// writing is BulkImport's.
#include "window/urunlertoplu.h"

#include <QCheckBox>
#include <QComboBox>
#include <QEvent>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>

#include <initializer_list>

#include "import/BulkImport.h"
#include "import/RowPreview.h"
#include "import/SaveReport.h"
#include "platform/grid/FlexGrid.h"
#include "window/GridPreview.h"
#include "window/SavePacing.h"

namespace {

// While it lives, the buttons that start work are disabled and a close of
// the window is held back and remembered, so that a running save can finish
// its row and only then end the program.
class SaveInProgress : public QObject {
public:
    SaveInProgress(QWidget *window, std::initializer_list<QWidget *> buttons) : m_window(window), m_buttons(buttons)
    {
        for (QWidget *button : m_buttons)
            button->setEnabled(false);
        m_window->installEventFilter(this);
    }
    ~SaveInProgress() override
    {
        m_window->removeEventFilter(this);
        for (QWidget *button : m_buttons)
            button->setEnabled(true);
    }
    SaveInProgress(const SaveInProgress &) = delete;
    SaveInProgress &operator=(const SaveInProgress &) = delete;

    // True once the window was asked to close during the save.
    bool closeRequested() const { return m_closeRequested; }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (watched != m_window || event->type() != QEvent::Close)
            return false;
        m_closeRequested = true;
        event->ignore();
        return true;
    }

private:
    QWidget *m_window;
    QList<QWidget *> m_buttons;
    bool m_closeRequested = false;
};

}  // namespace

urunlertoplu::DuplicateAnswer urunlertoplu::askAboutDuplicates(const QString &question)
{
    QMessageBox box(QMessageBox::Question, QGuiApplication::applicationDisplayName(), question, QMessageBox::NoButton,
                    this);
    QPushButton *skip = box.addButton(QStringLiteral("Atla"), QMessageBox::AcceptRole);
    QPushButton *add = box.addButton(QStringLiteral("Yine de ekle"), QMessageBox::DestructiveRole);
    QPushButton *cancel = box.addButton(QStringLiteral("Vazgeç"), QMessageBox::RejectRole);
    box.setDefaultButton(skip);
    box.setEscapeButton(cancel);
    box.exec();
    if (box.clickedButton() == add)
        return DuplicateAnswer::AddAnyway;
    return box.clickedButton() == skip ? DuplicateAnswer::Skip : DuplicateAnswer::Cancel;
}

void urunlertoplu::kaydet_Click()
{
    if (!kaydet->isEnabled())
        return;  // a save is already running
    say->setText(QStringLiteral("0"));
    // The grid is read once, before the save starts.
    const QList<bulksave::ProductRow> rows = GridPreview::productRows(*satisekrani2);
    if (!bulksave::hasNamedRow(rows)) {
        showMessage(bulksave::guardMessage());
        return;
    }

    const bulksave::SaveChoices choices = saveChoices();
    QSet<int> leaveOut;
    if (const QString question = bulksave::duplicateQuestion(preview->previews()); !question.isEmpty()) {
        switch (askAboutDuplicates(question)) {
        case DuplicateAnswer::Skip:
            leaveOut = bulksave::duplicateRows(preview->previews());
            break;
        case DuplicateAnswer::AddAnyway:
            break;
        case DuplicateAnswer::Cancel:
            return;
        }
    }

    bulksave::SaveResult result;
    bool closeRequested = false;
    {
        SaveInProgress busy(this, {kaydet, Command1});
        SavePacing pacing(this, say, int(rows.size()), saveClock);
        bulksave::BulkImport import(baglanti.database(), baglanti.dialect(), baglanti.lastError(),
                                    baglanti.textFidelity());
        result = import.run(rows, choices, [&pacing, &busy](int visited) {
            return pacing.rowVisited(visited) && !busy.closeRequested();
        }, leaveOut);
        closeRequested = busy.closeRequested();
    }
    if (const std::optional<qint64> last = result.lastItemId())
        id->setText(QString::number(*last));
    if (closeRequested) {
        close();
        return;
    }
    showMessage(bulksave::completionMessage(result));
    formutemizle();
    // The save wrote barcodes the preview had not seen in the database.
    preview->refresh();
}
