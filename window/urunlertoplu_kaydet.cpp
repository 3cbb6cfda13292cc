// The click of kaydet: the bulk save run from the window. The window only
// gathers the grid and the choices, shows progress and the outcome; the
// writing is BulkImport's.
#include "window/urunlertoplu.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDateTime>
#include <QDir>
#include <QEvent>
#include <QFileDialog>
#include <QFileInfo>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>

#include <initializer_list>

#include "import/BulkImport.h"
#include "import/ListColumns.h"
#include "import/ImportJournal.h"
#include "import/ImportUndo.h"
#include "spreadsheet/write/RowsWorkbook.h"
#include "import/RowPreview.h"
#include "import/SaveReport.h"
#include "platform/grid/FlexGrid.h"
#include "window/GridPreview.h"
#include "window/RecentFolders.h"
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

// The choices the operator may have left by mistake, what they will do and
// how to change them.
QString choicesText(const import::ChoiceWarnings &warnings)
{
    QStringList lines = import::choiceWarningLines(warnings);
    if (warnings.unchosenGroup > 0)
        lines << QStringLiteral("Grubu «Grubu» listesinden seçin ya da yeni bir grup adı yazın.");
    if (warnings.noPrinter > 0)
        lines << QStringLiteral("Yazıcıyı «Yazıcı» listesinden seçin.");
    return lines.join(u'\n');
}

}  // namespace

bool urunlertoplu::askAboutChoices(const QString &text)
{
    QMessageBox box(QMessageBox::Warning, QGuiApplication::applicationDisplayName(),
                    text + QStringLiteral("\n\nGeri Dön: seçimleri değiştirin; hiçbir şey yazılmaz.\n"
                                          "Yine de Kaydet: ürünler böyle eklenir."),
                    QMessageBox::NoButton, this);
    QPushButton *back = box.addButton(QStringLiteral("Geri Dön"), QMessageBox::RejectRole);
    QPushButton *save = box.addButton(QStringLiteral("Yine de Kaydet"), QMessageBox::AcceptRole);
    box.setDefaultButton(back);
    box.setEscapeButton(back);
    box.exec();
    return box.clickedButton() == save;
}

urunlertoplu::DuplicateAnswer urunlertoplu::askAboutDuplicates(const QString &question, bool backByDefault)
{
    QMessageBox box(QMessageBox::Question, QGuiApplication::applicationDisplayName(), question, QMessageBox::NoButton,
                    this);
    QPushButton *skip = box.addButton(QStringLiteral("Atla"), QMessageBox::AcceptRole);
    QPushButton *add = box.addButton(QStringLiteral("Yine de ekle"), QMessageBox::DestructiveRole);
    QPushButton *update = box.addButton(QStringLiteral("Fiyatları Güncelle"), QMessageBox::ActionRole);
    QPushButton *cancel = box.addButton(QStringLiteral("Vazgeç"), QMessageBox::RejectRole);
    box.setDefaultButton(backByDefault ? cancel : skip);
    box.setEscapeButton(cancel);
    box.exec();
    if (box.clickedButton() == add)
        return DuplicateAnswer::AddAnyway;
    if (box.clickedButton() == update)
        return DuplicateAnswer::UpdatePrices;
    return box.clickedButton() == skip ? DuplicateAnswer::Skip : DuplicateAnswer::Cancel;
}

import::SavePlan urunlertoplu::planFor(DuplicateAnswer answer)
{
    // Toggling the box judges the rows again at once.
    updatePrices->setChecked(answer == DuplicateAnswer::UpdatePrices);
    switch (answer) {
    case DuplicateAnswer::Skip:
        return import::duplicateRows(preview->previews());
    case DuplicateAnswer::UpdatePrices:
        return import::updatePlan(preview->previews());
    case DuplicateAnswer::AddAnyway:
    case DuplicateAnswer::Cancel:
        break;
    }
    return {};
}

