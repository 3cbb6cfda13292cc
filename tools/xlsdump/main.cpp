// xlsdump [--unknown-records] FILE: the cells of a workbook's first sheet
// as CSV on standard output, read exactly as the import window reads them.
// Rows are written as they are read; a sheet whose cells are not stored in
// row order is held whole and written at its end.

#include "spreadsheet/SheetFile.h"

#include <QStringEncoder>

#include <algorithm>
#include <cstdio>
#include <cstring>

namespace {

const char *const kUsage =
    "usage: xlsdump [--unknown-records] FILE.xls\n"
    "Prints the cells of the first sheet (columns A-IV) as CSV.\n"
    "  --unknown-records  also list on standard error the records of the sheet\n"
    "                     the reader does not know, by id, with their count\n"
    "A damaged file whose cells could only be read in part prints what was read\n"
    "and the damage on standard error.\n"
    "Exit status: 0 read; 1 read, but damaged or --unknown-records found some;\n"
    "             2 the file was refused or the usage is wrong.\n";

// Appends `field` to `out`, quoted when it holds a comma, quote or line
// break, its quotes doubled.
void appendCsvField(QString &out, const QString &field)
{
    // One pass over the field, not one per special character.
    const bool plain = std::none_of(field.begin(), field.end(), [](QChar c) {
        return c == u',' || c == u'"' || c == u'\n' || c == u'\r';
    });
    if (plain) {
        out += field;
        return;
    }
    out += u'"';
    out += QString(field).replace(u'"', QStringLiteral("\"\""));
    out += u'"';
}

// Writes rows as CSV in UTF-8 as the reader hands them over, a block at a
// time, so that a large sheet never stands in memory whole.
class CsvWriter final : public spreadsheet::RowSink {
public:
    CsvWriter() { block_.reserve(kBlock + 1024); }

    void row(std::size_t, const spreadsheet::RowCells &cells) override
    {
        for (qsizetype column = 0; column < cells.size(); ++column) {
            appendCsvField(block_, cells[column]);
            block_ += column + 1 < cells.size() ? u',' : u'\n';
        }
        if (block_.size() >= kBlock)
            flush();
    }

    // Writes what is left; false when standard output refused any write.
    bool finish()
    {
        flush();
        return ok_ && std::fflush(stdout) == 0;
    }

private:
    static constexpr qsizetype kBlock = 32 * 1024;

    void flush()
    {
        const QByteArray bytes = utf8_.encode(block_);
        block_.resize(0);
        ok_ = ok_ && std::fwrite(bytes.constData(), 1, std::size_t(bytes.size()), stdout) == std::size_t(bytes.size());
    }

    QStringEncoder utf8_{QStringEncoder::Utf8};
    QString block_;
    bool ok_ = true;
};

}  // namespace

int main(int argc, char **argv)
{
    const bool listUnknown = argc == 3 && std::strcmp(argv[1], "--unknown-records") == 0;
    if (argc != 2 + (listUnknown ? 1 : 0) || argv[argc - 1][0] == '-') {
        std::fputs(kUsage, stderr);
        return 2;
    }
    const char *path = argv[argc - 1];
    CsvWriter csv;
    const spreadsheet::SheetOutcome sheet = spreadsheet::readSheet(QString::fromLocal8Bit(path), csv);
    if (!sheet.ok()) {
        std::fprintf(stderr, "xlsdump: %s: %s\n", path, sheet.detail().toLocal8Bit().constData());
        return 2;
    }
    if (!csv.finish())
        return 2;
    if (sheet.damaged)
        std::fprintf(stderr, "xlsdump: %s: %s\n", path, sheet.damage.toLocal8Bit().constData());
    if (listUnknown) {
        for (const auto &[id, count] : sheet.unknownRecords)
            std::fprintf(stderr, "xlsdump: %s: unknown record id 0x%04X: %d\n", path, unsigned(id), count);
    }
    return sheet.damaged || (listUnknown && !sheet.unknownRecords.empty()) ? 1 : 0;
}
