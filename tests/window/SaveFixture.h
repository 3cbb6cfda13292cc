#pragma once
// Shared set-up of the bulk-save tests: a stand-in database, default
// choices and a save that records its progress calls.

#include <gtest/gtest.h>

#include <QList>
#include <QLocale>
#include <QString>
#include <QStringList>

#include "StandInDb.h"
#include "window/BulkImport.h"

#include <ostream>

// Readable QString values in failure messages.
inline void PrintTo(const QString &text, std::ostream *out)
{
    *out << '"' << text.toStdString() << '"';
}

class SaveTest : public ::testing::Test {
protected:
    // A product with a name "x" and a Turkish price "10".
    static bulksave::ProductRow product(const QString &name, const QString &price = QStringLiteral("10"),
                                       const QString &barcode = QString())
    {
        return bulksave::ProductRow{barcode, name, price};
    }

    // Group "Kahveler", Adet, no button, no printer, blue, Turkish numbers.
    static bulksave::SaveChoices choices()
    {
        bulksave::SaveChoices c;
        c.group = QStringLiteral("Kahveler");
        c.buttonColor = QStringLiteral("#FF0000FF");
        c.locale = QLocale(QLocale::Turkish, QLocale::Turkey);
        return c;
    }

    // The same choices with a button and printer 2 ("Bar Yazıcısı").
    static bulksave::SaveChoices everything()
    {
        bulksave::SaveChoices c = choices();
        c.showOnSalesScreen = true;
        c.printerPosition = 2;
        c.printerId = QStringLiteral("2");
        return c;
    }

    bulksave::SaveResult save(const QList<bulksave::ProductRow> &rows, const bulksave::SaveChoices &c)
    {
        progress.clear();
        bulksave::BulkImport import(pos.db(), StandInDb::dialect);
        return import.run(rows, c, [this](int visited) {
            progress << visited;
            return true;
        });
    }

    // The first row of a query as "a|b|c", NULL shown as "NULL".
    QString row(const QString &sql) const
    {
        const QList<QVariantList> all = pos.rows(sql);
        return all.isEmpty() ? QStringLiteral("<no row>") : joined(all.first());
    }

    // Every row of a query, one "a|b|c" text each.
    QStringList table(const QString &sql) const
    {
        QStringList lines;
        for (const QVariantList &values : pos.rows(sql))
            lines << joined(values);
        return lines;
    }

    StandInDb pos;
    QList<int> progress;

private:
    static QString joined(const QVariantList &values)
    {
        QStringList texts;
        for (const QVariant &value : values)
            texts << (value.isNull() ? QStringLiteral("NULL") : value.toString());
        return texts.join(u'|');
    }
};
