#pragma once

// Reader of Excel 97-2003 workbooks: the BIFF8 records of the "Workbook" stream
// ([MS-XLS]) turned into worksheets of cells addressed by row and column.
//
// Texts: 8-bit texts are std::string in Windows-1252 (BIFF8 stores them as Latin-1, which
// differs only in 0x80-0x9F); 16-bit texts are std::u16string in UTF-16.

#include "compound_file.h"
#include "record_cursor.h"

#include <algorithm>
#include <cstdint>
#include <deque>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <vector>

namespace YExcel {

class BasicExcelCell
{
public:
    enum CellKind { Empty = 0, Integer = 1, Real = 2, Text8 = 3, Text16 = 4, FormulaResult = 5 };

    int Kind() const { return kind; }
    // The text of a Text8 cell or of a formula's text result; a 16-bit text only when every
    // character exists in Windows-1252 (then converted). None for an empty text. At most
    // `maxLength` characters are taken, so a caller need not copy a huge text it will cut.
    std::optional<std::string> TextValue(std::size_t maxLength = std::string::npos) const;
    // Real, Integer, or a formula's numeric result; 0 for everything else.
    double NumberValue() const { return holdsText ? 0 : value.number; }
    // The stored text of a Text8 or Text16 cell or a formula's text result (maybe empty);
    // null for every other cell.
    const LargeString *Text() const { return holdsText ? value.text : nullptr; }

private:
    friend class BasicExcelWorksheet;

    // 16 bytes: the table of a long sheet is mostly these. A cell holds a number (an
    // Integer's too: every 32-bit integer is exact in a double) or a text, never both.
    std::uint8_t kind = Empty;
    bool holdsText = false;
    std::uint16_t row = 0;
    std::uint16_t column = 0;
    union {
        double number = 0;
        const LargeString *text; // owned by the workbook's string pools
    } value;
};

class BasicExcelWorksheet
{
public:
    static constexpr int MaxRows = 65536;
    static constexpr int MaxColumns = 256;

    // 1 + the largest row and column of any cell record other than BLANK and MULBLANK;
    // 1 x 1 for a worksheet without such records.
    int RowCount() const { return rowCount; }
    int ColumnCount() const { return columnCount; }
    // None beyond the BIFF8 sheet size. A position beyond the counts grows them.
    const BasicExcelCell *CellAt(int row, int column);
    // True when the worksheet ended at damage (a record or the stream cut short, a record
    // too long or with code 0, the stream's end) instead of at its EOF record: only the
    // cells before the damage were read.
    bool Damaged() const { return damaged; }

    // Reads one worksheet substream, the cursor just after its BOF; strings of LABEL and
    // STRING records are added to `pool`.
    // `streamSize`, the length of the workbook stream, bounds the number of cells.
    void Read(RecordCursor &cursor, const std::deque<LargeString> &sharedStrings,
        std::deque<LargeString> &pool, std::uint64_t streamSize);

private:
    BasicExcelCell &Place(std::uint16_t row, std::uint16_t column);
    void Finish();
    void Count(std::uint16_t row, std::uint16_t column);
    void ReadNumber(const Record &record);
    void ReadRK(const Record &record);
    void ReadMulRK(const Record &record);
    void ReadBoolErr(const Record &record);
    void ReadLabelSST(const Record &record, const std::deque<LargeString> &sharedStrings);
    void ReadLabel(const Record &record, RecordCursor &cursor, std::deque<LargeString> &pool);
    void ReadFormula(const Record &record, RecordCursor &cursor, std::deque<LargeString> &pool);
    void PlaceText(std::uint16_t row, std::uint16_t column, const LargeString &text);
    void PlaceRK(std::uint16_t row, std::uint16_t column, std::uint32_t rk);

    // Only cells that hold something are stored, row by row and column by column; row r's
    // cells are cells[rowStarts[r]] up to cells[rowStarts[r + 1]]. Memory thus follows the
    // cell records, whatever rows and columns they name.
    std::vector<BasicExcelCell> cells;
    std::vector<std::uint32_t> rowStarts;
    bool inOrder = true;
    std::uint32_t lastPlace = 0; // row * 256 + column of the last cell placed
    int rowCount = 1;
    int columnCount = 1;
    bool damaged = false;
};

class BasicExcel
{
public:
    BasicExcel() = default;
    BasicExcel(const BasicExcel &) = delete;
    BasicExcel &operator=(const BasicExcel &) = delete;

    // True when the file holds a "Workbook" stream with at least one worksheet.
    bool OpenBook(const std::string &path);
    bool OpenBookFromMemory(std::span<const std::uint8_t> bytes);
    std::size_t SheetCount() const { return sheets.size(); }
    // Null for an index at or beyond SheetCount().
    BasicExcelWorksheet *SheetAt(std::size_t index);
    // The name of SheetAt(index) in Windows-1252, from the BOUNDSHEET record whose stream
    // offset is that worksheet's; empty for a bad index or a name nothing points at.
    const std::string &SheetName(std::size_t index) const;
    // Date serial numbers count from 1904-01-01 (the DATEMODE record) instead of 1900.
    bool Uses1904Dates() const { return dates1904; }
    void CloseBook();

private:
    bool ReadBook();
    void ParseStream(RecordCursor &cursor, std::uint64_t streamSize);

    WorkbookStorage storage;
    std::deque<LargeString> sharedStrings;
    std::deque<LargeString> cellStrings;
    std::vector<BasicExcelWorksheet> sheets;
    std::vector<std::string> sheetNames; // one per worksheet
    bool dates1904 = false;
};

} // namespace YExcel
