#include "worksheet_rows.h"

#include "basicexcel.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <optional>

namespace {

using Cell = YExcel::WrittenCell;

// None for a 16-bit text with a character Windows-1252 lacks.
std::optional<Cell> CellValue(const YExcel::BasicExcelCell &cell)
{
    std::optional<Cell> value(std::in_place);
    if (const YExcel::LargeString *text = cell.Text()) {
        if (text->Empty()) {
            return value;
        }
        auto converted = cell.TextValue();
        if (!converted) {
            return std::nullopt;
        }
        value->emplace<std::string>(std::move(*converted));
    } else if (cell.Kind() != YExcel::BasicExcelCell::Empty) {
        value->emplace<double>(cell.NumberValue());
    }
    return value;
}

} // namespace

bool IsBlank(const std::string &text)
{
    return text.find_first_not_of(' ') == std::string::npos;
}

bool IsBlank(const Cell &cell)
{
    const auto *text = std::get_if<std::string>(&cell);
    return std::holds_alternative<std::monostate>(cell) || (text && IsBlank(*text));
}

bool ReadWorksheetRows(YExcel::BasicExcelWorksheet &worksheet, std::vector<WorksheetRow> &rows)
{
    for (int row = 0; row < worksheet.RowCount(); ++row) {
        WorksheetRow cells;
        for (int column = 0; column < worksheet.ColumnCount(); ++column) {
            const YExcel::BasicExcelCell *cell = worksheet.CellAt(row, column);
            if (!cell) {
                continue;
            }
            auto value = CellValue(*cell);
            if (!value) {
                return false;
            }
            if (!IsBlank(*value)) {
                cells.resize(column + 1);
                cells[column] = std::move(*value);
            }
        }
        rows.push_back(std::move(cells));
    }
    return !worksheet.Damaged();
}

std::variant<std::vector<std::uint8_t>, std::string> WholeFile(const std::string &path)
{
    std::error_code error;
    if (!std::filesystem::is_regular_file(path, error)) {
        return error ? error.message() : "not a file";
    }
    std::FILE *file = std::fopen(path.c_str(), "rb");
    if (!file) {
        return std::string(std::strerror(errno));
    }
    std::vector<std::uint8_t> bytes;
    std::uint8_t buffer[65536];
    std::size_t count = 0;
    while ((count = std::fread(buffer, 1, sizeof buffer, file)) > 0) {
        bytes.insert(bytes.end(), buffer, buffer + count);
    }
    const bool failed = std::ferror(file) != 0;
    const int reason = errno;
    std::fclose(file);
    if (failed) {
        return std::string(std::strerror(reason));
    }
    return bytes;
}
