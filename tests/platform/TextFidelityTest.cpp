#include <gtest/gtest.h>

#include "platform/ado/TextFidelity.h"

namespace {

using ado::TextFidelity;

const QString kTurkish = QStringLiteral("çğıİöşü ÇĞIÖŞÜ");
const QString kEmoji = QString::fromUtf8("Çay \xF0\x9F\x8D\xB5");  // U+1F375 beyond the BMP
const QString kLoneSurrogate = QString(QChar(0xD83C)) + QStringLiteral("x");

struct FidelityCase {
    const char *name;
    int codePage;  // 0 stands for "no code page", -1 for a Unicode binding
    QString value;
    bool exact;
};

class TextFidelityExact : public ::testing::TestWithParam<FidelityCase> {};

TEST_P(TextFidelityExact, says_whether_the_text_arrives_unchanged)
{
    const FidelityCase &c = GetParam();
    const TextFidelity fidelity = c.codePage < 0 ? TextFidelity::unicode() : TextFidelity::codePage(c.codePage);
    EXPECT_EQ(fidelity.isExact(c.value), c.exact);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, TextFidelityExact,
    ::testing::Values(FidelityCase{"unicode_turkish", -1, kTurkish, true},
                      FidelityCase{"unicode_emoji", -1, kEmoji, true},
                      FidelityCase{"unicode_lone_surrogate", -1, kLoneSurrogate, false},
                      FidelityCase{"turkish_code_page_turkish", 1254, kTurkish, true},
                      FidelityCase{"turkish_code_page_euro", 1254, QStringLiteral("10 €"), true},
                      FidelityCase{"turkish_code_page_emoji", 1254, kEmoji, false},
                      FidelityCase{"turkish_code_page_a_macron", 1254, QStringLiteral("ā"), false},
                      FidelityCase{"western_code_page_turkish", 1252, QStringLiteral("ş"), false},
                      FidelityCase{"western_code_page_accent", 1252, QStringLiteral("é"), true},
                      FidelityCase{"utf8_code_page_emoji", 65001, kEmoji, true},
                      FidelityCase{"unknown_code_page_ascii", 0, QStringLiteral("Ayran 200 ml"), true},
                      FidelityCase{"unknown_code_page_turkish", 0, QStringLiteral("ç"), false},
                      FidelityCase{"unconvertible_code_page_turkish", 99999, QStringLiteral("ç"), false},
                      FidelityCase{"empty_text", 1254, QString(), true}),
    [](const auto &info) { return std::string(info.param.name); });

}  // namespace
