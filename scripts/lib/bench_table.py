"""Prints the benchmark medians as one table, the readers' ratios to FreeXL and openpyxl, and the median
wall time of orvane-batch analyze as a whole process on each test of bench/data.
Arguments: the orvane-batch program, the bench/data folder, the benchmark JSON files."""
import glob
import json
import os
import statistics
import subprocess
import sys
import time

PROCESS_RUNS = 11


def medians(paths):
    found = {}
    for path in paths:
        with open(path) as f:
            for entry in json.load(f)['benchmarks']:
                if entry.get('aggregate_name') == 'median':
                    found[entry['run_name']] = (entry['real_time'], entry['cpu_time'])
    return found


def process_median(program, workbook):
    settings = workbook[:-len('.xls')] + '.ini'
    wall = []
    for _ in range(PROCESS_RUNS):
        start = time.perf_counter()
        subprocess.run([program, 'analyze', workbook, '--settings', settings], check=True,
                       stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        wall.append((time.perf_counter() - start) * 1000)
    return statistics.median(wall)


def main():
    program, data = sys.argv[1], sys.argv[2]
    times = medians(sys.argv[3:])
    # CPU time beside wall time: on a shared machine the wall time also counts the waits.
    print(f"{'benchmark (median of 5)':<58} {'wall ms':>9} {'CPU ms':>9}")
    for name, (wall, cpu) in times.items():
        line = f'{name:<58} {wall:>9.3f} {cpu:>9.3f}'
        if name.startswith('OrvaneReader/'):
            freexl = times.get(name.replace('OrvaneReader', 'FreeXLReader'))
            if freexl:
                line += f'   FreeXL / ours: {freexl[0] / wall:.2f} wall, {freexl[1] / cpu:.2f} CPU'
        if name == 'DataFile/xlsx_rows65536' and 'openpyxl/xlsx_rows65536' in times:
            openpyxl = times['openpyxl/xlsx_rows65536']
            line += f'   openpyxl / ours: {openpyxl[0] / wall:.1f} wall, {openpyxl[1] / cpu:.1f} CPU'
        print(line)
    print(f"\n{f'orvane-batch analyze, whole process (median of {PROCESS_RUNS})':<58} {'ms':>9}")
    for workbook in sorted(glob.glob(os.path.join(data, '*.xls'))):
        name = os.path.basename(workbook)
        print(f'{name:<58} {process_median(program, workbook):>9.1f}')


main()
