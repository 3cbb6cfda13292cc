#include "window/RecentFolders.h"

#include <QFileInfo>
#include <QSettings>

namespace recentfolders {

namespace {

QString key(Dialog dialog)
{
    switch (dialog) {
    case Dialog::Open:
        return QStringLiteral("folders/open");
    case Dialog::Export:
        return QStringLiteral("folders/export");
    case Dialog::KeptRows:
        return QStringLiteral("folders/keptRows");
    }
    return {};
}

}  // namespace

QString folder(Dialog dialog)
{
    const QString kept = QSettings().value(key(dialog)).toString();
    return !kept.isEmpty() && QFileInfo(kept).isDir() ? kept : QString();
}

void remember(Dialog dialog, const QString &filePath)
{
    if (!filePath.isEmpty())
        QSettings().setValue(key(dialog), QFileInfo(filePath).absolutePath());
}

}  // namespace recentfolders
