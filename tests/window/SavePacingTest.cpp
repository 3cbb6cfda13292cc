// The pacing of a save's display on a test clock: when the counter is
// repainted and the window handles its events, and when the progress dialog
// appears; and "Durdur" stopping a save started from the window.
#include <gtest/gtest.h>

#include <QApplication>
#include <QCheckBox>
#include <QLabel>
#include <QPointer>
#include <QProgressBar>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include "WindowFixture.h"
#include "platform/grid/FlexGrid.h"
#include "window/SavePacing.h"
#include "tests/common/NamedCases.h"

namespace {

// A window with its counter and a pacing of a 100-row save on a test clock.
struct PacedSave : ::testing::Test {
    QWidget window;
    QLabel *counter = new QLabel(QStringLiteral("0"), &window);
    qint64 now = 1000;
    SavePacing pacing{&window, counter, 100, [this] { return now; }};
    int eventsHandled = 0;

    PacedSave() { window.show(); }

    // Visits `visited` rows `afterMs` after the last call; returns whether
    // the display came: the counter's text changed to the count and the
    // waiting events were handled.
    bool displayed(int visited, qint64 afterMs)
    {
        now += afterMs;
        const int before = eventsHandled;
        QTimer::singleShot(0, counter, [this] { ++eventsHandled; });
        EXPECT_TRUE(pacing.rowVisited(visited));
        const bool shown = counter->text() == QString::number(visited);
        EXPECT_EQ(shown, eventsHandled > before) << "counter and events go together, row " << visited;
        QApplication::processEvents();  // the timer of a row without a display
        return shown;
    }
};

}  // namespace

TEST_F(PacedSave, the_display_comes_at_the_first_row_at_most_once_per_frame_and_at_the_last_row)
{
    EXPECT_TRUE(displayed(1, 0));
    EXPECT_FALSE(displayed(2, 5));
    EXPECT_FALSE(displayed(3, 10));  // 15 ms since the last display
    EXPECT_EQ(counter->text(), "1");
    EXPECT_TRUE(displayed(4, 1));   // 16 ms
    EXPECT_FALSE(displayed(5, 15));
    EXPECT_TRUE(displayed(6, 40));  // a slow row: shown at once
    EXPECT_TRUE(displayed(100, 1));  // the last row, however soon
}

TEST_F(PacedSave, the_dialog_appears_from_half_a_second_on_with_the_figures)
{
    displayed(1, 0);
    EXPECT_TRUE(displayed(40, 499));
    EXPECT_FALSE(pacing.dialog().isVisible()) << "499 ms after the start";
    EXPECT_FALSE(displayed(41, 1));
    EXPECT_FALSE(pacing.dialog().isVisible()) << "half a second, but no display due";
    EXPECT_TRUE(displayed(42, SavePacing::kFrameMs - 1));
    ASSERT_TRUE(pacing.dialog().isVisible());
    EXPECT_TRUE(pacing.dialog().isModal());
    const auto *bar = pacing.dialog().findChild<QProgressBar *>();
    EXPECT_EQ(bar->value(), 42);
    EXPECT_EQ(bar->maximum(), 100);
    const QStringList texts = [this] {
        QStringList found;
        for (const QLabel *label : pacing.dialog().findChildren<QLabel *>())
            found << label->text();
        return found;
    }();
    EXPECT_TRUE(texts.contains("42/100 satır · 82 satır/sn · kalan 0:01")) << texts.join(" | ").toStdString();
}

namespace {

struct StopGesture {
    const char *name;
    void (*stop)(SaveProgressDialog &dialog);
};

void PrintTo(const StopGesture &gesture, std::ostream *out)
{
    *out << gesture.name;
}

}  // namespace

class StopFromDialog : public PacedSave, public ::testing::WithParamInterface<StopGesture> {};

TEST_P(StopFromDialog, ends_the_save_at_the_next_display_and_keeps_the_dialog_until_the_save_ends)
{
    displayed(1, 0);
    displayed(50, 600);
    auto *dialog = window.findChild<SaveProgressDialog *>();
    ASSERT_TRUE(dialog && dialog->isVisible());
    GetParam().stop(*dialog);
    now += 1;
    EXPECT_FALSE(pacing.rowVisited(51));
    EXPECT_TRUE(dialog->isVisible()) << "the row in progress still finishes under the dialog";
    EXPECT_FALSE(dialog->findChild<QPushButton *>()->isEnabled());
}

