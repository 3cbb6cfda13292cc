#pragma once
// The receiving end of the import: hands the import library its sheets, its
// shared strings, the number formats of its styles and its date system, and
// keeps of all that only what columns A-C of the first sheet need.

#include "spreadsheet/orcus/ColumnCells.h"
#include "spreadsheet/orcus/NumberFormatStyles.h"
#include "spreadsheet/orcus/SharedStrings.h"
#include "spreadsheet/orcus/Sheets.h"

#include <orcus/spreadsheet/import_interface.hpp>

#include <QLocale>

#include <string>
#include <vector>

namespace spreadsheet::orcusimport {

namespace ss = orcus::spreadsheet;

// Cell addresses in A1 notation ("B7", "$C$12", "A1:C3"), as sheets of Office
// Open XML name their cells.
class A1References final : public ss::iface::import_reference_resolver {
public:
    // Throws orcus::invalid_arg_error for text that is no address.
    ss::src_address_t resolve_address(std::string_view address) override;
    // A range, or a single address as a range of one cell; throws like resolve_address.
    ss::src_range_t resolve_range(std::string_view range) override;
};

class ColumnsFactory final : public ss::iface::import_factory, private ss::iface::import_global_settings {
public:
    // How strings reach the cells that use them.
    enum class Strings { SharedTable, WithTheirCells };

    // `cellLimit`: the most cells the whole workbook may give (CellLimitReached past it).
    ColumnsFactory(Strings strings, std::uint64_t cellLimit);

    // Whether the import got as far as the cells of the first sheet: the
    // table itself in .ods, the sheet's own part in .xlsx.
    bool reachedFirstSheet() const { return reachedFirstSheet_; }
    // Columns A-C of the first sheet as texts in `locale`, rows from the first.
    SheetColumns columns(const QLocale &locale) const;

    ss::iface::import_global_settings *get_global_settings() override { return this; }
    ss::iface::import_shared_strings *get_shared_strings() override { return &strings_; }
    ss::iface::import_styles *get_styles() override { return &styles_; }
    ss::iface::import_reference_resolver *get_reference_resolver(ss::formula_ref_context_t) override
    {
        return &references_;
    }
    ss::iface::import_sheet *append_sheet(ss::sheet_t index, std::string_view name) override;
    ss::iface::import_sheet *get_sheet(std::string_view name) override;
    ss::iface::import_sheet *get_sheet(ss::sheet_t index) override;
    void finalize() override {}

private:
    void set_origin_date(int year, int month, int day) override;
    void set_default_formula_grammar(ss::formula_grammar_t grammar) override { grammar_ = grammar; }
    ss::formula_grammar_t get_default_formula_grammar() const override { return grammar_; }
    void set_character_set(orcus::character_set_t) override {}

    ss::iface::import_sheet *sheetAt(std::size_t position);

    CellBudget budget_;
    ColumnCells cells_;
    SharedStrings strings_;
    NumberFormatStyles styles_;
    A1References references_;
    FirstSheet first_;
    IgnoredSheet others_;
    std::vector<std::string> sheetNames_;  // in sheet order
    ss::formula_grammar_t grammar_ = ss::formula_grammar_t::unknown;
    bool date1904_ = false;
    bool sheetsWithTheirCells_;  // .ods: a sheet arrives with its cells
    bool reachedFirstSheet_ = false;
};

}  // namespace spreadsheet::orcusimport
