// xlsdump [--unknown-records] FILE: columns A-C of a workbook's first sheet
// as CSV on standard output, read exactly as the import window reads them.

#include "spreadsheet/SheetFile.h"

#include <cstdio>
#include <cstring>

namespace {

const char *const kUsage =
    "usage: xlsdump [--unknown-records] FILE.xls\n"
    "Prints columns A-C of the first sheet as CSV.\n"
    "  --unknown-records  also list on standard error the records of the sheet\n"
    "                     the reader does not know, by id, with their count\n"
    "Exit status: 0 read; 1 read, but --unknown-records found some;\n"
    "             2 the file was refused or the usage is wrong.\n";

// `field` quoted when it holds a comma, quote or line break, quotes doubled.
QString csvField(const QString &field)
{
    if (!field.contains(u',') && !field.contains(u'"') && !field.contains(u'\n') && !field.contains(u'\r'))
        return field;
    QString quoted = field;
    quoted.replace(u'"', QStringLiteral("\"\""));
    return u'"' + quoted + u'"';
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
    QString out;
    for (const auto &row : sheet.rows)
        out += csvField(row[0]) + u',' + csvField(row[1]) + u',' + csvField(row[2]) + u'\n';
    const QByteArray utf8 = out.toUtf8();
    std::fwrite(utf8.constData(), 1, std::size_t(utf8.size()), stdout);
    if (std::fflush(stdout) != 0)
        return 2;
    if (!listUnknown)
        return 0;
    for (const auto &[id, count] : sheet.unknownRecords)
        std::fprintf(stderr, "xlsdump: %s: unknown record id 0x%04X: %d\n", path, unsigned(id), count);
    return sheet.unknownRecords.empty() ? 0 : 1;
}
