#include <gtest/gtest.h>

#include "tests/common/QtPrinters.h"

#include <ostream>

#include "connection/baglanmodul.h"
#include "tests/common/NamedCases.h"

namespace {

const QString fallback = QStringLiteral(
    "Provider=SQLNCLI10.1;Integrated Security=SSPI;Persist Security Info=False;User ID=\";Initial Catalog=\";"
    "Data Source=.\\SQLEXPRESS;Initial File Name=C:\\MenoraPOS-Restaurant\\MenoraData\\Menora POS.mdf;Server SPN=");

struct ChoiceCase {
    const char *name;
    QString settings;
    int ayarvar;
    QString connectionText;
};

void PrintTo(const ChoiceCase &c, std::ostream *os)
{
    *os << c.name;
}

class ConnectionChoice : public ::testing::TestWithParam<ChoiceCase> {};

TEST_P(ConnectionChoice, three_characters_make_the_settings_text_usable)
{
    baglanmodul::ayarmetni = GetParam().settings;
    baglanmodul::chooseConnection();
    EXPECT_EQ(baglanmodul::ayarvar, GetParam().ayarvar);
    EXPECT_EQ(baglanmodul::baglantimetni, GetParam().ayarvar ? GetParam().settings : QString());
    EXPECT_EQ(baglanmodul::connectionText(), GetParam().connectionText);
}

INSTANTIATE_TEST_SUITE_P(
    Threshold, ConnectionChoice,
    ::testing::Values(ChoiceCase{"empty", "", 0, fallback}, ChoiceCase{"two_characters", "ab", 0, fallback},
                      ChoiceCase{"three_characters", "abc", 1, "Provider=SQLOLEDB.1; abc"},
                      ChoiceCase{"passed_on_unchanged", "\n Data Source=srv\\SQLEXPRESS \n", 1,
                                 "Provider=SQLOLEDB.1; \n Data Source=srv\\SQLEXPRESS \n"}),
    ByName());

}  // namespace
