#pragma once
// The strings that cells refer to by number. A workbook's shared string table
// (read before its sheets) is kept whole, since any cell of the first sheet
// may use any entry; a string that arrives with its cell (OpenDocument) is
// kept only until the next one, so that the texts of other sheets and columns
// are dropped as they come.

#include <orcus/spreadsheet/import_interface.hpp>

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace spreadsheet::orcusimport {

namespace ss = orcus::spreadsheet;

class SharedStrings final : public ss::iface::import_shared_strings {
public:
    // From now on every new string belongs to the cell that follows it.
    void startCells() { cellsStarted_ = true; }
    // Whether `id` is an entry of the table kept whole.
    bool inTable(std::size_t id) const { return id < ends_.size(); }
    // The UTF-8 text of `id`: an entry of the table, or the latest string of a
    // cell; nullopt for any other id.
    std::optional<std::string_view> text(std::size_t id) const;

    std::size_t append(std::string_view s) override { return store(s); }
    std::size_t add(std::string_view s) override { return store(s); }
    void append_segment(std::string_view s) override { segments_ += s; }
    std::size_t commit_segments() override;
    // Fonts of rich-text runs are dropped.
    void set_segment_font(std::size_t) override {}
    void set_segment_bold(bool) override {}
    void set_segment_italic(bool) override {}
    void set_segment_font_name(std::string_view) override {}
    void set_segment_font_size(double) override {}
    void set_segment_font_color(ss::color_elem_t, ss::color_elem_t, ss::color_elem_t, ss::color_elem_t) override {}

private:
    std::size_t store(std::string_view s);

    std::string table_;              // the table's entries, end to end
    std::vector<std::size_t> ends_;  // where each entry ends in table_
    std::string latest_;             // the latest string of a cell
    std::size_t latestId_ = 0;
    std::size_t nextId_ = 0;
    std::string segments_;
    bool cellsStarted_ = false;
};

}  // namespace spreadsheet::orcusimport
