#pragma once
// A stand-in point-of-sale database file with only the tables, and a
// database connection of its own opened on it the way the program opens one.

#include <QSqlError>
#include <QSqlQuery>
#include <QString>
#include <QTemporaryDir>
#include <QUuid>

#include <gtest/gtest.h>

#include "db/StandInDatabase.h"
#include "platform/ado/Connection.h"

class TestDatabase {
    QTemporaryDir m_dir;  // outlives the connection on it

public:
    TestDatabase()
        : connection(QStringLiteral("window-test-") + QUuid::createUuid().toString(QUuid::Id128))
    {
        const QString created = posdb::createStandInDatabase(path(), false);
        EXPECT_EQ(created, QString());
        connection.setConnectionString(connectionText());
        EXPECT_TRUE(connection.open()) << connection.lastError().toStdString();
    }

    QString path() const { return m_dir.filePath(QStringLiteral("pos.db")); }
    QString connectionText() const { return QStringLiteral("Data Source=") + path(); }

    // Runs one statement; a failure fails the test.
    void exec(const QString &sql)
    {
        QSqlQuery query(connection.database());
        EXPECT_TRUE(query.exec(sql)) << sql.toStdString() << ": " << query.lastError().text().toStdString();
    }

    ado::Connection connection;
};
