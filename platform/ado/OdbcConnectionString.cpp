#include "platform/ado/OdbcConnectionString.h"

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

bool isFreeTds(const QString &driver)
{
    return driver.contains(kFreeTds, Qt::CaseInsensitive);
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
        if (m_freeTds && value.contains(u"};")) {
            m_error = QStringLiteral("the %1 holds \"};\", which the FreeTDS driver cannot take").arg(what);
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
        // QODBC reads any string that mentions ".dsn" as the name of a file
        // DSN and would send "FILEDSN=..." instead of our string.
        if (m_error.isEmpty() && m_text.contains(u".dsn", Qt::CaseInsensitive))
            return {{}, QStringLiteral("a value of the connection text holds \".dsn\", which the Qt ODBC driver would take for a file data source")};
        if (!m_error.isEmpty())
            return {{}, m_error};
        return {m_text, {}};
    }

private:
    bool m_freeTds;
    QString m_text;
    QString m_error;
};

}  // namespace

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
    const bool freeTds = isFreeTds(driver);
    PairWriter pairs(freeTds);
    pairs.addBraced(u"Driver", driver, u"driver name");
    pairs.addBraced(u"Server", target.server, u"data source");
    pairs.addBraced(u"Database", target.database, u"initial catalog");
    if (target.integratedSecurity) {
        pairs.addPlain(u"Trusted_Connection", u"Yes");
    } else {
        pairs.addBraced(u"UID", target.userId, u"user id");
        pairs.addBraced(u"PWD", target.password, u"password");
    }
    pairs.addBraced(u"AttachDbFilename", target.attachFile, u"initial file name");
    pairs.addBraced(u"ServerSPN", target.serverSpn, u"server SPN");
    if (driver == kMicrosoftDriversBestFirst.front() && isLocalServer(target.server))
        pairs.addPlain(u"TrustServerCertificate", u"yes");
    if (freeTds) {
        pairs.addPlain(u"TDS_Version", u"7.4");
        pairs.addPlain(u"ClientCharset", u"UTF-8");
    }
    return pairs.result();
}

}  // namespace ado
