#include "platform/ado/OdbcParameters.h"

#include <algorithm>
#include <bit>
#include <limits>

#include "platform/ado/OdbcDiagnostics.h"

namespace ado {

namespace {

bool isNullValue(const QVariant &value)
{
    return value.isNull() || (value.typeId() == QMetaType::QString && value.toString().isNull());
}

bool isSignedInteger(int type)
{
    return type == QMetaType::Int || type == QMetaType::LongLong || type == QMetaType::Short ||
           type == QMetaType::Long || type == QMetaType::SChar || type == QMetaType::Char;
}

bool isUnsignedInteger(int type)
{
    return type == QMetaType::UInt || type == QMetaType::ULongLong || type == QMetaType::UShort ||
           type == QMetaType::ULong || type == QMetaType::UChar;
}

}  // namespace

QString OdbcParameters::declare(const QVariant &value, std::size_t index, Declared &out) const
{
    const int type = value.typeId();
    // A NULL goes as whatever its place was declared last, so that it never
    // makes the statement be prepared again.
    if (isNullValue(value) && index < m_parameters.size()) {
        out = m_parameters[index].declared;
        return {};
    }
    if (!value.isValid()) {
        out = Declared{};
        return {};
    }
    if (type == QMetaType::Bool) {
        out = {SQL_C_BIT, SQL_BIT, 1};
    } else if (isSignedInteger(type)) {
        out = {SQL_C_SBIGINT, SQL_BIGINT, 19};
    } else if (isUnsignedInteger(type)) {
        if (!isNullValue(value) && value.toULongLong() > static_cast<qulonglong>(std::numeric_limits<qint64>::max()))
            return QStringLiteral("the integer %1 is larger than a BIGINT holds").arg(value.toULongLong());
        out = {SQL_C_SBIGINT, SQL_BIGINT, 19};
    } else if (type == QMetaType::Double || type == QMetaType::Float) {
        out = {SQL_C_DOUBLE, SQL_DOUBLE, 15};
    } else if (type == QMetaType::QString || value.canConvert<QString>()) {
        const auto length = static_cast<SQLULEN>(isNullValue(value) ? 0 : value.toString().size());
        // A long text's buffer grows in powers of two, each growth a new
        // declaration: few, however the lengths vary.
        out = length <= kShortText ? Declared{} : Declared{SQL_C_WCHAR, SQL_WLONGVARCHAR, std::bit_ceil(length)};
    } else {
        return QStringLiteral("a value of type %1 cannot be sent").arg(QString::fromLatin1(value.typeName()));
    }
    return {};
}

void OdbcParameters::fill(Parameter &parameter, const QVariant &value)
{
    if (isNullValue(value)) {
        parameter.indicator = SQL_NULL_DATA;
        return;
    }
    switch (parameter.declared.cType) {
    case SQL_C_BIT:
        parameter.bit = value.toBool() ? 1 : 0;
        parameter.indicator = sizeof parameter.bit;
        return;
    case SQL_C_SBIGINT:
        parameter.integer = value.toLongLong();
        parameter.indicator = sizeof parameter.integer;
        return;
    case SQL_C_DOUBLE:
        parameter.real = value.toDouble();
        parameter.indicator = sizeof parameter.real;
        return;
    default: {
        const QString text = value.toString();
        std::copy(text.utf16(), text.utf16() + text.size(), parameter.text.begin());
        parameter.text[static_cast<std::size_t>(text.size())] = 0;
        parameter.indicator = static_cast<SQLLEN>(text.size() * sizeof(SQLWCHAR));
    }
    }
}

QSqlError OdbcParameters::bindOne(SQLHSTMT statement, SQLUSMALLINT number, Parameter &parameter)
{
    const Declared &d = parameter.declared;
    SQLPOINTER buffer = nullptr;
    SQLLEN bufferLength = 0;
    switch (d.cType) {
    case SQL_C_BIT:
        buffer = &parameter.bit;
        break;
    case SQL_C_SBIGINT:
        buffer = &parameter.integer;
        break;
    case SQL_C_DOUBLE:
        buffer = &parameter.real;
        break;
    default:
        parameter.text.assign(d.size + 1, 0);
        buffer = parameter.text.data();
        bufferLength = static_cast<SQLLEN>(parameter.text.size() * sizeof(SQLWCHAR));
    }
    const SQLRETURN r = SQLBindParameter(statement, number, SQL_PARAM_INPUT, d.cType, d.sqlType, d.size, 0, buffer,
                                         bufferLength, &parameter.indicator);
    if (SQL_SUCCEEDED(r))
        return {};
    return odbcError(SQL_HANDLE_STMT, statement, QStringLiteral("Unable to bind parameter %1").arg(number),
                     QSqlError::StatementError);
}

QSqlError OdbcParameters::bind(SQLHSTMT statement, const QVariantList &values, bool &declaredAgain)
{
    declaredAgain = false;
    std::vector<Declared> declared(static_cast<std::size_t>(values.size()));
    for (std::size_t i = 0; i < declared.size(); ++i) {
        const QString refusal = declare(values[static_cast<qsizetype>(i)], i, declared[i]);
        if (!refusal.isEmpty())
            return QSqlError(QStringLiteral("Unable to bind parameter %1: %2").arg(i + 1).arg(refusal), QString(),
                             QSqlError::StatementError);
    }
    bool same = declared.size() == m_parameters.size();
    for (std::size_t i = 0; same && i < declared.size(); ++i)
        same = declared[i] == m_parameters[i].declared;
    if (!same) {
        declaredAgain = !m_parameters.empty();
        clear();
        if (!SQL_SUCCEEDED(SQLFreeStmt(statement, SQL_RESET_PARAMS)))
            return odbcError(SQL_HANDLE_STMT, statement, QStringLiteral("Unable to reset the parameters"),
                             QSqlError::StatementError);
        m_parameters.resize(declared.size());
        for (std::size_t i = 0; i < declared.size(); ++i) {
            m_parameters[i].declared = declared[i];
            if (const QSqlError error = bindOne(statement, static_cast<SQLUSMALLINT>(i + 1), m_parameters[i]);
                error.isValid()) {
                clear();
                return error;
            }
        }
    }
    for (std::size_t i = 0; i < declared.size(); ++i)
        fill(m_parameters[i], values[static_cast<qsizetype>(i)]);
    return {};
}

void OdbcParameters::clear()
{
    m_parameters.clear();
}

}  // namespace ado
