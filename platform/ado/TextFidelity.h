#pragma once
// Tells whether a text reaches the database unchanged. Both engines take
// every text as Unicode (SQLite natively, SQL Server through NVARCHAR
// parameters), so only a text that is not well-formed UTF-16 (a lone
// surrogate, which no encoding carries) would arrive altered: as a
// replacement character.

#include <QString>

namespace ado {

class TextFidelity {
public:
    // What a Unicode binding stores exactly: every well-formed text.
    static TextFidelity unicode();

    // True when `value` is stored exactly as given.
    bool isExact(const QString &value) const;

private:
    TextFidelity() = default;
};

}  // namespace ado
