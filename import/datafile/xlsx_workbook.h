#pragma once

#include "data_file.h"

namespace DataFile {

// An Office Open XML workbook (.xlsx): its worksheets in workbook order, with the cells'
// values as stored (a formula's cached result, a shared or inline string, a number).
OpenResult ReadXlsxWorkbook(std::span<const std::uint8_t> bytes);

} // namespace DataFile
