// toplu-ekle: the bulk product import without a window, for scripts and for
// rolling one price list out to many databases.
#include <QCoreApplication>

#include <cstdio>

#include "batch/BatchRun.h"
#include "import/ImportJournal.h"

int main(int argc, char **argv)
{
    QCoreApplication application(argc, argv);
    QCoreApplication::setApplicationName(import::sharedApplicationName());
    return batch::runBatch(QCoreApplication::arguments(), stdout, stderr);
}
