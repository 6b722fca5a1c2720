#pragma once

// Reading an existing workbook back so that a sheet of it can be written again: the file's
// bytes and the cells of one worksheet as the writer takes them, numbers staying numbers.

#include "workbook_writer.h"

#include <cstdint>
#include <string>
#include <variant>
#include <vector>

namespace YExcel {
class BasicExcelWorksheet;
}

using WorksheetRow = std::vector<YExcel::WrittenCell>;

// Nothing but blanks: the data source writes such a text as an empty cell.
bool IsBlank(const std::string &text);
bool IsBlank(const YExcel::WrittenCell &cell);

// Appends the worksheet's rows, each up to its last cell that is not blank (one cell far
// out must not cost a full table). False when a cell cannot be kept without loss (a
// 16-bit text with a character Windows-1252 lacks) or the worksheet is damaged: `rows`
// then holds the rows before that.
bool ReadWorksheetRows(YExcel::BasicExcelWorksheet &worksheet, std::vector<WorksheetRow> &rows);

// The whole file, or the reason it cannot be read.
std::variant<std::vector<std::uint8_t>, std::string> WholeFile(const std::string &path);