void urunlertoplu::reportSave(const import::SaveResult &result, const QList<import::RowPreview> &judged,
                              const QList<import::RowNotLanded> &kept, const QString &journal)
{
    bool canUndo = !journal.isEmpty();
    bool canKeep = !kept.isEmpty();
    const QString text = import::completionMessage(result, judged);
    const QString caption = import::completionCaption(result);
    // The box comes back after the rows were kept or the undo was not
    // confirmed, so that the import can still be undone.
    for (;;) {
        QMessageBox box(QMessageBox::NoIcon, caption.isEmpty() ? QGuiApplication::applicationDisplayName() : caption,
                        text, QMessageBox::Ok, this);
        QPushButton *undo = canUndo ? box.addButton(QStringLiteral("Geri Al"), QMessageBox::DestructiveRole) : nullptr;
        QPushButton *keep = canKeep ? box.addButton(QStringLiteral("Kalanları Kaydet…"), QMessageBox::ActionRole) : nullptr;
        box.setDefaultButton(QMessageBox::Ok);
        box.setEscapeButton(QMessageBox::Ok);
        box.exec();
        if (box.clickedButton() == keep && keep) {
            canKeep = !saveKeptRows(kept);
            continue;
        }
        if (box.clickedButton() == undo && undo) {
            if (!confirmUndo(result))
                continue;
            const import::UndoResult undone = import::undoImport(baglanti.database(), baglanti.dialect(), journal);
            showMessage(undone.message);
        }
        return;
    }
}

bool urunlertoplu::confirmUndo(const import::SaveResult &result)
{
    const int added = result.count(import::RowStatus::Landed);
    const int updated = result.count(import::RowStatus::Updated);
    QStringList effects;
    if (added > 0)
        effects << QStringLiteral("%1 ürün silinecek").arg(added);
    if (updated > 0)
        effects << QStringLiteral("%1 ürünün eski fiyatı geri gelecek").arg(updated);
    QMessageBox box(QMessageBox::Question, QGuiApplication::applicationDisplayName(),
                    effects.join(QStringLiteral(", ")) + QStringLiteral(", emin misiniz?"), QMessageBox::NoButton, this);
    QPushButton *undo = box.addButton(QStringLiteral("Geri Al"), QMessageBox::DestructiveRole);
    QPushButton *cancel = box.addButton(QStringLiteral("Vazgeç"), QMessageBox::RejectRole);
    box.setDefaultButton(cancel);
    box.setEscapeButton(cancel);
    box.exec();
    return box.clickedButton() == undo;
}

bool urunlertoplu::saveKeptRows(const QList<import::RowNotLanded> &kept)
{
    // Beside the list they came from, where the operator will look for them.
    const QFileInfo source(m_sheetPath);
    const QString folder = m_sheetPath.isEmpty() ? recentfolders::folder(recentfolders::Dialog::KeptRows)
                                                 : source.absolutePath();
    const QString name = (m_sheetPath.isEmpty() ? QStringLiteral("urunler") : source.completeBaseName()) +
                         QStringLiteral(" - kalanlar.xlsx");
    const QString suggested = folder.isEmpty() ? name : QDir(folder).filePath(name);
    const QString path = keptRowsPrompt ? keptRowsPrompt(this, suggested)
                                        : QFileDialog::getSaveFileName(this, QStringLiteral("Kalanları Kaydet"), suggested,
                                                                       QStringLiteral("Excel çalışma kitabı (*.xlsx)"));
    if (path.isEmpty())
        return false;
    recentfolders::remember(recentfolders::Dialog::KeptRows, path);
    // A list with its own columns keeps them, under a header that names
    // them, so that the file loads again as it was.
    const QList<import::ListField> &own = preview->ownFields();
    std::vector<spreadsheet::RowTexts> rows;
    rows.reserve(std::size_t(kept.size()) + 1);
    if (!own.isEmpty())
        rows.push_back(import::defaultCaptions(own) << QStringLiteral("NEDEN"));
    for (const import::RowNotLanded &row : kept)
        rows.push_back(import::gridCellsOf(row.row, own) << row.reason);
    if (const platform::Outcome written = spreadsheet::writeRowsWorkbook(path, rows); !written.ok()) {
        showMessage(QStringLiteral("Kalan satırlar kaydedilemedi: %1\n%2").arg(QDir::toNativeSeparators(path), written.detail()));
        return false;
    }
    showMessage(QStringLiteral("Kalan %1 satır kaydedildi:\n%2").arg(kept.size()).arg(QDir::toNativeSeparators(path)));
    return true;
}

