#pragma once
// The window on a stand-in database of its own. Tests put their records in
// `database` first, then call open(), which creates the window and runs the
// reset that start-up runs after the connection is open.

#include <QComboBox>
#include <QStringList>

#include <gtest/gtest.h>

#include <memory>

#include "TestDatabase.h"
#include "window/urunlertoplu.h"

struct WindowFixture : ::testing::Test {
    TestDatabase database;
    std::unique_ptr<urunlertoplu> window;

    void open()
    {
        window = std::make_unique<urunlertoplu>(database.connection);
        EXPECT_EQ(window->formutemizle(), QString());
    }

    static QStringList entries(const QComboBox *list)
    {
        QStringList result;
        for (int i = 0; i < list->count(); ++i)
            result << list->itemText(i);
        return result;
    }
};
