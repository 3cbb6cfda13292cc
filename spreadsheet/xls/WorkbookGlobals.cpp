#include "spreadsheet/xls/WorkbookGlobals.h"

#include "spreadsheet/xls/FilePass.h"

namespace spreadsheet::xls {
namespace {

constexpr std::uint16_t kBiff5 = 0x0500;
constexpr std::uint16_t kBiff8 = 0x0600;

Status corrupt(const QString &why)
{
    return Status::refusal(ReadError::Damaged, QStringLiteral("damaged workbook: %1").arg(why));
}

// The version a workbook's first BOF record states.
Status readVersion(const biff::Record &bof, WorkbookGlobals &out)
{
    // BIFF2-4 BOF records have other ids and carry no compound-file container.
    if (bof.id == 0x0009 || bof.id == 0x0209 || bof.id == 0x0409)
        return Status::refusal(ReadError::Unsupported, QStringLiteral("Excel 2.x-4.0 workbooks are not supported"));
    if (bof.id != biff::Bof || bof.data.size() < 4)
        return corrupt(QStringLiteral("workbook stream does not start with a BOF record"));
    const std::uint16_t version = u16At(bof.data, 0);
    if (version < kBiff5)
        return Status::refusal(ReadError::Unsupported, QStringLiteral("workbook version older than Excel 5.0"));
    out.biff8 = version >= kBiff8;
    return {};
}

// FORMAT: a number format index and its code. A record cut short is passed
// over: its cells show their numbers without the format.
void readFormat(const biff::Record &record, const WorkbookGlobals &globals, spreadsheet::NumberFormats &formats)
{
    biff::FragmentCursor cursor(record.data);
    std::uint16_t index;
    QString code;
    const biff::TextFormat text{globals.biff8, &globals.codePage};
    if (cursor.u16(index) && biff::readString(cursor, globals.biff8 ? 2 : 1, text, code))
        formats.addFormat(index, code);
}

// One record of the globals substream.
Status readGlobalsRecord(biff::RecordReader &reader, const biff::Record &record, WorkbookGlobals &out)
{
    switch (record.id) {
    case biff::CodePageId:
        // Looking a converter up is not free; repeated records change nothing.
        if (u16At(record.data, 0) != out.codePage.id())
            out.codePage = CodePage(u16At(record.data, 0));
        return {};
    case biff::DateMode:
        out.date1904 = u16At(record.data, 0) == 1;
        return {};
    case biff::BoundSheet:
        // Only the first sheet's entry is needed; a later one may be broken.
        if (record.data.size() < 4)
            return out.hasSheet ? Status{} : corrupt(QStringLiteral("the first sheet's BOUNDSHEET record is too short"));
        // The first sheet in file order is the one read, whichever is active.
        if (!out.hasSheet) {
            out.hasSheet = true;
            out.firstSheetOffset = u32At(record.data, 0);
        }
        return {};
    case biff::Format:
        readFormat(record, out, out.formats);
        return {};
    case biff::Xf:
        // Cells name their XF by position: one cut short still takes its
        // place, with the general format (u16At gives 0).
        out.formats.addCellFormat(u16At(record.data, 2));
        return {};
    case biff::Sst: {
        biff::FragmentCursor cursor(record.data, reader);
        out.sharedStrings.read(cursor, record.data.size() + reader.bytesLeft());
        return {};
    }
    case biff::FilePass: {
        // Everything after the first FILEPASS is encrypted.
        if (reader.decrypting())
            return {};
        std::unique_ptr<RecordCipher> cipher;
        if (Status s = defaultPasswordCipher(record.data, out.biff8, cipher); !s.ok())
            return s;
        reader.decryptWith(std::move(cipher));
        return {};
    }
    default:
        return {};
    }
}

}  // namespace

Status readWorkbookGlobals(biff::RecordReader &reader, WorkbookGlobals &out)
{
    biff::Record record;
    if (!reader.next(record))
        return corrupt(QStringLiteral("empty workbook stream"));
    if (Status s = readVersion(record, out); !s.ok())
        return s;
    while (reader.next(record)) {
        // A missing EOF costs nothing when the first sheet's BOF follows.
        if (record.id == biff::Eof || record.id == biff::Bof)
            return out.hasSheet ? Status{} : corrupt(QStringLiteral("the workbook has no sheet"));
        if (Status s = readGlobalsRecord(reader, record, out); !s.ok())
            return s;
    }
    return corrupt(QStringLiteral("the workbook globals are cut short"));
}

}  // namespace spreadsheet::xls
