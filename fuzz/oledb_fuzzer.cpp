// Feeds arbitrary bytes, read as UTF-8, to the OLE DB connection-text parser
// and to the choice of database on both kinds of system. Besides not
// crashing, hanging or leaking: a malformed text keeps no values and its
// error names a position, never the text (which may hold a password); a SQL
// Server login never carries credentials beside integrated security. The
// same bytes, taken as a driver's message, are masked in bounded time.

#include "platform/ado/OleDbText.h"
#include "platform/ado/SecretMask.h"
#include "platform/ado/Target.h"

#include <QRegularExpression>

#include <cstddef>
#include <cstdint>
#include <variant>

namespace {

void checkTarget(const ado::Target &target)
{
    if (const auto *sqlite = std::get_if<ado::SqliteTarget>(&target)) {
        if (sqlite->path.isEmpty())
            __builtin_trap();
        return;
    }
    const auto &server = std::get<ado::SqlServerTarget>(target);
    if (server.server != ado::serverName(server.dataSource) || server.loginTimeoutSeconds <= 0)
        __builtin_trap();
    if (server.integratedSecurity && !(server.userId.isEmpty() && server.password.isEmpty()))
        __builtin_trap();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    static const QRegularExpression kError(
        QStringLiteral(R"(^the (connection text has no keyword=value pair|quoted value) at character \d+)"
                       R"(( of the connection text is not closed properly)?$)"));
    const QString input = QString::fromUtf8(reinterpret_cast<const char *>(data), qsizetype(size));
    const ado::OleDbText text = ado::OleDbText::parse(input);
    if (!text.isValid()) {
        if (!kError.match(text.error()).hasMatch())
            __builtin_trap();
        if (!text.value({u"Data Source", u"Password", u"User ID", u"Initial Catalog"}).isEmpty())
            __builtin_trap();
    }
    checkTarget(ado::chooseTarget(text, ado::Os::Windows));
    checkTarget(ado::chooseTarget(text, ado::Os::Other));
    (void)ado::maskSecrets(input, {text.value({u"Password", u"PWD"})}, {text.value(u"Data Source")});
    return 0;
}
