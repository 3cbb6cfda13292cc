// The click of exportMenu: the menu written to a workbook from the window.
// The window only asks for the file and tells the outcome; reading the menu
// and writing the workbook are the export's.
#include "window/urunlertoplu.h"

#include <QFileDialog>
#include <QPushButton>

#include "import/MenuExportFile.h"

void urunlertoplu::exportMenu_Click()
{
    if (!exportMenu->isEnabled())
        return;  // a save is running
    // The whole menu: the group list holds the choice for the next import,
    // "SEÇİLMEDİ" at first, not a filter the operator set for this.
    const QString suggested = QStringLiteral("menü.xlsx");
    const QString path = exportPrompt ? exportPrompt(this, suggested)
                                      : QFileDialog::getSaveFileName(this, QStringLiteral("Menüyü Dışa Aktar"), suggested,
                                                                     QStringLiteral("Excel çalışma kitabı (*.xlsx)"));
    if (path.isEmpty())
        return;
    showMessage(bulksave::exportMessage(bulksave::exportMenuToFile(baglanti.database(), path), path));
}
