#pragma once

#include "cell_table.h"
#include "xlsx_shared_strings.h"
#include "zip_package.h"

#include <optional>
#include <string>

namespace DataFile {

// The cells of a worksheet part into `sheet`, each with the value it stores: a formula's
// cached result, a shared or inline string, a number, a boolean as 0 or 1, an ISO 8601
// date as its serial number. Errors and formulas without a cached result stay empty.
// Empty when read, else why not for the operator.
std::optional<std::string> ReadWorksheetPart(ZipPackage &package, const std::string &partName,
    const SharedStrings &strings, bool dates1904, CellTable &sheet);

} // namespace DataFile
