#!/usr/bin/python3
"""make_bench_workbook.py OUT.xls: a 65,535-row product list as python3-xlwt
writes it: 13-digit barcodes, distinct Turkish names, prices with decimals."""
import sys

import xlwt

ROWS = 65535
book = xlwt.Workbook(encoding="utf-8")
sheet = book.add_sheet("Ürünler")
for row in range(ROWS):
    sheet.write(row, 0, 8690000000000 + row)
    sheet.write(row, 1, "Ürün {} çeşit ğüşıö".format(row))
    sheet.write(row, 2, round(1 + (row % 5000) * 0.37, 2))
book.save(sys.argv[1])
