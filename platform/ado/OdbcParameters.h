#pragma once
// The parameter buffers of one statement. Values are copied into buffers the
// statement keeps across executions, and bound again only when a parameter's
// declared type changes: a driver such as FreeTDS prepares the statement on
// the server again whenever its parameters are bound again or declared
// otherwise, so a statement run many times with values of the same kinds is
// prepared once.

#include <QSqlError>
#include <QVariant>

#include <vector>

#include "platform/ado/OdbcApi.h"

namespace ado {

class OdbcParameters {
public:
    // Texts up to this many UTF-16 units are declared NVARCHAR(4000) whatever
    // their length; longer ones NVARCHAR(MAX), with a buffer of the next
    // power of two of units.
    static constexpr SQLULEN kShortText = 4000;

    // Puts `values` into the buffers, binding them to `statement` first when
    // the declared types differ from the last bind. A text is sent as UTF-16
    // (NVARCHAR), a null or invalid value as NULL (declared as the last value
    // in its place was, else as its type or as text), an integer as BIGINT, a floating-point
    // number as FLOAT, a bool as BIT, any other value that converts to a text
    // as that text. `declaredAgain` tells whether the parameters were bound
    // anew (which makes a prepared statement be unprepared and prepared
    // again). An invalid error when all went well.
    QSqlError bind(SQLHSTMT statement, const QVariantList &values, bool &declaredAgain);
    // Forgets the bindings: the next bind() binds again.
    void clear();

private:
    struct Declared {
        SQLSMALLINT cType = SQL_C_WCHAR;
        SQLSMALLINT sqlType = SQL_WVARCHAR;
        SQLULEN size = kShortText;
        bool operator==(const Declared &) const = default;
    };
    struct Parameter {
        Declared declared;
        std::vector<SQLWCHAR> text;
        qint64 integer = 0;
        double real = 0;
        unsigned char bit = 0;
        SQLLEN indicator = SQL_NULL_DATA;
    };

    // The declaration `value` needs in place `index`, or an error text when
    // it cannot be sent.
    QString declare(const QVariant &value, std::size_t index, Declared &out) const;
    static void fill(Parameter &parameter, const QVariant &value);
    static QSqlError bindOne(SQLHSTMT statement, SQLUSMALLINT number, Parameter &parameter);

    std::vector<Parameter> m_parameters;
};

}  // namespace ado
