#!/usr/bin/python3
# Writes prices.xls, the small Excel 97 workbook the file-source tests read.
# Needs python3-xlwt (Debian); run it from this folder only to remake the file.
import datetime
import xlwt

book = xlwt.Workbook(encoding="utf-8")
sheet = book.add_sheet("Prices")
date_style = xlwt.easyxf(num_format_str="yyyy-mm-dd")
rows = [
    ("Name", "Code", "Price", "Added", "Count"),
    ("Crème brûlée", "TAB0000001", 2.5, datetime.date(2024, 1, 31), 12),
    ("Widget, large", "TAB0000002", 7.0, datetime.date(2023, 12, 1), 0),
    ("Ünïcödé ☺", "00123", 1234.125, datetime.date(2000, 2, 29), -3),
]
for r, row in enumerate(rows):
    for c, value in enumerate(row):
        if isinstance(value, datetime.date):
            sheet.write(r, c, value, date_style)
        else:
            sheet.write(r, c, value)
other = book.add_sheet("Second Sheet")
other.write(0, 0, "Only")
other.write(1, 0, 1)
book.save("prices.xls")
