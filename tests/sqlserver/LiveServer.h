#pragma once
// The live SQL Server suite's fixture: every test runs against scratch
// point-of-sale tables in the database TOPLU_SQLSERVER names, made before
// the test and dropped after it; without TOPLU_SQLSERVER every test skips.

#include <QList>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QSqlRecord>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>
#include <QUuid>
#include <QVariant>

#include <gtest/gtest.h>

#include "db/SqlServerScratch.h"
#include "import/RowRules.h"
#include "platform/ado/Connection.h"
#include "tests/common/ProgramRun.h"
#include "tests/common/QtPrinters.h"
#include "tests/common/TestDatabase.h"

// The OLE DB connection text of the server under test, "" when none is set.
inline QString liveConnectionText()
{
    return qEnvironmentVariable("TOPLU_SQLSERVER");
}

// Choices that make a save write every record: group "Toplu", a button and
// printer 1; prices with a decimal point.
inline import::SaveChoices everyRecord()
{
    import::SaveChoices choices;
    choices.group = QStringLiteral("Toplu");
    choices.showOnSalesScreen = true;
    choices.printerPosition = 1;
    choices.printerId = QStringLiteral("1");
    choices.locale = QLocale::c();
    return choices;
}

// Rows as "value|value|…", NULL as "NULL".
inline QStringList lines(const QList<QVariantList> &rows)
{
    QStringList result;
    for (const QVariantList &row : rows) {
        QStringList cells;
        for (const QVariant &value : row)
            cells << (value.isNull() ? QStringLiteral("NULL") : value.toString());
        result << cells.join(u'|');
    }
    return result;
}

class LiveServer : public ::testing::Test {
protected:
    void SetUp() override
    {
        if (liveConnectionText().isEmpty())
            GTEST_SKIP() << "TOPLU_SQLSERVER names no SQL Server to test against";
        connection.setConnectionString(liveConnectionText());
        ASSERT_TRUE(connection.open()) << connection.lastOpen().text().toStdString();
        ASSERT_EQ(connection.dialect(), ado::Dialect::SqlServer) << "TOPLU_SQLSERVER names no SQL Server";
        recreateTables();
    }

    void TearDown() override
    {
        if (m_created) {
            EXPECT_EQ(scratch().drop(), QString());
        }
    }

    // Fresh tables with the demo printers, tax templates and categories.
    void recreateTables()
    {
        const QString error = scratch().create(true);
        ASSERT_EQ(error, QString()) << "scratch tables in " << connection.description().toStdString() << ": "
                                    << error.toStdString();
        m_created = true;
    }

    ProgramRun run(const QStringList &arguments) const
    {
        return runProgram(QStringLiteral(TOPLU_EKLE), home.path(), arguments);
    }

    // `arguments` and the server as the one target, the report as JSON.
    ProgramRun runOnServer(const QStringList &arguments) const
    {
        return run(arguments + QStringList{QStringLiteral("--json"), QStringLiteral("--connection"), liveConnectionText()});
    }

    QString sheet(const QString &name, const QStringList &lines) const { return writeSheet(home.path(), name, lines); }

    // Runs one statement; "" or the database's message.
    QString exec(const QString &sql) const
    {
        QSqlQuery query = connection.newQuery();
        return query.exec(sql) ? QString() : query.lastError().text();
    }

    // Every row of a query, each as its column values; a failing query fails the test.
    QList<QVariantList> rows(const QString &sql) const { return queryRows(connection.newQuery(), sql); }

    qint64 count(const QString &table) const
    {
        const QList<QVariantList> all = rows(QStringLiteral("SELECT COUNT(*) FROM ") + table);
        return all.isEmpty() ? -1 : all.first().value(0).toLongLong();
    }

    // The row count of every point-of-sale table, to compare before and after.
    QString everyCount() const
    {
        QStringList counts;
        for (const QString &table : posdb::sqlServerTables())
            counts << table + u'=' + QString::number(count(table));
        return counts.join(u',');
    }

    // Opens `holder` on the server and runs `sql` in a transaction left open,
    // so that the locks it takes stay held until the caller rolls back. The
    // database, closed when that failed.
    QSqlDatabase holdLocks(ado::Connection &holder, const QString &sql) const
    {
        holder.setConnectionString(liveConnectionText());
        if (!holder.open()) {
            ADD_FAILURE() << holder.lastOpen().text().toStdString();
            return {};
        }
        QSqlDatabase held = holder.database();
        QSqlQuery query = holder.newQuery();
        if (!held.transaction() || !query.exec(sql)) {
            ADD_FAILURE() << sql.toStdString() << ": " << held.lastError().text().toStdString()
                          << query.lastError().text().toStdString();
            held.close();
        }
        return held;
    }

    posdb::SqlServerScratch scratch() const { return posdb::SqlServerScratch(connection.database().connectionName()); }

    QTemporaryDir home;
    ado::Connection connection{QStringLiteral("live-") + QUuid::createUuid().toString(QUuid::Id128)};

private:

    bool m_created = false;
};
