#include <gtest/gtest.h>

#include "platform/ado/TextFidelity.h"
#include "tests/common/NamedCases.h"

namespace {

using ado::TextFidelity;

const QString kTurkish = QStringLiteral("çğıİöşü ÇĞIÖŞÜ");
const QString kEmoji = QString::fromUtf8("Çay \xF0\x9F\x8D\xB5");  // U+1F375 beyond the BMP
const QString kLoneSurrogate = QString(QChar(0xD83C)) + QStringLiteral("x");

struct FidelityCase {
    const char *name;
    QString value;
    bool exact;
};

class TextFidelityExact : public ::testing::TestWithParam<FidelityCase> {};

TEST_P(TextFidelityExact, says_whether_the_text_arrives_unchanged)
{
    const FidelityCase &c = GetParam();
    EXPECT_EQ(TextFidelity::unicode().isExact(c.value), c.exact);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, TextFidelityExact,
    ::testing::Values(FidelityCase{"turkish", kTurkish, true},
                      FidelityCase{"emoji", kEmoji, true},
                      FidelityCase{"euro", QStringLiteral("10 €"), true},
                      FidelityCase{"a_macron", QStringLiteral("ā"), true},
                      FidelityCase{"lone_high_surrogate", kLoneSurrogate, false},
                      FidelityCase{"lone_low_surrogate", QStringLiteral("x") + QChar(0xDF75), false},
                      FidelityCase{"pair_in_reverse", QString(QChar(0xDF75)) + QChar(0xD83C), false},
                      FidelityCase{"empty_text", QString(), true}),
    ByName());

}  // namespace
