#include "platform/ado/OdbcColumns.h"

#include <QDateTime>
#include <QSqlField>

#include <vector>

#include "platform/ado/OdbcDiagnostics.h"

namespace ado {

namespace {

QSqlError statementError(SQLHSTMT statement, const QString &what)
{
    return odbcError(SQL_HANDLE_STMT, statement, what, QSqlError::StatementError);
}

QMetaType decimalType(QSql::NumericalPrecisionPolicy policy)
{
    switch (policy) {
    case QSql::LowPrecisionInt32:
        return QMetaType::fromType<int>();
    case QSql::LowPrecisionInt64:
        return QMetaType::fromType<qlonglong>();
    case QSql::HighPrecision:
        return QMetaType::fromType<QString>();
    default:
        return QMetaType::fromType<double>();
    }
}

// Reads a value of fixed size with C type `cType` into `value`; false in
// `isNull` unless the column is NULL.
template <typename T>
SQLRETURN readFixed(SQLHSTMT statement, SQLUSMALLINT column, SQLSMALLINT cType, T &value, bool &isNull)
{
    SQLLEN indicator = 0;
    const SQLRETURN r = SQLGetData(statement, column, cType, &value, sizeof value, &indicator);
    isNull = indicator == SQL_NULL_DATA;
    return r;
}

// Reads a text or binary column whole, chunk by chunk; `unit` is the size of
// one character (the chunk's terminating NUL is left out of a text).
SQLRETURN readLong(SQLHSTMT statement, SQLUSMALLINT column, SQLSMALLINT cType, QByteArray &out, bool &isNull)
{
    const SQLLEN unit = cType == SQL_C_WCHAR ? static_cast<SQLLEN>(sizeof(SQLWCHAR)) : 0;
    std::vector<char> chunk(static_cast<std::size_t>(OdbcColumns::kTextChunk * static_cast<SQLLEN>(sizeof(SQLWCHAR))));
    const auto capacity = static_cast<SQLLEN>(chunk.size());
    out = QByteArray("");
    isNull = false;
    for (;;) {
        SQLLEN indicator = 0;
        const SQLRETURN r = SQLGetData(statement, column, cType, chunk.data(), capacity, &indicator);
        if (r == SQL_NO_DATA)
            return SQL_SUCCESS;
        if (!SQL_SUCCEEDED(r))
            return r;
        if (indicator == SQL_NULL_DATA) {
            isNull = true;
            return r;
        }
        const bool cut = indicator == SQL_NO_TOTAL || indicator > capacity - unit;
        out.append(chunk.data(), cut ? capacity - unit : indicator);
        if (!cut)
            return SQL_SUCCESS;
    }
}

QString fromUtf16Bytes(const QByteArray &bytes)
{
    return QString(reinterpret_cast<const QChar *>(bytes.constData()), bytes.size() / qsizetype(sizeof(QChar)));
}

}  // namespace

QSqlError OdbcColumns::describe(SQLHSTMT statement, QSql::NumericalPrecisionPolicy policy)
{
    clear();
    SQLSMALLINT columns = 0;
    if (!SQL_SUCCEEDED(SQLNumResultCols(statement, &columns)))
        return statementError(statement, QStringLiteral("Unable to count the result's columns"));
    for (SQLUSMALLINT column = 1; column <= columns; ++column) {
        std::vector<SQLWCHAR> name(128);
        SQLSMALLINT nameLength = 0;
        SQLSMALLINT sqlType = 0;
        SQLULEN size = 0;
        SQLSMALLINT digits = 0;
        SQLSMALLINT nullable = 0;
        for (;;) {
            if (!SQL_SUCCEEDED(SQLDescribeColW(statement, column, name.data(), static_cast<SQLSMALLINT>(name.size()),
                                               &nameLength, &sqlType, &size, &digits, &nullable))) {
                clear();
                return statementError(statement, QStringLiteral("Unable to describe column %1").arg(column));
            }
            if (nameLength < static_cast<SQLSMALLINT>(name.size()))
                break;
            name.resize(static_cast<std::size_t>(nameLength) + 1);
        }
        Kind kind = Kind::Text;
        QMetaType type = QMetaType::fromType<QString>();
        switch (sqlType) {
        case SQL_TINYINT:
        case SQL_SMALLINT:
        case SQL_INTEGER:
        case SQL_BIGINT:
            kind = Kind::Integer;
            type = QMetaType::fromType<qlonglong>();
            break;
        case SQL_REAL:
        case SQL_FLOAT:
        case SQL_DOUBLE:
            kind = Kind::Real;
            type = QMetaType::fromType<double>();
            break;
        case SQL_BIT:
            kind = Kind::Bit;
            type = QMetaType::fromType<bool>();
            break;
        case SQL_DECIMAL:
        case SQL_NUMERIC:
            kind = Kind::Decimal;
            type = decimalType(policy);
            break;
        case SQL_BINARY:
        case SQL_VARBINARY:
        case SQL_LONGVARBINARY:
            kind = Kind::Binary;
            type = QMetaType::fromType<QByteArray>();
            break;
        case SQL_TYPE_DATE:
        case SQL_DATE:
            kind = Kind::Date;
            type = QMetaType::fromType<QDate>();
            break;
        case SQL_TYPE_TIME:
        case SQL_TIME:
            kind = Kind::Time;
            type = QMetaType::fromType<QTime>();
            break;
        case SQL_TYPE_TIMESTAMP:
        case SQL_TIMESTAMP:
            kind = Kind::Timestamp;
            type = QMetaType::fromType<QDateTime>();
            break;
        default:
            break;
        }
        QSqlField field(QString::fromUtf16(reinterpret_cast<const char16_t *>(name.data()), nameLength), type);
        field.setRequiredStatus(nullable == SQL_NO_NULLS ? QSqlField::Required : QSqlField::Optional);
        m_record.append(field);
        m_kinds.append(kind);
    }
    return {};
}

void OdbcColumns::clear()
{
    m_record.clear();
    m_kinds.clear();
}

QSqlError OdbcColumns::readRow(SQLHSTMT statement, QVariantList &row) const
{
    QVariantList values;
    values.reserve(count());
    for (int index = 0; index < count(); ++index) {
        QVariant value;
        if (const QSqlError error = read(statement, index, value); error.isValid())
            return error;
        values.append(value);
    }
    row = values;
    return {};
}

QSqlError OdbcColumns::read(SQLHSTMT statement, int index, QVariant &out) const
{
    const auto column = static_cast<SQLUSMALLINT>(index + 1);
    bool isNull = false;
    SQLRETURN r = SQL_SUCCESS;
    switch (m_kinds[index]) {
    case Kind::Integer: {
        qint64 value = 0;
        r = readFixed(statement, column, SQL_C_SBIGINT, value, isNull);
        out = QVariant::fromValue<qlonglong>(value);
        break;
    }
    case Kind::Real: {
        double value = 0;
        r = readFixed(statement, column, SQL_C_DOUBLE, value, isNull);
        out = value;
        break;
    }
    case Kind::Bit: {
        unsigned char value = 0;
        r = readFixed(statement, column, SQL_C_BIT, value, isNull);
        out = value != 0;
        break;
    }
    case Kind::Date: {
        SQL_DATE_STRUCT value{};
        r = readFixed(statement, column, SQL_C_TYPE_DATE, value, isNull);
        out = QDate(value.year, value.month, value.day);
        break;
    }
    case Kind::Time: {
        SQL_TIME_STRUCT value{};
        r = readFixed(statement, column, SQL_C_TYPE_TIME, value, isNull);
        out = QTime(value.hour, value.minute, value.second);
        break;
    }
    case Kind::Timestamp: {
        SQL_TIMESTAMP_STRUCT value{};
        r = readFixed(statement, column, SQL_C_TYPE_TIMESTAMP, value, isNull);
        out = QDateTime(QDate(value.year, value.month, value.day),
                        QTime(value.hour, value.minute, value.second, static_cast<int>(value.fraction / 1000000)));
        break;
    }
    case Kind::Binary: {
        QByteArray bytes;
        r = readLong(statement, column, SQL_C_BINARY, bytes, isNull);
        out = bytes;
        break;
    }
    case Kind::Text:
    case Kind::Decimal: {
        QByteArray bytes;
        r = readLong(statement, column, SQL_C_WCHAR, bytes, isNull);
        out = fromUtf16Bytes(bytes);
        if (m_kinds[index] == Kind::Decimal && !isNull && !out.convert(m_record.field(index).metaType()))
            return QSqlError(QStringLiteral("Unable to read column %1 as a number").arg(index + 1), QString(),
                             QSqlError::StatementError);
        break;
    }
    }
    if (!SQL_SUCCEEDED(r))
        return statementError(statement, QStringLiteral("Unable to read column %1").arg(index + 1));
    if (isNull)
        out = QVariant(m_record.field(index).metaType());
    return {};
}

}  // namespace ado
