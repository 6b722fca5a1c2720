#pragma once

#include "data_file.h"

#include <string_view>

namespace DataFile {

// A delimited text file as a workbook of one worksheet named `sheetName`: one row per
// record, one cell per non-empty field, a number where the field is one (as a
// spreadsheet program importing the file would take it), else a text. Refused when the
// text holds a NUL character: then it is some binary file, not a table.
OpenResult ReadDelimitedWorkbook(std::string_view bytes, const std::string &sheetName);

} // namespace DataFile
