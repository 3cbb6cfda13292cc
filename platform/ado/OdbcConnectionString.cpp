#include "platform/ado/OdbcConnectionString.h"

#include <algorithm>
#include <array>

namespace ado {

namespace {

constexpr std::array<QStringView, 4> kMicrosoftDriversBestFirst{
    u"ODBC Driver 18 for SQL Server",
    u"ODBC Driver 17 for SQL Server",
    u"SQL Server Native Client 11.0",
    u"SQL Server Native Client 10.0",
};
constexpr QStringView kWindowsBuiltInDriver = u"SQL Server";
constexpr QStringView kFreeTds = u"FreeTDS";
// The port SQL Server's default instance listens on.
constexpr int kDefaultPort = 1433;

bool isFreeTds(const QString &driver)
{
    return driver.contains(kFreeTds, Qt::CaseInsensitive);
}

// The encryption and certificate keywords one driver understands.
struct SecurityKeywords {
    QStringView encrypt;    // the keyword that asks for encryption
    QStringView notAsked;   // its value when the text does not ask; "" sends nothing
    QStringView mandatory;  // its value when the text asks
    QStringView strict;     // its value for Strict, or the nearest the driver has
    QStringView trust;      // the keyword that skips the certificate check; "" when there is none
};

SecurityKeywords securityKeywords(const QString &driver)
{
    // FreeTDS checks a certificate only against a CA file named in
    // freetds.conf, so it has no keyword for trust.
    if (isFreeTds(driver))
        return {u"Encryption", u"", u"require", u"require", u""};
    // Driver 18 encrypts and checks the certificate unless told otherwise;
    // the OLE DB providers that wrote the text did neither.
    if (driver == kMicrosoftDriversBestFirst.front())
        return {u"Encrypt", u"Optional", u"yes", u"Strict", u"TrustServerCertificate"};
    if (driver == kWindowsBuiltInDriver)
        return {u"Encrypt", u"", u"yes", u"yes", u""};
    return {u"Encrypt", u"", u"yes", u"yes", u"TrustServerCertificate"};
}

QStringView encryptValue(const SecurityKeywords &keywords, Encryption encryption)
{
    switch (encryption) {
    case Encryption::Mandatory:
        return keywords.mandatory;
    case Encryption::Strict:
        return keywords.strict;
    case Encryption::NotAsked:
    case Encryption::Unreadable:
        break;
    }
    return keywords.notAsked;
}

// A server on this machine has the self-signed certificate a local
// installation makes, which Driver 18 would refuse.
bool trustsCertificate(const SqlServerTarget &target, const QString &driver)
{
    if (target.trustServerCertificate != TrustCertificate::Unset)
        return target.trustServerCertificate == TrustCertificate::Yes;
    return driver == kMicrosoftDriversBestFirst.front() && isLocalServer(target.server);
}

// True when `value` holds a "}" followed by anything but more "}". FreeTDS
// has no escape and ends a braced value at the first "};", while unixODBC,
// which picks the driver library before FreeTDS sees the string, ends it at
// the first "}" that is not doubled: the two read the same pairs only when
// every "}" of a value stands in a run at its end.
bool hasInnerClosingBrace(const QString &value)
{
    qsizetype end = value.size();
    while (end > 0 && value.at(end - 1) == u'}')
        --end;
    return QStringView(value).left(end).contains(u'}');
}

// Collects "Key={value};" pairs, braced for one driver family.
class PairWriter {
public:
    explicit PairWriter(bool freeTds) : m_freeTds(freeTds) {}

    // Adds `value` braced; an empty value is left out. `what` names the
    // field in the error when the family cannot carry the value.
    void addBraced(QStringView key, const QString &value, QStringView what)
    {
        if (value.isEmpty() || !m_error.isEmpty())
            return;
        // The drivers are C code and would take it for the end of the
        // string, cutting the value and leaving the next one unread.
        if (value.contains(QChar(u'\0'))) {
            m_error = QStringLiteral("%1 NUL karakteri içeriyor; hiçbir sürücü bunu alamaz").arg(what);
            return;
        }
        if (m_freeTds && hasInnerClosingBrace(value)) {
            m_error = QStringLiteral("%1 başka bir karakterden önce \"}\" içeriyor; FreeTDS sürücüsü ile "
                                     "sürücü yöneticisi bunu farklı okur").arg(what);
            return;
        }
        const QString escaped = m_freeTds ? value : QString(value).replace(u'}', QStringLiteral("}}"));
        m_text.append(key).append(u"={").append(escaped).append(u"};");
    }

