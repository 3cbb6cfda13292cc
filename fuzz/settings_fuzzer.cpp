// Feeds arbitrary bytes to the settings file reader as the content of the
// settings file, then takes the text it found through the start-up choice
// and the connection-text parser, as start-up does. Nothing may crash, hang
// or leak, and a file that was not loaded yields no text.

#include "connection/baglanmodul.h"
#include "platform/ado/OleDbText.h"
#include "platform/ado/Target.h"

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    const QByteArray bytes = QByteArray::fromRawData(reinterpret_cast<const char *>(data), qsizetype(size));
    const xml::LoadResult loaded = baglanmodul::ayarlaricoz(bytes);
    if (!loaded && (!baglanmodul::ayarmetni.isEmpty() || loaded.detail().isEmpty()))
        __builtin_trap();

    baglanmodul::chooseConnection();
    if (baglanmodul::ayarvar != (baglanmodul::ayarmetni.size() >= 3 ? 1 : 0))
        __builtin_trap();
    const ado::OleDbText text = ado::OleDbText::parse(baglanmodul::connectionText());
    (void)ado::chooseTarget(text, ado::Os::Windows);
    (void)ado::chooseTarget(text, ado::Os::Other);
    return 0;
}
