// Feeds arbitrary bytes to the delimited-text reader and to the text test:
// they must read or refuse them without crashing, hanging or touching memory
// outside the input. The tokenizer must also give the same records whether
// the text comes whole or cut into pieces, as the reader's slices cut it.

#include "spreadsheet/csv/CsvReader.h"
#include "spreadsheet/csv/CsvTokenizer.h"

#include <cstddef>
#include <cstdint>
#include <utility>
#include <vector>

namespace {

using Records = std::vector<std::pair<std::size_t, spreadsheet::RowCells>>;

Records tokenize(QStringView text, QChar delimiter, qsizetype pieceSize)
{
    Records records;
    spreadsheet::CsvTokenizer tokenizer(delimiter, [&](spreadsheet::CsvRecord &record) {
        records.emplace_back(record.index, record.cells);
        return true;
    });
    for (qsizetype at = 0; at < text.size(); at += pieceSize)
        tokenizer.feed(text.mid(at, pieceSize));
    tokenizer.finish();
    return records;
}

void checkSheet(const spreadsheet::SheetColumns &sheet)
{
    // A refusal or a damaged read always says why; rows end at the last
    // row with a cell and never pass the limits.
    if ((!sheet.ok() && sheet.detail().isEmpty()) || (sheet.damaged && sheet.damage.isEmpty()))
        __builtin_trap();
    if (sheet.rows.size() > std::size_t(spreadsheet::kMaxRows))
        __builtin_trap();
    if (!sheet.rows.empty() && !spreadsheet::hasText(sheet.rows[sheet.rows.size() - 1]))
        __builtin_trap();
    for (const spreadsheet::RowCells &cells : sheet.rows) {
        if (cells.size() < spreadsheet::kMinColumns || cells.size() > spreadsheet::kMaxColumns)
            __builtin_trap();
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    const QByteArray bytes = QByteArray::fromRawData(reinterpret_cast<const char *>(data), qsizetype(size));
    checkSheet(spreadsheet::readDelimitedText(bytes));
    (void)spreadsheet::looksLikeText(bytes);

    if (size >= 2) {
        static constexpr char16_t kDelimiters[] = {u';', u'\t', u','};
        const QString text = QString::fromLatin1(bytes.sliced(2));
        const QChar delimiter(kDelimiters[data[0] % 3]);
        if (tokenize(text, delimiter, text.size() + 1) != tokenize(text, delimiter, 1 + data[1] % 7))
            __builtin_trap();
    }
    return 0;
}
