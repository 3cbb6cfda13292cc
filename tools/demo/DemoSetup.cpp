// Creates the demo point-of-sale database at the fallback location when there
// is none, so the window has something to connect to on a machine without a
// SQL Server. An existing database is never touched.
#include <QCoreApplication>
#include <QFileInfo>
#include <QTextStream>

#include "db/StandInDatabase.h"
#include "platform/os/WindowsPath.h"

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    QTextStream out(stdout);
    QTextStream err(stderr);
    const QString path = platform::localPath(QStringLiteral("C:\\MenoraPOS-Restaurant\\MenoraData\\Menora POS.db"));
    if (QFileInfo::exists(path)) {
        out << "Using the database at " << path << "\n";
        return 0;
    }
    const QString error = posdb::createStandInDatabase(path, true);
    if (!error.isEmpty()) {
        err << "Cannot create the demo database: " << error << "\n";
        return 1;
    }
    out << "Created the demo database at " << path << "\n";
    return 0;
}
