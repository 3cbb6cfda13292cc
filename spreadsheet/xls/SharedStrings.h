#pragma once
// The shared string table (SST) that LABELSST cells point into.

#include "spreadsheet/xls/BiffRecords.h"

#include <QStringView>

#include <vector>

namespace spreadsheet::xls {

// The strings of the table, kept end to end in one text rather than one
// allocation each: a large table is read once and only looked up after.
class SharedStrings {
public:
    // Reads the strings of an SST record followed by its CONTINUE records
    // from `cursor`; `bytesLeft` bounds what the table can hold. Each string
    // is cut to kMaxCellText. A table cut short keeps the strings before the
    // cut (a string cut inside is dropped).
    void read(biff::FragmentCursor &cursor, std::size_t bytesLeft);

    // How many strings the table holds.
    std::size_t size() const { return ends_.size(); }
    // How many strings the table says it holds: more than size() when it is
    // cut short, 0 when even that is cut off or there is no table.
    std::uint32_t declared() const { return declared_; }
    // String `index` (< size()), valid while the table lives unchanged.
    QStringView at(std::size_t index) const
    {
        const qsizetype begin = index == 0 ? 0 : ends_[index - 1];
        return QStringView(text_).mid(begin, ends_[index] - begin);
    }

private:
    QString text_;
    std::vector<qsizetype> ends_;  // where each string ends in text_
    std::uint32_t declared_ = 0;
};

}  // namespace spreadsheet::xls
