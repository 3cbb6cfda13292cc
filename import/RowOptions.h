#pragma once
// What a row's own group, unit, printer, colour and sub-menu tag cells make
// of its records: the category and printer they name, found as the operator
// would recognise them, or why a cell names nothing known. Nothing is
// guessed: an unknown unit, printer or colour keeps the row out.

#include <QHash>
#include <QSet>
#include <QList>
#include <QSqlDatabase>
#include <QString>
#include <QStringList>

#include "import/RowRules.h"
#include "platform/outcome/Outcome.h"

namespace import {

// A record a cell can name: a category or a printer.
struct NamedRecord {
    QString id;
    QString name;
};

// The categories and printers of the database, in id order.
struct ChoiceRecords {
    QList<NamedRecord> categories;
    QList<NamedRecord> printers;
};

// Reads the categories and printers of `db`.
platform::Result<ChoiceRecords> readChoiceRecords(const QSqlDatabase &db);

// The key under which group names meet: trimmed, lower case by Turkish
// rules ("TATLILAR" and "Tatlılar" are one group; "Tatlilar" is another).
QString groupKey(const QString &group);

class RowOptions {
public:
    // Rows without their own choices take `choices`; own cells are looked
    // up among `records`.
    RowOptions(const SaveChoices &choices, ChoiceRecords records);

    // Learns, from every row in order, how each group the database lacks is
    // spelled: its first row's spelling names the one category created.
    void learnGroups(const QList<ProductRow> &rows);
    // Learns one row's group cell, spelled as it is unless known already.
    void learnGroup(const QString &cell);

    // The values the records of `row` take, with its blank cells the window's
    // choices; nullopt, with `unknown` saying which cell in Turkish, when a
    // unit, printer or colour cell names nothing known.
    std::optional<RowValues> valuesOf(const ProductRow &row, QString &unknown) const;

    // True when `group` (as stored) is not a category of the database yet.
    bool isNewGroup(const QString &group) const;
    // The window's values.
    const RowValues &windowValues() const { return m_window; }

private:
    QString storedGroup(const QString &cell) const;

    RowValues m_window;
    // Stored spelling by groupKey: the database's first category of the
    // name, else the first row's spelling.
    QHash<QString, QString> m_groups;
    QSet<QString> m_databaseGroups;        // groupKeys of the database's categories
    QHash<QString, QString> m_printerNames;  // printer id by folded name, the first of one name
    QSet<QString> m_printerIds;
};

// judgeRow() with the row's own choices: a usable row gets the values its
// records take, or is skipped as UnknownChoice when a cell names nothing known.
RowJudgement judgeRow(const ProductRow &row, const QLocale &locale, const RowOptions &options);

// What a unit cell means as a portion multiplier ("Adet", "ad" → "1"; "Kg",
// "Kilogram" → "1000"); nullopt for any other text.
std::optional<QString> multiplierOfUnit(const QString &unit);

// The colour text a colour cell names: one of the button colours by name,
// with or without Turkish letters and in any case, or a colour text itself
// ("White", "#FF0000FF"); nullopt for any other text.
std::optional<QString> colourOfCell(const QString &colour);

}  // namespace import
