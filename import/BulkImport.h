#pragma once
// The bulk save: the product grid's rows and the operator's choices become
// complete menu items, each row in its own transaction, one outcome per row.

#include <QList>
#include <QSet>
#include <QLocale>
#include <QSqlDatabase>
#include <QString>

#include <functional>
#include <optional>

#include "import/RowPreview.h"
#include "import/RowRules.h"
#include "import/SaveJournal.h"
#include "platform/ado/Connection.h"

namespace import {

enum class RowStatus {
    Landed,   // every record of the row was committed
    Empty,    // barcode, name and price all blank: not a product, nothing to report
    Skipped,  // a product without a name, or with a price that is not a number
    Failed,   // a write failed; the row was rolled back
    LeftOut,  // a duplicate the operator chose to leave out: nothing written
    Updated,  // the price (or name) of the menu item holding its barcode was changed and committed
    Unchanged,  // the menu item holding its barcode already had its price: nothing written
};

// What happened to one visited grid row.
struct RowOutcome {
    int gridRow = 0;  // 1 for the first data row
    RowStatus status = RowStatus::Empty;
    SkipReason skipReason = SkipReason::None;
    QString failedTable;  // Failed: the table whose write failed, "" for the transaction itself
    QString error;        // Failed: the database's message; Skipped for an unknown choice: which cell
    qint64 itemId = 0;    // Landed: the new MenuItems id; Updated: the item changed
};

// Everything one save did.
struct SaveResult {
    bool connected = false;   // false: nothing was written and no row visited
    QString connectionError;  // why the database was not usable
    bool stopped = false;     // the progress callback ended the save before its last row
    QList<RowOutcome> rows;   // one per visited row, in grid order
    QList<int> notAttempted;  // stopped: the grid rows after the stop that are not blank, in order
    // Statements the save sent to the database, transaction control
    // included: on a server, the round trips it cost.
    int statementsSent = 0;

    // Rows visited, usable or not: the counter's final value.
    int visitedRows() const { return int(rows.size()); }
    // How many visited rows ended with `status`.
    int count(RowStatus status) const;
    // The id of the last item that landed; nullopt when none did.
    std::optional<qint64> lastItemId() const;
};

// Called after every visited row with the number of rows visited so far;
// returning false ends the save after that row.
using SaveProgress = std::function<bool(int visitedRows)>;

// True when at least one row's name holds more than blanks: without one the
// save refuses to start.
bool hasNamedRow(const QList<ProductRow> &rows);

// Runs bulk saves against one database connection.
class BulkImport {
public:
    // `notOpenReason` is what the operator is told when `db` is not open;
    // `fidelity` tells which texts the database stores exactly (a row with
    // one it would mangle fails instead of landing altered).
    BulkImport(QSqlDatabase db, ado::Dialect dialect, QString notOpenReason = {},
               ado::TextFidelity fidelity = ado::TextFidelity::unicode());

    // Visits rows[0] (grid row 1) to the last in order and writes every usable
    // one as a menu item with its portion and price, then its screen-menu
    // button (show on sales screen only; the category found by the group or
    // created once) and its printer mapping (printer chosen only). A failing
    // row is rolled back whole and the save goes on. Rows become durable one
    // by one (SQL Server) or in groups (SQLite); a group the database does
    // not keep turns its rows into failures. A closed connection writes
    // nothing and visits no row.
    // Rows the `plan` leaves out or finds unchanged are visited but not
    // written; rows it updates change their items instead (each value only
    // while it is still the one the plan read), in the same batches.
    // With a `journal`, every batch is recorded in it before its commit and
    // settled after; a batch it cannot record is rolled back and its rows
    // fail. After that, and after a failure that says the database cannot
    // take rows (locked past its timeout, full), every later row fails
    // untried with the reason.
    SaveResult run(const QList<ProductRow> &rows, const SaveChoices &choices, const SaveProgress &progress = {},
                   const SavePlan &plan = {}, SaveJournal *journal = nullptr);

private:
    QSqlDatabase m_db;
    ado::Dialect m_dialect;
    QString m_notOpenReason;
    ado::TextFidelity m_fidelity;
};

}  // namespace import
