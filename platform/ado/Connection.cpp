#include "platform/ado/Connection.h"

#include <QDir>
#include <QFileInfo>
#include <QSqlDriver>
#include <QSqlError>

#include "platform/ado/OdbcConnectionString.h"
#include "platform/ado/OdbcDriver.h"
#include "platform/ado/SecretMask.h"
#include "platform/ado/SqliteFile.h"

namespace ado {

namespace {

const QString kSqliteDriver = QStringLiteral("QSQLITE");

// How long a statement waits for another connection's lock, in
// milliseconds: as long as a save waits for the embedded database.
const QString kLockTimeoutSql = QStringLiteral("SET LOCK_TIMEOUT 5000");

QString describe(const SqlServerTarget &target)
{
    const QString database = target.database.isEmpty()
                                 ? QFileInfo(QDir::fromNativeSeparators(target.attachFile)).fileName()
                                 : target.database;
    QStringList parts{target.dataSource, database};
    parts.removeAll(QString());
    return parts.join(QStringLiteral(" / "));
}

// The file's path with its links resolved, or its absolute path while it
// does not exist.
QString fileIdentity(const QFileInfo &file)
{
    return file.exists() ? file.canonicalFilePath() : file.absoluteFilePath();
}

}  // namespace

QString databaseFileOf(const QString &oledbText)
{
    const OleDbText text = OleDbText::parse(oledbText);
    if (!text.isValid())
        return {};
    const Target target = chooseTarget(text, hostOs());
    const SqliteTarget *file = std::get_if<SqliteTarget>(&target);
    return file ? fileIdentity(QFileInfo(file->path)) : QString();
}

Connection::Connection(QString qtConnectionName) : m_name(std::move(qtConnectionName)) {}

Connection::~Connection()
{
    release();
}

void Connection::setConnectionString(const QString &oledbText)
{
    m_text = oledbText;
}

QString Connection::connectionString() const
{
    return m_text;
}

bool Connection::open(Access access)
{
    release();
    m_access = access;
    m_opened = {};
    m_description.clear();
    m_identity.clear();
    m_dialect = Dialect::None;

    const OleDbText text = OleDbText::parse(m_text);
    if (!text.isValid()) {
        m_opened = platform::Outcome::failure(QStringLiteral("bağlantı metni okunamadı"), text.error());
        return false;
    }
    m_opened = std::visit([this](const auto &target) { return openTarget(target); }, chooseTarget(text, hostOs()));
    if (!m_opened.ok()) {
        m_dialect = Dialect::None;
        return false;
    }
    return true;
}

bool Connection::isOpen() const
{
    return QSqlDatabase::contains(m_name) && database().isOpen();
}

QString Connection::description() const
{
    return m_description;
}

QString Connection::identity() const
{
    return m_identity;
}

Dialect Connection::dialect() const
{
    return m_dialect;
}

QSqlDatabase Connection::database() const
{
    return QSqlDatabase::database(m_name, false);
}

QSqlQuery Connection::newQuery() const
{
    QSqlQuery query(database());
    query.setForwardOnly(true);
    return query;
}

quint64 Connection::roundTrips() const
{
    const auto *driver = dynamic_cast<const OdbcDriver *>(database().driver());
    return driver ? driver->roundTrips() : 0;
}

bool Connection::canSendExactly(const QString &value) const
{
    return m_fidelity.isExact(value);
}

platform::Outcome Connection::openTarget(const SqlServerTarget &target)
{
    m_description = describe(target);
    m_identity = m_description;
    if (target.server.trimmed().isEmpty())
        return platform::Outcome::failure(QStringLiteral("bağlantı metninde sunucu (Data Source) yazılı değil"));
    const OdbcConnectionString odbc =
        odbcConnectionString(target, chooseOdbcDriver(installedOdbcDrivers(), hostOs()));
    if (!odbc.ok())
        return odbc;

    // Our own driver binds every text as Unicode, whatever the ODBC driver's
    // character set, and never re-prepares or cancels a statement.
    QSqlDatabase db = QSqlDatabase::addDatabase(new OdbcDriver, m_name);
    db.setDatabaseName(odbc.value);
    db.setConnectOptions(QStringLiteral("SQL_ATTR_LOGIN_TIMEOUT=%1").arg(target.loginTimeoutSeconds));
    if (!db.open()) {
        // The driver's own words say what went wrong; our driver's summary
        // ("bağlantı kurulamadı") would only repeat the sentence around them.
        // They may echo the connection string: the names the operator needs
        // to read stay as they are, the password does not.
        const QSqlError error = db.lastError();
        const QString said = error.databaseText().isEmpty() ? error.text() : error.databaseText();
        const QString reason = maskSecrets(said, {target.password},
                                           {target.dataSource, target.server, target.database});
        const QString lookup = instanceLookupFailure(target, reason);
        return platform::Outcome::failure(QStringLiteral("%1 sunucusuna bağlanılamadı").arg(target.dataSource),
                                          lookup.isEmpty() ? reason : lookup);
    }
    // Without it a row waits for another program's lock as long as that
    // program holds it; with it the row fails with error 1222, which the save
    // reads as a database that cannot take rows now.
    QSqlQuery lockTimeout(db);
    lockTimeout.setForwardOnly(true);
    if (!lockTimeout.exec(kLockTimeoutSql)) {
        const QString why = lockTimeout.lastError().text();
        lockTimeout = QSqlQuery();
        db.close();  // a connection that failed to open is not left open
        return platform::Outcome::failure(
            QStringLiteral("%1 sunucusunda kilit bekleme süresi ayarlanamadı").arg(target.dataSource), why);
    }
    m_dialect = Dialect::SqlServer;
    return {};
}

platform::Outcome Connection::openTarget(const SqliteTarget &target)
{
    const QFileInfo file(target.path);
    m_description = file.fileName();
    m_identity = fileIdentity(file);
    if (!QSqlDatabase::isDriverAvailable(kSqliteDriver))
        return platform::Outcome::failure(QStringLiteral("Qt SQLite sürücüsü (QSQLITE) kurulu değil"));
    QSqlDatabase db = QSqlDatabase::addDatabase(kSqliteDriver, m_name);
    platform::Outcome opened = openSqliteFile(db, target.path, m_access);
    if (opened.ok())
        m_dialect = Dialect::Sqlite;
    return opened;
}

void Connection::release()
{
    if (!QSqlDatabase::contains(m_name))
        return;
    QSqlDatabase::database(m_name, false).close();
    QSqlDatabase::removeDatabase(m_name);
}

}  // namespace ado
