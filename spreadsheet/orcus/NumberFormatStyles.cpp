#include "spreadsheet/orcus/NumberFormatStyles.h"

#include <limits>

namespace spreadsheet::orcusimport {
namespace {

// Number format ids are 16-bit in the rules shared with .xls; a larger id
// cannot be told from another, so it counts as General (0).
std::uint16_t formatIndex(std::size_t id)
{
    return id <= std::numeric_limits<std::uint16_t>::max() ? std::uint16_t(id) : 0;
}

}  // namespace

NumberKind NumberFormatStyles::kindOf(std::size_t xf) const
{
    return xf <= std::numeric_limits<std::uint16_t>::max() ? formats_.kindOf(std::uint16_t(xf))
                                                           : NumberKind::Plain;
}

void NumberFormatStyles::set_number_format_code(std::string_view code)
{
    formatCode_ = QString::fromUtf8(code.data(), qsizetype(code.size()));
}

std::size_t NumberFormatStyles::commit_number_format()
{
    // A format without an id of its own (OpenDocument) is known by the
    // index this call returns.
    const std::size_t id = formatId_.value_or(numberFormats_);
    ++numberFormats_;
    if (formatIndex(id) == id)
        formats_.addFormat(std::uint16_t(id), formatCode_);
    formatId_.reset();
    formatCode_.clear();
    return id;
}

std::size_t NumberFormatStyles::commit_cell_xf()
{
    formats_.addCellFormat(formatIndex(xfFormat_));
    xfFormat_ = 0;
    return cellXfs_++;
}

std::size_t NumberFormatStyles::dropXf()
{
    xfFormat_ = 0;
    return otherXfs_++;
}

}  // namespace spreadsheet::orcusimport
