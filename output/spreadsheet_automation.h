#pragma once

// What the Excel report asks of a spreadsheet application once the writer has saved the
// sheet: the writer's data source stores every cell as text, so the values the report
// records are set to numbers afterwards. Texts are Windows-1252.

#include "spreadsheet_data_source.h"

#include <optional>
#include <string>
#include <vector>

// A value of the report that is to become a number. The row that carries it is found by
// its label and its text rather than by its row number: rows of blanks take no sheet row,
// and an existing sheet may hold older reports below the new one.
struct NumericCell
{
    int Row = 0; // the writer's row number, 3 for the first report row
    std::string Label; // column C of that row
    std::string Text; // column D as written
    double Value = 0;
};

class SpreadsheetAutomation
{
public:
    virtual ~SpreadsheetAutomation() = default;

    // Opens the workbook, turns the column-D cells of `sheetName` that carry each entry's
    // label and text into the entry's number, in the order given, and saves it. None on
    // success; the workbook is left as it was on failure.
    virtual std::optional<DataSourceFailure> ConvertNumericCells(
        const std::string &path, const std::string &sheetName, const std::vector<NumericCell> &cells)
        = 0;
};
