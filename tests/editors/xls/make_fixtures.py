#!/usr/bin/python3
# Writes the small .xls spreadsheets the table-import tests read.
# Needs python3-xlwt (Debian). Run from this folder: /usr/bin/python3 make_fixtures.py
# The files are committed; run this only to make them again.
import datetime

import xlwt


def plain():
    # Texts, numbers, a date, blank cells and Chinese text on the first
    # sheet; a second sheet that the import must not read.
    book = xlwt.Workbook(encoding="utf-8")
    sheet = book.add_sheet("Prices")
    sheet.write(0, 0, "Name")
    sheet.write(0, 1, "Price")
    sheet.write(0, 3, "Since")
    sheet.write(1, 0, "苹果")
    sheet.write(1, 1, 3)
    sheet.write(1, 3, datetime.date(2026, 12, 9), xlwt.easyxf(num_format_str="YYYY-MM-DD"))
    sheet.write(2, 0, "pear, ripe")
    sheet.write(2, 1, 2.5)
    # A formatted cell below the data holds no value and adds no row.
    sheet.write(5, 0, "", xlwt.easyxf("font: bold on"))
    other = book.add_sheet("Other")
    other.write(0, 0, "not imported")
    book.save("plain.xls")


def merged():
    # A title across three columns, a name down two rows, a wide column and
    # a tall row.
    book = xlwt.Workbook(encoding="utf-8")
    sheet = book.add_sheet("Board")
    sheet.write_merge(0, 0, 0, 2, "温度表")
    sheet.write_merge(1, 2, 0, 0, "Hall")
    sheet.write(1, 1, "21")
    sheet.write(1, 2, "22")
    sheet.write(2, 1, "23")
    sheet.write(2, 2, "24")
    sheet.col(1).width = 256 * 20   # 20 digits: 140 pixels
    sheet.row(2).height_mismatch = True
    sheet.row(2).height = 600       # twips: 30 points, 40 pixels
    book.save("merged.xls")


def empty():
    # Formatting but no value.
    book = xlwt.Workbook(encoding="utf-8")
    sheet = book.add_sheet("Empty")
    sheet.write(2, 2, "", xlwt.easyxf("font: bold on"))
    book.save("empty.xls")


def hiddenfirst():
    # A hidden first sheet, then the table in number formats.
    book = xlwt.Workbook(encoding="utf-8")
    secret = book.add_sheet("Secret")
    secret.write(0, 0, "hidden sheet")
    secret.visibility = 1
    secret.set_selected(False)
    sheet = book.add_sheet("Board")
    sheet.write(0, 0, 553.5, xlwt.easyxf(num_format_str="0.00"))
    sheet.write(0, 1, 0.25, xlwt.easyxf(num_format_str="0%"))
    sheet.write(0, 2, True)
    sheet.write(0, 3, datetime.datetime(2026, 12, 9, 14, 30), xlwt.easyxf(num_format_str="d-mmm-yy h:mm"))
    sheet.set_selected(True)
    book.active_sheet = 1
    book.save("hiddenfirst.xls")


if __name__ == "__main__":
    plain()
    merged()
    empty()
    hiddenfirst()
