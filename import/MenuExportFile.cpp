#include "import/MenuExportFile.h"

#include <QDir>

#include "spreadsheet/write/PriceListWorkbook.h"

namespace import {

MenuExportFile exportMenuToFile(const QSqlDatabase &db, const QString &path, const std::optional<QString> &group)
{
    MenuExportFile exported{exportMenu(db, group), {}};
    if (!exported.menu.ok())
        return exported;
    std::vector<spreadsheet::PriceRow> rows;
    rows.reserve(exported.menu.items.size());
    for (const ExportedItem &item : exported.menu.items)
        rows.push_back({item.barcode, item.name, item.price, item.group});
    exported.written = spreadsheet::writePriceListWorkbook(path, rows);
    return exported;
}

QString exportMessage(const MenuExportFile &exported, const QString &path)
{
    const QString shown = QDir::toNativeSeparators(path);
    if (!exported.menu.ok())
        return QStringLiteral("Menü okunamadı; dosya yazılmadı: %1").arg(exported.menu.detail());
    if (!exported.written.ok())
        return QStringLiteral("Menü dosyaya yazılamadı: %1\n%2").arg(shown, exported.written.detail());
    return exportSummary(exported.menu, shown);
}

}  // namespace import
