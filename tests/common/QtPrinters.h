#pragma once
// Readable GoogleTest failure output for Qt values.

#include <QString>
#include <QVariant>

#include <ostream>

inline void PrintTo(const QString &text, std::ostream *out)
{
    *out << '"' << text.toStdString() << '"';
}

inline void PrintTo(const QVariant &value, std::ostream *out)
{
    *out << "QVariant(" << value.typeName() << ", \"" << value.toString().toStdString() << "\")";
}
