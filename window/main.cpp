// The program is its one window: the load step runs the start-up, closing
// the window ends the program.
#include <QApplication>

#include "window/urunlertoplu.h"

int main(int argc, char **argv)
{
    QApplication application(argc, argv);
    // Message boxes take this as their caption; title bars that already
    // start with it get no suffix.
    QApplication::setApplicationDisplayName(urunlertoplu::toolName());
    urunlertoplu form;
    form.Form_Load();
    form.show();
    return QApplication::exec();
}
