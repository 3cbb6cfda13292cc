// The xlsdump program: CSV on standard output, refusals on standard error.

#include <gtest/gtest.h>

#include <QProcess>

namespace {

struct DumpRun {
    int exitCode;
    QString out;
    QString err;
};

DumpRun xlsdump(const QString &file)
{
    QProcess process;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("LC_ALL"), QStringLiteral("C"));
    process.setProcessEnvironment(environment);
    process.start(QStringLiteral(XLSDUMP_PATH), {QStringLiteral(XLS_TEST_DATA "/") + file});
    process.waitForFinished(-1);
    return {process.exitCode(), QString::fromUtf8(process.readAllStandardOutput()),
            QString::fromUtf8(process.readAllStandardError())};
}

TEST(XlsdumpTest, prints_columns_a_to_c_as_rfc4180_csv)
{
    const DumpRun run = xlsdump(QStringLiteral("lo_cells.xls"));
    EXPECT_EQ(run.exitCode, 0);
    EXPECT_EQ(run.out, QStringLiteral("8690504012345,Çay Bardağı,12.5\n"
                                      "#DIV/0!,Şeker,TRUE\n"
                                      "8690504012346,#N/A,\n"
                                      "0,  boşluk  ,0.3\n"
                                      "15 Mar 2024,13:45:00,0.18\n"
                                      "15 Mar 2024 13:45:00,\"satır1\nsatır2\",-3.25\n"
                                      ",,\n"
                                      "123456789.123457,\"🍕 Pizza, \"\"büyük\"\"\",100000000000000000000\n"
                                      "1,2,3\n"
                                      "1.5,-2.25,0.000001234\n"));
    EXPECT_TRUE(run.err.isEmpty());
}

TEST(XlsdumpTest, a_refused_file_exits_2_with_the_reason_on_standard_error)
{
    const DumpRun run = xlsdump(QStringLiteral("encrypted.xls"));
    EXPECT_EQ(run.exitCode, 2);
    EXPECT_TRUE(run.out.isEmpty());
    EXPECT_TRUE(run.err.contains(QStringLiteral("password"))) << run.err.toStdString();
}

}  // namespace
