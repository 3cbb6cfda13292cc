// One very long text referenced by thousands of cells, as a hostile or
// careless workbook has it: each cell reads cut to kMaxCellText, the cut
// text shared, and xlsdump's output bounded by it.

#include "ZipBuilder.h"
#include "tests/common/ScratchFile.h"

#include <gtest/gtest.h>

#include <QElapsedTimer>
#include <QProcess>

namespace {

constexpr int kRows = 4000;

// A sheet of kRows rows whose cells A-C all name one shared string of a million characters.
QByteArray millionCharactersEverywhere()
{
    QByteArray sheet;
    for (int row = 1; row <= kRows; ++row) {
        const QByteArray r = QByteArray::number(row);
        sheet += "<row r=\"" + r + "\"><c r=\"A" + r + "\" t=\"s\"><v>0</v></c><c r=\"B" + r
                 + "\" t=\"s\"><v>0</v></c><c r=\"C" + r + "\" t=\"s\"><v>0</v></c></row>";
    }
    return openXmlPackage(sheet, "<si><t>" + QByteArray("fIdrLGOpeoNLbx").repeated(1 << 20).left(1 << 20) + "</t></si>");
}

TEST(LongTextTest, xlsdump_output_is_bounded_by_the_cut)
{
    const ScratchFile file(QStringLiteral("long.xlsx"), millionCharactersEverywhere());
    ASSERT_TRUE(file.ok());

    QElapsedTimer clock;
    clock.start();
    QProcess process;
    process.start(QStringLiteral(XLSDUMP_PATH), {file.path()});
    qint64 written = 0;
    // Unclipped, the output would be 12 GB; stop long before.
    constexpr qint64 kLimitMs = 120'000;
    while (process.state() != QProcess::NotRunning && clock.elapsed() < kLimitMs) {
        process.waitForReadyRead(1000);
        written += process.readAllStandardOutput().size();
    }
    if (process.state() != QProcess::NotRunning) {
        process.kill();
        process.waitForFinished();
        FAIL() << "still writing after " << written << " bytes";
    }
    written += process.readAllStandardOutput().size();
    EXPECT_EQ(process.exitCode(), 0) << process.readAllStandardError().toStdString();
    EXPECT_EQ(written, qint64(kRows) * (3 * 32'767 + 3));  // three cut texts, two commas and a line end a row
    RecordProperty("milliseconds", int(clock.elapsed()));
}

}  // namespace
