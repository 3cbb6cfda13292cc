#pragma once
// Tells whether a text reaches the database unchanged. Qt's ODBC driver binds
// text as UTF-16 only when the ODBC driver says it converts to wide
// characters; otherwise it sends UTF-8 bytes as plain characters, which
// FreeTDS turns into the server's code page, so letters outside that code
// page (and every character beyond the BMP) would arrive as "?".

#include <QString>

namespace ado {

class TextFidelity {
public:
    // Every well-formed UTF-16 text is exact: SQLite, or a Unicode binding.
    static TextFidelity unicode();
    // Exact only when the text fits Windows code page `codePage`; 65001 is
    // UTF-8 (everything fits); 0 or a code page this system cannot convert
    // leaves only ASCII exact.
    static TextFidelity codePage(int codePage);

    // True when `value` is stored exactly as given. False for a text with a
    // lone surrogate, which no encoding carries.
    bool isExact(const QString &value) const;

private:
    explicit TextFidelity(int codePage) : m_codePage(codePage) {}

    static constexpr int kUnicode = -1;
    int m_codePage;
};

}  // namespace ado
