#!/usr/bin/python3
# Writes the small workbooks the import tests read. The .xls files are committed; run this
# again (Debian package python3-xlwt) only to change them:
#   /usr/bin/python3 tests/import/data/make_workbooks.py
import os
import xlwt

here = os.path.dirname(os.path.abspath(__file__))


def write_rows(sheet, rows):
    for r, row in enumerate(rows):
        for c, value in enumerate(row):
            if value is not None:
                sheet.write(r, c, value)


def save(name, sheets):
    book = xlwt.Workbook()
    for title, rows in sheets:
        write_rows(book.add_sheet(title), rows)
    book.save(os.path.join(here, name))


# One worksheet per column-detection case.
manual = [[1.5, 10, 'n/a'], [2.5, 20, 7], [3.5, 30, 'late']]
manual_sheet_rows = [row + [None] * 23 + ['2013/05/01 12:00:%02d' % (5 * r)] + [None] * 228 + [0.25 * (r + 1)]
                     for r, row in enumerate(manual)]
save('columns.xls', [
    ('time_voltage', [['Time', 'Voltage'], [0, 1.5], [1, 2.5]]),
    ('exact_case', [['TIME', 'Time (min)', 'concentration'], [1, 2, 3], [4, 5, 6]]),
    ('two_times', [['Time', 'Concentration', 'time'], [1, 10, 101], [2, 20, 102]]),
    ('manual', manual_sheet_rows),
    ('gaps', [['Time', 'Concentration', 'flow rate'], [1, 0.0000004, 0.5], [2, 10, None], [3, 20, 0.5]]),
    ('every_keyword', [['Timestamp', 'GC peak area', 'flowrate', 'Peak height'], [1, 2, 3, 4]]),
])

# The first worksheet is a cover sheet with one column: the data are on the second.
save('cover_sheet.xls', [
    ('Cover', [['Permeation test'], ['lot 42']]),
    ('Data', [['Time', 'Concentration'], [0, 0], [1, 0.5], [2, 0.7]]),
    ('Other', [['Time', 'Concentration'], [0, 99]]),
])

save('single_column.xls', [('Cover', [['Permeation test'], ['lot 42']])])
