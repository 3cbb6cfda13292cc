// The program is its one window: the load step runs the start-up, closing
// the window ends the program.
#include <QApplication>
#include <QLocale>
#include <QMessageBox>

#include "import/ImportJournal.h"
#include "window/QtTranslations.h"
#include "window/urunlertoplu.h"

int main(int argc, char **argv)
{
    QApplication application(argc, argv);
    QApplication::setApplicationName(import::sharedApplicationName());
    installQtTranslations(QLocale::system());
    // Message boxes take this as their caption; the platform adds it to any
    // window title that does not already end with it.
    QApplication::setApplicationDisplayName(urunlertoplu::toolName());
    urunlertoplu form;
    if (const platform::Outcome refusal = form.Form_Load(); !refusal.ok()) {
        QMessageBox::critical(nullptr, urunlertoplu::toolName(), refusal.reason());
        return 1;
    }
    form.show();
    return QApplication::exec();
}
