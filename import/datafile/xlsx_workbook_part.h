#pragma once

#include "zip_package.h"

#include <string>
#include <variant>
#include <vector>

namespace DataFile {

struct SheetEntry
{
    std::string Name; // UTF-8
    std::string RelationshipId;
};

struct WorkbookPart
{
    std::vector<SheetEntry> Sheets; // every kind, in the workbook's order
    bool Uses1904Dates = false;
};

// The workbook part's list of sheets and its date system; a failure for the operator.
std::variant<WorkbookPart, PartFailure> ReadWorkbookPart(ZipPackage &package, const std::string &partName);

} // namespace DataFile
