// The click of exportMenu: the menu written to a workbook from the window.
// The window only asks for the file and tells the outcome; reading the menu
// and writing the workbook are the export's.
#include "window/urunlertoplu.h"

#include <QDir>
#include <QFileDialog>
#include <QPushButton>

#include "import/MenuExportFile.h"
#include "window/RecentFolders.h"

void urunlertoplu::exportMenu_Click()
{
    if (!exportMenu->isEnabled())
        return;  // a save is running
    // The whole menu: the group list holds the choice for the next import,
    // "SEÇİLMEDİ" at first, not a filter the operator set for this.
    const QString folder = recentfolders::folder(recentfolders::Dialog::Export);
    const QString name = QStringLiteral("menü.xlsx");
    const QString suggested = folder.isEmpty() ? name : QDir(folder).filePath(name);
    const QString path = exportPrompt ? exportPrompt(this, suggested)
                                      : QFileDialog::getSaveFileName(this, QStringLiteral("Menüyü Dışa Aktar"), suggested,
                                                                     QStringLiteral("Excel çalışma kitabı (*.xlsx)"));
    if (path.isEmpty())
        return;
    recentfolders::remember(recentfolders::Dialog::Export, path);
    showMessage(import::exportMessage(import::exportMenuToFile(baglanti.database(), path), path));
}