    // Adds a fixed value of ours, which needs no braces.
    void addPlain(QStringView key, QStringView value)
    {
        m_text.append(key).append(u'=').append(value).append(u';');
    }

    OdbcConnectionString result() const
    {
        if (!m_error.isEmpty())
            return platform::Outcome::failure(m_error);
        return m_text;
    }

private:
    bool m_freeTds;
    QString m_text;
    QString m_error;
};

// The port goes to FreeTDS as a keyword of its own: FreeTDS versions do not
// all read the "HOST,PORT" form in Server, and the keyword is documented for
// every one. An instance without a port is sent as Server=HOST\INSTANCE
// and no Port, which would override FreeTDS's lookup of it; a bare host is
// the default instance, on its port.
void addFreeTdsServer(PairWriter &pairs, const ServerAddress &address)
{
    if (address.needsInstanceLookup()) {
        pairs.addBraced(u"Server", address.host + u'\\' + address.instance, u"sunucu (Data Source)");
        return;
    }
    pairs.addBraced(u"Server", address.host, u"sunucu (Data Source)");
    pairs.addPlain(u"Port", QString::number(address.port.value_or(kDefaultPort)));
}

// The words a driver uses when it found no server to log in to.
constexpr std::array<QStringView, 2> kServerNotFound{
    u"Adaptive Server is unavailable or does not exist",  // FreeTDS
    u"Error Locating Server/Instance Specified",          // Microsoft's drivers
};

}  // namespace

QString instanceLookupFailure(const SqlServerTarget &target, const QString &driverMessage)
{
    if (!serverAddress(target.server).needsInstanceLookup())
        return {};
    const bool notFound = std::any_of(kServerNotFound.begin(), kServerNotFound.end(), [&](QStringView words) {
        return driverMessage.contains(words, Qt::CaseInsensitive);
    });
    if (!notFound)
        return {};
    return QStringLiteral("SQL Server Browser yanıt vermedi; bağlantı metnine port yazın: %1,%2")
        .arg(serverAddress(target.dataSource).host)
        .arg(kDefaultPort);
}

QString chooseOdbcDriver(const QStringList &installed, Os os)
{
    if (os != Os::Windows)
        return kFreeTds.toString();
    for (QStringView preferred : kMicrosoftDriversBestFirst) {
        if (installed.contains(preferred, Qt::CaseInsensitive))
            return preferred.toString();
    }
    return kWindowsBuiltInDriver.toString();
}

OdbcConnectionString odbcConnectionString(const SqlServerTarget &target, const QString &driver)
{
    if (target.encryption == Encryption::Unreadable)
        return platform::Outcome::failure(
            QStringLiteral("şifreleme ayarı (Use Encryption for Data) true, false, yes, no, Optional, Mandatory ya da "
                           "Strict değil"));
    if (target.trustServerCertificate == TrustCertificate::Unreadable)
        return platform::Outcome::failure(QStringLiteral("Trust Server Certificate ayarı true, false, yes ya da no değil"));
    const ServerAddress address = serverAddress(target.server);
    if (!address.ok())
        return address;
    const bool freeTds = isFreeTds(driver);
    PairWriter pairs(freeTds);
    pairs.addBraced(u"Driver", driver, u"sürücü adı");
    if (freeTds)
        addFreeTdsServer(pairs, address);
    else
        pairs.addBraced(u"Server", target.server, u"sunucu (Data Source)");
    pairs.addBraced(u"Database", target.database, u"veritabanı adı (Initial Catalog)");
    if (target.integratedSecurity) {
        pairs.addPlain(u"Trusted_Connection", u"Yes");
    } else {
        pairs.addBraced(u"UID", target.userId, u"kullanıcı adı (User ID)");
        pairs.addBraced(u"PWD", target.password, u"parola (Password)");
    }
    pairs.addBraced(u"AttachDbFilename", target.attachFile, u"veritabanı dosyası (Initial File Name)");
    pairs.addBraced(u"ServerSPN", target.serverSpn, u"Server SPN");
    const SecurityKeywords security = securityKeywords(driver);
    const QStringView encrypt = encryptValue(security, target.encryption);
    if (!encrypt.isEmpty())
        pairs.addPlain(security.encrypt, encrypt);
    if (!security.trust.isEmpty() && trustsCertificate(target, driver))
        pairs.addPlain(security.trust, u"yes");
    if (freeTds) {
        pairs.addPlain(u"TDS_Version", u"7.4");
        pairs.addPlain(u"ClientCharset", u"UTF-8");
    }
    return pairs.result();
}

}  // namespace ado
