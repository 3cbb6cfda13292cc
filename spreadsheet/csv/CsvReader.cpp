#include "spreadsheet/csv/CsvReader.h"

#include "spreadsheet/csv/CsvTokenizer.h"
#include "spreadsheet/csv/DelimiterSniffer.h"
#include "spreadsheet/text/TextEncoding.h"

#include <QStringList>

#include <algorithm>

namespace spreadsheet {

namespace {

// The file is decoded in slices of this many bytes, so that the text held at
// once is one slice and the cells kept, whatever the size of the file.
constexpr qsizetype kSlice = 64 * 1024;

QString decodeSlice(TextDecoder &decoder, QByteArrayView bytes, qsizetype at)
{
    return decoder.decode(bytes.sliced(at, qMin(kSlice, bytes.size() - at)));
}

bool isControl(QChar c)
{
    const char16_t u = c.unicode();
    return (u < 0x20 && u != u'\t' && u != u'\r' && u != u'\n') || (u >= 0x7F && u <= 0x9F);
}

QString strayBytesMessage(const DetectedEncoding &encoding)
{
    QStringList lines;
    for (const qsizetype line : encoding.strayLines)
        lines.append(QString::number(line));
    const bool more = encoding.strayLines.size() == kStrayLinesNamed;
    return QStringLiteral("%1 byte(s) of this UTF-8 file are no UTF-8 and read as \uFFFD, on line(s) %2%3")
        .arg(encoding.strayBytes)
        .arg(lines.join(QStringLiteral(", ")), more ? QStringLiteral(" and maybe later ones") : QString());
}

}  // namespace

SheetColumns readDelimitedText(const QByteArray &bytes)
{
    const DetectedEncoding encoding = detectEncoding(bytes);
    const QByteArrayView text = QByteArrayView(bytes).sliced(encoding.bomLength);

    TextDecoder sampleDecoder(encoding.encoding);
    const QChar delimiter = sniffDelimiter(decodeSlice(sampleDecoder, text, 0), text.size() <= kSlice);

    RowCollector rows;
    bool pastLastRow = false;
    CsvTokenizer tokenizer(delimiter, [&](CsvRecord &record) {
        pastLastRow = !rows.add(record.index, std::move(record.cells));
        return !pastLastRow;
    });
    TextDecoder decoder(encoding.encoding);
    for (qsizetype at = 0; at < text.size(); at += kSlice) {
        if (!tokenizer.feed(decodeSlice(decoder, text, at)))
            break;
    }
    tokenizer.finish();
    if (pastLastRow)
        return SheetColumns::tooManyRows();

    SheetColumns sheet;
    sheet.rows = rows.take();
    QStringList damage;
    if (encoding.strayBytes > 0)
        damage.append(strayBytesMessage(encoding));
    if (tokenizer.endedInQuotes())
        damage.append(QStringLiteral("a quoted field that starts in row %1 never closes: "
                                     "the rest of the file is read as its text")
                          .arg(tokenizer.openQuoteRecord() + 1));
    sheet.damaged = !damage.isEmpty();
    sheet.damage = damage.join(QStringLiteral("; "));
    return sheet;
}

bool looksLikeText(QByteArrayView head)
{
    const DetectedEncoding encoding = detectEncoding(head);
    TextDecoder decoder(encoding.encoding);
    const QString text = decoder.decode(head.sliced(encoding.bomLength));
    // Stray bytes in UTF-8 text were judged few enough to read past.
    const bool decoded = !decoder.hasError() || encoding.strayBytes > 0;
    return decoded && std::none_of(text.begin(), text.end(), isControl);
}

}  // namespace spreadsheet
