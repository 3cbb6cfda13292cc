#include "spreadsheet/csv/CsvTokenizer.h"

#include <utility>

namespace spreadsheet {

CsvTokenizer::CsvTokenizer(QChar delimiter, RecordSink sink)
    : delimiter_(delimiter), sink_(std::move(sink))
{
}

bool CsvTokenizer::feed(QStringView text)
{
    for (qsizetype i = 0; i < text.size() && !stopped_; ++i) {
        const QChar c = text[i];
        if (std::exchange(skipLf_, false) && c == u'\n')
            continue;
        take(c);
    }
    return !stopped_;
}

void CsvTokenizer::take(QChar c)
{
    switch (state_) {
    case State::FieldStart:
        if (c == u'"') {
            state_ = State::Quoted;
            quoteRecord_ = record_.index;
            return;
        }
        state_ = State::Unquoted;
        [[fallthrough]];
    case State::Unquoted:
        if (c == delimiter_)
            endField();
        else if (isLineEnd(c))
            endLine(c);
        else
            appendText(c);
        return;
    case State::Quoted:
        if (c == u'"') {
            state_ = State::QuoteInQuoted;
        } else if (isLineEnd(c)) {
            append(u'\n');
            skipLf_ = c == u'\r';
        } else {
            append(c);
        }
        return;
    case State::QuoteInQuoted:
        if (c == u'"') {
            append(u'"');
            state_ = State::Quoted;
        } else if (c == u' ') {
            spacesAfterQuote_ = 1;
            state_ = State::SpacesAfterQuote;
        } else if (c == delimiter_) {
            endField();
        } else if (isLineEnd(c)) {
            endLine(c);
        } else {
            appendText(u'"');
            state_ = State::Quoted;
            take(c);
        }
        return;
    case State::SpacesAfterQuote:
        if (c == u' ') {
            ++spacesAfterQuote_;
        } else if (c == delimiter_) {
            endField();
        } else if (isLineEnd(c)) {
            endLine(c);
        } else {
            // The quote before the spaces was text after all; this character
            // is taken as in any quoted field (another quote may close it).
            appendQuoteAndSpaces();
            state_ = State::Quoted;
            take(c);
        }
        return;
    }
}

void CsvTokenizer::appendText(QChar c)
{
    record_.strayQuote = record_.strayQuote || c == u'"';
    append(c);
}

bool CsvTokenizer::keeping() const
{
    return record_.fieldCount < qsizetype(record_.cells.size());
}

void CsvTokenizer::append(QChar c)
{
    if (keeping())
        field_.append(c);
}

void CsvTokenizer::appendQuoteAndSpaces()
{
    record_.strayQuote = true;
    if (keeping())
        field_.append(u'"').append(QString(spacesAfterQuote_, u' '));
    spacesAfterQuote_ = 0;
}

void CsvTokenizer::endField()
{
    if (keeping())
        record_.cells[std::size_t(record_.fieldCount)] = std::exchange(field_, {});
    ++record_.fieldCount;
    spacesAfterQuote_ = 0;
    state_ = State::FieldStart;
}

void CsvTokenizer::endLine(QChar lineEnd)
{
    endRecord();
    skipLf_ = lineEnd == u'\r';
}

void CsvTokenizer::endRecord()
{
    endField();
    stopped_ = !sink_(record_);
    record_.cells = {};
    record_.fieldCount = 0;
    record_.strayQuote = false;
    ++record_.index;
}

void CsvTokenizer::finish()
{
    if (stopped_)
        return;
    endedInQuotes_ = state_ == State::Quoted;
    if (state_ != State::FieldStart || record_.fieldCount > 0)
        endRecord();
}

}  // namespace spreadsheet
