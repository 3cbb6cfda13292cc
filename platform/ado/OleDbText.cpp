#include "platform/ado/OleDbText.h"

namespace ado {

namespace {

// A cursor over the text that reads one "keyword=value" pair at a time.
class PairReader {
public:
    explicit PairReader(QStringView text) : m_text(text) {}

    bool atEnd() const { return m_pos >= m_text.size(); }
    qsizetype position() const { return m_pos; }

    // Reads up to the "=" of the next pair. A doubled "==" stands for an
    // "=" inside the keyword. Returns false when no "=" follows.
    bool readKeyword(QString &keyword)
    {
        keyword.clear();
        while (m_pos < m_text.size()) {
            const QChar c = m_text.at(m_pos++);
            if (c == u';')
                return false;
            if (c != u'=') {
                keyword.append(c);
                continue;
            }
            if (m_pos < m_text.size() && m_text.at(m_pos) == u'=') {
                keyword.append(c);
                ++m_pos;
                continue;
            }
            keyword = keyword.trimmed();
            return true;
        }
        return false;
    }

    // Reads a value up to its ";" (or the end) and steps past the ";".
    // Returns false on an unclosed quote or text after a closing quote.
    bool readValue(QString &value)
    {
        skipBlanks();
        value.clear();
        if (m_pos < m_text.size() && (m_text.at(m_pos) == u'"' || m_text.at(m_pos) == u'\''))
            return readQuoted(value);
        while (m_pos < m_text.size() && m_text.at(m_pos) != u';')
            value.append(m_text.at(m_pos++));
        ++m_pos;
        value = value.trimmed();
        return true;
    }

    // Steps over blanks and empty segments (";;") between pairs.
    void skipSeparators()
    {
        while (m_pos < m_text.size() && (m_text.at(m_pos).isSpace() || m_text.at(m_pos) == u';'))
            ++m_pos;
    }

private:
    void skipBlanks()
    {
        while (m_pos < m_text.size() && m_text.at(m_pos).isSpace())
            ++m_pos;
    }

    bool readQuoted(QString &value)
    {
        const QChar quote = m_text.at(m_pos++);
        for (;;) {
            if (m_pos >= m_text.size())
                return false;
            const QChar c = m_text.at(m_pos++);
            if (c != quote) {
                value.append(c);
                continue;
            }
            if (m_pos < m_text.size() && m_text.at(m_pos) == quote) {
                value.append(c);
                ++m_pos;
                continue;
            }
            break;
        }
        skipBlanks();
        if (m_pos < m_text.size() && m_text.at(m_pos) != u';')
            return false;
        ++m_pos;
        return true;
    }

    QStringView m_text;
    qsizetype m_pos = 0;
};

}  // namespace

OleDbText OleDbText::parse(QStringView text)
{
    OleDbText result;
    PairReader reader(text);
    QString keyword;
    QString value;
    for (reader.skipSeparators(); !reader.atEnd(); reader.skipSeparators()) {
        const qsizetype start = reader.position();
        if (!reader.readKeyword(keyword) || keyword.isEmpty()) {
            result.m_error = QStringLiteral("bağlantı metninin %1. karakterinde anahtar=değer çifti yok")
                                 .arg(start + 1);
            break;
        }
        const qsizetype valueStart = reader.position();
        if (!reader.readValue(value)) {
            result.m_error = QStringLiteral("bağlantı metninin %1. karakterindeki tırnaklı değer düzgün kapanmıyor")
                                 .arg(valueStart + 1);
            break;
        }
        result.m_values.insert(keyword.toLower(), Entry{start, value});
    }
    if (!result.m_error.isEmpty())
        result.m_values.clear();
    return result;
}

QString OleDbText::value(std::initializer_list<QStringView> synonyms) const
{
    Entry latest;
    for (QStringView keyword : synonyms) {
        const Entry entry = m_values.value(keyword.trimmed().toString().toLower());
        if (entry.order > latest.order)
            latest = entry;
    }
    return latest.value;
}

}  // namespace ado
