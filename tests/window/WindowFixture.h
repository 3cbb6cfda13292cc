#pragma once
// The window on a stand-in database of its own. Tests put their records in
// `database` first, then call open(), which creates the window and runs the
// reset that start-up runs after the connection is open.

#include <QApplication>
#include <QComboBox>
#include <QMessageBox>
#include <QPushButton>
#include <QStringList>
#include <QTimer>

#include <gtest/gtest.h>

#include <memory>

#include "tests/common/TestDatabase.h"
#include "tests/common/QtPrinters.h"
#include "window/urunlertoplu.h"

// Answers every message box that appears and keeps its text: with the
// button captioned `answer` where it has one, else with OK, else with the
// box's default button.
class MessageCatcher {
public:
    explicit MessageCatcher(const QString &answer = {}) : MessageCatcher(QStringList{answer}) {}

    // Answers each box with the first of `answers` it offers, else OK.
    explicit MessageCatcher(const QStringList &answers)
    {
        m_timer.setInterval(5);
        QObject::connect(&m_timer, &QTimer::timeout, [this, answers] {
            if (auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget())) {
                texts << box->text();
                captions << box->windowTitle();
                QAbstractButton *chosen = nullptr;
                for (const QString &answer : answers) {
                    for (QAbstractButton *button : box->buttons()) {
                        if (!chosen && button->text() == answer)
                            chosen = button;
                    }
                }
                if (!chosen)
                    chosen = box->button(QMessageBox::Ok);
                if (!chosen)
                    chosen = box->defaultButton();
                chosen->click();
            }
        });
        m_timer.start();
    }

    QStringList texts;
    QStringList captions;

private:
    QTimer m_timer;
};

struct WindowFixture : ::testing::Test {
    TestDatabase database;
    std::unique_ptr<urunlertoplu> window;

    // Printers 5, 7, 9, two tax templates and two screen-menu categories (3, 4).
    void putKnownRecords()
    {
        for (const char *sql : {"INSERT INTO Printers (id, Name) VALUES (5, 'Mutfak'), (7, 'Bar'), (9, 'Kasa')",
                                "INSERT INTO TaxTemplates (id, Name) VALUES (1, 'KDV %10'), (2, 'KDV %20')",
                                "INSERT INTO ScreenMenuCategories (id, Name) VALUES (3, 'Tatlılar'), (4, 'İçecekler')"})
            ASSERT_EQ(database.exec(QString::fromUtf8(sql)), QString());
    }

    void open()
    {
        window = std::make_unique<urunlertoplu>(database.connection);
        EXPECT_TRUE(window->formutemizle().ok());
    }

    static QStringList entries(const QComboBox *list)
    {
        QStringList result;
        for (int i = 0; i < list->count(); ++i)
            result << list->itemText(i);
        return result;
    }
};
