// xlsdump FILE: columns A-C of a workbook's first sheet as CSV on standard
// output, read exactly as the import window reads them.

#include "platform/xls/XlsReader.h"

#include <cstdio>

namespace {

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
    if (argc != 2) {
        std::fputs("usage: xlsdump FILE.xls\n", stderr);
        return 2;
    }
    const xls::SheetColumns sheet = xls::readColumnsAtoC(QString::fromLocal8Bit(argv[1]));
    if (!sheet.ok()) {
        std::fprintf(stderr, "xlsdump: %s: %s\n", argv[1], sheet.message.toLocal8Bit().constData());
        return 2;
    }
    QString out;
    for (const auto &row : sheet.rows)
        out += csvField(row[0]) + u',' + csvField(row[1]) + u',' + csvField(row[2]) + u'\n';
    const QByteArray utf8 = out.toUtf8();
    std::fwrite(utf8.constData(), 1, std::size_t(utf8.size()), stdout);
    return std::fflush(stdout) == 0 ? 0 : 2;
}
