#!/usr/bin/python3
# Writes each sample workbook of examples/ again as .xlsx (python3-openpyxl) and as .csv
# (Python's csv module), and a log whose times are date-time serial numbers in a date
# format as .xls (python3-xlwt), .xlsx and .csv, the .csv holding the times as the date
# texts a spreadsheet program exports. The files are committed; run this again only to
# change them:
#   /usr/bin/python3 tests/data/formats/make_formats.py
import csv
import os
import sys

import openpyxl
import xlrd
import xlwt

here = os.path.dirname(os.path.abspath(__file__))
examples = os.path.join(here, '..', '..', '..', 'examples')
sys.path.insert(0, examples)
from permeation_curves import saturating_rise  # noqa: E402

DATE_FORMAT = 'mm/dd/yyyy hh:mm:ss'


def number_text(value):
    """The shortest text that reads back as the same double, as a spreadsheet exports it."""
    text = repr(float(value))
    return text[:-2] if text.endswith('.0') else text


def date_text(serial):
    """The serial day as "MM/DD/YYYY HH:MM:SS" (1900 date system, after February 1900)."""
    book_date = xlrd.xldate.xldate_as_datetime(serial, 0)
    return book_date.strftime('%m/%d/%Y %H:%M:%S')


def write_xlsx(path, rows, date_columns=()):
    book = openpyxl.Workbook()
    sheet = book.active
    sheet.title = 'Data'
    for r, row in enumerate(rows, start=1):
        for c, value in enumerate(row, start=1):
            cell = sheet.cell(row=r, column=c, value=value)
            if r > 1 and c - 1 in date_columns:
                cell.number_format = DATE_FORMAT
    book.save(path)


def write_csv(path, rows, date_columns=()):
    with open(path, 'w', newline='', encoding='utf-8') as out:
        writer = csv.writer(out, lineterminator='\r\n')
        for r, row in enumerate(rows):
            writer.writerow([value if isinstance(value, str)
                             else date_text(value) if r > 0 and c in date_columns
                             else number_text(value) for c, value in enumerate(row)])


def sheet_rows(path):
    sheet = xlrd.open_workbook(path).sheet_by_index(0)
    return [sheet.row_values(r) for r in range(sheet.nrows)]


def date_serial_log():
    """Benzene through butyl rubber, read every 60 s from 09:15 on 1 May 2013."""
    start = 41395 * 86400 + (9 * 60 + 15) * 60
    rows = [['Timestamp', 'Concentration']]
    for minute in range(0, 91):
        seconds = start + minute * 60
        rows.append([seconds // 86400 + (seconds % 86400) / 86400.0,
                     round(0.002 + saturating_rise(minute, 14, 8.0, 25), 4)])
    return rows


def write_xls(path, rows, date_columns=()):
    book = xlwt.Workbook()
    sheet = book.add_sheet('Data')
    date_style = xlwt.easyxf(num_format_str=DATE_FORMAT)
    for r, row in enumerate(rows):
        for c, value in enumerate(row):
            if r > 0 and c in date_columns:
                sheet.write(r, c, value, date_style)
            else:
                sheet.write(r, c, value)
    book.save(path)


for name in ('closed_loop_continuous', 'open_loop_constant', 'open_loop_variable'):
    rows = sheet_rows(os.path.join(examples, name + '.xls'))
    write_xlsx(os.path.join(here, name + '.xlsx'), rows)
    write_csv(os.path.join(here, name + '.csv'), rows)

log = date_serial_log()
write_xls(os.path.join(here, 'date_serial_log.xls'), log, date_columns=(0,))
write_xlsx(os.path.join(here, 'date_serial_log.xlsx'), log, date_columns=(0,))
write_csv(os.path.join(here, 'date_serial_log.csv'), log, date_columns=(0,))
