#include "db/StandInDatabase.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QUuid>

namespace posdb {

namespace {

QString resourceText(const QString &name)
{
    QFile file(QStringLiteral(":/posdb/") + name);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return QString::fromUtf8(file.readAll());
}

QString withoutComments(const QString &script)
{
    QStringList kept;
    for (const QString &line : script.split(u'\n')) {
        if (!line.trimmed().startsWith(QStringLiteral("--")))
            kept << line;
    }
    return kept.join(u'\n');
}

}  // namespace

QString runScript(const QString &connectionName, const QString &script)
{
    QSqlDatabase db = QSqlDatabase::database(connectionName, false);
    for (const QString &statement : withoutComments(script).split(u';')) {
        if (statement.trimmed().isEmpty())
            continue;
        QSqlQuery query(db);
        query.setForwardOnly(true);  // a driver may not open a cursor on a statement that returns no rows
        if (!query.exec(statement))
            return query.lastError().text();
    }
    return {};
}

QString createStandInDatabase(const QString &path, bool withDemo)
{
    if (QFileInfo::exists(path))
        return QStringLiteral("%1 already exists").arg(path);
    if (!QDir().mkpath(QFileInfo(path).absolutePath()))
        return QStringLiteral("cannot create the folder of %1").arg(path);

    const QString name = QStringLiteral("posdb-create-") + QUuid::createUuid().toString(QUuid::Id128);
    QString error;
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), name);
        db.setDatabaseName(path);
        if (!db.open()) {
            error = db.lastError().text();
        } else {
            error = runScript(name, resourceText(QStringLiteral("schema.sql")));
            if (error.isEmpty() && withDemo)
                error = runScript(name, resourceText(QStringLiteral("demo.sql")));
            db.close();
        }
    }
    QSqlDatabase::removeDatabase(name);
    if (!error.isEmpty())
        QFile::remove(path);
    return error;
}

}  // namespace posdb
