#include "platform/ado/TextFidelity.h"

#include <QStringEncoder>

namespace ado {

namespace {

constexpr int kUtf8CodePage = 65001;

bool isAscii(const QString &value)
{
    for (QChar c : value) {
        if (c.unicode() > 0x7f)
            return false;
    }
    return true;
}

}  // namespace

TextFidelity TextFidelity::unicode()
{
    return TextFidelity(kUnicode);
}

TextFidelity TextFidelity::codePage(int codePage)
{
    return TextFidelity(codePage == kUtf8CodePage ? kUnicode : codePage);
}

bool TextFidelity::isExact(const QString &value) const
{
    if (!value.isValidUtf16())
        return false;
    if (m_codePage == kUnicode || isAscii(value))
        return true;
    if (m_codePage <= 0)
        return false;
    const QByteArray name = "windows-" + QByteArray::number(m_codePage);
    QStringEncoder encoder(name.constData());
    if (!encoder.isValid())
        return false;
    const QByteArray encoded = encoder.encode(value);
    return !encoder.hasError();
}

}  // namespace ado
