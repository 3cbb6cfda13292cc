#include "platform/ado/OdbcDiagnostics.h"

#include <QStringList>

#include <vector>

namespace ado {

namespace {

struct Record {
    QString message;
    SQLINTEGER nativeError = 0;
};

// Reads record `number`; false when there is none (or it cannot be read).
bool readRecord(SQLSMALLINT handleType, SQLHANDLE handle, SQLSMALLINT number, Record &out)
{
    SQLWCHAR state[6];
    std::vector<SQLWCHAR> text(kFirstMessageRead);
    SQLSMALLINT length = 0;
    for (;;) {
        const SQLRETURN r = SQLGetDiagRecW(handleType, handle, number, state, &out.nativeError, text.data(),
                                           static_cast<SQLSMALLINT>(text.size()), &length);
        if (!SQL_SUCCEEDED(r))
            return false;
        if (length < static_cast<SQLSMALLINT>(text.size())) {
            out.message = QString::fromUtf16(reinterpret_cast<const char16_t *>(text.data()), length);
            return true;
        }
        text.resize(static_cast<std::size_t>(length) + 1);
    }
}

}  // namespace

QSqlError odbcError(SQLSMALLINT handleType, SQLHANDLE handle, const QString &what, QSqlError::ErrorType type)
{
    QStringList messages;
    QStringList codes;
    Record record;
    for (SQLSMALLINT number = 1; readRecord(handleType, handle, number, record); ++number) {
        messages << record.message;
        codes << QString::number(record.nativeError);
    }
    return QSqlError(what, messages.join(u' '), type, codes.join(u';'));
}

QSqlError joined(const QSqlError &first, const QSqlError &then)
{
    if (!first.isValid())
        return then;
    if (!then.isValid())
        return first;
    const auto join = [](const QString &a, const QString &b, QChar separator) {
        return a.isEmpty() ? b : b.isEmpty() ? a : a + separator + b;
    };
    return QSqlError(first.driverText(), join(first.databaseText(), then.databaseText(), u' '), first.type(),
                     join(first.nativeErrorCode(), then.nativeErrorCode(), u';'));
}

}  // namespace ado
