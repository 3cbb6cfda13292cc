#pragma once
// A fresh stand-in point-of-sale database for one test, opened the way the
// program opens it (foreign keys on, WAL, synchronous NORMAL).

#include <QSqlDatabase>
#include <QString>
#include <QTemporaryDir>
#include <QVariant>
#include <QVariantList>

#include "platform/ado/Connection.h"

class StandInDb {
public:
    explicit StandInDb(bool withDemo = true);
    ~StandInDb();
    StandInDb(const StandInDb &) = delete;
    StandInDb &operator=(const StandInDb &) = delete;

    QSqlDatabase db() const;
    static constexpr ado::Dialect dialect = ado::Dialect::Sqlite;

    // Runs one statement; returns "" or the database's message.
    QString exec(const QString &sql) const;
    // Every row of a query, each as its column values; empty on error.
    QList<QVariantList> rows(const QString &sql) const;
    // The first column of the first row; invalid when there is none.
    QVariant value(const QString &sql) const;
    // Number of records in `table`.
    qint64 count(const QString &table) const;

private:
    QTemporaryDir m_dir;
    QString m_name;
};
