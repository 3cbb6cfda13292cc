#include "import/ColourTable.h"

#include <array>

namespace import {

namespace {

struct Colour {
    const char16_t *name;
    const char16_t *text;
};

// White is the one colour the point of sale takes by name.
constexpr std::array<Colour, 8> table{{
    {u"BEYAZ", u"White"},
    {u"KIRMIZI", u"#FFFF0000"},
    {u"SARI", u"#FFFFFF00"},
    {u"MAVİ", u"#FF0000FF"},
    {u"SİYAH", u"#FF000000"},
    {u"YEŞİL", u"#FF008000"},
    {u"GRİ", u"#FFABA99E"},
    {u"MOR", u"#FFA589C7"},
}};

}  // namespace

QStringList colourNames()
{
    QStringList result;
    for (const Colour &colour : table)
        result << QString::fromUtf16(colour.name);
    return result;
}

std::optional<QString> colourText(int position)
{
    if (position < 0 || position >= static_cast<int>(table.size()))
        return std::nullopt;
    return QString::fromUtf16(table[static_cast<size_t>(position)].text);
}

}  // namespace import
