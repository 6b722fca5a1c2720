#!/usr/bin/python3
# Writes the benchmark workbooks of this folder with their settings files: 5,000-point
# logs at 0.1-minute steps (500 minutes, a little longer than an eight-hour test logged
# every 6 s). The .xls files are committed; run this again (Debian package python3-xlwt)
# only to change them:
#   /usr/bin/python3 bench/data/make_bench_workbooks.py
import os
import random
import sys
import xlwt

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..", "examples"))
from permeation_curves import lagged_rise, saturating_rise  # noqa: E402

here = os.path.dirname(os.path.abspath(__file__))
POINTS = 5000
STEP = 0.1  # minutes


def times():
    return [round(i * STEP, 1) for i in range(POINTS)]


def save(name, header, columns):
    book = xlwt.Workbook()
    sheet = book.add_sheet('Data')
    for c, title in enumerate(header):
        sheet.write(0, c, title)
    for r in range(POINTS):
        for c, column in enumerate(columns):
            sheet.write(r + 1, c, column[r])
    book.save(os.path.join(here, name + '.xls'))


def settings(name, title, entries):
    lines = ['; ' + title, '[TestSettings]', 'ResponseFormat = 0', 'TimeFormat = 0'] + entries
    lines += ['', '[SpecimenInputs]', 'AreaMode = 1', 'DiameterUnit = 0', 'DiameterInchText = 2.00',
              'CumulativeTimeText = 240', 'TargetMassText = 2.5', 'AverageStartText = 200',
              'AverageEndText = 400', 'SpecimenWeightText = 0.45', '', '[ReportInfo]', 'ReportTitle = ' + title, '']
    with open(os.path.join(here, name + '.ini'), 'w') as f:
        f.write('\n'.join(lines))


def noisy(value, rng, level):
    return round(value + rng.uniform(-level, level), 4)


