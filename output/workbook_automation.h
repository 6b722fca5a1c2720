#pragma once

// The spreadsheet automation over Excel 97-2003 workbook files: the saved workbook is read
// with the workbook reader, the sheet is rewritten with the cells set to numbers, and the
// file is replaced only once the new one is complete, as the workbook data source saves.
// The sheet's other cells keep their values; its formatting is not kept, as with every
// sheet the data source rewrites.

#include "spreadsheet_automation.h"

class WorkbookAutomation : public SpreadsheetAutomation
{
public:
    std::optional<DataSourceFailure> ConvertNumericCells(
        const std::string &path, const std::string &sheetName, const std::vector<NumericCell> &cells) override;
};
