#!/usr/bin/python3
"""make_xlsx_workbook.py OUT.xlsx [ROWS]: the benchmark's product list
(13-digit barcodes, distinct Turkish names, prices with decimals; 65,535 rows
unless told) written as LibreOffice writes an .xlsx: every row and cell with
its attributes, the names in the shared string table. Standard library only,
for machines without LibreOffice."""
import sys
import zipfile

ROWS = int(sys.argv[2]) if len(sys.argv) > 2 else 65535
MAIN = "http://schemas.openxmlformats.org/spreadsheetml/2006/main"
RELS = "http://schemas.openxmlformats.org/officeDocument/2006/relationships"
PACKAGE_RELS = "http://schemas.openxmlformats.org/package/2006/relationships"


def sheet_xml():
    yield ('<?xml version="1.0" encoding="UTF-8" standalone="yes"?>\n'
           '<worksheet xmlns="%s" xmlns:r="%s"><sheetPr filterMode="false"><pageSetUpPr fitToPage="false"/></sheetPr>'
           '<dimension ref="A1:C%d"/><sheetViews><sheetView showFormulas="false" showGridLines="true" '
           'tabSelected="true" zoomScale="100" workbookViewId="0"><selection pane="topLeft" activeCell="A1" '
           'sqref="A1"/></sheetView></sheetViews><sheetFormatPr defaultColWidth="11.53515625" defaultRowHeight="12.8" '
           'zeroHeight="false" outlineLevelRow="0" outlineLevelCol="0"></sheetFormatPr><sheetData>' % (MAIN, RELS, ROWS))
    for row in range(ROWS):
        r = row + 1
        yield ('<row r="%d" customFormat="false" ht="12.8" hidden="false" customHeight="false" outlineLevel="0" '
               'collapsed="false"><c r="A%d" s="0" t="n"><v>%d</v></c><c r="B%d" s="0" t="s"><v>%d</v></c>'
               '<c r="C%d" s="0" t="n"><v>%s</v></c></row>'
               % (r, r, 8690000000000 + row, r, row, r, repr(round(1 + (row % 5000) * 0.37, 2))))
    yield '</sheetData><pageMargins left="0.7875" right="0.7875" top="1.05277777777778" bottom="1.05277777777778" header="0.7875" footer="0.7875"/></worksheet>'


def strings_xml():
    yield ('<?xml version="1.0" encoding="UTF-8" standalone="yes"?>\n<sst xmlns="%s" count="%d" uniqueCount="%d">'
           % (MAIN, ROWS, ROWS))
    for row in range(ROWS):
        yield '<si><t xml:space="preserve">Ürün %d çeşit ğüşıö</t></si>' % row
    yield '</sst>'


def write(book, name, pieces):
    with book.open(name, "w", force_zip64=True) as part:
        for piece in pieces:
            part.write(piece.encode("utf-8"))


with zipfile.ZipFile(sys.argv[1], "w", zipfile.ZIP_DEFLATED) as book:
    book.writestr("[Content_Types].xml",
                  '<?xml version="1.0" encoding="UTF-8"?><Types xmlns="http://schemas.openxmlformats.org/package/2006/content-types">'
                  '<Override PartName="/xl/workbook.xml" ContentType="application/vnd.openxmlformats-officedocument.spreadsheetml.sheet.main+xml"/>'
                  '<Override PartName="/xl/worksheets/sheet1.xml" ContentType="application/vnd.openxmlformats-officedocument.spreadsheetml.worksheet+xml"/>'
                  '<Override PartName="/xl/sharedStrings.xml" ContentType="application/vnd.openxmlformats-officedocument.spreadsheetml.sharedStrings+xml"/>'
                  '<Override PartName="/xl/styles.xml" ContentType="application/vnd.openxmlformats-officedocument.spreadsheetml.styles+xml"/></Types>')
    book.writestr("_rels/.rels",
                  '<?xml version="1.0" encoding="UTF-8"?><Relationships xmlns="%s"><Relationship Id="rId1" '
                  'Type="%s/officeDocument" Target="xl/workbook.xml"/></Relationships>' % (PACKAGE_RELS, RELS))
    book.writestr("xl/workbook.xml",
                  '<?xml version="1.0" encoding="UTF-8"?><workbook xmlns="%s" xmlns:r="%s"><workbookPr date1904="false"/>'
                  '<sheets><sheet name="Ürünler" sheetId="1" state="visible" r:id="rId2"/></sheets></workbook>' % (MAIN, RELS))
    book.writestr("xl/_rels/workbook.xml.rels",
                  '<?xml version="1.0" encoding="UTF-8"?><Relationships xmlns="%s">'
                  '<Relationship Id="rId1" Type="%s/styles" Target="styles.xml"/>'
                  '<Relationship Id="rId2" Type="%s/worksheet" Target="worksheets/sheet1.xml"/>'
                  '<Relationship Id="rId3" Type="%s/sharedStrings" Target="sharedStrings.xml"/></Relationships>'
                  % (PACKAGE_RELS, RELS, RELS, RELS))
    book.writestr("xl/styles.xml",
                  '<?xml version="1.0" encoding="UTF-8"?><styleSheet xmlns="%s"><cellXfs count="1">'
                  '<xf numFmtId="0" fontId="0" fillId="0" borderId="0"/></cellXfs></styleSheet>' % MAIN)
    write(book, "xl/worksheets/sheet1.xml", sheet_xml())
    write(book, "xl/sharedStrings.xml", strings_xml())
