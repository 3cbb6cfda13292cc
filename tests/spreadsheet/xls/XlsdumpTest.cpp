// The xlsdump program: CSV on standard output, refusals and unknown records
// on standard error.

#include "WorkbookBuilder.h"

#include <gtest/gtest.h>

#include <QFile>
#include <QProcess>
#include <QTemporaryDir>

namespace {

struct DumpRun {
    int exitCode;
    QString out;
    QString err;
};

DumpRun xlsdump(const QStringList &arguments)
{
    QProcess process;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("LC_ALL"), QStringLiteral("C"));
    process.setProcessEnvironment(environment);
    process.start(QStringLiteral(XLSDUMP_PATH), arguments);
    process.waitForFinished(-1);
    return {process.exitCode(), QString::fromUtf8(process.readAllStandardOutput()),
            QString::fromUtf8(process.readAllStandardError())};
}

QString testFile(const char *name)
{
    return QStringLiteral(XLS_TEST_DATA "/") + QString::fromLatin1(name);
}

TEST(XlsdumpTest, prints_every_column_as_rfc4180_csv)
{
    const DumpRun run = xlsdump({testFile("lo_cells.xls")});
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
                                      "1.5,-2.25,0.000001234\n"
                                      ",,,yalnız D\n"));
    EXPECT_TRUE(run.err.isEmpty());
}

TEST(XlsdumpTest, a_refused_file_exits_2_with_the_reason_on_standard_error)
{
    const DumpRun run = xlsdump({testFile("encrypted.xls")});
    EXPECT_EQ(run.exitCode, 2);
    EXPECT_TRUE(run.out.isEmpty());
    EXPECT_TRUE(run.err.contains(QStringLiteral("password"))) << run.err.toStdString();
}

// `stream` written as a workbook file in `dir`, under `name`.
QString writeWorkbook(const QTemporaryDir &dir, const char *name, const xlstest::Bytes &stream)
{
    const QString path = dir.filePath(QString::fromLatin1(name));
    QFile file(path);
    EXPECT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(xlstest::CompoundImage(stream).data());
    return path;
}

TEST(XlsdumpTest, unknown_records_are_listed_by_id_on_request_and_exit_1)
{
    using namespace xlstest;
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const Bytes cellLike = cell(1, 0);
    const QString path = writeWorkbook(dir, "unknown.xls",
                                       workbookStream({}, concat({label(0, 1, "Cay"), record(0x0206, cellLike),
                                                                  record(0x0123, {}), record(0x0206, cellLike)})));

    const DumpRun plain = xlsdump({path});
    EXPECT_EQ(plain.exitCode, 0);
    EXPECT_TRUE(plain.err.isEmpty());

    const DumpRun listed = xlsdump({QStringLiteral("--unknown-records"), path});
    EXPECT_EQ(listed.exitCode, 1);
    EXPECT_EQ(listed.out, plain.out);
    EXPECT_EQ(listed.err, QStringLiteral("xlsdump: %1: unknown record id 0x0123: 1\n"
                                         "xlsdump: %1: unknown record id 0x0206: 2\n").arg(path));

    const DumpRun known = xlsdump({QStringLiteral("--unknown-records"), testFile("lo_cells.xls")});
    EXPECT_EQ(known.exitCode, 0);
    EXPECT_TRUE(known.err.isEmpty());
}

TEST(XlsdumpTest, a_damaged_file_prints_what_was_read_and_the_damage_and_exits_1)
{
    using namespace xlstest;
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString path =
        writeWorkbook(dir, "cut.xls", workbookStream({}, concat({label(0, 1, "Cay"), labelSst(1, 1, 0)})));
    const DumpRun run = xlsdump({path});
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_EQ(run.out, QStringLiteral(",Cay,\n"));
    EXPECT_EQ(run.err,
              QStringLiteral("xlsdump: %1: damaged sheet: row 2: cell text lost: the workbook has no shared string table\n")
                  .arg(path));
}

TEST(XlsdumpTest, a_cell_stored_after_a_later_row_is_written_in_its_row)
{
    using namespace xlstest;
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString path = writeWorkbook(
        dir, "late.xls", workbookStream({}, concat({label(0, 0, "a"), label(2, 0, "c"), label(1, 1, "late")})));
    const DumpRun run = xlsdump({path});
    EXPECT_EQ(run.exitCode, 0);
    EXPECT_EQ(run.out, QStringLiteral("a,,\n,late,\nc,,\n"));
    EXPECT_TRUE(run.err.isEmpty()) << run.err.toStdString();
}

}  // namespace
