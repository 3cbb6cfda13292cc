#include "spreadsheet/xls/SkippedRecords.h"

#include <algorithm>
#include <iterator>

namespace spreadsheet::xls::biff {
namespace {

// BIFF5 and BIFF8 sheet records, by id. Cells that hold no value (BLANK,
// MULBLANK) are here; so are the records that only describe a formula
// (SHRFMLA, ARRAY, TABLE), whose result comes in the FORMULA record itself.
constexpr std::uint16_t kSkipped[] = {
    0x000C,  // CALCCOUNT
    0x000D,  // CALCMODE
    0x000E,  // PRECISION
    0x000F,  // REFMODE
    0x0010,  // DELTA
    0x0011,  // ITERATION
    0x0012,  // PROTECT
    0x0013,  // PASSWORD
    0x0014,  // HEADER
    0x0015,  // FOOTER
    0x0016,  // EXTERNCOUNT (BIFF5 keeps a link table in each sheet)
    0x0017,  // EXTERNSHEET
    0x0018,  // NAME
    0x0019,  // WINDOWPROTECT
    0x001A,  // VERTICALPAGEBREAKS
    0x001B,  // HORIZONTALPAGEBREAKS
    0x001C,  // NOTE
    0x001D,  // SELECTION
    0x0023,  // EXTERNNAME
    0x0026,  // LEFTMARGIN
    0x0027,  // RIGHTMARGIN
    0x0028,  // TOPMARGIN
    0x0029,  // BOTTOMMARGIN
    0x002A,  // PRINTHEADERS
    0x002B,  // PRINTGRIDLINES
    0x0033,  // PRINTSIZE
    0x003C,  // CONTINUE of a skipped record
    0x003D,  // WINDOW1
    0x0041,  // PANE
    0x004D,  // PLS
    0x0050,  // DCON
    0x0051,  // DCONREF
    0x0052,  // DCONNAME
    0x0055,  // DEFCOLWIDTH
    0x0059,  // XCT
    0x005A,  // CRN
    0x005D,  // OBJ
    0x005F,  // SAVERECALC
    0x0063,  // OBJPROTECT
    0x007D,  // COLINFO
    0x007F,  // IMDATA
    0x0080,  // GUTS
    0x0081,  // WSBOOL
    0x0082,  // GRIDSET
    0x0083,  // HCENTER
    0x0084,  // VCENTER
    0x008C,  // COUNTRY
    0x0090,  // SORT
    0x0094,  // LHRECORD
    0x0099,  // STANDARDWIDTH
    0x009B,  // FILTERMODE
    0x009D,  // AUTOFILTERINFO
    0x009E,  // AUTOFILTER
    0x00A0,  // SCL
    0x00A1,  // SETUP
    0x00AE,  // SCENMAN
    0x00AF,  // SCENARIO
    0x00B0,  // SXVIEW, and the pivot table records after it
    0x00B1,  // SXVD
    0x00B2,  // SXVI
    0x00B4,  // SXIVD
    0x00B5,  // SXLI
    0x00B6,  // SXPI
    0x00BE,  // MULBLANK
    0x00C5,  // SXDI
    0x00D7,  // DBCELL
    0x00DC,  // PARAMQRY
    0x00DD,  // SCENPROTECT
    0x00E5,  // MERGEDCELLS
    0x00E9,  // BITMAP
    0x00EC,  // MSODRAWING
    0x00ED,  // MSODRAWINGSELECTION
    0x00EF,  // PHONETIC
    0x00F0,  // SXRULE
    0x00F1,  // SXEX
    0x00F2,  // SXFILT
    0x00F4,  // SXDXF
    0x00F5,  // SXITM
    0x00F6,  // SXNAME
    0x00F7,  // SXSELECT
    0x00F8,  // SXPAIR
    0x00F9,  // SXFMLA
    0x00FB,  // SXFORMAT
    0x0100,  // SXVDEX
    0x0103,  // SXFORMULA
    0x015F,  // LABELRANGES
    0x01AA,  // USERSVIEWBEGIN
    0x01AB,  // USERSVIEWEND
    0x01AD,  // QSI
    0x01B0,  // CONDFMT
    0x01B1,  // CF
    0x01B2,  // DVAL
    0x01B5,  // DCONBIN
    0x01B6,  // TXO
    0x01B8,  // HLINK
    0x01BA,  // CODENAME
    0x01BB,  // SXFDBTYPE
    0x01BE,  // DV
    0x0201,  // BLANK
    0x0208,  // ROW
    0x020B,  // INDEX
    0x0221,  // ARRAY
    0x0225,  // DEFAULTROWHEIGHT
    0x0236,  // TABLE
    0x023E,  // WINDOW2
    0x04BC,  // SHRFMLA
};

static_assert(std::is_sorted(std::begin(kSkipped), std::end(kSkipped)));

}  // namespace

bool isSkippedSheetRecord(std::uint16_t id)
{
    // Future records carry a header of their own and never a cell; chart
    // records belong to a chart sheet or an embedded chart.
    if ((id >= 0x0800 && id <= 0x08FF) || (id >= 0x1000 && id <= 0x10FF))
        return true;
    return std::binary_search(std::begin(kSkipped), std::end(kSkipped), id);
}

}  // namespace spreadsheet::xls::biff
