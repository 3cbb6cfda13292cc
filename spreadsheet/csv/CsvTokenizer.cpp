#include "spreadsheet/csv/CsvTokenizer.h"

#include <algorithm>
#include <utility>

namespace spreadsheet {

CsvTokenizer::CsvTokenizer(QChar delimiter, RecordSink sink)
    : delimiter_(delimiter), sink_(std::move(sink))
{
}

bool CsvTokenizer::feed(QStringView text)
{
    for (qsizetype i = 0; i < text.size() && !stopped_; ++i) {
        step(text[i]);
        takePending();
    }
    return !stopped_;
}

void CsvTokenizer::step(QChar c)
{
    if (inQuotedField())
        raw_.append(c);
    if (std::exchange(skipLf_, false) && c == u'\n')
        return;
    take(c);
}

void CsvTokenizer::takePending()
{
    readingAgain_ = true;
    while (!pending_.empty() && !stopped_) {
        auto &[text, at] = pending_.back();
        if (at == text.size()) {
            pending_.pop_back();
            continue;
        }
        // Text read again inside text read again goes on top and comes first.
        step(text[at++]);
    }
    readingAgain_ = false;
}

bool CsvTokenizer::inQuotedField() const
{
    return state_ == State::Quoted || state_ == State::QuoteInQuoted || state_ == State::SpacesAfterQuote;
}

// The quote before `c` was text, so the field goes on to the end of its line
// unless a quote closes it first. In text read again that cannot happen any
// more: from `c` on, the field runs in step with the field that was read
// again, which met no closing quote before the line's end, so it is read
// again at once. That keeps a line of many such fields linear, not
// quadratic, in its length.
void CsvTokenizer::reopen(QChar c)
{
    if (readingAgain_) {
        readAgainUnquoted();
        return;
    }
    reopened_ = true;
    state_ = State::Quoted;
    take(c);
}

// The field ran into its line's end (or the text's) after a quote in it was
// taken as text: it is read again from its opening quote as unquoted text,
// which ends it at its first delimiter or line end; what follows that is
// read again as the next fields and records.
void CsvTokenizer::readAgainUnquoted()
{
    const QString raw = std::exchange(raw_, {});
    qsizetype stop = 0;
    while (stop < raw.size() && raw[stop] != delimiter_ && !isLineEnd(raw[stop]))
        ++stop;
    field_.clear();
    record_.strayQuote = true;
    for (qsizetype i = 0; i < stop; ++i)
        append(raw[i]);
    reopened_ = false;
    state_ = State::Unquoted;
    if (stop < raw.size())
        pending_.emplace_back(raw.sliced(stop), 0);
}

void CsvTokenizer::take(QChar c)
{
    switch (state_) {
    case State::FieldStart:
        if (c == u'"') {
            state_ = State::Quoted;
            raw_ = QStringLiteral("\"");
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
        } else if (isLineEnd(c) && reopened_) {
            readAgainUnquoted();
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
            reopen(c);
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
            reopen(c);
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
    return record_.fieldCount < kMaxColumns;
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
        record_.cells.append(std::exchange(field_, {}));
    ++record_.fieldCount;
    spacesAfterQuote_ = 0;
    raw_.clear();
    reopened_ = false;
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
    const qsizetype width = record_.cells.size();
    stopped_ = !sink_(record_);
    // The sink may have taken the cells. Records tend to be as wide as the
    // one before, so the next gets that room at once and no more.
    record_.cells = RowCells();
    record_.cells.reserve(std::max<qsizetype>(width, kMinColumns));
    record_.fieldCount = 0;
    record_.strayQuote = false;
    ++record_.index;
}

void CsvTokenizer::finish()
{
    while (!stopped_ && state_ == State::Quoted && reopened_) {
        readAgainUnquoted();
        takePending();
    }
    if (stopped_)
        return;
    endedInQuotes_ = state_ == State::Quoted;
    if (state_ != State::FieldStart || record_.fieldCount > 0)
        endRecord();
}

}  // namespace spreadsheet
