#!/usr/bin/python3
# Writes prices.xlsx, the small Excel 2007 workbook the file-source tests read.
# Needs python3-openpyxl (Debian); run it from this folder only to remake the file.
import datetime
import openpyxl

book = openpyxl.Workbook()
sheet = book.active
sheet.title = "Price List"
rows = [
    ("Name", "Code", "Price", "Added", "In stock", "Count"),
    ("Crème brûlée", "TAB0000001", 2.5, datetime.date(2024, 1, 31), True, 12),
    ("Widget, large", "TAB0000002", 7, datetime.datetime(2023, 12, 1, 8, 30), False, 0),
    ("Ünïcödé ☺", "00123", 1234.125, datetime.date(2000, 2, 29), None, -3),
]
for row in rows:
    sheet.append(row)
sheet["D2"].number_format = "yyyy-mm-dd"
sheet["D4"].number_format = "dd/mm/yyyy"
other = book.create_sheet("Notes")
other["A1"] = "Only"
other["A2"] = "text"
book.save("prices.xlsx")
