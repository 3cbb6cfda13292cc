#!/usr/bin/python3
"""openpyxl_read.py FILE.xlsx: seconds python3-openpyxl takes (best of three)
in read-only mode to open the workbook and turn columns A-C of its first
sheet into text."""
import sys
import time

import openpyxl


def read(path):
    book = openpyxl.load_workbook(path, read_only=True)
    sheet = book.worksheets[0]
    rows = [["" if v is None else str(v) for v in row] for row in sheet.iter_rows(max_col=3, values_only=True)]
    book.close()
    return rows


best = None
for _ in range(3):
    start = time.perf_counter()
    read(sys.argv[1])
    elapsed = time.perf_counter() - start
    best = elapsed if best is None else min(best, elapsed)
print("%.6f" % best)
