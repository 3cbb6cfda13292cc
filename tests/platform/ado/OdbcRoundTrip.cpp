#include "OdbcRoundTrip.h"

#include <variant>

#include "platform/ado/OdbcConnectionString.h"
#include "platform/ado/SecretMask.h"
#include "platform/ado/Target.h"

namespace odbcroundtrip {

namespace {

bool isFreeTds(QStringView driver)
{
    return driver.contains(u"FreeTDS", Qt::CaseInsensitive);
}

// The end of the braced value opening at `open`: the index of its closing
// "}", or -1 when it has none.
qsizetype closingBrace(QStringView text, qsizetype open, bool freeTds)
{
    for (qsizetype at = open + 1; at < text.size(); ++at) {
        if (text.at(at) != u'}')
            continue;
        const bool last = at + 1 == text.size();
        if (freeTds) {
            // Only "};" ends a value; a "}" at the very end is kept in it.
            if (!last && text.at(at + 1) == u';')
                return at;
            continue;
        }
        if (!last && text.at(at + 1) == u'}') {
            ++at;
            continue;
        }
        return at;
    }
    return freeTds ? text.size() : -1;
}

QString unbraced(QStringView braced, bool freeTds)
{
    QString value = braced.toString();
    return freeTds ? value : value.replace(QStringLiteral("}}"), QStringLiteral("}"));
}

QString mismatch(QStringView what, const QString &asked, const QString &given)
{
    return QStringLiteral("%1: the text asks for \"%2\", the driver gets \"%3\"").arg(what, asked, given);
}

QString expectedEncrypt(ado::Encryption encryption, QStringView driver)
{
    const bool asked = encryption == ado::Encryption::Mandatory || encryption == ado::Encryption::Strict;
    if (isFreeTds(driver))
        return asked ? QStringLiteral("require") : QString();
    if (driver == u"ODBC Driver 18 for SQL Server") {
        if (encryption == ado::Encryption::Strict)
            return QStringLiteral("Strict");
        return asked ? QStringLiteral("yes") : QStringLiteral("Optional");
    }
    return asked ? QStringLiteral("yes") : QString();
}

bool expectedTrust(const ado::SqlServerTarget &target, QStringView driver)
{
    if (isFreeTds(driver) || driver == u"SQL Server")
        return false;  // no keyword for it
    if (target.trustServerCertificate != ado::TrustCertificate::Unset)
        return target.trustServerCertificate == ado::TrustCertificate::Yes;
    return driver == u"ODBC Driver 18 for SQL Server" && ado::isLocalServer(target.server);
}

// The pairs as unixODBC's driver manager reads them to choose the driver
// library, whatever the family: a braced value ends at a "}" that is not
// doubled, or at the end; what follows it up to the next "=" is the next
// keyword. A DSN after a DRIVER is ignored; a repeated keyword replaces.
QMap<QString, QString> driverManagerPairs(QStringView text)
{
    QMap<QString, QString> pairs;
    qsizetype at = 0;
    for (;;) {
        while (at < text.size() && (text.at(at).isSpace() || text.at(at) == u';'))
            ++at;
        const qsizetype equals = text.indexOf(u'=', at);
        if (at >= text.size() || equals < 0)
            return pairs;
        const QString key = text.mid(at, equals - at).toString().toLower();
        at = equals + 1;
        QString value;
        if (at < text.size() && text.at(at) == u'{') {
            for (++at; at < text.size(); ++at) {
                if (text.at(at) == u'}') {
                    if (at + 1 >= text.size() || text.at(at + 1) != u'}')
                        break;
                    ++at;
                }
                value.append(text.at(at));
            }
            ++at;
        } else {
            const qsizetype semicolon = text.indexOf(u';', at);
            const qsizetype end = semicolon < 0 ? text.size() : semicolon;
            value = text.mid(at, end - at).toString();
            at = end;
        }
        if (!(key == u"dsn" && pairs.contains(QStringLiteral("driver"))))
            pairs.insert(key, value);
    }
}

// "" when the driver manager loads `driver` and nothing else from `text`.
QString driverManagerFault(const QString &text, QStringView driver)
{
    const QMap<QString, QString> pairs = driverManagerPairs(text);
    if (pairs.value(QStringLiteral("driver")) != driver)
        return mismatch(u"driver manager's driver", driver.toString(), pairs.value(QStringLiteral("driver")));
    for (const QString &key : pairs.keys()) {
        if (key == u"dsn" || key == u"filedsn" || key == u"savefile" || key.startsWith(u"dm"))
            return QStringLiteral("the driver manager reads %1=%2").arg(key, pairs.value(key));
    }
    return {};
}

// What FreeTDS must get for a server name: the port as a keyword of its
// own (1433 when none is written), or an instance to look up and no port.
struct FreeTdsServer {
    QString server;
    QString port;
};

FreeTdsServer freeTdsServer(const QString &written)
{
    const QString name = written.section(u',', 0, 0);
    QString host = name.section(u'\\', 0, 0).trimmed();
    if (host.startsWith(u"tcp:", Qt::CaseInsensitive))
        host = host.mid(4).trimmed();
    const QString instance = name.section(u'\\', 1).trimmed();
    if (written.contains(u','))
        return {host, QString::number(written.section(u',', 1).trimmed().toInt())};
    if (!instance.isEmpty())
        return {host + u'\\' + instance, {}};
    return {host, QStringLiteral("1433")};
}

std::optional<ado::SqlServerTarget> sqlServerLogin(const ado::OleDbText &text)
{
    const ado::Target chosen = ado::chooseTarget(text, ado::Os::Windows);
    if (const auto *target = std::get_if<ado::SqlServerTarget>(&chosen))
        return *target;
    return std::nullopt;
}

}  // namespace

std::optional<QMap<QString, QString>> readPairs(const QString &text, QStringView driver)
{
    const bool freeTds = isFreeTds(driver);
    // The drivers are C code: a NUL ends the string for them.
    const qsizetype nul = text.indexOf(QChar(u'\0'));
    const QStringView view = QStringView(text).left(nul < 0 ? text.size() : nul);
    QMap<QString, QString> pairs;
    qsizetype at = 0;
    while (at < view.size()) {
        if (view.at(at) == u';') {
            ++at;
            continue;
        }
        const qsizetype equals = view.indexOf(u'=', at);
        if (equals < 0)
            return std::nullopt;
        const QString key = view.mid(at, equals - at).trimmed().toString().toLower();
        qsizetype valueStart = equals + 1;
        QString value;
        if (valueStart < view.size() && view.at(valueStart) == u'{') {
            const qsizetype close = closingBrace(view, valueStart, freeTds);
            if (close < 0)
                return std::nullopt;
            value = unbraced(view.mid(valueStart + 1, close - valueStart - 1), freeTds);
            at = close + 1;
            if (at < view.size() && view.at(at) != u';')
                return std::nullopt;
        } else {
            const qsizetype semicolon = view.indexOf(u';', valueStart);
            const qsizetype end = semicolon < 0 ? view.size() : semicolon;
            value = view.mid(valueStart, end - valueStart).toString();
            at = end;
        }
        if (pairs.contains(key))
            return std::nullopt;
        pairs.insert(key, value);
    }
    return pairs;
}

QString roundTripFault(const ado::OleDbText &text, QStringView driver)
{
    const std::optional<ado::SqlServerTarget> target = sqlServerLogin(text);
    if (!target)
        return {};
    const ado::OdbcConnectionString built = ado::odbcConnectionString(*target, driver.toString());
    if (!built.ok())
        return built.value.isEmpty() ? QString() : QStringLiteral("a refused string still has text");
    const std::optional<QMap<QString, QString>> read = readPairs(built.value, driver);
    if (!read)
        return QStringLiteral("the driver cannot read the string");
    QMap<QString, QString> pairs = *read;
    const auto take = [&pairs](const char *key) { return pairs.take(QString::fromLatin1(key)); };

    QStringList faults;
    const auto expect = [&faults](QStringView what, const QString &asked, const QString &given) {
        if (asked != given)
            faults << mismatch(what, asked, given);
    };
    expect(u"driver", driver.toString(), take("driver"));
    const QString dataSource = text.value({u"Data Source", u"Server", u"Address", u"Addr", u"Network Address"});
    const QString host = dataSource.section(u'\\', 0, 0).trimmed();
    const bool localAlias = host == u"." || host.compare(u"(local)", Qt::CaseInsensitive) == 0;
    const QString written = localAlias ? target->server : dataSource;
    if (isFreeTds(driver)) {
        const FreeTdsServer asked = freeTdsServer(written);
        expect(u"server", asked.server, take("server"));
        expect(u"port", asked.port, take("port"));
    } else {
        expect(u"server", written, take("server"));
    }
    if (localAlias && written.section(u'\\', 1) != dataSource.section(u'\\', 1))
        faults << mismatch(u"instance", dataSource, written);
    expect(u"database", text.value({u"Initial Catalog", u"Database"}), take("database"));
    const bool trusted = take("trusted_connection") == u"Yes";
    if (trusted != target->integratedSecurity)
        faults << QStringLiteral("integrated security differs");
    expect(u"user", trusted ? QString() : text.value({u"User ID", u"UID"}), take("uid"));
    expect(u"password", trusted ? QString() : text.value({u"Password", u"PWD"}), take("pwd"));
    expect(u"attached file", text.value({u"Initial File Name", u"AttachDBFileName"}), take("attachdbfilename"));
    expect(u"server SPN", text.value({u"Server SPN", u"ServerSPN"}), take("serverspn"));
    expect(u"encryption", expectedEncrypt(target->encryption, driver),
           take(isFreeTds(driver) ? "encryption" : "encrypt"));
    if ((take("trustservercertificate") == u"yes") != expectedTrust(*target, driver))
        faults << QStringLiteral("the certificate check differs");
    if (isFreeTds(driver)) {
        take("tds_version");
        take("clientcharset");
    }
    if (!pairs.isEmpty())
        faults << QStringLiteral("keywords the text did not ask for: %1").arg(pairs.keys().join(u", "));
    // Elsewhere FreeTDS is reached through unixODBC, which reads the string
    // by the Microsoft rules first.
    if (isFreeTds(driver))
        faults << driverManagerFault(built.value, driver);
    faults.removeAll(QString());
    return faults.join(u"; ");
}

QString maskFault(const ado::OleDbText &text, QStringView driver)
{
    const std::optional<ado::SqlServerTarget> target = sqlServerLogin(text);
    if (!target || target->password.isEmpty())
        return {};
    const ado::OdbcConnectionString built = ado::odbcConnectionString(*target, driver.toString());
    if (!built.ok())
        return {};
    const QString masked =
        ado::maskSecrets(built.value, {target->password}, {target->dataSource, target->server, target->database});
    const std::optional<QMap<QString, QString>> read = readPairs(masked, driver);
    // A pair swallowed by masking that ran on from another value shows
    // nothing of the password either.
    if (!read || !read->contains(QStringLiteral("pwd")) || read->value(QStringLiteral("pwd")) == u"***")
        return {};
    return QStringLiteral("the masked string reads PWD=%1").arg(read->value(QStringLiteral("pwd")));
}

}  // namespace odbcroundtrip
