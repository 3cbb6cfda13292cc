#pragma once
// What a save will do with every grid row, decided before anything is
// written, by the rules the save itself uses.

#include <QHash>
#include <QList>
#include <QSet>
#include <QString>

#include <optional>

#include "import/ItemUpdate.h"
#include "import/MenuItemPrices.h"
#include "import/RowOptions.h"
#include "import/RowRules.h"

namespace import {

// What becomes of one grid row.
enum class RowFate {
    Blank,           // nothing in it: not a product, not reported
    WillAdd,         // a new menu item
    SkippedNoName,   // no name after trimming
    SkippedPrice,    // the price text is not a number
    SkippedChoice,   // its own unit, printer or colour cell names nothing known
    InDatabase,      // its barcode is already a menu item's
    RepeatInFile,    // its barcode stands in an earlier row of this file
    // With prices updated, for rows whose barcode is a menu item's:
    WillUpdate,      // the item's price (or name) changes
    Unchanged,       // the item already has this price (and name)
    CannotUpdate,    // the item has no one price to change, or the new one is below zero
    PriceConflict,   // the barcode stands on several rows with differing prices: none applies
};

// Things worth a look that do not stop a row from being added.
enum RowWarning : unsigned {
    NoWarning = 0,
    NameCut = 1,            // the name is longer than 50 and is stored cut
    BarcodeCut = 2,         // the barcode likewise
    PriceNotPositive = 4,   // zero or negative price
    NotStorable = 8,        // a text the database would alter: the row will fail
    GroupCut = 16,          // its own group is longer than 50 and is stored cut
    PriceGrouped = 32,      // the price text holds the locale's group separator ("1.234" read as 1234)
};

// The warnings of a row that is still stored, though not as typed: every
// bit but NotStorable, which makes the row fail instead.
constexpr unsigned kLandingWarnings = NameCut | BarcodeCut | PriceNotPositive | GroupCut | PriceGrouped;

// A menu item that already holds a barcode.
struct ExistingItem {
    qint64 id = 0;
    QString name;
    std::optional<ItemPrice> price;  // the price an update changes; none: see problem
    PriceProblem problem = PriceProblem::None;
    int itemsWithBarcode = 1;  // menu items holding the barcode, this one included
};

// The items of the database by their barcode, as the save stores barcodes.
using ExistingBarcodes = QHash<QString, ExistingItem>;

// The verdict on one grid row.
struct RowPreview {
    RowFate fate = RowFate::Blank;
    unsigned warnings = NoWarning;
    std::optional<Product> product;         // what would be stored, for a usable row
    RowValues values;                       // what a new item's other records would take
    QString priceText;                      // SkippedPrice: the text that was read
    QString unknownChoice;                  // SkippedChoice: which cell names nothing known
    ExistingItem existing;                  // InDatabase: the item holding the barcode
    // Every grid row with this barcode, this one included, in order (1 = the
    // first data row); empty when no other row has it. The rows of one
    // barcode share one list, so N rows of a barcode hold N numbers, not N².
    QList<int> barcodeRows;
    std::optional<UnstorableText> notStorable;  // NotStorable: the text at fault
    std::optional<ItemUpdate> update;       // WillUpdate: what changes
};

// A row that changes an item on the menu, as the save takes it.
struct PlannedUpdate {
    Product product;
    ItemUpdate update;
};

// What a save does with the rows besides adding them: leaves some out,
// records others as already holding their values, and changes the items of
// the rest instead of adding them. By grid row (1 = the first data row).
struct SavePlan {
    SavePlan(QSet<int> leaveOut = {}) : leaveOut(std::move(leaveOut)) {}

    QSet<int> leaveOut;
    QSet<int> unchanged;
    QHash<int, PlannedUpdate> updates;
};

// The verdicts on a grid's rows, kept so that one changed row is judged again
// without judging the others: the rows sharing its old or its new barcode
// are the only ones whose fate can change with it.
class GridVerdicts {
public:
    // Rows' own group and printer cells are looked up among `records`.
    GridVerdicts(SaveChoices choices, ExistingBarcodes existing, ado::TextFidelity fidelity, ChoiceRecords records = {});

    // Judges every row; rows[0] is grid row 1.
    void judgeAll(const QList<ProductRow> &rows);
    // Grid row `gridRow` (1 = the first data row) now holds `row`; a row
    // outside the rows judged is ignored. A group it names first is spelled
    // as it spells it until every row is judged again.
    void judgeRow(int gridRow, const ProductRow &row);
    // More barcodes the database holds: the rows that have them are taken.
    void addExisting(const ExistingBarcodes &items);

    const QList<RowPreview> &previews() const { return m_previews; }
    const SaveChoices &choices() const { return m_choices; }
    const RowOptions &options() const { return m_options; }
    // The distinct non-empty barcodes of the usable rows, as stored.
    QStringList barcodes() const { return m_rowsByBarcode.keys(); }
    // The categories the save would create, in the order of their first rows:
    // groups of rows to be added that the database lacks, with buttons written.
    QStringList newGroups() const;

private:
    static const QString *barcodeOf(const RowPreview &preview);
    void markBarcode(const QString &barcode);

    SaveChoices m_choices;
    RowOptions m_options;
    ExistingBarcodes m_existing;
    ado::TextFidelity m_fidelity;
    QList<RowPreview> m_previews;
    QHash<QString, QList<int>> m_rowsByBarcode;  // grid rows of every usable barcode, in order
};

// One verdict per row, rows[0] being grid row 1. Empty barcodes are never
// duplicates; barcodes compare as stored (trimmed, cut to 50). A barcode
// already in `existing` makes every row that has it InDatabase; otherwise
// its first row is the original and later rows are RepeatInFile.
QList<RowPreview> previewRows(const QList<ProductRow> &rows, const SaveChoices &choices,
                              const ExistingBarcodes &existing, const ado::TextFidelity &fidelity,
                              const ChoiceRecords &records = {});

// The grid rows that are duplicates (InDatabase or RepeatInFile): what the
// save leaves out when the operator asks it to skip duplicates.
QSet<int> duplicateRows(const QList<RowPreview> &previews);

// The save of verdicts judged with prices updated: WillUpdate rows change
// their items, Unchanged rows are recorded so, the other rows that are not
// applied (repeats, conflicts, items without one price) are left out.
SavePlan updatePlan(const QList<RowPreview> &previews);

// How many rows have `fate`.
int countFate(const QList<RowPreview> &previews, RowFate fate);

}  // namespace import
