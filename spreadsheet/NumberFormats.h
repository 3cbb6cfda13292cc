#pragma once
// How cells show their numbers: calendar values and zero-padded integers,
// from the FORMAT and XF records of a workbook or the styles of a package.

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

// How one number format shows numbers. A zero-padded integer format
// ("0000000000000", "\"TR\"00000") shows at least `paddedDigits` digits
// between literal texts, as leading zeros of barcodes are kept.
struct NumberFormat {
    NumberKind kind = NumberKind::Plain;
    int paddedDigits = 0;  // 0: not a zero-padded integer format
    QString before, after;
};

// The format of `code`: its kind, and its padding when the first section is
// two or more `0` placeholders and nothing else but quoted or escaped text
// and [colour] or [$locale] brackets; a format with decimals, grouping, `#`,
// a percent, an exponent or a condition is no padding.
NumberFormat parseFormatCode(QStringView code);

// Collects the workbook's number formats and cell formats (XF records) and
// tells for each cell format how its numbers are shown.
class NumberFormats {
public:
    // Records the format code a FORMAT record gives to index `index`.
    void addFormat(std::uint16_t index, const QString &code);
    // Records the next XF record, which uses number format `formatIndex`.
    void addCellFormat(std::uint16_t formatIndex);
    // The format of cell format `xf`; a plain one for an index the workbook does not define.
    const NumberFormat &formatOf(std::uint16_t xf) const;
    // The kind of cell format `xf`; Plain for an index the workbook does not define.
    NumberKind kindOf(std::uint16_t xf) const { return formatOf(xf).kind; }

private:
    NumberFormat formatOfIndex(std::uint16_t index) const;

    std::map<std::uint16_t, QString> codes_;
    std::vector<std::uint16_t> cellFormats_;
    mutable std::vector<NumberFormat> formats_;  // resolved lazily, once all FORMATs are known
};

}  // namespace spreadsheet
