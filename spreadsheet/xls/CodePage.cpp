#include "spreadsheet/xls/CodePage.h"

#include <QStringDecoder>

namespace spreadsheet::xls {

CodePage::CodePage(unsigned id) : id_(id)
{
    switch (id) {
    case 1254:
        table_ = &codepage::SingleByteCodePage::windows1254();
        break;
    case 1252:
    case 367:    // US-ASCII
    case 32769:  // Windows-1252 as BIFF2-4 writers name it
        table_ = &codepage::SingleByteCodePage::windows1252();
        break;
    case 1200:  // UTF-16LE: BIFF8 never decodes through it, some BIFF5 writers store text so
        converterName_ = "UTF-16LE";
        break;
    case 10000:
    case 32768:
        converterName_ = "macintosh";
        break;
    default:
        converterName_ = ((id >= 1250 && id <= 1258) || id == 874 ? "windows-" : "cp") + QByteArray::number(id);
        if (!QStringDecoder(converterName_.constData()).isValid()) {
            converterName_.clear();
            table_ = &codepage::SingleByteCodePage::windows1252();
        }
    }
}

QString CodePage::decode(Bytes text) const
{
    const QByteArrayView bytes(text.data(), qsizetype(text.size()));
    if (table_)
        return table_->decode(bytes);
    QStringDecoder decoder(converterName_.constData(), QStringConverter::Flag::Stateless);
    return decoder.decode(bytes);
}

}  // namespace spreadsheet::xls
