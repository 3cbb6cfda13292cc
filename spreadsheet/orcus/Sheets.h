#pragma once
// The sheet objects the import fills: the first sheet keeps its columns A-C,
// every other sheet drops what it is given. All of them count the cells they
// are given, since a few bytes of a file can repeat one cell billions of times.

#include "spreadsheet/orcus/ColumnCells.h"

#include <orcus/spreadsheet/import_interface.hpp>

#include <cstdint>
#include <optional>
#include <string>
#include <variant>

namespace spreadsheet::orcusimport {

namespace ss = orcus::spreadsheet;

class SharedStrings;

// Thrown from inside the import when the workbook gives more cells than any
// real one has; the import ends and the file is refused as damaged.
struct CellLimitReached {};

// How many cells the whole workbook may give, on all sheets together.
class CellBudget {
public:
    explicit CellBudget(std::uint64_t limit) : left_(limit) {}
    // Takes `cells` from the budget; throws CellLimitReached when it runs out.
    void spend(std::uint64_t cells);

private:
    std::uint64_t left_;
};

// Cached formula results of the first sheet, which the import hands over
// after all sheets have been read.
class FormulaResults final : public ss::iface::import_formula {
public:
    explicit FormulaResults(ColumnCells &cells) : cells_(cells) {}

    void set_position(ss::row_t row, ss::col_t col) override;
    void set_formula(ss::formula_grammar_t, std::string_view) override {}
    void set_shared_formula_index(std::size_t) override {}
    void set_result_string(std::string_view value) override { result_ = std::string(value); }
    void set_result_value(double value) override { result_ = value; }
    void set_result_bool(bool value) override { result_ = value; }
    void set_result_empty() override { result_ = std::monostate{}; }
    // Puts the result in its cell; a formula without one leaves the cell empty and counted.
    void commit() override;

private:
    ColumnCells &cells_;
    ss::row_t row_ = 0;
    ss::col_t column_ = 0;
    std::optional<std::variant<std::monostate, double, bool, std::string>> result_;
};

// The first sheet by sheet order, hidden or not.
class FirstSheet final : public ss::iface::import_sheet {
public:
    FirstSheet(ColumnCells &cells, const SharedStrings &strings, CellBudget &budget)
        : cells_(cells), strings_(strings), budget_(budget), formulas_(cells)
    {
    }

    ss::iface::import_formula *get_formula() override { return &formulas_; }
    void set_auto(ss::row_t row, ss::col_t col, std::string_view s) override;
    void set_string(ss::row_t row, ss::col_t col, ss::string_id_t id) override;
    void set_value(ss::row_t row, ss::col_t col, double value) override;
    void set_bool(ss::row_t row, ss::col_t col, bool value) override;
    void set_date_time(ss::row_t row, ss::col_t col, int year, int month, int day, int hour, int minute,
                       double second) override;
    void set_format(ss::row_t row, ss::col_t col, std::size_t xf) override;
    // Formats of whole ranges are whole rows or columns without values: dropped.
    void set_format(ss::row_t, ss::col_t, ss::row_t, ss::col_t, std::size_t) override {}
    void fill_down_cells(ss::row_t row, ss::col_t col, ss::row_t count) override;
    ss::range_size_t get_sheet_size() const override;

private:
    ColumnCells &cells_;
    const SharedStrings &strings_;
    CellBudget &budget_;
    FormulaResults formulas_;
};

// Any sheet after the first: counts what it is given and keeps nothing.
class IgnoredSheet final : public ss::iface::import_sheet, private ss::iface::import_formula {
public:
    explicit IgnoredSheet(CellBudget &budget) : budget_(budget) {}

    ss::iface::import_formula *get_formula() override { return this; }
    void set_auto(ss::row_t, ss::col_t, std::string_view) override { budget_.spend(1); }
    void set_string(ss::row_t, ss::col_t, ss::string_id_t) override { budget_.spend(1); }
    void set_value(ss::row_t, ss::col_t, double) override { budget_.spend(1); }
    void set_bool(ss::row_t, ss::col_t, bool) override { budget_.spend(1); }
    void set_date_time(ss::row_t, ss::col_t, int, int, int, int, int, double) override { budget_.spend(1); }
    void set_format(ss::row_t, ss::col_t, std::size_t) override {}
    void set_format(ss::row_t, ss::col_t, ss::row_t, ss::col_t, std::size_t) override {}
    void fill_down_cells(ss::row_t, ss::col_t, ss::row_t count) override;
    ss::range_size_t get_sheet_size() const override;

private:
    void set_position(ss::row_t, ss::col_t) override {}
    void set_formula(ss::formula_grammar_t, std::string_view) override {}
    void set_shared_formula_index(std::size_t) override {}
    void set_result_string(std::string_view) override {}
    void set_result_value(double) override {}
    void set_result_bool(bool) override {}
    void set_result_empty() override {}
    void commit() override { budget_.spend(1); }

    CellBudget &budget_;
};

}  // namespace spreadsheet::orcusimport
