#include "workbook_automation.h"

#include "basicexcel.h"
#include "safe_file.h"
#include "workbook_writer.h"
#include "worksheet_rows.h"

#include <algorithm>
#include <cstdint>
#include <variant>

namespace {

using Cell = YExcel::WrittenCell;
using Rows = std::vector<WorksheetRow>;

constexpr std::size_t LabelColumn = 2; // C
constexpr std::size_t ValueColumn = 3; // D

std::optional<DataSourceFailure> Failure(const std::string &message)
{
    return DataSourceFailure {message};
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
    auto bytes = WholeFile(path);
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
    Rows rows;
    if (!ReadWorksheetRows(*book.SheetAt(index), rows)) {
        return Failure("Sheet \"" + sheetName + "\" holds cells that cannot be kept when it is rewritten");
    }
    SetNumbers(rows, cells);
    const YExcel::WrittenSheet sheet {sheetName, std::move(rows)};
    auto rewritten = YExcel::RewriteWorkbook(existing, {sheet});
    if (const auto *refusal = std::get_if<YExcel::WorkbookRefusal>(&rewritten)) {
        return Failure("Cannot write " + path + ": " + refusal->Reason);
    }
    if (auto failure = SafeFile::WriteWholeFile(path, std::get<std::string>(rewritten))) {
        return Failure(*failure);
    }
    return std::nullopt;
}
