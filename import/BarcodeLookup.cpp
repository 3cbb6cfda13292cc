#include "import/BarcodeLookup.h"

#include <QSqlError>
#include <QSqlQuery>
#include <QVariant>

#include "import/PosRecords.h"

namespace bulksave {

namespace {

// Well under the bound-value limits of SQL Server (2,100) and old SQLite (999).
constexpr qsizetype kChunk = 500;

QString chunkSql(qsizetype count)
{
    QStringList marks;
    marks.fill(QStringLiteral("?"), count);
    return QStringLiteral("SELECT Barcode, id, Name FROM MenuItems WHERE Barcode IN (%1) ORDER BY id")
        .arg(marks.join(u','));
}

}  // namespace

BarcodeLookup findExistingBarcodes(const QSqlDatabase &db, const QStringList &barcodes)
{
    BarcodeLookup lookup;
    if (!db.isOpen()) {
        lookup.error = QStringLiteral("the database is not open");
        return lookup;
    }
    QStringList wanted = barcodes;
    wanted.removeAll(QString());
    // In order, each chunk walks one stretch of the barcode index.
    wanted.sort();
    wanted.removeDuplicates();
    QSqlQuery query(db);
    query.setForwardOnly(true);
    for (qsizetype start = 0; start < wanted.size(); start += kChunk) {
        const QStringList chunk = wanted.mid(start, kChunk);
        // Every full chunk reuses one prepared statement; only the last may differ.
        if (start == 0 || chunk.size() != kChunk) {
            if (!query.prepare(chunkSql(chunk.size()))) {
                lookup.error = writeFailure(QStringLiteral("MenuItems"), query.lastError()).error;
                return lookup;
            }
        }
        for (qsizetype i = 0; i < chunk.size(); ++i)
            query.bindValue(int(i), chunk.at(i));
        if (!query.exec()) {
            lookup.error = writeFailure(QStringLiteral("MenuItems"), query.lastError()).error;
            return lookup;
        }
        while (query.next()) {
            const QString barcode = query.value(0).toString();
            const std::optional<qint64> id = idFrom(query.value(1));
            if (id && !lookup.items.contains(barcode))
                lookup.items.insert(barcode, ExistingItem{*id, query.value(2).toString()});
        }
        query.finish();
    }
    return lookup;
}

}  // namespace bulksave
