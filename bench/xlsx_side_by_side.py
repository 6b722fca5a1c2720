"""Writes the 65,536-row x 3-column corpus sheet as .xlsx (python3-openpyxl) into OUTPUT_DIR
if it is not there, then times openpyxl in read-only mode reading every cell of it, the
yardstick of data_file_bench's xlsx_rows65536. Writes OUTPUT_DIR/openpyxl.json in Google
Benchmark's JSON layout (median of 5, milliseconds) for scripts/lib/bench_table.py.
Arguments: OUTPUT_DIR SOURCE_DIR."""
import json
import os
import statistics
import sys
import time

import openpyxl
import xlrd

RUNS = 5


def write_xlsx(source, target):
    sheet = xlrd.open_workbook(source).sheet_by_index(0)
    book = openpyxl.Workbook(write_only=True)
    out = book.create_sheet('Sheet1')
    for r in range(sheet.nrows):
        out.append(sheet.row_values(r))
    book.save(target)


def read_every_cell(path):
    book = openpyxl.load_workbook(path, read_only=True, data_only=True)
    total = 0.0
    for row in book.worksheets[0].iter_rows(values_only=True):
        for value in row:
            if isinstance(value, (int, float)):
                total += value
    book.close()
    return total


def main():
    output, source = sys.argv[1], sys.argv[2]
    xlsx = os.path.join(output, 'rows65536_3cols.xlsx')
    if not os.path.exists(xlsx):
        write_xlsx(os.path.join(source, '..', 'shared', 'xls-corpus', 'generated', 'gen__rows65536_3cols.xls'), xlsx)
    wall, cpu = [], []
    for _ in range(RUNS):
        start, start_cpu = time.perf_counter(), time.process_time()
        read_every_cell(xlsx)
        wall.append((time.perf_counter() - start) * 1000)
        cpu.append((time.process_time() - start_cpu) * 1000)
    result = {'benchmarks': [{'run_name': 'openpyxl/xlsx_rows65536', 'aggregate_name': 'median',
                              'real_time': statistics.median(wall), 'cpu_time': statistics.median(cpu)}]}
    with open(os.path.join(output, 'openpyxl.json'), 'w') as f:
        json.dump(result, f)


main()
