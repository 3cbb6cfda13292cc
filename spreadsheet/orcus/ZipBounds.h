#pragma once
// The parts of a zip archive checked before the import library reads them:
// its zip layer allocates whatever size a part declares, shows no sizes to
// check first, and hands on what a damaged part inflates to without a word,
// which its XML parser then may abort the process on.

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
// `limits` and, stored or deflated, gives exactly the bytes and checksum it
// declares; otherwise why the archive is refused. The declarations are all
// checked before any part is expanded, and parts are expanded piece by piece
// into a small buffer. The directory is found as the import library finds it
// (the last end record, within the last 64 KiB) and walked as it walks it
// (header after header while the signature holds), so no part it could
// expand escapes the check.
QString zipBoundsProblem(QByteArrayView archive, const ZipLimits &limits = {});

}  // namespace spreadsheet::orcusimport
