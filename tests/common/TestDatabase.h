#pragma once
// A fresh stand-in point-of-sale database for one test, with a connection of
// its own opened on it the way the program opens one (WAL, synchronous
// FULL, foreign keys on).

#include <QList>
#include <QSqlError>
#include <QSqlQuery>
#include <QSqlRecord>
#include <QString>
#include <QTemporaryDir>
#include <QUuid>
#include <QVariant>

#include <memory>

#include <gtest/gtest.h>

#include "db/StandInDatabase.h"
#include "platform/ado/Connection.h"

// Every row `sql` gives on `query`'s connection, each as its column values;
// a failing query fails the test.
inline QList<QVariantList> queryRows(QSqlQuery query, const QString &sql)
{
    QList<QVariantList> result;
    if (!query.exec(sql))
        ADD_FAILURE() << sql.toStdString() << ": " << query.lastError().text().toStdString();
    while (query.next()) {
        QVariantList row;
        for (int column = 0; column < query.record().count(); ++column)
            row << query.value(column);
        result << row;
    }
    return result;
}

class TestDatabase {
    QTemporaryDir m_dir;  // outlives the connection on it
    QString m_path;

    explicit TestDatabase(const QString &existingPath)
        : m_path(existingPath.isEmpty() ? m_dir.filePath(QStringLiteral("pos.db")) : existingPath),
          connection(QStringLiteral("test-db-") + QUuid::createUuid().toString(QUuid::Id128))
    {
    }

    void open()
    {
        connection.setConnectionString(connectionText());
        EXPECT_TRUE(connection.open()) << connection.lastOpen().text().toStdString();
    }

public:
    // The tables only, or with the demo printers, tax templates and categories.
    explicit TestDatabase(bool withDemo = false) : TestDatabase(QString())
    {
        EXPECT_EQ(posdb::createStandInDatabase(path(), withDemo), QString());
        open();
    }

    // A database another part of the test made at `existingPath`, opened.
    static std::unique_ptr<TestDatabase> existing(const QString &existingPath)
    {
        std::unique_ptr<TestDatabase> db(new TestDatabase(existingPath));
        db->open();
        return db;
    }

    QString path() const { return m_path; }
    QString connectionText() const { return QStringLiteral("Data Source=") + path(); }

    // Runs one statement; "" or the database's message.
    QString exec(const QString &sql) const
    {
        QSqlQuery query(connection.database());
        return query.exec(sql) ? QString() : query.lastError().text();
    }

    // Every row of a query, each as its column values; a failing query fails the test.
    QList<QVariantList> rows(const QString &sql) const { return queryRows(connection.newQuery(), sql); }

    // The first column of the first row; invalid when there is none.
    QVariant value(const QString &sql) const
    {
        const QList<QVariantList> all = rows(sql);
        return all.isEmpty() ? QVariant() : all.first().value(0);
    }

    qint64 count(const QString &table) const
    {
        return value(QStringLiteral("SELECT COUNT(*) FROM ") + table).toLongLong();
    }

    ado::Connection connection;
};
