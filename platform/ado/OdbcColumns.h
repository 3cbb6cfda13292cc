#pragma once
// The columns of a statement's current result set and how their values are
// read: texts as UTF-16 in chunks of any total length, integers as qint64,
// floating-point numbers as double, bits as bool, decimals by the result's
// precision policy, NULL as a null value of the column's type.

#include <QList>
#include <QSql>
#include <QSqlError>
#include <QSqlRecord>
#include <QVariant>

#include "platform/ado/OdbcApi.h"

namespace ado {

class OdbcColumns {
public:
    // UTF-16 units read per SQLGetData call for a text.
    static constexpr SQLLEN kTextChunk = 1024;

    // Reads the description of `statement`'s current result set (none when
    // it has no columns). An invalid error when all went well.
    QSqlError describe(SQLHSTMT statement, QSql::NumericalPrecisionPolicy policy);
    void clear();
    int count() const { return static_cast<int>(m_kinds.size()); }
    const QSqlRecord &record() const { return m_record; }
    // Reads every column of the row `statement` is on into `row`.
    QSqlError readRow(SQLHSTMT statement, QVariantList &row) const;

private:
    enum class Kind { Text, Integer, Real, Bit, Decimal, Binary, Date, Time, Timestamp };

    QSqlError read(SQLHSTMT statement, int index, QVariant &out) const;

    QSqlRecord m_record;
    QList<Kind> m_kinds;
};

}  // namespace ado
