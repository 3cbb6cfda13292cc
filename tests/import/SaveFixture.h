#pragma once
// Shared set-up of the bulk-save tests: the demo stand-in database, default
// choices and a save that records its progress calls.

#include <gtest/gtest.h>

#include <QList>
#include <QLocale>
#include <QMap>
#include <QString>
#include <QStringList>

#include "tests/common/TestDatabase.h"
#include "tests/common/QtPrinters.h"
#include "import/BulkImport.h"

class SaveTest : public ::testing::Test {
protected:
    static import::ProductRow product(const QString &name, const QString &price = QStringLiteral("10"),
                                       const QString &barcode = QString())
    {
        return import::ProductRow{barcode, name, price};
    }

    // Group "Kahveler", Adet, no button, no printer, blue, Turkish numbers.
    static import::SaveChoices choices()
    {
        import::SaveChoices c;
        c.group = QStringLiteral("Kahveler");
        c.buttonColor = QStringLiteral("#FF0000FF");
        c.locale = QLocale(QLocale::Turkish, QLocale::Turkey);
        return c;
    }

    // The same choices with a button and printer 2 ("Bar Yazıcısı").
    static import::SaveChoices everything()
    {
        import::SaveChoices c = choices();
        c.showOnSalesScreen = true;
        c.printerPosition = 2;
        c.printerId = QStringLiteral("2");
        return c;
    }

    import::SaveResult save(const QList<import::ProductRow> &rows, const import::SaveChoices &c)
    {
        progress.clear();
        import::BulkImport import(pos.connection.database(), pos.connection.dialect());
        return import.run(rows, c, [this](int visited) {
            progress << visited;
            return true;
        });
    }

    // Every row of a query as "a|b|c", NULL shown as "NULL".
    QStringList table(const QString &sql) const
    {
        QStringList lines;
        for (const QVariantList &values : pos.rows(sql)) {
            QStringList texts;
            for (const QVariant &value : values)
                texts << (value.isNull() ? QStringLiteral("NULL") : value.toString());
            lines << texts.join(u'|');
        }
        return lines;
    }

    // Every row of every table, to compare whole databases.
    QMap<QString, QStringList> everyTable() const
    {
        static const QStringList kTables{"MenuItems",       "MenuItemPortions", "MenuItemPrices", "ScreenMenuCategories",
                                         "ScreenMenuItems", "PrinterMaps",      "Printers",       "TaxTemplates"};
        QMap<QString, QStringList> tables;
        for (const QString &name : kTables)
            tables.insert(name, table(QStringLiteral("SELECT * FROM %1 ORDER BY id").arg(name)));
        return tables;
    }

    // The first row of a query as "a|b|c".
    QString row(const QString &sql) const { return table(sql).value(0, QStringLiteral("<no row>")); }

    TestDatabase pos{true};
    QList<int> progress;
};
