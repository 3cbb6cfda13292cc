#include "platform/ado/TextFidelity.h"

namespace ado {

TextFidelity TextFidelity::unicode()
{
    return TextFidelity();
}

bool TextFidelity::isExact(const QString &value) const
{
    return value.isValidUtf16();
}

}  // namespace ado
