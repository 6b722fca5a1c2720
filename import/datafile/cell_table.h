#pragma once

// A worksheet held as its non-empty cells, for the formats whose readers build the sheet
// as they go (.xlsx, delimited text): cells may arrive in any order and at any position,
// and only those inside the sheet limits are kept.

#include "data_file.h"

#include <deque>
#include <string_view>
#include <vector>

namespace DataFile {

class CellTable final : public Worksheet
{
public:
    // A later cell at the same place replaces an earlier one; a cell at a negative place is
    // ignored, one beyond the limits marks the table truncated.
    void AddNumber(int row, int column, double number, CellKind kind = CellKind::Real);
    // An empty text leaves the place empty.
    void AddText(int row, int column, std::string_view utf8, CellKind kind = CellKind::Text16);
    // For a reader that stops at the limits rather than offering what lies beyond.
    void MarkTruncated() { truncated = true; }
    // Orders the cells for reading; no cell may be added after.
    void Finish();
    std::size_t CellCount() const { return cells.size(); }

    int RowCount() const override { return rowCount; }
    int ColumnCount() const override { return columnCount; }
    Cell CellAt(int row, int column) const override;
    bool Damaged() const override { return false; }
    bool Truncated() const override { return truncated; }

private:
    // 16 bytes: a long sheet is mostly these.
    struct Entry
    {
        std::uint16_t Row = 0;
        std::uint8_t Column = 0;
        CellKind Kind = CellKind::Empty;
        bool HoldsText = false;
        union {
            double Number = 0;
            std::size_t TextIndex;
        };
    };
    static_assert(sizeof(Entry) == 16);

    bool Inside(int row, int column);
    void Add(Entry entry, int row, int column);

    std::vector<Entry> cells;
    std::vector<YExcel::LargeString> texts;
    std::vector<std::size_t> rowStarts; // rowCount + 1 offsets into cells, once finished
    int rowCount = 1;
    int columnCount = 1;
    bool truncated = false;
};

// The workbook of the formats whose sheets are cell tables.
class TableWorkbook final : public Workbook
{
public:
    // The reference stays valid as further sheets are added.
    CellTable &AddSheet(std::string name);

    std::size_t SheetCount() const override { return sheets.size(); }
    const Worksheet *SheetAt(std::size_t index) const override;
    std::string SheetName(std::size_t index) const override;
    void SetUses1904Dates(bool uses) { dates1904 = uses; }
    bool Uses1904Dates() const override { return dates1904; }

private:
    std::deque<CellTable> sheets;
    std::vector<std::string> names;
    bool dates1904 = false;
};

} // namespace DataFile
