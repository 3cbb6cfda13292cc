#!/usr/bin/python3
"""extract_sheet_xml.py OUT_DIR FILE.xlsx|FILE.ods...: writes the XML inside the
first sheet of each workbook into OUT_DIR, behind the byte that makes the
.xlsx/.ods fuzz target wrap it in a package again (0 for .xlsx sheet data,
1 for .ods table rows), as seeds for its XML-only inputs."""
import os
import re
import sys
import zipfile

out = sys.argv[1]
for path in sys.argv[2:]:
    with zipfile.ZipFile(path) as archive:
        if path.endswith(".ods"):
            found = re.search(rb"<table:table [^>]*>(.*?)</table:table>", archive.read("content.xml"), re.S)
            kind = b"\x01"
        else:
            found = re.search(rb"<sheetData>(.*)</sheetData>", archive.read("xl/worksheets/sheet1.xml"), re.S)
            kind = b"\x00"
    if found:
        with open(os.path.join(out, os.path.basename(path) + ".xml"), "wb") as target:
            target.write(kind + found.group(1))
