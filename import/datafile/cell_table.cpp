#include "cell_table.h"

#include "text_encoding.h"

#include <algorithm>

namespace DataFile {

bool CellTable::Inside(int row, int column)
{
    if (row < 0 || column < 0) {
        return false;
    }
    if (row >= MaxRows || column >= MaxColumns) {
        truncated = true;
        return false;
    }
    return true;
}

void CellTable::Add(Entry entry, int row, int column)
{
    entry.Row = static_cast<std::uint16_t>(row);
    entry.Column = static_cast<std::uint8_t>(column);
    cells.push_back(entry);
    rowCount = std::max(rowCount, row + 1);
    columnCount = std::max(columnCount, column + 1);
}

void CellTable::AddNumber(int row, int column, double number, CellKind kind)
{
    if (!Inside(row, column)) {
        return;
    }
    Entry entry;
    entry.Kind = kind;
    entry.Number = number;
    Add(entry, row, column);
}

void CellTable::AddText(int row, int column, std::string_view utf8, CellKind kind)
{
    if (utf8.empty() || !Inside(row, column)) {
        return;
    }
    YExcel::LargeString text;
    text.Wide = true;
    text.WideText = Encoding::Utf8ToUtf16(utf8);
    Entry entry;
    entry.Kind = kind;
    entry.HoldsText = true;
    entry.TextIndex = texts.size();
    texts.push_back(std::move(text));
    Add(entry, row, column);
}

void CellTable::Finish()
{
    const auto before = [](const Entry &a, const Entry &b) {
        return a.Row != b.Row ? a.Row < b.Row : a.Column < b.Column;
    };
    if (!std::is_sorted(cells.begin(), cells.end(), before)) {
        std::stable_sort(cells.begin(), cells.end(), before);
    }
    // Of cells at one place the last to arrive stays: the stable sort kept their order.
    std::size_t kept = 0;
    for (const Entry &entry : cells) {
        if (kept > 0 && !before(cells[kept - 1], entry)) {
            cells[kept - 1] = entry;
        } else {
            cells[kept++] = entry;
        }
    }
    cells.resize(kept);
    rowStarts.assign(static_cast<std::size_t>(rowCount) + 1, cells.size());
    for (std::size_t i = cells.size(); i-- > 0;) {
        rowStarts[cells[i].Row] = i;
    }
    for (std::size_t row = rowStarts.size() - 1; row-- > 0;) {
        rowStarts[row] = std::min(rowStarts[row], rowStarts[row + 1]);
    }
}

Cell CellTable::CellAt(int row, int column) const
{
    if (row < 0 || column < 0 || std::size_t(row) + 1 >= rowStarts.size()) {
        return {};
    }
    const auto first = cells.begin() + static_cast<std::ptrdiff_t>(rowStarts[row]);
    const auto last = cells.begin() + static_cast<std::ptrdiff_t>(rowStarts[row + 1]);
    const auto found = std::lower_bound(
        first, last, column, [](const Entry &entry, int wanted) { return entry.Column < wanted; });
    if (found == last || found->Column != column) {
        return {};
    }
    Cell cell;
    cell.Kind = found->Kind;
    if (found->HoldsText) {
        cell.Text = &texts[found->TextIndex];
    } else {
        cell.Number = found->Number;
    }
    return cell;
}

CellTable &TableWorkbook::AddSheet(std::string name)
{
    names.push_back(std::move(name));
    return sheets.emplace_back();
}

const Worksheet *TableWorkbook::SheetAt(std::size_t index) const
{
    return index < sheets.size() ? &sheets[index] : nullptr;
}

std::string TableWorkbook::SheetName(std::size_t index) const
{
    return index < names.size() ? names[index] : std::string();
}

} // namespace DataFile
