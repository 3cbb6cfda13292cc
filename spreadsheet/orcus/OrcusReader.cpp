#include "spreadsheet/orcus/OrcusReader.h"

#include "spreadsheet/orcus/ColumnsFactory.h"
#include "spreadsheet/orcus/ZipBounds.h"

#include <orcus/orcus_ods.hpp>
#include <orcus/orcus_xlsx.hpp>

#include <exception>
#include <memory>

namespace spreadsheet {
namespace {

using orcusimport::ColumnsFactory;

// More cells than any sheet program holds in a workbook that opens in
// reasonable time; only a file that repeats cells without end gets there.
constexpr std::uint64_t kCellLimit = 100'000'000;

enum class Format { OpenXml, OpenDocument };

std::unique_ptr<orcus::iface::import_filter> filterFor(Format format, ColumnsFactory &factory)
{
    if (format == Format::OpenXml)
        return std::make_unique<orcus::orcus_xlsx>(&factory);
    return std::make_unique<orcus::orcus_ods>(&factory);
}

SheetColumns read(const QByteArray &file, const QLocale &locale, Format format)
{
    if (file.isEmpty())
        return SheetColumns::refused(ReadError::Empty, QStringLiteral("the file is empty"));
    if (!file.startsWith("PK\x03\x04"))
        return SheetColumns::refused(ReadError::NotSpreadsheet, QStringLiteral("not a zip archive"));
    if (const QString problem = orcusimport::zipBoundsProblem(file); !problem.isEmpty())
        return SheetColumns::refused(ReadError::Damaged, problem);

    ColumnsFactory factory(format == Format::OpenXml ? ColumnsFactory::Strings::SharedTable
                                                     : ColumnsFactory::Strings::WithTheirCells,
                           kCellLimit);
    // The library reports a broken file by throwing whatever its parts throw.
    try {
        filterFor(format, factory)->read_stream(std::string_view(file.constData(), std::size_t(file.size())));
    } catch (const orcusimport::RowLimitReached &) {
        return SheetColumns::refused(ReadError::TooManyRows,
                                     QStringLiteral("the first sheet has more than %1 rows").arg(kMaxRows));
    } catch (const orcusimport::CellLimitReached &) {
        return SheetColumns::refused(ReadError::Damaged,
                                     QStringLiteral("the workbook gives more than %1 cells").arg(kCellLimit));
    } catch (const std::exception &error) {
        return SheetColumns::refused(ReadError::Damaged, QString::fromUtf8(error.what()));
    } catch (...) {
        return SheetColumns::refused(ReadError::Damaged, QStringLiteral("the workbook could not be read"));
    }
    if (!factory.reachedFirstSheet())
        return SheetColumns::refused(ReadError::Damaged, QStringLiteral("the workbook's first sheet is missing"));
    return factory.columns(locale);
}

}  // namespace

SheetColumns readOpenXml(const QByteArray &file, const QLocale &locale)
{
    return read(file, locale, Format::OpenXml);
}

SheetColumns readOpenDocument(const QByteArray &file, const QLocale &locale)
{
    return read(file, locale, Format::OpenDocument);
}

}  // namespace spreadsheet