void urunlertoplu::kaydet_Click()
{
    if (!kaydet->isEnabled())
        return;  // a save is already running
    say->setText(QStringLiteral("0"));
    // The grid is read once, before the save starts.
    const QList<import::ProductRow> rows = GridPreview::productRows(*satisekrani2, preview->ownFields());
    if (!import::hasNamedRow(rows)) {
        showMessage(import::guardMessage());
        return;
    }

    // One question before writing: the duplicates, and choices left as
    // they were at the start, whose default answer is to go back. Without a
    // database there is nothing to ask: the save says why it wrote nothing.
    const QString choicesWarned = baglanti.isOpen()
                                      ? choicesText(import::choiceWarnings(preview->previews(), saveChoices()))
                                      : QString();
    import::SavePlan plan;
    if (const QString question = import::duplicateQuestion(preview->previews()); !question.isEmpty()) {
        const QString options =
            QStringLiteral("Atla: bu satırlar yazılmaz, yeni barkodlar eklenir.\n"
                           "Yine de ekle: bu satırlar da yeni ürün olarak eklenir.\n"
                           "Fiyatları Güncelle: kayıtlı ürünlerin fiyatı dosyadakiyle değişir, yeni barkodlar eklenir.\n"
                           "Vazgeç: hiçbir şey yazılmaz.");
        QStringList text{question, options};
        if (!choicesWarned.isEmpty())
            text.prepend(choicesWarned);
        const DuplicateAnswer answer = askAboutDuplicates(text.join(QStringLiteral("\n\n")), !choicesWarned.isEmpty());
        if (answer == DuplicateAnswer::Cancel)
            return;
        plan = planFor(answer);
    } else if (!choicesWarned.isEmpty() && !askAboutChoices(choicesWarned)) {
        return;
    }
    const import::SaveChoices choices = saveChoices();

    // Every save is journaled so that it can be undone; without a journal
    // nothing is written.
    std::unique_ptr<import::ImportJournal> journal;
    if (baglanti.isOpen()) {
        platform::Result<std::unique_ptr<import::ImportJournal>> started = import::startJournal(
            baglanti.database(), import::journalFolder(),
            {baglanti.identity(), QFileInfo(m_sheetPath).fileName(), QDateTime::currentDateTimeUtc()});
        if (!started.ok()) {
            showMessage(QStringLiteral("Geri alma kaydı yazılamıyor; hiçbir ürün eklenmedi.\n%1").arg(started.text()));
            return;
        }
        journal = std::move(started.value);
    }

    import::SaveResult result;
    bool closeRequested = false;
    {
        SaveInProgress busy(this, {kaydet, Command1, exportMenu});
        SavePacing pacing(this, say, int(rows.size()), saveClock);
        import::BulkImport import(baglanti.database(), baglanti.dialect(), baglanti.lastOpen().text(),
                                    baglanti.textFidelity());
        result = import.run(rows, choices, [&pacing, &busy](int visited) {
            return pacing.rowVisited(visited) && !busy.closeRequested();
        }, plan, journal.get());
        closeRequested = busy.closeRequested();
    }
    if (const std::optional<qint64> last = result.lastItemId())
        id->setText(QString::number(*last));
    if (closeRequested) {
        // The operator closed the window while the rows were being written.
        m_leaving = true;
        close();
        return;
    }
    reportSave(result, preview->previews(), import::rowsNotLanded(result, rows, preview->previews()),
               journal && journal->landed() ? journal->path() : QString());
    formutemizle();
    m_sheetPath.clear();
    setWindowTitle(titleFor(baglanti));
    // The save wrote barcodes the preview had not seen in the database.
    preview->refresh();
}
