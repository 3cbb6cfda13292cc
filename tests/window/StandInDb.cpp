#include "StandInDb.h"

#include <QSqlError>
#include <QSqlQuery>
#include <QSqlRecord>
#include <QUuid>

#include <gtest/gtest.h>

#include "db/StandInDatabase.h"

StandInDb::StandInDb(bool withDemo)
    : m_name(QStringLiteral("save-test-") + QUuid::createUuid().toString(QUuid::Id128))
{
    const QString path = m_dir.filePath(QStringLiteral("pos.sqlite"));
    const QString created = posdb::createStandInDatabase(path, withDemo);
    EXPECT_TRUE(created.isEmpty()) << created.toStdString();
    QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), m_name);
    db.setDatabaseName(path);
    EXPECT_TRUE(db.open()) << db.lastError().text().toStdString();
    for (const char *pragma : {"PRAGMA foreign_keys = ON", "PRAGMA journal_mode = WAL", "PRAGMA synchronous = NORMAL"})
        EXPECT_EQ(exec(QString::fromLatin1(pragma)), QString());
}

StandInDb::~StandInDb()
{
    QSqlDatabase::database(m_name, false).close();
    QSqlDatabase::removeDatabase(m_name);
}

QSqlDatabase StandInDb::db() const
{
    return QSqlDatabase::database(m_name, false);
}

QString StandInDb::exec(const QString &sql) const
{
    QSqlQuery query(db());
    return query.exec(sql) ? QString() : query.lastError().text();
}

QList<QVariantList> StandInDb::rows(const QString &sql) const
{
    QSqlQuery query(db());
    QList<QVariantList> result;
    if (!query.exec(sql)) {
        ADD_FAILURE() << sql.toStdString() << ": " << query.lastError().text().toStdString();
        return result;
    }
    while (query.next()) {
        QVariantList row;
        for (int column = 0; column < query.record().count(); ++column)
            row << query.value(column);
        result << row;
    }
    return result;
}

QVariant StandInDb::value(const QString &sql) const
{
    const QList<QVariantList> all = rows(sql);
    return all.isEmpty() || all.first().isEmpty() ? QVariant() : all.first().first();
}

qint64 StandInDb::count(const QString &table) const
{
    return value(QStringLiteral("SELECT COUNT(*) FROM ") + table).toLongLong();
}
