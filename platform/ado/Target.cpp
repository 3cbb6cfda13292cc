#include "platform/ado/Target.h"

#include <algorithm>

#include "platform/os/WindowsPath.h"

namespace ado {

namespace {

// How long a login may take when the text names no Connect Timeout; the same
// default the OLE DB providers use.
constexpr int kDefaultLoginTimeoutSeconds = 15;

bool endsWithAny(const QString &text, std::initializer_list<QStringView> suffixes)
{
    return std::any_of(suffixes.begin(), suffixes.end(),
                       [&text](QStringView suffix) { return text.endsWith(suffix, Qt::CaseInsensitive); });
}

// "C:\Data\Menora POS.mdf" -> "C:\Data\Menora POS.db"
QString withDbSuffix(const QString &path)
{
    const qsizetype folderEnd = std::max(path.lastIndexOf(u'\\'), path.lastIndexOf(u'/'));
    const qsizetype dot = path.lastIndexOf(u'.');
    const QString stem = dot > folderEnd ? path.left(dot) : path;
    return stem + QStringLiteral(".db");
}

bool isAnyOf(const QString &value, std::initializer_list<QStringView> words)
{
    return std::any_of(words.begin(), words.end(),
                       [&value](QStringView word) { return value.compare(word, Qt::CaseInsensitive) == 0; });
}

bool isIntegrated(const QString &value)
{
    return isAnyOf(value, {u"SSPI", u"true", u"yes"});
}

// The OLE DB spellings: true/false in the text's own keywords, yes/no in the
// provider-string ones, Optional/Mandatory/Strict since the version 19 driver.
Encryption encryptionOf(const OleDbText &text)
{
    const QString value = text.value({u"Use Encryption for Data", u"Encrypt"});
    if (value.isEmpty() || isAnyOf(value, {u"false", u"no", u"Optional"}))
        return Encryption::NotAsked;
    if (isAnyOf(value, {u"true", u"yes", u"Mandatory"}))
        return Encryption::Mandatory;
    return isAnyOf(value, {u"Strict"}) ? Encryption::Strict : Encryption::Unreadable;
}

TrustCertificate trustOf(const OleDbText &text)
{
    const QString value = text.value({u"Trust Server Certificate", u"TrustServerCertificate"});
    if (value.isEmpty())
        return TrustCertificate::Unset;
    if (isAnyOf(value, {u"true", u"yes"}))
        return TrustCertificate::Yes;
    return isAnyOf(value, {u"false", u"no"}) ? TrustCertificate::No : TrustCertificate::Unreadable;
}

// Where the host of a server name ends: at its "\\instance" or ",port".
qsizetype hostEnd(const QString &server)
{
    const auto end = std::find_if(server.begin(), server.end(), [](QChar c) { return c == u'\\' || c == u','; });
    return end - server.begin();
}

QString dataSourceOf(const OleDbText &text)
{
    return text.value({u"Data Source", u"Server", u"Address", u"Addr", u"Network Address"});
}

QString attachFileOf(const OleDbText &text)
{
    return text.value({u"Initial File Name", u"AttachDBFileName"});
}

int loginTimeout(const OleDbText &text)
{
    bool ok = false;
    const int seconds = text.value({u"Connect Timeout", u"Connection Timeout"}).toInt(&ok);
    return ok && seconds > 0 ? seconds : kDefaultLoginTimeoutSeconds;
}

SqlServerTarget sqlServerTarget(const OleDbText &text)
{
    SqlServerTarget target;
    target.dataSource = dataSourceOf(text);
    target.server = serverName(target.dataSource);
    target.database = text.value({u"Initial Catalog", u"Database"});
    target.integratedSecurity = isIntegrated(text.value({u"Integrated Security", u"Trusted_Connection"}));
    if (!target.integratedSecurity) {
        target.userId = text.value({u"User ID", u"UID"});
        target.password = text.value({u"Password", u"PWD"});
    }
    target.attachFile = attachFileOf(text);
    target.serverSpn = text.value({u"Server SPN", u"ServerSPN"});
    target.loginTimeoutSeconds = loginTimeout(text);
    target.encryption = encryptionOf(text);
    target.trustServerCertificate = trustOf(text);
    return target;
}

}  // namespace

QString serverName(const QString &dataSource)
{
    const qsizetype end = hostEnd(dataSource);
    const QString host = dataSource.left(end).trimmed();
    if (host == u"." || host.compare(u"(local)", Qt::CaseInsensitive) == 0)
        return QStringLiteral("localhost") + dataSource.mid(end);
    return dataSource;
}

ServerAddress serverAddress(const QString &server)
{
    ServerAddress address;
    const qsizetype comma = server.indexOf(u',');
    const QString name = comma < 0 ? server : server.left(comma);
    const qsizetype slash = name.indexOf(u'\\');
    address.host = (slash < 0 ? name : name.left(slash)).trimmed();
    // Microsoft's drivers take "tcp:" before the host to ask for TCP, the
    // only protocol FreeTDS speaks.
    if (address.host.startsWith(u"tcp:", Qt::CaseInsensitive))
        address.host = address.host.mid(4).trimmed();
    if (slash >= 0)
        address.instance = name.mid(slash + 1).trimmed();
    if (comma < 0)
        return address;
    const QString port = server.mid(comma + 1).trimmed();
    const bool digits = !port.isEmpty() && port.size() <= 5 &&
                        std::all_of(port.begin(), port.end(), [](QChar c) { return c >= u'0' && c <= u'9'; });
    const int number = digits ? port.toInt() : 0;
    if (number < 1 || number > 65535)
        address.setOutcome(platform::Outcome::failure(
            QStringLiteral("sunucunun portu (\",\" sonrası) 1 ile 65535 arasında bir sayı değil")));
    else
        address.port = number;
    return address;
}

bool isLocalServer(const QString &server)
{
    const QString host = server.section(u'\\', 0, 0).section(u',', 0, 0).trimmed();
    return host.compare(u"localhost", Qt::CaseInsensitive) == 0 || host == u"127.0.0.1" || host == u"::1";
}

Target chooseTarget(const OleDbText &text, Os os)
{
    const QString dataSource = dataSourceOf(text);
    if (endsWithAny(dataSource, {u".db", u".sqlite", u".sqlite3"}))
        return SqliteTarget{platform::localPath(dataSource)};
    const QString attachFile = attachFileOf(text);
    if (os != Os::Windows && endsWithAny(attachFile, {u".mdf"}))
        return SqliteTarget{platform::localPath(withDbSuffix(attachFile))};
    return sqlServerTarget(text);
}

}  // namespace ado
