#include "import/LoadReport.h"

#include <QFileInfo>

namespace import {

QString loadMessage(const QString &path, const spreadsheet::ReadOutcome &sheet)
{
    const QString name = QStringLiteral("«%1»").arg(QFileInfo(path).fileName());
    if (!sheet.ok())
        return name + u'\n' + sheet.reason();
    if (sheet.damaged)
        return name + u'\n'
               + QStringLiteral("Dosya hasarlı; okunabildiği kadarı yüklendi. Bazı hücreler eksik olabilir, "
                                "kaydetmeden önce satırları kontrol edin.");
    return {};
}

}  // namespace import
