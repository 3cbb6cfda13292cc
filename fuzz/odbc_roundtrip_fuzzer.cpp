// Feeds arbitrary bytes, read as UTF-8, as an OLE DB connection text; when it
// names a SQL Server login, the ODBC string built from it for each driver
// family is read back by that driver's rules and must name the same server,
// database and credentials with the same security settings; and the
// string echoed in a driver's message and masked shows none of the password.

#include "tests/platform/ado/OdbcRoundTrip.h"

#include <cstddef>
#include <cstdint>
#include <cstdio>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    const ado::OleDbText text =
        ado::OleDbText::parse(QString::fromUtf8(reinterpret_cast<const char *>(data), qsizetype(size)));
    if (!text.isValid())
        return 0;
    for (QStringView driver : odbcroundtrip::kDrivers) {
        const QString fault = odbcroundtrip::roundTripFault(text, driver) + odbcroundtrip::maskFault(text, driver);
        if (!fault.isEmpty()) {
            std::fprintf(stderr, "%s: %s\n", qPrintable(driver.toString()), qPrintable(fault));
            __builtin_trap();
        }
    }
    return 0;
}
