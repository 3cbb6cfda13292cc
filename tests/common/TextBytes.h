#pragma once
// File bytes made by hand, so that a test does not lean on the converter it
// checks.

#include <QByteArray>
#include <QChar>
#include <QString>

// `text` as UTF-16 behind its byte-order mark, little- or big-endian.
inline QByteArray utf16WithByteOrderMark(const QString &text, bool bigEndian = false)
{
    QByteArray bytes;
    for (const QChar c : QChar(QChar::ByteOrderMark) + text) {
        const char high = char(c.unicode() >> 8);
        const char low = char(c.unicode() & 0xFF);
        bytes.append(bigEndian ? high : low).append(bigEndian ? low : high);
    }
    return bytes;
}
