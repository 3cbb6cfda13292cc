#include "spreadsheet/orcus/SharedStrings.h"

namespace spreadsheet::orcusimport {

std::optional<std::string_view> SharedStrings::text(std::size_t id) const
{
    if (inTable(id)) {
        const std::size_t begin = id == 0 ? 0 : ends_[id - 1];
        return std::string_view(table_).substr(begin, ends_[id] - begin);
    }
    if (cellsStarted_ && nextId_ > 0 && id == latestId_)
        return std::string_view(latest_);
    return std::nullopt;
}

std::size_t SharedStrings::commit_segments()
{
    const std::size_t id = store(segments_);
    segments_.clear();
    return id;
}

std::size_t SharedStrings::store(std::string_view s)
{
    if (cellsStarted_) {
        latest_.assign(s);
        latestId_ = nextId_;
    } else {
        table_ += s;
        ends_.push_back(table_.size());
    }
    return nextId_++;
}

}  // namespace spreadsheet::orcusimport
