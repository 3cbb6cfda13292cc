// Asks the ODBC driver manager (odbc32 on Windows, unixODBC elsewhere) for
// the installed drivers.
#include "platform/ado/OdbcConnectionString.h"

#ifdef Q_OS_WIN
#include <windows.h>
#endif
#include <sql.h>
#include <sqlext.h>

#include <cstdint>
#include <iterator>

namespace ado {

QStringList installedOdbcDrivers()
{
    SQLHENV env = SQL_NULL_HENV;
    if (!SQL_SUCCEEDED(SQLAllocHandle(SQL_HANDLE_ENV, SQL_NULL_HANDLE, &env)))
        return {};
    QStringList names;
    const auto version = reinterpret_cast<SQLPOINTER>(static_cast<std::uintptr_t>(SQL_OV_ODBC3));
    if (SQL_SUCCEEDED(SQLSetEnvAttr(env, SQL_ATTR_ODBC_VERSION, version, 0))) {
        // The wide call works the same whether or not UNICODE is defined;
        // SQLWCHAR is UTF-16 on Windows and with unixODBC.
        static_assert(sizeof(SQLWCHAR) == sizeof(char16_t));
        SQLWCHAR description[512];
        SQLWCHAR attributes[2048];
        SQLSMALLINT descriptionLength = 0;
        SQLSMALLINT attributesLength = 0;
        SQLUSMALLINT direction = SQL_FETCH_FIRST;
        const auto descriptionSize = static_cast<SQLSMALLINT>(std::size(description));
        const auto attributesSize = static_cast<SQLSMALLINT>(std::size(attributes));
        while (SQL_SUCCEEDED(SQLDriversW(env, direction, description, descriptionSize, &descriptionLength,
                                         attributes, attributesSize, &attributesLength))) {
            names << QString::fromUtf16(reinterpret_cast<const char16_t *>(description));
            direction = SQL_FETCH_NEXT;
        }
    }
    SQLFreeHandle(SQL_HANDLE_ENV, env);
    return names;
}

}  // namespace ado
