#pragma once
// How the save sees one grid row and the texts it will store: the one place
// these rules live, for the save and for the preview before it.

#include <QList>
#include <QLocale>
#include <QString>

#include <optional>

#include "import/ItemUpdate.h"
#include "platform/ado/TextFidelity.h"

namespace import {

// One data row of the product grid, as its cells' texts.
struct ProductRow {
    QString barcode;
    QString name;
    QString price;
    // The row's own choices, from its list's columns of them; a blank cell
    // takes the window's choice.
    QString group{};
    QString unit{};
    QString printer{};
    QString colour{};
    QString subMenuTag{};
};

// The operator's choices that every row of one save shares.
struct SaveChoices {
    QString group;                   // the group box's text, as typed or picked
    int unitPosition = 0;            // unit list position: 0 ("Adet") gives Multiplier "1", any other (-1 included) "1000"
    bool showOnSalesScreen = false;  // writes a screen-menu button in the group's category
    QString subMenuTag;              // the buttons' sub-menu tag, trimmed when written
    int printerPosition = 0;         // printer-id list position: 0 or less writes no printer mapping
    QString printerId;               // the printer-id list's text; empty writes no printer mapping
    QString buttonColor;             // colour text of the buttons, e.g. "White" or "#FF0000FF"
    QLocale locale = QLocale::system();  // number rules of the price texts
    // A row whose barcode is a menu item's changes that item's price instead
    // of being reported, and its name too with updateNames.
    bool updatePrices = false;
    bool updateNames = false;
};

enum class SkipReason {
    None,
    NoName,
    PriceNotNumber,
    UnknownChoice,  // its own unit, printer or colour cell names none the tool knows
};

// A usable row's values as the records take them.
struct Product {
    QString barcode;  // trimmed, cut to 50
    QString name;     // trimmed, cut to 50
    double price = 0;
};

// The values a row's records take besides its product's: the window's
// choices, or the row's own where its list has them.
struct RowValues {
    QString group;        // the category's name and both group codes, as stored
    QString multiplier;   // the portion multiplier of the unit: "1" or "1000"
    QString buttonColor;  // colour text of the button
    QString subMenuTag;   // trimmed
    std::optional<QString> printerId;  // the printer to map the item to; none writes no mapping

    bool operator==(const RowValues &) const = default;
};

// What the save makes of one grid row.
struct RowJudgement {
    bool blank = false;                      // barcode, name and price all blank: not a product at all
    SkipReason skipReason = SkipReason::None;  // why a row that is not blank is no product
    std::optional<Product> product;          // a usable row's values
    RowValues values;                        // what its records take besides
    QString unknownChoice;                   // UnknownChoice: which cell, in Turkish

    bool usable() const { return product.has_value(); }
};

// The group a save files its items under when the operator chose none, as
// the group lists offer it first and the batch front end takes by default.
QString unchosenGroup();

// Judges `row`: usable when its trimmed name is not empty and its price text
// is a number under `locale`; otherwise blank or skipped with the reason.
RowJudgement judgeRow(const ProductRow &row, const QLocale &locale);

// The values of a row skipped for having no name that still names a price
// for a barcode: enough to change the price of the item holding it. The
// name is empty; nullopt without a barcode or a number price.
std::optional<Product> unnamedPrice(const ProductRow &row, const QLocale &locale);

// The values every row without its own choices takes: the window's, as
// stored. One normalised group text serves the category find, a new
// category's Name and both group-code columns, so that leading blanks or an
// overlong name never create a second category. The leading "YOK" printer
// entry (position 0), no entry at all and an empty id write no mapping.
RowValues windowValues(const SaveChoices &choices);

// A text the database would not store exactly, and where it would go.
struct UnstorableText {
    const char *table;
    const char *column;
    const char *field;  // what the operator calls it, in UTF-8
    QString value;
};

// The first text of `product` and `values` that `fidelity` says the
// database would store altered (one holding half of a surrogate pair);
// nullopt when every one is stored as given. The button's texts count only
// when a `button` is written.
std::optional<UnstorableText> firstUnstorableText(const Product &product, const RowValues &values, bool button,
                                                  const ado::TextFidelity &fidelity);
// Likewise for the one text an update writes, a new name.
std::optional<UnstorableText> firstUnstorableText(const ItemUpdate &update, const ado::TextFidelity &fidelity);

}  // namespace import
