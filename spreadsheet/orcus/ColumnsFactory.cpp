#include "spreadsheet/orcus/ColumnsFactory.h"

#include "spreadsheet/CellText.h"

#include <orcus/exception.hpp>

namespace spreadsheet::orcusimport {
namespace {

constexpr std::size_t kMaxColumnLetters = 3;  // XFD, the last column
constexpr std::size_t kMaxRowDigits = 7;      // 1048576

[[noreturn]] void notAnAddress(std::string_view text)
{
    throw orcus::invalid_arg_error("not a cell address: " + std::string(text.substr(0, 40)));
}

}  // namespace

ss::src_address_t A1References::resolve_address(std::string_view text)
{
    std::size_t at = 0;
    const auto skipDollar = [&] {
        if (at < text.size() && text[at] == '$')
            ++at;
    };
    skipDollar();
    int column = 0;
    const std::size_t lettersFrom = at;
    for (; at < text.size() && at - lettersFrom < kMaxColumnLetters + 1; ++at) {
        const char c = char(text[at] & ~0x20);  // upper case
        if (c < 'A' || c > 'Z')
            break;
        column = column * 26 + (c - 'A' + 1);
    }
    const std::size_t letters = at - lettersFrom;
    skipDollar();
    int row = 0;
    const std::size_t digitsFrom = at;
    for (; at < text.size() && text[at] >= '0' && text[at] <= '9' && at - digitsFrom < kMaxRowDigits; ++at)
        row = row * 10 + (text[at] - '0');
    if (letters == 0 || letters > kMaxColumnLetters || at == digitsFrom || row == 0 || at != text.size())
        notAnAddress(text);
    return {0, row - 1, column - 1};
}

ss::src_range_t A1References::resolve_range(std::string_view text)
{
    const std::size_t colon = text.find(':');
    const ss::src_address_t first = resolve_address(text.substr(0, colon));
    if (colon == std::string_view::npos)
        return {first, first};
    return {first, resolve_address(text.substr(colon + 1))};
}

ColumnsFactory::ColumnsFactory(Strings strings, std::uint64_t cellLimit)
    : budget_(cellLimit), first_(cells_, strings_, budget_), others_(budget_),
      sheetsWithTheirCells_(strings == Strings::WithTheirCells)
{
    if (sheetsWithTheirCells_)
        strings_.startCells();
}

ss::iface::import_sheet *ColumnsFactory::append_sheet(ss::sheet_t, std::string_view name)
{
    // Sheets arrive in sheet order; whatever index the file claims, the first is first.
    sheetNames_.emplace_back(name);
    if (sheetsWithTheirCells_ && sheetNames_.size() == 1)
        reachedFirstSheet_ = true;
    return sheetAt(sheetNames_.size() - 1);
}

ss::iface::import_sheet *ColumnsFactory::get_sheet(std::string_view name)
{
    for (std::size_t position = 0; position < sheetNames_.size(); ++position) {
        if (sheetNames_[position] == name) {
            // An .xlsx sheet's part asks for its sheet by name before its cells.
            reachedFirstSheet_ = reachedFirstSheet_ || position == 0;
            return sheetAt(position);
        }
    }
    return nullptr;
}

ss::iface::import_sheet *ColumnsFactory::get_sheet(ss::sheet_t index)
{
    return index >= 0 && std::size_t(index) < sheetNames_.size() ? sheetAt(std::size_t(index)) : nullptr;
}

ss::iface::import_sheet *ColumnsFactory::sheetAt(std::size_t position)
{
    return position == 0 ? static_cast<ss::iface::import_sheet *>(&first_) : &others_;
}

void ColumnsFactory::set_origin_date(int year, int month, int day)
{
    date1904_ = year == 1904 && month == 1 && day == 1;
}

SheetColumns ColumnsFactory::columns(const QLocale &locale) const
{
    SheetColumns sheet;
    cells_.render(CellText(locale, date1904_), styles_, strings_, sheet);
    return sheet;
}

}  // namespace spreadsheet::orcusimport
