// libFuzzer target: arbitrary bytes read as a delimited text file. Beside not crashing,
// the worksheet must hold exactly the fields the record splitter gives: a number where
// the field is one, its text otherwise, nothing where it is empty.

#include "delimited_text.h"
#include "delimited_workbook.h"
#include "text_encoding.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <string>

namespace {

bool CellHoldsField(const DataFile::Cell &cell, const std::string &field, char delimiter)
{
    if (field.empty()) {
        return cell.Kind == DataFile::CellKind::Empty;
    }
    if (const auto number = DelimitedText::FieldNumber(field, delimiter)) {
        return cell.Kind == DataFile::CellKind::Real && cell.Number == *number;
    }
    return cell.Kind == DataFile::CellKind::Text16 && cell.Text && Encoding::Utf16ToUtf8(cell.Text->WideText) == field;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    const std::string_view bytes(reinterpret_cast<const char *>(data), size);
    const DataFile::OpenResult opened = DataFile::ReadDelimitedWorkbook(bytes, "fuzz");
    if (!opened.Book) {
        return 0;
    }
    const DataFile::Worksheet &sheet = *opened.Book->SheetAt(0);
    const DelimitedText::Table table = DelimitedText::ReadTable(bytes);
    const std::size_t rows = std::min<std::size_t>(table.Records.size(), DataFile::MaxRows);
    for (std::size_t row = 0; row < rows; ++row) {
        const DelimitedText::Record &record = table.Records[row];
        const std::size_t columns = std::min<std::size_t>(record.size(), DataFile::MaxColumns);
        for (std::size_t column = 0; column < columns; ++column) {
            const DataFile::Cell cell = sheet.CellAt(static_cast<int>(row), static_cast<int>(column));
            if (!CellHoldsField(cell, record[column], table.Delimiter)) {
                __builtin_trap();
            }
        }
    }
    return 0;
}
