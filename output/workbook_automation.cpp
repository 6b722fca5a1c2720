#include "workbook_automation.h"

#include "basicexcel.h"
#include "biff_writer.h"
#include "safe_file.h"
#include "workbook_writer.h"

#include <cerrno>
#include <cstdint>
#include <cstring>
#include <fstream>
#include <iterator>
#include <variant>

namespace {

using Cell = YExcel::WrittenCell;
using Rows = std::vector<std::vector<Cell>>;

constexpr std::size_t LabelColumn = 2; // C
constexpr std::size_t ValueColumn = 3; // D

std::optional<DataSourceFailure> Failure(const std::string &message)
{
    return DataSourceFailure {message};
}

std::variant<std::vector<std::uint8_t>, std::string> ReadWholeFile(const std::string &path)
{
    std::ifstream file(path, std::ios::binary);
    if (!file) {
        return std::string(std::strerror(errno));
    }
    std::vector<std::uint8_t> bytes {std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
    if (file.bad()) {
        return std::string("read error");
    }
    return bytes;
}

// None for a cell the rewrite could not keep as it is (a text Windows-1252 lacks).
std::optional<Cell> CellValue(const YExcel::BasicExcelCell &cell)
{
    if (cell.Text()) {
        if (cell.Text()->Empty()) {
            return Cell();
        }
        auto text = cell.TextValue();
        return text ? std::optional<Cell>(std::move(*text)) : std::nullopt;
    }
    return cell.Kind() == YExcel::BasicExcelCell::Empty ? Cell() : Cell(cell.NumberValue());
}

std::optional<Rows> SheetCells(YExcel::BasicExcelWorksheet &worksheet)
{
    if (worksheet.Damaged()) {
        return std::nullopt;
    }
    Rows rows(static_cast<std::size_t>(worksheet.RowCount()));
    for (int row = 0; row < worksheet.RowCount(); ++row) {
        for (int column = 0; column < worksheet.ColumnCount(); ++column) {
            const YExcel::BasicExcelCell *cell = worksheet.CellAt(row, column);
            if (!cell || cell->Kind() == YExcel::BasicExcelCell::Empty) {
                continue;
            }
            auto value = CellValue(*cell);
            if (!value) {
                return std::nullopt;
            }
            rows[row].resize(column + 1);
            rows[row][column] = std::move(*value);
        }
    }
    return rows;
}

bool IsBlank(const std::string &text)
{
    return text.find_first_not_of(' ') == std::string::npos;
}

// The data source writes a text of blanks as an empty cell.
bool Holds(const std::vector<Cell> &row, std::size_t column, const std::string &text)
{
    const Cell *cell = column < row.size() ? &row[column] : nullptr;
    const auto *held = cell ? std::get_if<std::string>(cell) : nullptr;
    if (held) {
        return *held == text || (IsBlank(*held) && IsBlank(text));
    }
    return IsBlank(text) && (!cell || std::holds_alternative<std::monostate>(*cell));
}

// Each entry takes the first row after the previous entry's that carries its label and
// text; an entry no such row carries is left out.
void SetNumbers(Rows &rows, const std::vector<NumericCell> &cells)
{
    std::size_t next = 0;
    for (const NumericCell &entry : cells) {
        for (std::size_t row = next; row < rows.size(); ++row) {
            if (Holds(rows[row], LabelColumn, entry.Label) && Holds(rows[row], ValueColumn, entry.Text)) {
                rows[row].resize(std::max(rows[row].size(), ValueColumn + 1));
                rows[row][ValueColumn] = entry.Value;
                next = row + 1;
                break;
            }
        }
    }
}

} // namespace

std::optional<DataSourceFailure> WorkbookAutomation::ConvertNumericCells(
    const std::string &path, const std::string &sheetName, const std::vector<NumericCell> &cells)
{
    auto bytes = ReadWholeFile(path);
    if (const auto *reason = std::get_if<std::string>(&bytes)) {
        return Failure("Cannot read " + path + ": " + *reason);
    }
    const auto &existing = std::get<std::vector<std::uint8_t>>(bytes);
    YExcel::BasicExcel book;
    if (!book.OpenBookFromMemory(existing)) {
        return Failure(path + " is not an Excel 97-2003 workbook");
    }
    std::size_t index = 0;
    while (index < book.SheetCount() && !YExcel::SameSheetName(book.SheetName(index), sheetName)) {
        ++index;
    }
    if (index == book.SheetCount()) {
        return Failure("Sheet \"" + sheetName + "\" does not exist");
    }
    std::optional<Rows> rows = SheetCells(*book.SheetAt(index));
    if (!rows) {
        return Failure("Sheet \"" + sheetName + "\" holds cells that cannot be kept when it is rewritten");
    }
    SetNumbers(*rows, cells);
    const YExcel::WrittenSheet sheet {sheetName, std::move(*rows)};
    auto rewritten = YExcel::RewriteWorkbook(existing, {sheet});
    if (const auto *refusal = std::get_if<YExcel::WorkbookRefusal>(&rewritten)) {
        return Failure("Cannot write " + path + ": " + refusal->Reason);
    }
    if (auto failure = SafeFile::WriteWholeFile(path, std::get<std::string>(rewritten))) {
        return Failure(*failure);
    }
    return std::nullopt;
}
