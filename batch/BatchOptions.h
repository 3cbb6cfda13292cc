#pragma once
// The batch front end's command line: the spreadsheet, the choices the
// window offers as controls, the targets and the form of the report.

#include <QList>
#include <QLocale>
#include <QString>
#include <QStringList>

#include <optional>

#include "import/ListColumns.h"
#include "import/RowRules.h"

namespace batch {

// What a save does with rows whose barcode is a menu item's already or
// stands on an earlier row of the file.
enum class DuplicatePolicy {
    Skip,  // leave those rows out, write the others (the window's default answer)
    Add,   // write them all
    Stop,  // write nothing on a target where any row is a duplicate
    Update,  // change the price of the item holding the barcode; new barcodes are added
};

// Where one target's connection text comes from.
struct TargetSource {
    enum class Kind {
        WindowDefault,  // the window's own: the settings file, else the built-in fallback
        SettingsFile,   // another settings file, which must hold a usable text
        ConnectionText, // an OLE DB connection text given on the command line
    };
    Kind kind = Kind::WindowDefault;
    QString value;  // the file path or the connection text
};

struct BatchOptions {
    QString file;                          // the spreadsheet
    QString group = import::unchosenGroup();
    int unitPosition = 0;                  // 0 "Adet", 1 "Kg"
    std::optional<QString> printer;        // a printer's name or id; none writes no printer mapping
    int colourPosition = 3;                // position in the colour list, "MAVİ" by default
    bool showOnSalesScreen = false;
    QString subMenuTag;
    DuplicatePolicy duplicates = DuplicatePolicy::Skip;
    bool updateNames = false;              // with Update, the items' names change too
    bool dryRun = false;
    QLocale locale = QLocale::system();    // number rules of the sheet's prices
    QList<import::ColumnChoice> columns; // fields placed by hand; the others where the list's header puts them
    bool noHeader = false;                 // the list has no header: A/B/C unless columns say otherwise
    QList<TargetSource> targets;           // in the order given; never empty after parsing
    QString reportFile;                    // "" writes the report to standard output
    bool json = false;                     // the report as JSON instead of CSV
    bool undoLast = false;                 // undo the last import into each target instead of importing
    QString undoJournal;                   // undo the import of this journal instead of importing
    QString exportFile;                    // write the target's menu to this workbook instead of importing
    bool groupGiven = false;               // --group was given: an export writes only that group

    // True when the run writes the menu to a workbook rather than importing.
    bool exporting() const { return !exportFile.isEmpty(); }

    // True when the run undoes an import rather than making one.
    bool undoing() const { return undoLast || !undoJournal.isEmpty(); }
};

// The command line read: options, a request for help, or why it is wrong.
struct ParsedArguments {
    BatchOptions options;
    bool help = false;
    QString usageError;  // Turkish and English, "" when the line is right

    bool ok() const { return usageError.isEmpty(); }
};

// Reads `arguments` (the program name first). Options take their value as
// "--name value" or "--name=value". Exactly one spreadsheet must be named,
// unless help is asked for, an import is undone (then none may be, and
// --undo takes one target only) or the menu is exported (none may be, nor
// --undo, --undo-last or --dry-run, and one target only); without
// --settings or --connection the one target is the window's own connection.
ParsedArguments parseArguments(const QStringList &arguments);

// The --help text, in Turkish and then in English, exit statuses included.
QString helpText();

}  // namespace batch
