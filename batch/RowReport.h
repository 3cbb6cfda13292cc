#pragma once
// The batch front end's report: one line per product row of every target,
// written as CSV or JSON, and the summary of a target a person reads.

#include <QIODevice>
#include <QList>
#include <QString>

#include <optional>

#include "batch/BatchOptions.h"
#include "batch/ProductList.h"
#include "batch/TargetImport.h"

namespace batch {

// What became of one row on one target, as the report gives it.
struct ReportRow {
    QString target;
    int gridRow = 0;   // 1 = the first row of the sheet
    QString barcode;   // the cell texts as read
    QString name;
    QString group;     // the category the row lands or would land in, as stored
    // landed, skipped, duplicate, failed, not-attempted, would-add, would-fail,
    // updated, unchanged, would-update
    QString status;
    QString reason;    // in Turkish; "" for a row that landed or would be added plainly
    qint64 itemId = 0; // landed: the new menu item's id; updated: the item changed
    std::optional<double> oldPrice;  // updated, unchanged, would-update: the item's price before
    std::optional<double> newPrice;  // and after
};

// The report rows of `outcome` for the rows of `list`, in row order; blank
// rows, which are no products, have none.
QList<ReportRow> reportRows(const TargetOutcome &outcome, const ProductList &list, const BatchOptions &options);

// Marks `rows` as read from a damaged sheet, which may have lost cells or
// run rows together: each reason says so, after what it said before.
void markSheetDamaged(QList<ReportRow> &rows);

// True when every reported row landed or updated its item, or would in a dry run.
bool allLanded(const QList<ReportRow> &rows);

// The CSV header line, then `rows`, as UTF-8 with CRLF line ends (RFC 4180).
// A text a spreadsheet program would take for a formula ("=", "+", "-",
// "@", tab or carriage return first, unless it is a plain number) is
// written after an apostrophe, which makes the program show it as text.
QByteArray csvHeader();
QByteArray csvLines(const QList<ReportRow> &rows);

// One target in the JSON report: its label, whether it was reached, why
// nothing was written, and its rows.
struct TargetReport {
    TargetOutcome outcome;
    QList<ReportRow> rows;
};

// The whole JSON report: {"exitStatus": n, "sheetDamaged": bool, "targets":
// [{"target", "warnings", "reached", "failure", "saveSeconds",
// "rowsPerSecond", "journal", "rows": [{"row", "barcode", "name", "group",
// "status", "reason", "itemId", "old_price", "new_price"}]}]}; "warnings"
// holds the summary's choice warnings, itemId and the prices are null where
// the CSV leaves them empty, the two figures 0 without a save. Texts are as
// read: a JSON reader evaluates no formula.
QByteArray jsonReport(const QList<TargetReport> &targets, int exitStatus, bool sheetDamaged);

// The summary of one target for standard error: its label, then the
// window's completion text with the save's duration and rate, the preview's
// summary for a dry run, or why nothing was written ("Bağlanılamadı: " and
// the connection's reason when it did not open). A save or dry run ends
// with the choice warnings, each with the option that changes it.
QString targetSummary(const TargetOutcome &outcome, const BatchOptions &options);

}  // namespace batch
