#pragma once
// Reads an OLE DB connection text ("Keyword=value;...") into its keywords
// and values, the way the OLE DB service components read it.

#include <QHash>
#include <QString>
#include <QStringView>

#include <initializer_list>

namespace ado {

class OleDbText {
public:
    // Parses `text`. Keywords are trimmed and compared without case; a value
    // in "..." or '...' may hold ";" and the doubled quote; otherwise it is
    // trimmed. A repeated keyword keeps its last value; an empty value counts
    // as absent. Malformed text gives an object with isValid() false.
    static OleDbText parse(QStringView text);

    // False when the text broke the syntax; error() then says where.
    bool isValid() const { return m_error.isEmpty(); }
    // Where the syntax broke, by character position, or "" when valid.
    // Never quotes the text itself, which may hold a password.
    QString error() const { return m_error; }

    // The value of `keyword` (any case, no surrounding blanks), or "" when
    // it is absent, empty or the text was malformed.
    QString value(QStringView keyword) const { return value({keyword}); }
    // The value given last in the text under any of `synonyms` (names of
    // one property), or "" when that last one is empty or none is given.
    QString value(std::initializer_list<QStringView> synonyms) const;

private:
    struct Entry {
        qsizetype order = -1;  // position of the pair in the text
        QString value;
    };
    QHash<QString, Entry> m_values;  // keyword in lower case -> last entry
    QString m_error;
};

}  // namespace ado
