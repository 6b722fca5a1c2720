// libFuzzer target: arbitrary bytes through the compound-file layer and the workbook
// reader, as an untrusted .xls file would go.

#include "basicexcel.h"

#include <cstddef>
#include <cstdint>
#include <string>

// Keeps the reads from being optimised away.
volatile double fuzzSink;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    const std::span<const std::uint8_t> bytes(data, size);

    // The compound-file layer alone, also for streams other than "Workbook".
    YExcel::WorkbookStorage storage;
    if (storage.OpenMemory(bytes)) {
        std::vector<std::uint8_t> stream;
        std::uint64_t streamSize = 0;
        storage.StreamSize("Workbook", streamSize);
        storage.ReadStream("\x05SummaryInformation", stream);
        storage.ReadStream("Workbook", stream);
    }

    YExcel::BasicExcel book;
    if (!book.OpenBookFromMemory(bytes)) {
        return 0;
    }
    double sum = 0;
    std::size_t textBytes = 0;
    for (std::size_t i = 0; i < book.SheetCount(); ++i) {
        YExcel::BasicExcelWorksheet &sheet = *book.SheetAt(i);
        const int rows = sheet.RowCount();
        const int columns = sheet.ColumnCount();
        for (int row = 0; row < rows; ++row) {
            for (int column = 0; column < columns; ++column) {
                const YExcel::BasicExcelCell &cell = *sheet.CellAt(row, column);
                sum += cell.NumberValue();
                if (const auto text = cell.TextValue()) {
                    textBytes += text->size();
                }
            }
        }
    }
    fuzzSink = sum + static_cast<double>(textBytes);
    return 0;
}
