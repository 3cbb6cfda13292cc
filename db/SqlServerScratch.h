#pragma once
// The point-of-sale tables made in a SQL Server database for the live tests
// and the benchmark, and removed again, never touching a real database.

#include <QString>
#include <QStringList>

namespace posdb {

// The tables of db/schema.sqlserver.sql, in an order that drops them
// without breaking a reference.
QStringList sqlServerTables();

// Makes and removes the point-of-sale tables in the database an open Qt
// connection points at. A marker table of its own says the tables are
// scratch: a database holding any of the tables without the marker is
// refused, and only tables under the marker are ever dropped.
class SqlServerScratch {
public:
    explicit SqlServerScratch(QString connectionName) : m_connectionName(std::move(connectionName)) {}

    // Creates the marker and the tables, with the demo printers, tax
    // templates and categories when `withDemo` is set; tables a run that
    // died left under the marker are dropped first. "" or why not.
    QString create(bool withDemo);
    // Drops the tables and the marker, when the marker is there; "" or the
    // first error.
    QString drop();

private:
    // The names of the tables of the connection's default schema, or the error.
    QString existingTables(QStringList &names) const;
    QString exec(const QString &sql) const;

    QString m_connectionName;
};

}  // namespace posdb
