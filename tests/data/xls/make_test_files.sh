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

# Encrypted: the same workbook in each kind of Excel 97-2003 encryption, with
# the built-in default password that Excel opens without asking and with a
# real one (encrypted.xls is the RC4 one). LibreOffice writes the Office 97
# RC4 kind; encrypt_biff.py writes XOR obfuscation and RC4 CryptoAPI, which
# LibreOffice does not. Every file is read back by LibreOffice (and the XOR
# ones by Gnumeric too) and must give the CSV of its unencrypted twin, or the
# script stops here.
uno() { /usr/bin/python3 encrypt.py "$1" "$2" "$3" "$work/uno-profile" "$4" >/dev/null 2>&1; }
uno save "$work/lo_cells.fods" rc4_default.xls VelvetSweatshop
uno save "$work/lo_cells.fods" encrypted.xls gizli
uno save "$work/lo_long.fods" rc4_default_long.xls VelvetSweatshop
for kind in xor cryptoapi; do
  /usr/bin/python3 encrypt_biff.py "$kind" VelvetSweatshop lo_cells.xls "${kind}_default.xls"
  /usr/bin/python3 encrypt_biff.py "$kind" gizli lo_cells.xls "${kind}_password.xls"
done
/usr/bin/python3 encrypt_biff.py xor VelvetSweatshop gnumeric_biff5_1254.xls xor_default_biff5.xls
mkdir "$work/check"
"${office[@]}" --convert-to "$csv" --outdir "$work/check" {rc4,xor,cryptoapi}_default.xls rc4_default_long.xls \
  xor_default_biff5.xls >/dev/null
for name in rc4_default xor_default cryptoapi_default; do cmp "$work/check/$name.csv" lo_cells.csv; done
for name in encrypted xor_password cryptoapi_password; do
  uno open "$name.xls" "$work/check/$name.csv" gizli
  cmp "$work/check/$name.csv" lo_cells.csv
done
cmp "$work/check/rc4_default_long.csv" lo_long.csv
cmp "$work/check/xor_default_biff5.csv" gnumeric_biff5_1254.csv
for pair in xor_default:lo_cells xor_default_biff5:gnumeric_biff5_1254; do
  ssconvert "${pair%:*}.xls" "$work/check/${pair%:*}.gnumeric.csv" 2>/dev/null
  ssconvert "${pair#*:}.xls" "$work/check/${pair#*:}.gnumeric.csv" 2>/dev/null
  cmp "$work/check/${pair%:*}.gnumeric.csv" "$work/check/${pair#*:}.gnumeric.csv"
done

# Refusals: cut off, other formats under an .xls name.
head -c 5000 lo_cells.xls > truncated.xls
ssconvert -T Gnumeric_Excel:xlsx2 "$work/cells.gnumeric" xlsx_renamed.xls 2>/dev/null
cp lo_cells.csv csv_renamed.xls
