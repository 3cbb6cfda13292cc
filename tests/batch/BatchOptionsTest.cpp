#include <gtest/gtest.h>

#include "batch/BatchOptions.h"
#include "batch/ProgressBar.h"

using batch::DuplicatePolicy;
using batch::parseArguments;
using batch::TargetSource;

TEST(BatchOptions, EveryChoiceHasTheWindowsDefaultAndTheWindowsOwnTarget)
{
    const batch::ParsedArguments parsed = parseArguments({QStringLiteral("toplu-ekle"), QStringLiteral("a.xls")});
    ASSERT_TRUE(parsed.ok()) << parsed.usageError.toStdString();
    const batch::BatchOptions &o = parsed.options;
    EXPECT_EQ(o.file, QStringLiteral("a.xls"));
    EXPECT_EQ(o.group, QStringLiteral("SEÇİLMEDİ"));
    EXPECT_EQ(o.unitPosition, 0);
    EXPECT_EQ(o.colourPosition, 3);  // MAVİ
    EXPECT_FALSE(o.printer.has_value());
    EXPECT_EQ(o.duplicates, DuplicatePolicy::Skip);
    ASSERT_EQ(o.targets.size(), 1);
    EXPECT_EQ(o.targets[0].kind, TargetSource::Kind::WindowDefault);
}

TEST(BatchOptions, ColoursAndUnitsAreReadWithOrWithoutTurkishLetters)
{
    for (const auto &[spelling, position] : {std::pair{"MAVİ", 3}, {"mavi", 3}, {"Siyah", 4}, {"SİYAH", 4},
                                             {"yesil", 5}, {"YEŞİL", 5}, {"gri", 6}, {"beyaz", 0}}) {
        const batch::ParsedArguments parsed = parseArguments(
            {QStringLiteral("toplu-ekle"), QStringLiteral("--colour"), QString::fromUtf8(spelling), QStringLiteral("a.xls")});
        ASSERT_TRUE(parsed.ok()) << spelling;
        EXPECT_EQ(parsed.options.colourPosition, position) << spelling;
    }
    EXPECT_EQ(parseArguments({QStringLiteral("t"), QStringLiteral("--unit=KG"), QStringLiteral("a")}).options.unitPosition, 1);
}

TEST(BatchOptions, TargetsKeepTheirOrderAndAnOptionAfterTheEndMarkIsAFile)
{
    const batch::ParsedArguments parsed = parseArguments(
        {QStringLiteral("t"), QStringLiteral("--settings"), QStringLiteral("a.xml"), QStringLiteral("--connection=Data Source=x.db"),
         QStringLiteral("--settings=b.xml"), QStringLiteral("--"), QStringLiteral("--dosya.csv")});
    ASSERT_TRUE(parsed.ok()) << parsed.usageError.toStdString();
    EXPECT_EQ(parsed.options.file, QStringLiteral("--dosya.csv"));
    ASSERT_EQ(parsed.options.targets.size(), 3);
    EXPECT_EQ(parsed.options.targets[0].value, QStringLiteral("a.xml"));
    EXPECT_EQ(parsed.options.targets[1].kind, TargetSource::Kind::ConnectionText);
    EXPECT_EQ(parsed.options.targets[1].value, QStringLiteral("Data Source=x.db"));
    EXPECT_EQ(parsed.options.targets[2].value, QStringLiteral("b.xml"));
    // A switch takes no value.
    EXPECT_FALSE(parseArguments({QStringLiteral("t"), QStringLiteral("--show=yes"), QStringLiteral("a")}).ok());
}

TEST(ProgressBar, TheLineShowsRowsRateAndTimeLeft)
{
    qint64 now = 0;
    import::ProgressMeter meter(10000, 100, [&now] { return now; });
    EXPECT_EQ(batch::progressLine(meter),
              QStringLiteral("[                    ] 0/10000 satır · 0 satır/sn · kalan ?"));
    now = 5000;
    meter.advance(4000);  // 800 rows/s, 6000 to go
    EXPECT_EQ(batch::progressLine(meter),
              QStringLiteral("[########            ] 4000/10000 satır · 800 satır/sn · kalan 0:08"));
    now = 7500;
    meter.advance(10000);
    EXPECT_EQ(batch::progressLine(meter),
              QStringLiteral("[####################] 10000/10000 satır · 1333 satır/sn · kalan 0:00"));
}
