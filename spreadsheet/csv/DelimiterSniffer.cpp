#include "spreadsheet/csv/DelimiterSniffer.h"

#include "spreadsheet/csv/CsvTokenizer.h"

#include <map>
#include <tuple>

namespace spreadsheet {

namespace {

// Records looked at; a header and a screenful of rows show the pattern.
constexpr int kSampleRecords = 20;

struct Score {
    // Records the delimiter cuts into two fields or more, counting only those
    // where every quote is quoting: a delimiter that cuts through quoted
    // fields leaves quotes in the middle of its fields.
    int splitRecords = 0;
    int sameFieldCount = 0;  // of those, how many share the most common field count

    bool operator>(const Score &other) const
    {
        return std::tie(splitRecords, sameFieldCount) > std::tie(other.splitRecords, other.sameFieldCount);
    }
};

Score score(QStringView sample, bool complete, QChar delimiter)
{
    int records = 0;
    std::map<qsizetype, int> fieldCounts;
    CsvTokenizer tokenizer(delimiter, [&](CsvRecord &record) {
        const bool blank = record.fieldCount == 1 && record.cells.at(0).isEmpty();
        if (!blank) {
            ++records;
            if (record.fieldCount > 1 && !record.strayQuote)
                ++fieldCounts[record.fieldCount];
        }
        return records < kSampleRecords;
    });
    if (tokenizer.feed(sample) && complete)
        tokenizer.finish();
    Score result;
    for (const auto &entry : fieldCounts) {
        result.splitRecords += entry.second;
        result.sameFieldCount = qMax(result.sameFieldCount, entry.second);
    }
    return result;
}

}  // namespace

QChar sniffDelimiter(QStringView sample, bool complete)
{
    QChar best = u';';
    Score bestScore;
    for (const QChar candidate : {QChar(u';'), QChar(u'\t'), QChar(u',')}) {
        const Score candidateScore = score(sample, complete, candidate);
        if (candidateScore > bestScore) {
            best = candidate;
            bestScore = candidateScore;
        }
    }
    return best;
}

}  // namespace spreadsheet
