#pragma once
// Splits delimited text into records and fields, fed in pieces of any size.
// Only the first kMaxColumns fields of a record are kept; the others are counted.
//
// Quoting follows what spreadsheet programs accept from careless writers:
// - a quote opens a quoted field only as the field's first character; a
//   quote anywhere else in an unquoted field is text;
// - inside a quoted field a doubled quote is one quote, and a quote ends the
//   field only when a delimiter, a line end or the end of the text follows,
//   spaces allowed in between (and dropped);
// - any other quote is text and the field goes on, but then only to the end
//   of its line: `"24" wide";x` reads as `24" wide` and `x`, while a field
//   whose line ends first did not use quoting at all and is read again from
//   its opening quote as unquoted text, quotes included: `"Ev" Su;5` reads
//   as `"Ev" Su` and `5`, and `"a;b" c` as `"a` and `b" c`;
// - a quoted field that never closes takes the rest of the text.
// Line ends are CRLF, LF or a lone CR; one inside a quoted field becomes LF.
#include "spreadsheet/text/RowCollector.h"

#include <QStringView>

#include <cstddef>
#include <functional>
#include <utility>
#include <vector>

namespace spreadsheet {

struct CsvRecord {
    std::size_t index = 0;  // 0-based position of the record in the text
    RowCells cells;         // the fields up to kMaxColumns, as many as the record has
    qsizetype fieldCount = 0;
    bool strayQuote = false;  // a quote was taken as text rather than as quoting
};

class CsvTokenizer {
public:
    // Called with each finished record; returning false stops the tokenizer.
    using RecordSink = std::function<bool(CsvRecord &)>;

    CsvTokenizer(QChar delimiter, RecordSink sink);

    // Takes the next piece of text; false once the sink has stopped it, after
    // which further text is ignored.
    bool feed(QStringView text);
    // Ends the text: the record still open, if any, goes to the sink.
    void finish();

    // After finish(): whether the text ended inside a quoted field, and the
    // index of the record where that field began.
    bool endedInQuotes() const { return endedInQuotes_; }
    std::size_t openQuoteRecord() const { return quoteRecord_; }

private:
    enum class State { FieldStart, Unquoted, Quoted, QuoteInQuoted, SpacesAfterQuote };

    void step(QChar c);  // skips the LF of a CRLF, then takes c
    void take(QChar c);
    void takePending();
    bool inQuotedField() const;
    void reopen(QChar c);
    void readAgainUnquoted();
    bool keeping() const;  // the current field is one of the first kMaxColumns
    void append(QChar c);
    void appendText(QChar c);  // outside quoting: a quote here is stray
    void appendQuoteAndSpaces();
    void endField();
    void endRecord();
    void endLine(QChar lineEnd);
    static bool isLineEnd(QChar c) { return c == u'\r' || c == u'\n'; }

    const QChar delimiter_;
    RecordSink sink_;
    State state_ = State::FieldStart;
    CsvRecord record_;
    QString field_;
    qsizetype spacesAfterQuote_ = 0;
    // The quoted field as written, from its opening quote on, kept until the
    // field closes in case it has to be read again without quoting.
    QString raw_;
    bool reopened_ = false;  // a quote in the current quoted field was text
    // Texts to read again, taken before the next character, the innermost
    // last, each with the position reached in it.
    std::vector<std::pair<QString, qsizetype>> pending_;
    bool readingAgain_ = false;  // pending_ is being taken
    std::size_t quoteRecord_ = 0;  // record where the last quoted field opened
    bool skipLf_ = false;  // a CR just ended a line or went into a field: its LF belongs to it
    bool stopped_ = false;
    bool endedInQuotes_ = false;
};

}  // namespace spreadsheet
