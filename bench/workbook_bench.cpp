// OpenBook plus reading every cell of a 5,000-row, 3-column log and of the 65,536-row
// corpus workbook; with FreeXL found, the same work done by that C reader, side by side.

#include "basicexcel.h"

#include <benchmark/benchmark.h>
#include <filesystem>

#ifdef ORVANE_HAVE_FREEXL
#include <freexl.h>
#endif

namespace {

const std::string LongSheet = ORVANE_SOURCE_DIR "/../shared/xls-corpus/generated/gen__rows65536_3cols.xls";
const std::string LogSheet = ORVANE_SOURCE_DIR "/bench/data/typical_open_loop_variable.xls";

void OrvaneReader(benchmark::State &state, const std::string &path)
{
    if (!std::filesystem::exists(path)) {
        state.SkipWithError("the workbook is absent");
        return;
    }
    for (auto _ : state) {
        YExcel::BasicExcel book;
        if (!book.OpenBook(path)) {
            state.SkipWithError("cannot read the workbook");
            return;
        }
        YExcel::BasicExcelWorksheet &sheet = *book.SheetAt(0);
        double sum = 0;
        const int rows = sheet.RowCount();
        const int columns = sheet.ColumnCount();
        for (int row = 0; row < rows; ++row) {
            for (int column = 0; column < columns; ++column) {
                sum += sheet.CellAt(row, column)->NumberValue();
            }
        }
        benchmark::DoNotOptimize(sum);
    }
}
BENCHMARK_CAPTURE(OrvaneReader, rows5000, LogSheet)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(OrvaneReader, rows65536, LongSheet)->Unit(benchmark::kMillisecond);

#ifdef ORVANE_HAVE_FREEXL
void FreeXLReader(benchmark::State &state, const std::string &path)
{
    if (!std::filesystem::exists(path)) {
        state.SkipWithError("the workbook is absent");
        return;
    }
    for (auto _ : state) {
        const void *handle = nullptr;
        if (freexl_open(path.c_str(), &handle) != FREEXL_OK
            || freexl_select_active_worksheet(handle, 0) != FREEXL_OK) {
            state.SkipWithError("FreeXL cannot read the workbook");
            return;
        }
        unsigned int rows = 0;
        unsigned short columns = 0;
        freexl_worksheet_dimensions(handle, &rows, &columns);
        double sum = 0;
        for (unsigned int row = 0; row < rows; ++row) {
            for (unsigned short column = 0; column < columns; ++column) {
                FreeXL_CellValue value;
                freexl_get_cell_value(handle, row, column, &value);
                if (value.type == FREEXL_CELL_DOUBLE) {
                    sum += value.value.double_value;
                } else if (value.type == FREEXL_CELL_INT) {
                    sum += value.value.int_value;
                }
            }
        }
        benchmark::DoNotOptimize(sum);
        freexl_close(handle);
    }
}
BENCHMARK_CAPTURE(FreeXLReader, rows5000, LogSheet)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(FreeXLReader, rows65536, LongSheet)->Unit(benchmark::kMillisecond);
#endif

} // namespace

BENCHMARK_MAIN();
