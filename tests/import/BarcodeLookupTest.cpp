// Reading which barcodes are already menu items, in chunks of bound values.
#include <gtest/gtest.h>

#include <QSqlQuery>

#include "import/BarcodeLookup.h"
#include "tests/common/TestDatabase.h"

TEST(BarcodeLookup, finds_the_lowest_id_of_each_barcode_across_many_chunks)
{
    TestDatabase pos;
    QSqlDatabase db = pos.connection.database();
    ASSERT_TRUE(db.transaction());
    QSqlQuery insert(db);
    ASSERT_TRUE(insert.prepare(QStringLiteral("INSERT INTO MenuItems (id, GroupCode, Barcode, Name) VALUES (?, 'G', ?, ?)")));
    // Every 7th of 1,200 barcodes is already an item; "869-7" twice.
    qint64 id = 100;
    for (int i = 0; i < 1200; i += 7) {
        for (const QVariant &value : {QVariant(++id), QVariant(QStringLiteral("869-%1").arg(i)),
                                      QVariant(QStringLiteral("Ürün %1").arg(i))})
            insert.addBindValue(value);
        ASSERT_TRUE(insert.exec());
    }
    ASSERT_EQ(pos.exec("INSERT INTO MenuItems (id, GroupCode, Barcode, Name) VALUES (50, 'G', '869-7', 'İlk')"), QString());
    ASSERT_TRUE(db.commit());

    QStringList barcodes;
    for (int i = 0; i < 1200; ++i)
        barcodes << QStringLiteral("869-%1").arg(i);
    barcodes << QString() << QStringLiteral("869-0");  // empty and repeated texts are ignored
    const import::BarcodeLookup found = import::findExistingBarcodes(db, barcodes);
    ASSERT_TRUE(found.ok()) << found.text().toStdString();
    EXPECT_EQ(found.items.size(), (1200 + 6) / 7);
    EXPECT_EQ(found.items.value(QStringLiteral("869-7")).id, 50);
    EXPECT_EQ(found.items.value(QStringLiteral("869-7")).name, "İlk");
    EXPECT_EQ(found.items.value(QStringLiteral("869-1197")).name, "Ürün 1197");
    EXPECT_FALSE(found.items.contains(QStringLiteral("869-1")));
}

TEST(BarcodeLookup, a_closed_connection_finds_nothing_and_says_why)
{
    const import::BarcodeLookup found = import::findExistingBarcodes(QSqlDatabase(), {QStringLiteral("1")});
    EXPECT_FALSE(found.ok());
    EXPECT_TRUE(found.items.isEmpty());
}
