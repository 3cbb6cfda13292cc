#include "spreadsheet/orcus/Sheets.h"

#include "spreadsheet/orcus/SharedStrings.h"

#include <QDate>

namespace spreadsheet::orcusimport {
namespace {

// The largest sheet of the spreadsheet programs: columns past it only come
// from a file that repeats cells without end.
constexpr ss::col_t kMaxColumns = 16384;

// The serial day number of a calendar date and time, as the 1900 date system
// counts it (with its 29 February 1900); nullopt for a date that does not exist.
std::optional<double> serialDay(int year, int month, int day, int hour, int minute, double second)
{
    const QDate date(year, month, day);
    if (!date.isValid())
        return std::nullopt;
    qint64 days = QDate(1899, 12, 30).daysTo(date);
    if (days <= 60)
        --days;  // before 1 March 1900 the system's count is one day behind
    return double(days) + (hour * 3600.0 + minute * 60.0 + second) / 86400.0;
}

}  // namespace

void CellBudget::spend(std::uint64_t cells)
{
    if (cells > left_)
        throw CellLimitReached{};
    left_ -= cells;
}

void FormulaResults::set_position(ss::row_t row, ss::col_t col)
{
    row_ = row;
    column_ = col;
    result_.reset();
}

void FormulaResults::commit()
{
    if (!result_) {
        cells_.setUnreadable(row_, column_);
    } else if (const double *number = std::get_if<double>(&*result_)) {
        cells_.setNumber(row_, column_, *number);
    } else if (const bool *truth = std::get_if<bool>(&*result_)) {
        cells_.setBoolean(row_, column_, *truth);
    } else if (const std::string *text = std::get_if<std::string>(&*result_)) {
        cells_.setText(row_, column_, *text);
    }
    result_.reset();
}

void FirstSheet::set_auto(ss::row_t row, ss::col_t col, std::string_view s)
{
    budget_.spend(1);
    cells_.setText(row, col, s);
}

void FirstSheet::set_string(ss::row_t row, ss::col_t col, ss::string_id_t id)
{
    budget_.spend(1);
    // A string that came with its cell is copied now: the next one replaces it.
    const auto text = strings_.inTable(id) ? std::nullopt : strings_.text(id);
    if (text)
        cells_.setText(row, col, *text);
    else
        cells_.setSharedString(row, col, id);
}

void FirstSheet::set_value(ss::row_t row, ss::col_t col, double value)
{
    budget_.spend(1);
    cells_.setNumber(row, col, value);
}

void FirstSheet::set_bool(ss::row_t row, ss::col_t col, bool value)
{
    budget_.spend(1);
    cells_.setBoolean(row, col, value);
}

void FirstSheet::set_date_time(ss::row_t row, ss::col_t col, int year, int month, int day, int hour, int minute,
                               double second)
{
    budget_.spend(1);
    if (const auto serial = serialDay(year, month, day, hour, minute, second))
        cells_.setCalendar(row, col, *serial);
    else
        cells_.setUnreadable(row, col);
}

void FirstSheet::set_format(ss::row_t row, ss::col_t col, std::size_t xf)
{
    cells_.setFormat(row, col, xf);
}

void FirstSheet::fill_down_cells(ss::row_t row, ss::col_t col, ss::row_t count)
{
    cells_.fillDown(row, col, count);  // first, so that a fill past the last row reads as such
    budget_.spend(count > 0 ? std::uint64_t(count) : 0);
}

ss::range_size_t FirstSheet::get_sheet_size() const
{
    return {kMaxRows, kMaxColumns};
}

void IgnoredSheet::fill_down_cells(ss::row_t, ss::col_t, ss::row_t count)
{
    budget_.spend(count > 0 ? std::uint64_t(count) : 0);
}

ss::range_size_t IgnoredSheet::get_sheet_size() const
{
    return {kMaxRows, kMaxColumns};
}

}  // namespace spreadsheet::orcusimport
