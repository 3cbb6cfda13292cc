#!/usr/bin/env bash
# Remakes the test workbooks: one product list saved by LibreOffice as .xls,
# .xlsx, .xlsm, .ods and .csv and by Gnumeric as .xlsx, so that the readers of
# every format can be held to the same texts; and a workbook whose first sheet
# is hidden. Needs the tools of scripts/deps.sh --dev.
set -euo pipefail
cd "$(dirname "$0")"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
office=(soffice --headless "-env:UserInstallation=file://$work/profile")

/usr/bin/python3 make_product_list.py "$work"

for format in xls xlsx ods; do
  "${office[@]}" --convert-to "$format" --outdir "$work" "$work/products.fods" "$work/hidden_first.fods" >/dev/null
done
"${office[@]}" --convert-to 'xlsm:Calc MS Excel 2007 VBA XML' --outdir "$work" "$work/products.fods" >/dev/null
"${office[@]}" --convert-to 'csv:Text - txt - csv (StarCalc):44,34,76,1' --outdir "$work" "$work/products.fods" >/dev/null
for format in xls xlsx xlsm ods csv; do
  cp "$work/products.$format" "lo_products.$format"
done
ssconvert lo_products.xls gnumeric_products.xlsx 2>/dev/null

# LibreOffice keeps the first sheet hidden in .ods but writes every sheet of
# an .xlsx as visible; mark it hidden as Excel would.
cp "$work/hidden_first.ods" hidden_first.ods
/usr/bin/python3 - "$work/hidden_first.xlsx" hidden_first.xlsx <<'PY'
import sys
import zipfile

source, target = sys.argv[1:3]
with zipfile.ZipFile(source) as zin, zipfile.ZipFile(target, "w", zipfile.ZIP_DEFLATED) as zout:
    for item in zin.infolist():
        data = zin.read(item.filename)
        if item.filename == "xl/workbook.xml":
            data = data.replace(b'state="visible"', b'state="hidden"', 1)
        zout.writestr(item, data)
PY
