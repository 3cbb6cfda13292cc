#!/usr/bin/env bash
# Remakes the workbooks the reader's tests read, each with a real spreadsheet
# program, and the CSV that program itself exports from them (the tests
# compare against it). Needs the tools of scripts/deps.sh --dev.
set -euo pipefail
cd "$(dirname "$0")"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
office=(soffice --headless "-env:UserInstallation=file://$work/profile")
csv='csv:Text - txt - csv (StarCalc):44,34,76,1'

/usr/bin/python3 make_sources.py "$work"
/usr/bin/python3 make_xlwt.py .

# LibreOffice: one cell of every kind, and a shared string table split by CONTINUE.
"${office[@]}" --convert-to xls --outdir . "$work/lo_cells.fods" "$work/lo_long.fods" >/dev/null
"${office[@]}" --convert-to "$csv" --outdir . lo_cells.xls lo_long.xls xlwt_cells.xls >/dev/null

# Gnumeric: BIFF8, and BIFF5 (Excel 95) in code page 1254 and in the UTF-16
# it falls back to when the source workbook was BIFF8.
ssconvert lo_cells.xls "$work/cells.gnumeric" 2>/dev/null
ssconvert -T Gnumeric_Excel:excel_biff8 "$work/cells.gnumeric" gnumeric_cells.xls 2>/dev/null
WINDOWS_LANGUAGE=tr ssconvert -T Gnumeric_Excel:excel_biff7 "$work/cells.gnumeric" gnumeric_biff5_1254.xls 2>/dev/null
ssconvert -T Gnumeric_Excel:excel_biff7 lo_cells.xls gnumeric_biff5_utf16.xls 2>/dev/null
# Gnumeric's own CSV export renders its general format by column width
# (8.6905E+12), so LibreOffice's export of the same files is the reference;
# LibreOffice misreads the UTF-16 BIFF5 file, which the tests check by hand.
"${office[@]}" --convert-to "$csv" --outdir . gnumeric_cells.xls gnumeric_biff5_1254.xls >/dev/null

# Refusals: password, cut off, other formats under an .xls name.
/usr/bin/python3 encrypt.py "$work/lo_cells.fods" encrypted.xls "$work/uno-profile" >/dev/null 2>&1
head -c 5000 lo_cells.xls > truncated.xls
ssconvert -T Gnumeric_Excel:xlsx2 "$work/cells.gnumeric" xlsx_renamed.xls 2>/dev/null
cp lo_cells.csv csv_renamed.xls
