#pragma once

// The worksheets of a data file and their cells, whatever the file's format: an Excel
// 97-2003 workbook, an Office Open XML workbook or a delimited text file. The format is
// told by the file's first bytes, never by its name. Column detection and inspection read
// only through this, so every format reaches them as the same kinds of cells.

#include "record_cursor.h" // YExcel::LargeString

#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <span>
#include <string>

namespace DataFile {

// The kinds an Excel 97-2003 worksheet gives its cells. The other formats map onto them:
// a number is Real, a text Text16, a boolean an Integer 0 or 1, a formula's cached result
// a FormulaResult; an error, and a formula without a cached result, are Empty.
enum class CellKind : std::uint8_t { Empty, Integer, Real, Text8, Text16, FormulaResult };

struct Cell
{
    CellKind Kind = CellKind::Empty;
    double Number = 0; // Integer, Real, a FormulaResult that is no text; else 0
    const YExcel::LargeString *Text = nullptr; // Text8, Text16, a text FormulaResult; owned by the workbook

    // The text in Windows-1252, the converter's way with characters outside it; at most
    // `maxLength` characters. None for a cell without text or with the empty text.
    std::optional<std::string> TextValue(std::size_t maxLength = std::string::npos) const;
};

// A worksheet holds at most MaxRows x MaxColumns cells: enough for any log, and the size
// of an Excel 97-2003 sheet, so every format reads alike. A larger sheet is read up to
// these limits.
inline constexpr int MaxRows = 65536;
inline constexpr int MaxColumns = 256;

class Worksheet
{
public:
    virtual ~Worksheet() = default;
    // 1 + the largest row and column holding a cell (1 x 1 for a sheet without cells).
    virtual int RowCount() const = 0;
    virtual int ColumnCount() const = 0;
    // An Empty cell for a position without one, inside the sheet or not.
    virtual Cell CellAt(int row, int column) const = 0;
    // True when only the cells before damage in the file could be read.
    virtual bool Damaged() const = 0;
    // True when the sheet went on beyond MaxRows or MaxColumns and was cut there.
    virtual bool Truncated() const = 0;
};

class Workbook
{
public:
    virtual ~Workbook() = default;
    // Worksheets only, in the workbook's order: chart sheets are none.
    virtual std::size_t SheetCount() const = 0;
    // Null for an index at or beyond SheetCount().
    virtual const Worksheet *SheetAt(std::size_t index) const = 0;
    // The sheet's name in UTF-8; a delimited text file's one sheet is named after the file.
    virtual std::string SheetName(std::size_t index) const = 0;
    // Whether date serial numbers count days from 1904-01-01 instead of from 1900: the
    // cells hold them as stored.
    virtual bool Uses1904Dates() const = 0;
};

enum class Format { Xls, Xlsx, DelimitedText };

// Compound file (D0 CF 11 E0 A1 B1 1A E1), ZIP ("PK\3\4"), else text.
Format FormatOf(std::span<const std::uint8_t> firstBytes);

struct OpenResult
{
    std::unique_ptr<Workbook> Book; // null when the file could not be read
    std::string Failure; // why not, for the operator; empty when read
};

// `path` must name a regular file. A workbook is read when it has at least one worksheet;
// a delimited text file always has its one.
OpenResult OpenDataFile(const std::string &path);
// The same for a file's bytes; `fileName` names a delimited text file's sheet.
OpenResult ReadDataFile(std::span<const std::uint8_t> bytes, const std::string &fileName);

} // namespace DataFile
