#!/usr/bin/python3
# Writes the benchmark workbooks of this folder with their settings files: 5,000-point
# logs at 0.1-minute steps (500 minutes, a little longer than an eight-hour test logged
# every 6 s). The .xls files are committed; run this again (Debian package python3-xlwt)
# only to change them:
#   /usr/bin/python3 bench/data/make_bench_workbooks.py
import math
import os
import random
import xlwt

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


def lagged_rise(t, start, rate, lag):
    """Zero before `start`, then a rise that bends into a straight line of slope `rate`."""
    if t <= start:
        return 0.0
    s = t - start
    return rate * (s - lag * (1 - math.exp(-s / lag)))


def saturating_rise(t, start, plateau, lag):
    if t <= start:
        return 0.0
    return plateau * (1 - math.exp(-(t - start) / lag))


CLOSED = ['LoopType = 0', 'TotalVolume = 0.150', 'MinDetectableMass = 0.02']
CLOSED_SYSTEMS = {
    'closed_loop_continuous': CLOSED + ['Sampling = 0'],
    'closed_loop_discrete_removed': CLOSED + ['Sampling = 1', 'VolumeHandling = 0', 'VolumeRemoved = 0.00002'],
    'closed_loop_discrete_replaced': CLOSED + ['Sampling = 1', 'VolumeHandling = 1', 'VolumeReplaced = 0.00002'],
}
OPEN_CONSTANT = ['LoopType = 1', 'FlowType = 0', 'FlowRate = 1.0', 'MinDetectableRate = 0.01']
OPEN_VARIABLE = ['LoopType = 1', 'FlowType = 1', 'MinDetectableRate = 0.01']

rng = random.Random(20131)
t = times()

# Typical tests: a smooth breakthrough after about an hour.
for name, entries in CLOSED_SYSTEMS.items():
    values = [noisy(0.05 + lagged_rise(x, 60, 30.0, 20), rng, 0.01) for x in t]
    save('typical_' + name, ['Time', 'Concentration'], [t, values])
    settings('typical_' + name, 'Typical ' + name.replace('_', ' '), entries)

values = [noisy(0.002 + saturating_rise(x, 60, 8.0, 40), rng, 0.0005) for x in t]
save('typical_open_loop_constant', ['Time', 'Concentration'], [t, values])
settings('typical_open_loop_constant', 'Typical open loop constant flow', OPEN_CONSTANT)

# Three columns: also the reader's 5,000-row log.
values = [noisy(0.05 + saturating_rise(x, 60, 30.0, 40), rng, 0.01) for x in t]
flows = [round(1.0 + 0.04 * math.sin(x / 9.0), 3) for x in t]
save('typical_open_loop_variable', ['Time', 'Concentration', 'flow rate'], [t, values, flows])
settings('typical_open_loop_variable', 'Typical open loop variable flow', OPEN_VARIABLE)

# Worst cases. A slow linear rise whose rate never reaches 0.01 µg/(cm²·min): both closed-loop
# sliding searches run to the end of the data with windows of thousands of points.
values = [round(0.5 + 0.02 * x, 4) for x in t]
save('worst_closed_loop_slow_rise', ['Time', 'Concentration'], [t, values])
settings('worst_closed_loop_slow_rise', 'Worst case: slow linear rise',
         CLOSED_SYSTEMS['closed_loop_discrete_replaced'])

# The peak at the very end and the crossings just before it: the ten-point searches scan
# every pair of points.
values = [round(1e-4 * x + 2.0 * max(0.0, x - 480), 5) for x in t]
save('worst_open_loop_late_rise', ['Time', 'Concentration'], [t, values])
settings('worst_open_loop_late_rise', 'Worst case: late open-loop rise', OPEN_CONSTANT)

# Noise alone, with the minimum time searched as well.
values = [round(rng.uniform(0.0, 1.0), 4) for x in t]
save('worst_closed_loop_noise', ['Time', 'Concentration'], [t, values])
settings('worst_closed_loop_noise', 'Worst case: noise', CLOSED_SYSTEMS['closed_loop_discrete_replaced'])
