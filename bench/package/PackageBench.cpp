// bench_package [FILE.xlsx]: times the .xlsx reader on FILE, or on the 65,535-row
// product list of the .xls benchmark saved as .xlsx by LibreOffice (or, with
// no LibreOffice, written as it writes it by make_xlsx_workbook.py), and
// compares with python3-openpyxl in read-only mode on the same file, the two
// taking turns.

#include "BenchSupport.h"
#include "spreadsheet/package/PackageReader.h"

#include <QFile>
#include <QStandardPaths>
#include <QStringList>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>
#include <optional>
#include <vector>

namespace {

// Rounds of our best of three reads and one run of the openpyxl script,
// which gives its best of three too.
constexpr int kRounds = 5;
constexpr int kReadsPerRound = 3;

const QString kXlsScripts = QStringLiteral(BENCH_XLS_SCRIPTS "/");
const QString kScripts = QStringLiteral(BENCH_SCRIPTS "/");

// The benchmark workbook as LibreOffice saves it as .xlsx, in `folder`; empty when it cannot be made.
QString saveByLibreOffice(const QString &folder)
{
    const QString xls = folder + "/bench.xls";
    if (!runForOutput(QStringLiteral("/usr/bin/python3"), {kXlsScripts + "make_bench_workbook.py", xls}))
        return {};
    const QString office = QStandardPaths::findExecutable(QStringLiteral("soffice"));
    if (office.isEmpty()
        || !runForOutput(office, {QStringLiteral("--headless"), "-env:UserInstallation=file://" + folder + "/profile",
                         QStringLiteral("--convert-to"), QStringLiteral("xlsx"), QStringLiteral("--outdir"), folder,
                         xls}))
        return {};
    return folder + "/bench.xlsx";
}

// The same list written the way LibreOffice writes it, by a script that needs
// only Python's standard library; empty when even that cannot run.
QString writeLikeLibreOffice(const QString &folder)
{
    const QString xlsx = folder + "/bench-python.xlsx";
    if (!runForOutput(QStringLiteral("/usr/bin/python3"), {kScripts + "make_xlsx_workbook.py", xlsx}))
        return {};
    return xlsx;
}

QString makeWorkbook(const QString &folder)
{
    if (QString saved = saveByLibreOffice(folder); !saved.isEmpty())
        return saved;
    std::puts("(no python3-xlwt or LibreOffice: the workbook is written by make_xlsx_workbook.py)");
    return writeLikeLibreOffice(folder);
}

}  // namespace

int main(int argc, char **argv)
{
    QTemporaryDir scratch;
    const QString workbook = argc > 1 ? QString::fromLocal8Bit(argv[1]) : makeWorkbook(scratch.path());
    if (workbook.isEmpty()) {
        std::fputs("bench_package: cannot generate the workbook (no python3?); pass FILE.xlsx\n",
                   stderr);
        return 2;
    }
    const QLocale turkish(QLocale::Turkish, QLocale::Turkey);

    std::size_t rows = 0;
    QString refusal;
    const auto read = [&] {
        QFile file(workbook);
        if (!file.open(QIODevice::ReadOnly)) {
            refusal = file.errorString();
            return false;
        }
        const spreadsheet::SheetColumns sheet = spreadsheet::readWorkbookPackage(file.readAll(), turkish);
        rows = sheet.rows.size();
        refusal = sheet.detail();
        return sheet.ok();
    };

    // Our reads and openpyxl's take turns, so that a busy spell of the
    // machine weighs on both alike; each round compares the two.
    std::vector<double> ours, theirs;  // the best of each round
    double first = 0;
    bool openpyxl = true;
    for (int round = 1; round <= kRounds; ++round) {
        const std::optional<RunTimes> mine = timeRuns(kReadsPerRound, read);
        if (!mine) {
            std::fprintf(stderr, "bench_package: %s\n", qPrintable(refusal));
            return 2;
        }
        if (round == 1)
            first = mine->first;
        ours.push_back(mine->best);
        const auto their = openpyxl ? runForOutput(QStringLiteral("/usr/bin/python3"), {kScripts + "openpyxl_read.py", workbook})
                                    : std::nullopt;
        openpyxl = their.has_value();
        if (!openpyxl) {
            std::printf("round %d            ours %.4f s\n", round, ours.back());
            continue;
        }
        theirs.push_back(their->toDouble());
        std::printf("round %d            ours %.4f s, python3-openpyxl %.4f s: %.1f times as fast\n", round, ours.back(),
                    theirs.back(), theirs.back() / ours.back());
    }
    std::sort(ours.begin(), ours.end());
    printReadFigures(workbook, rows, RunTimes{first, ours.front(), ours[ours.size() / 2], int(ours.size())});
    if (theirs.size() != ours.size()) {
        std::printf("python3-openpyxl   not available\n");
        return 0;
    }
    std::sort(theirs.begin(), theirs.end());
    std::printf("python3-openpyxl   best %.4f s read-only: ours %.1f times as fast, best against best "
                "(%.1f times, median against median)\n",
                theirs.front(), theirs.front() / ours.front(), theirs[theirs.size() / 2] / ours[ours.size() / 2]);
    return 0;
}
