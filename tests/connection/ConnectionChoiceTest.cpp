#include <gtest/gtest.h>

#include "tests/common/QtPrinters.h"

#include "connection/baglanmodul.h"

namespace {

void choose(const QString &settingsText)
{
    baglanmodul::ayarmetni = settingsText;
    baglanmodul::chooseConnection();
}

TEST(ConnectionChoice, a_text_of_three_characters_is_usable_and_two_is_not)
{
    choose(QStringLiteral("ab"));
    EXPECT_EQ(baglanmodul::ayarvar, 0);
    EXPECT_EQ(baglanmodul::baglantimetni, QString());
    EXPECT_EQ(baglanmodul::connectionText(), baglanmodul::fallbackConnectionText());

    choose(QStringLiteral("abc"));
    EXPECT_EQ(baglanmodul::ayarvar, 1);
    EXPECT_EQ(baglanmodul::baglantimetni, QStringLiteral("abc"));
    EXPECT_EQ(baglanmodul::connectionText(), QStringLiteral("Provider=SQLOLEDB.1; abc"));
}

TEST(ConnectionChoice, an_empty_settings_text_uses_the_fallback)
{
    choose(QString());
    EXPECT_EQ(baglanmodul::ayarvar, 0);
    EXPECT_EQ(baglanmodul::connectionText(), baglanmodul::fallbackConnectionText());
}

TEST(ConnectionChoice, the_settings_text_is_passed_on_unchanged_after_the_prefix)
{
    const QString text = QStringLiteral("\n  Provider=SQLNCLI11;Data Source=srv\\SQLEXPRESS \n");
    choose(text);
    EXPECT_EQ(baglanmodul::connectionText(), QStringLiteral("Provider=SQLOLEDB.1; ") + text);
}

TEST(ConnectionChoice, the_fallback_attaches_the_local_database_file)
{
    const QStringList segments = baglanmodul::fallbackConnectionText().split(u';');
    ASSERT_EQ(segments.size(), 8);
    EXPECT_EQ(segments[0], QStringLiteral("Provider=SQLNCLI10.1"));
    EXPECT_EQ(segments[1], QStringLiteral("Integrated Security=SSPI"));
    EXPECT_EQ(segments[2], QStringLiteral("Persist Security Info=False"));
    EXPECT_EQ(segments[3], QStringLiteral("User ID=\""));
    EXPECT_EQ(segments[4], QStringLiteral("Initial Catalog=\""));
    EXPECT_TRUE(segments[5].startsWith(QStringLiteral("Data Source=")));
    EXPECT_GT(segments[5].size(), QStringLiteral("Data Source=").size());
    EXPECT_EQ(segments[6], QStringLiteral("Initial File Name=C:\\MenoraPOS-Restaurant\\MenoraData\\Menora POS.mdf"));
    EXPECT_EQ(segments[7], QStringLiteral("Server SPN="));
}

}  // namespace
