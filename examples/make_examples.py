#!/usr/bin/python3
# Writes the three sample workbooks of this folder. The .xls files are committed; run this
# again (Debian package python3-xlwt) only to change them:
#   /usr/bin/python3 examples/make_examples.py
import datetime
import math
import os

from permeation_curves import lagged_rise, saturating_rise
import xlwt

here = os.path.dirname(os.path.abspath(__file__))


def save(name, header, rows):
    book = xlwt.Workbook()
    sheet = book.add_sheet('Data')
    for c, title in enumerate(header):
        sheet.write(0, c, title)
    for r, row in enumerate(rows, start=1):
        for c, value in enumerate(row):
            sheet.write(r, c, value)
    book.save(os.path.join(here, name))


def baseline(t, level):
    """The analyzer's reading before breakthrough: a small, slightly noisy offset."""
    return level * (1 + 0.3 * ((t * 37) % 7 - 3) / 3)


save('closed_loop_continuous.xls', ['Time', 'Concentration'],
     [[t, round(baseline(t, 0.05) + lagged_rise(t, 18, 25.0, 12), 2)] for t in range(0, 121)])

# Open loop, constant flow: the analyzer reports ppm every 60 s with a time stamp; the
# permeation rate levels off at a steady state.
start = datetime.datetime(2013, 5, 1, 9, 30, 0)
save('open_loop_constant.xls', ['Timestamp', 'Concentration'],
     [[(start + datetime.timedelta(minutes=t)).strftime('%Y/%m/%d %H:%M:%S'),
       round(baseline(t, 0.002) + saturating_rise(t, 14, 8.0, 25), 4)] for t in range(0, 91)])

# Open loop, variable flow: concentrations (µg/L) with the measured flow rate (L/min) of
# each reading, every two minutes.
save('open_loop_variable.xls', ['Time', 'Concentration', 'flow rate'],
     [[t, round(baseline(t, 0.05) + saturating_rise(t, 20, 30.0, 40), 3), round(1.0 + 0.04 * math.sin(t / 9.0), 3)]
      for t in range(0, 121, 2)])