INSTANTIATE_TEST_SUITE_P(
    Gestures, StopFromDialog,
    ::testing::Values(StopGesture{"durdur", [](SaveProgressDialog &d) { d.findChild<QPushButton *>()->click(); }},
                      StopGesture{"escape", [](SaveProgressDialog &d) { QTest::keyClick(&d, Qt::Key_Escape); }},
                      StopGesture{"close", [](SaveProgressDialog &d) { d.close(); }}),
    ByName());

TEST(PacedShortSave, a_save_that_ends_within_half_a_second_never_shows_the_dialog)
{
    QWidget window;
    QLabel counter(&window);
    qint64 now = 0;
    SavePacing pacing(&window, &counter, 3, [&now] { return now; });
    pacing.rowVisited(1);
    now = 300;
    pacing.rowVisited(2);
    now = 900;  // the last row, after the half second
    pacing.rowVisited(3);
    EXPECT_FALSE(pacing.dialog().isVisible());
    EXPECT_EQ(counter.text(), "3");
}

namespace {

struct StopFromWindow : WindowFixture {};

}  // namespace

TEST_F(StopFromWindow, durdur_ends_the_save_after_whole_rows_and_the_message_names_the_rest)
{
    putKnownRecords();
    open();
    window->show();
    window->Grup->setCurrentIndex(window->Grup->findText(QStringLiteral("Tatlılar")));
    window->goster->setChecked(true);
    window->yazici->setCurrentIndex(1);
    window->yazici_Click();
    constexpr int kProducts = 300;
    FlexGrid *grid = window->satisekrani2;
    grid->setRows(kProducts + 1);
    for (int row = 1; row <= kProducts; ++row) {
        grid->setTextMatrix(row, 2, QStringLiteral("Ürün %1").arg(row));
        grid->setTextMatrix(row, 3, QStringLiteral("%1").arg(row));
    }

    // Every reading of the clock is 5 ms after the one before. The operator
    // presses Durdur as soon as the dialog shows, through the event loop.
    qint64 now = 0;
    qint64 shownAt = -1;
    window->saveClock = [this, &now, &shownAt] {
        now += 5;
        auto *dialog = window->findChild<SaveProgressDialog *>();
        if (dialog && dialog->isVisible() && shownAt < 0) {
            shownAt = now;
            QPointer<QPushButton> stop = dialog->findChild<QPushButton *>();
            QTimer::singleShot(0, stop, [stop] { stop->click(); });
        }
        return now;
    };
    MessageCatcher messages;
    window->kaydet->click();

    EXPECT_GE(shownAt, 500 + 5) << "shown only after half a second, first seen at the next reading";
    EXPECT_LE(shownAt, 500 + 5 + SavePacing::kFrameMs + 5);
    EXPECT_EQ(window->findChild<SaveProgressDialog *>(), nullptr) << "the dialog goes with the save";
    const int landed = window->say->text().toInt();
    EXPECT_GT(landed, 90);
    EXPECT_LT(landed, kProducts);
    EXPECT_EQ(database.value("SELECT COUNT(*) FROM MenuItems i JOIN MenuItemPortions o ON o.MenuItemId = i.id "
                             "JOIN MenuItemPrices p ON p.MenuItemPortionId = o.id "
                             "JOIN ScreenMenuItems s ON s.MenuItemId = i.id JOIN PrinterMaps m ON m.MenuItemId = i.id")
                  .toInt(),
              landed);
    QStringList names;
    for (const QVariantList &row : database.rows("SELECT Name FROM MenuItems ORDER BY id"))
        names << row.value(0).toString();
    QStringList upToTheStop;
    for (int row = 1; row <= landed; ++row)
        upToTheStop << QStringLiteral("Ürün %1").arg(row);
    EXPECT_EQ(names, upToTheStop);
    ASSERT_EQ(messages.texts.size(), 1);
    const QStringList lines = messages.texts.first().split(u'\n');
    ASSERT_EQ(lines.size(), 2) << messages.texts.first().toStdString();
    EXPECT_EQ(lines[0], QStringLiteral("Kaydetme durduruldu: %1 ürün eklendi").arg(landed));
    EXPECT_TRUE(lines[1].startsWith(QStringLiteral("Denenmeyen satır: %1 (%2–")
                                        .arg(kProducts - landed)
                                        .arg(landed + 1)))
        << lines[1].toStdString();
}
