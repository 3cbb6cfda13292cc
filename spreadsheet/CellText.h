#pragma once
// How a cell value becomes the text a person reading the sheet sees.

#include "spreadsheet/NumberFormats.h"

#include <QLocale>
#include <QString>

#include <cstdint>

namespace spreadsheet {

// Renders cell values as text with one locale's decimal separator, minus
// sign and short date/time forms, never with grouping or an exponent, so
// that QLocale::toDouble() with the same locale reads numbers back exactly.
class CellText {
public:
    // A renderer for `locale`; `date1904` picks the workbook's date system.
    CellText(const QLocale &locale, bool date1904);

    // `value` shown as `kind`: whole numbers in full, others rounded to 15
    // significant digits; a date or time out of the calendar's range, and a
    // NaN or infinity, fall back to the plain form ("#NUM!" for the last two).
    QString number(double value, NumberKind kind) const;
    // The same text written into `out`, whose buffer is reused when it has
    // room and is not shared.
    void number(double value, NumberKind kind, QString &out) const;
    // `value` shown by `format`: a whole or rounded number of at least its
    // padded digits between its literal texts for a zero-padded integer
    // format and a value >= 0, otherwise as the format's kind.
    QString number(double value, const NumberFormat &format) const;
    // The same text written into `out`, whose buffer is reused as above.
    void number(double value, const NumberFormat &format, QString &out) const;
    // "TRUE" or "FALSE".
    static QString boolean(bool value);
    // The error text for a stored error code, such as "#DIV/0!"; "#N/A" for an unknown code.
    static QString error(std::uint8_t code);

private:
    void plain(double value, QString &out) const;
    QString calendar(double serial, NumberKind kind) const;

    QLocale locale_;
    QString decimalPoint_;
    QString minusSign_;
    bool date1904_;
};

}  // namespace spreadsheet
