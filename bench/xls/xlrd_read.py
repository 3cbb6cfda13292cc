#!/usr/bin/python3
"""xlrd_read.py FILE.xls: seconds python3-xlrd takes (best of three) to open
the workbook and turn columns A-C of its first sheet into text."""
import sys
import time

import xlrd


def read(path):
    book = xlrd.open_workbook(path)
    sheet = book.sheet_by_index(0)
    return [[str(sheet.cell_value(r, c)) for c in range(min(3, sheet.ncols))] for r in range(sheet.nrows)]


best = None
for _ in range(3):
    start = time.perf_counter()
    read(sys.argv[1])
    elapsed = time.perf_counter() - start
    best = elapsed if best is None else min(best, elapsed)
print("%.6f" % best)
