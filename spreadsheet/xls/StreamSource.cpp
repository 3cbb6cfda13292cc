#include "spreadsheet/xls/StreamSource.h"

#include <algorithm>
#include <cstring>

namespace spreadsheet::xls {

StreamSource::StreamSource(const QByteArray &bytes)
    : memory_(std::make_unique<QBuffer>()), extents_{{0, std::uint64_t(bytes.size())}}, size_(std::uint64_t(bytes.size()))
{
    memory_->setData(bytes);
    memory_->open(QIODevice::ReadOnly);
    device_ = memory_.get();
}

StreamSource::StreamSource(QIODevice &device, std::vector<Extent> extents, std::uint64_t size)
    : device_(&device), extents_(std::move(extents)), size_(size)
{
}

std::size_t StreamSource::read(std::uint64_t offset, std::span<std::uint8_t> out)
{
    if (offset >= size_)
        return 0;
    const std::size_t wanted = std::size_t(std::min<std::uint64_t>(out.size(), size_ - offset));
    std::size_t done = 0;
    std::uint64_t extentStart = 0;  // stream offset of the extent's first byte
    for (const Extent &extent : extents_) {
        if (done == wanted)
            break;
        const std::uint64_t at = offset + done;
        if (at >= extentStart + extent.size) {
            extentStart += extent.size;
            continue;
        }
        const std::size_t count = std::size_t(std::min<std::uint64_t>(wanted - done, extentStart + extent.size - at));
        qint64 got = 0;
        if (device_->seek(qint64(extent.offset + (at - extentStart))))
            got = std::max<qint64>(0, device_->read(reinterpret_cast<char *>(out.data() + done), qint64(count)));
        std::memset(out.data() + done + got, 0, count - std::size_t(got));
        done += count;
        extentStart += extent.size;
    }
    std::memset(out.data() + done, 0, wanted - done);
    return wanted;
}

}  // namespace spreadsheet::xls
