#include "platform/os/WindowsPath.h"

#include <QDir>

namespace platform {

QString localPath(const QString &windowsPath)
{
#ifdef Q_OS_WIN
    return windowsPath;
#else
    QString path = windowsPath;
    const bool driveRooted = path.size() >= 3 && path.at(0).isLetter() && path.at(1) == u':'
                             && path.at(2) == u'\\';
    if (driveRooted)
        path = QDir::homePath() + u'/' + path.mid(3);
    path.replace(u'\\', u'/');
    return path;
#endif
}

}  // namespace platform
