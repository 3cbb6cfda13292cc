#!/usr/bin/python3
"""Writes xlwt_cells.xls: the cells python3-xlwt stores its own way (BOOLERR
errors and booleans, RK/MULRK numbers, number formats), with the second
sheet active so that the reader must still take the first."""
import datetime
import sys

import xlwt

book = xlwt.Workbook(encoding="utf-8")
sheet = book.add_sheet("Ürünler")
other = book.add_sheet("İkinci")

sheet.write(0, 0, 8690504012345)
sheet.write(0, 1, "Çay Bardağı")
sheet.write(0, 2, 12.5)
sheet.row(1).set_cell_error(0, 0x07)  # codes, not names: xlwt maps "#VALUE!" wrongly
sheet.row(1).set_cell_error(1, 0x2A)
sheet.row(1).set_cell_error(2, 0x0F)
sheet.write(2, 0, True)
sheet.write(2, 1, False)
sheet.write(2, 2, 0.18, xlwt.easyxf(num_format_str="0%"))
sheet.write(3, 0, datetime.date(2024, 3, 15), xlwt.easyxf(num_format_str="DD.MM.YYYY"))
sheet.write(3, 1, datetime.time(13, 45), xlwt.easyxf(num_format_str="hh:mm"))
sheet.write(3, 2, datetime.datetime(2024, 3, 15, 13, 45), xlwt.easyxf(num_format_str="DD.MM.YYYY hh:mm"))
for column, value in enumerate([100, 250, -7]):
    sheet.write(4, column, value)
sheet.write(5, 1, "   ")
sheet.write(5, 3, "only D")
sheet.write(7, 3, "only D, later row")
other.write(0, 0, "ikinci sayfa")
book.active_sheet = 1
other.set_selected(True)
sheet.set_selected(False)
book.save(sys.argv[1] + "/xlwt_cells.xls")
