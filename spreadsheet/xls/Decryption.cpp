#include "spreadsheet/xls/Decryption.h"

#include "spreadsheet/xls/BiffRecords.h"
#include "spreadsheet/xls/FilePass.h"

namespace xls {
namespace {

// How many bytes at the start of a record body stay unencrypted.
std::size_t plainPrefix(std::uint16_t id, std::size_t size)
{
    switch (id) {
    case biff::Bof:
    case biff::FilePass:
    case 0x00E1:  // INTERFACEHDR
    case 0x0194:  // USREXCL
    case 0x0195:  // FILELOCK
    case 0x0196:  // RRDINFO
    case 0x0138:  // RRDHEAD
        return size;
    case biff::BoundSheet:
        return std::min<std::size_t>(size, 4);  // the sheet's stream offset
    default:
        return 0;
    }
}

// Decrypts the bodies of the records from `offset` on; a record cut off by
// the end of the stream is decrypted as far as it goes.
void decryptRecords(std::span<std::uint8_t> stream, std::size_t offset, RecordCipher &cipher)
{
    while (fits(stream, offset, 4)) {
        const std::uint16_t id = u16At(stream, offset);
        const std::size_t size = u16At(stream, offset + 2);
        const std::size_t body = offset + 4;
        const std::size_t start = body + plainPrefix(id, size);
        const std::size_t end = std::min(body + size, stream.size());
        if (start < end)
            cipher.decrypt(stream.subspan(start, end - start), start, size);
        offset = body + size;
    }
}

}  // namespace

Status decryptWorkbookStream(Bytes &stream, std::vector<std::uint8_t> &storage)
{
    biff::RecordReader reader(stream);
    biff::Record record;
    if (!reader.next(record) || record.id != biff::Bof)
        return {};  // not a workbook: the globals say why
    const bool biff8 = u16At(record.data, 0) >= 0x0600;
    // FILEPASS comes among the first records of the globals; everything
    // before it and its own body are unencrypted.
    bool found = false;
    while (!found && reader.next(record)) {
        if (record.id == biff::Eof || record.id == biff::Bof)
            return {};
        found = record.id == biff::FilePass;
    }
    if (!found)
        return {};
    std::unique_ptr<RecordCipher> cipher;
    if (Status s = defaultPasswordCipher(record.data, biff8, cipher); !s.ok())
        return s;
    storage.assign(stream.begin(), stream.end());
    decryptRecords(storage, reader.offset(), *cipher);
    stream = storage;
    return {};
}

}  // namespace xls
