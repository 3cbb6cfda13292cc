#include "import/LookupLists.h"

#include <QSqlError>
#include <QSqlQuery>
#include <QSqlRecord>
#include <QVariant>

#include "import/RowRules.h"

namespace import::lookup {

PairSource groups()
{
    return {QStringLiteral("SELECT * From ScreenMenuCategories "), Entry{import::unchosenGroup(), QStringLiteral("0")}};
}

PairSource taxTemplates()
{
    return {QStringLiteral("SELECT * From TaxTemplates "), std::nullopt};
}

PairSource printers()
{
    return {QStringLiteral("SELECT * From Printers "), Entry{QStringLiteral("YOK"), QStringLiteral("0")}};
}

ReadResult readRecords(const QSqlDatabase &db, const QString &sql)
{
    const auto unread = [](const QString &why) {
        return platform::Outcome::failure(QStringLiteral("liste okunamadı"), why);
    };
    if (!db.isOpen())
        return platform::Outcome::failure(QStringLiteral("veritabanı açık değil"));
    QSqlQuery query(db);
    query.setForwardOnly(true);
    if (!query.exec(sql))
        return unread(query.lastError().text());
    std::vector<Entry> records;
    const QSqlRecord columns = query.record();
    const int name = columns.indexOf(QStringLiteral("Name"));
    const int id = columns.indexOf(QStringLiteral("id"));
    // A null value reads as an invalid variant, whose text is "".
    const auto text = [&query](int column) { return column >= 0 ? query.value(column).toString() : QString(); };
    while (query.next())
        records.push_back({text(name), text(id)});
    if (query.lastError().isValid())
        return {unread(query.lastError().text()), std::move(records)};
    return records;
}

}  // namespace import::lookup
