// Reading every cell of a data file through the format-neutral interface: a 5,000-row log
// as .csv, and the 65,536-row x 3-column sheet as .xlsx (made by bench/xlsx_side_by_side.py,
// which times the same read by openpyxl).

#include "data_file.h"

#include <benchmark/benchmark.h>
#include <charconv>
#include <filesystem>
#include <fstream>

namespace {

const std::string LogSheet = ORVANE_SOURCE_DIR "/bench/data/typical_open_loop_variable.xls";
const std::string LongXlsx = ORVANE_BENCH_OUTPUT "/rows65536_3cols.xlsx";

// The log as a spreadsheet program exports it: one line per row, each number in the
// shortest text that reads back as the same double.
std::string CsvOfWorkbook(const std::string &path)
{
    const auto book = DataFile::OpenDataFile(path).Book;
    if (!book) {
        return {};
    }
    const DataFile::Worksheet &sheet = *book->SheetAt(0);
    std::string csv;
    for (int row = 0; row < sheet.RowCount(); ++row) {
        for (int column = 0; column < sheet.ColumnCount(); ++column) {
            const DataFile::Cell cell = sheet.CellAt(row, column);
            char number[32];
            const auto printed = std::to_chars(number, number + sizeof number, cell.Number);
            csv += column ? "," : "";
            csv += cell.Text ? cell.TextValue().value_or("") : std::string(number, printed.ptr);
        }
        csv += "\r\n";
    }
    return csv;
}

void ReadEveryCell(benchmark::State &state, const std::string &path)
{
    if (!std::filesystem::exists(path)) {
        state.SkipWithError(("absent: " + path).c_str());
        return;
    }
    for (auto _ : state) {
        const auto opened = DataFile::OpenDataFile(path);
        if (!opened.Book) {
            state.SkipWithError(opened.Failure.c_str());
            return;
        }
        const DataFile::Worksheet &sheet = *opened.Book->SheetAt(0);
        double sum = 0;
        for (int row = 0; row < sheet.RowCount(); ++row) {
            for (int column = 0; column < sheet.ColumnCount(); ++column) {
                sum += sheet.CellAt(row, column).Number;
            }
        }
        benchmark::DoNotOptimize(sum);
    }
}

void DelimitedLog(benchmark::State &state)
{
    const std::string path = ORVANE_BENCH_OUTPUT "/typical_open_loop_variable.csv";
    std::ofstream(path, std::ios::binary) << CsvOfWorkbook(LogSheet);
    ReadEveryCell(state, path);
}
BENCHMARK(DelimitedLog)->Name("DataFile/csv_rows5000")->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(ReadEveryCell, xlsx_rows65536, LongXlsx)->Name("DataFile/xlsx_rows65536")->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
