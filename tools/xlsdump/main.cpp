// xlsdump [--unknown-records] FILE: columns A-C of a workbook's first sheet
// as CSV on standard output, read exactly as the import window reads them.

#include "spreadsheet/SheetFile.h"

#include <QStringEncoder>

#include <cstdio>
#include <cstring>

namespace {

const char *const kUsage =
    "usage: xlsdump [--unknown-records] FILE.xls\n"
    "Prints columns A-C of the first sheet as CSV.\n"
    "  --unknown-records  also list on standard error the records of the sheet\n"
    "                     the reader does not know, by id, with their count\n"
    "A damaged file whose cells could only be read in part prints what was read\n"
    "and the damage on standard error.\n"
    "Exit status: 0 read; 1 read, but damaged or --unknown-records found some;\n"
    "             2 the file was refused or the usage is wrong.\n";

// `field` quoted when it holds a comma, quote or line break, quotes doubled.
// Appends `field` to `out`, quoted when it holds a comma, quote or line
// break, its quotes doubled.
void appendCsvField(QString &out, const QString &field)
{
    if (!field.contains(u',') && !field.contains(u'"') && !field.contains(u'\n') && !field.contains(u'\r')) {
        out += field;
        return;
    }
    out += u'"';
    out += QString(field).replace(u'"', QStringLiteral("\"\""));
    out += u'"';
}

// Writes the rows as CSV in UTF-8, a block at a time, so that a large sheet
// never stands in memory a second and third time as one text. False when
// standard output refused a write.
bool writeCsv(const spreadsheet::SheetColumns &sheet)
{
    constexpr qsizetype kBlock = 32 * 1024;
    QStringEncoder utf8(QStringEncoder::Utf8);
    QString block;
    block.reserve(kBlock + 1024);
    const auto flush = [&] {
        const QByteArray bytes = utf8.encode(block);
        block.resize(0);
        return std::fwrite(bytes.constData(), 1, std::size_t(bytes.size()), stdout) == std::size_t(bytes.size());
    };
    for (const auto &row : sheet.rows) {
        for (std::size_t column = 0; column < row.size(); ++column) {
            appendCsvField(block, row[column]);
            block += column + 1 < row.size() ? u',' : u'\n';
        }
        if (block.size() >= kBlock && !flush())
            return false;
    }
    return flush() && std::fflush(stdout) == 0;
}

}  // namespace

int main(int argc, char **argv)
{
    const bool listUnknown = argc == 3 && std::strcmp(argv[1], "--unknown-records") == 0;
    if (argc != 2 + (listUnknown ? 1 : 0) || argv[argc - 1][0] == '-') {
        std::fputs(kUsage, stderr);
        return 2;
    }
    const char *path = argv[argc - 1];
    const spreadsheet::SheetColumns sheet = spreadsheet::readSheet(QString::fromLocal8Bit(path));
    if (!sheet.ok()) {
        std::fprintf(stderr, "xlsdump: %s: %s\n", path, sheet.message.toLocal8Bit().constData());
        return 2;
    }
    if (!writeCsv(sheet))
        return 2;
    if (sheet.damaged)
        std::fprintf(stderr, "xlsdump: %s: %s\n", path, sheet.message.toLocal8Bit().constData());
    if (listUnknown) {
        for (const auto &[id, count] : sheet.unknownRecords)
            std::fprintf(stderr, "xlsdump: %s: unknown record id 0x%04X: %d\n", path, unsigned(id), count);
    }
    return sheet.damaged || (listUnknown && !sheet.unknownRecords.empty()) ? 1 : 0;
}
