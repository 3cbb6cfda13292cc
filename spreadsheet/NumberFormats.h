#pragma once
// Which cells hold calendar values: the FORMAT and XF records of a workbook.

#include <QString>
#include <QStringView>

#include <cstdint>
#include <map>
#include <vector>

namespace spreadsheet {

// How a number is shown. Percent, currency, scientific and elapsed-time
// formats are all Plain: the grid wants the value, not its decoration.
enum class NumberKind { Plain, Date, Time, DateTime };

// The kind of a number format code such as "dd.mm.yyyy" or "0.00%"; text in
// quotes, escaped characters and [colour] sections are not looked at.
NumberKind classifyFormatCode(QStringView code);

// Collects the workbook's number formats and cell formats (XF records) and
// tells for each cell format how its numbers are shown.
class NumberFormats {
public:
    // Records the format code a FORMAT record gives to index `index`.
    void addFormat(std::uint16_t index, const QString &code);
    // Records the next XF record, which uses number format `formatIndex`.
    void addCellFormat(std::uint16_t formatIndex);
    // The kind of cell format `xf`; Plain for an index the workbook does not define.
    NumberKind kindOf(std::uint16_t xf) const;

private:
    NumberKind kindOfFormat(std::uint16_t index) const;

    std::map<std::uint16_t, QString> codes_;
    std::vector<std::uint16_t> cellFormats_;
    mutable std::vector<NumberKind> kinds_;  // resolved lazily, once all FORMATs are known
};

}  // namespace spreadsheet
