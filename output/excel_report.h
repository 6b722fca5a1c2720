#pragma once

// The Excel report: the results text's content laid out as the five-column sheet
// "Results", with its own wording. A header row of column names, then the report rows in
// order; each row's values stand in column D and their units in column E. Built from the
// record alone. Texts are Windows-1252 ("µ" 0xB5, "²" 0xB2).

#include "experiment_record.h"
#include "spreadsheet_automation.h"

#include <string>
#include <vector>

inline constexpr const char *ReportSheetName = "Results";
// The writer's row 2 is left to it (a row of blanks on a new sheet).
inline constexpr int FirstReportRow = 3;

struct ReportRow
{
    std::vector<std::string> Cells; // columns A to E; fewer leave the rest empty
    // Column D holds a number that the save turns from text into a number.
    bool Recorded = false;
};

struct ExcelReport
{
    std::vector<std::string> Header;
    std::vector<ReportRow> Rows; // the writer's rows FirstReportRow, FirstReportRow + 1, ...
};

ExcelReport BuildExcelReport(const ExperimentRecord &record);

// One entry per recorded row, in row order, with the number its column-D text reads as.
std::vector<NumericCell> NumericCellList(const ExcelReport &report);
