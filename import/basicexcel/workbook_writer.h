#pragma once

// Writer of Excel 97-2003 workbooks, the counterpart of the reader: a new workbook from
// sheets of cells, or an existing workbook with some of its worksheets rewritten and
// everything else in it (other sheets, their formatting, charts and pictures, names,
// document properties, macros) kept as it was. The writer only produces bytes; putting
// them into a file safely is the caller's job.
//
// Texts are Windows-1252, as everywhere in the program.

#include <cstdint>
#include <span>
#include <string>
#include <variant>
#include <vector>

namespace YExcel {

// Nothing, a text, or a number.
using WrittenCell = std::variant<std::monostate, std::string, double>;

struct WrittenSheet
{
    std::string Name; // 1 to 31 characters
    // Rows[r][c] is the cell of row r, column c, both counted from 0 (A1 is Rows[0][0]).
    // At most 65536 rows of 256 cells.
    std::vector<std::vector<WrittenCell>> Rows;
};

// Why a workbook cannot be written or rewritten, in words for the operator: "the workbook
// is encrypted", "the workbook was written by Excel 5.0 or older", ...
struct WorkbookRefusal
{
    std::string Reason;
};

// The bytes of a new workbook holding `sheets` in their order (at least one).
std::variant<std::string, WorkbookRefusal> WriteNewWorkbook(const std::vector<WrittenSheet> &sheets);

// The bytes of `existing` with each of `sheets` written over the worksheet of the same name
// (names compared without regard to case, as Excel does) in its place and under its name as
// the workbook spells it, or appended after the last sheet when there is none. Everything
// the caller does not name is kept.
std::variant<std::string, WorkbookRefusal> RewriteWorkbook(
    std::span<const std::uint8_t> existing, const std::vector<WrittenSheet> &sheets);

// A name Excel takes for a sheet: 1 to 31 characters without : \ / ? * [ ] nor an
// apostrophe at either end.
bool ValidSheetName(const std::string &name);

// Sheet names compare without regard to case, as Excel does.
bool SameSheetName(const std::string &a, const std::string &b);

} // namespace YExcel
