#include "SaveWorkload.h"

#include "db/StandInDatabase.h"

namespace benchwork {

QList<import::ProductRow> products(int count, const QLocale &locale)
{
    QList<import::ProductRow> rows;
    rows.reserve(count);
    for (int i = 1; i <= count; ++i)
        rows.append({QString::number(8690000000000LL + i), QStringLiteral("Ürün %1").arg(i),
                     locale.toString(i * 0.25 + 1, 'f', 2)});
    return rows;
}

import::SaveChoices choices(const QLocale &locale)
{
    import::SaveChoices choices;
    choices.group = QStringLiteral("Toplu Ürünler");
    choices.showOnSalesScreen = true;
    choices.printerPosition = 1;
    choices.printerId = QStringLiteral("1");
    choices.buttonColor = QStringLiteral("#FF0000FF");
    choices.locale = locale;
    return choices;
}

QString openStandIn(const QString &path, ado::Connection &connection)
{
    if (const QString error = posdb::createStandInDatabase(path, true); !error.isEmpty())
        return error;
    connection.setConnectionString(QStringLiteral("Data Source=") + path);
    return connection.open() ? QString() : connection.lastOpen().text();
}

}  // namespace benchwork
