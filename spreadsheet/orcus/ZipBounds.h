#pragma once
// The sizes a zip archive declares for its parts, checked before anything is
// expanded: the zip layer of the import library allocates what a part
// declares and offers no way to look at the declarations first.

#include <QByteArrayView>
#include <QString>

#include <cstdint>

namespace spreadsheet::orcusimport {

// How far the parts of one archive may expand.
struct ZipLimits {
    std::uint64_t totalBytes = std::uint64_t(1) << 30;  // all parts together
    std::uint64_t ratio = 1000;                          // one part, expanded : compressed
};

// Empty when every part that the central directory lists stays within
// `limits`, otherwise why the archive is refused. The directory is found as
// the import library finds it (the last end record, within the last 64 KiB),
// and walked as it walks it (header after header while the signature holds),
// so no part it could expand escapes the check.
QString zipBoundsProblem(QByteArrayView archive, const ZipLimits &limits = {});

}  // namespace spreadsheet::orcusimport
