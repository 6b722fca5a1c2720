#pragma once

// Which worksheet column feeds which column list: a header keyword in row 0, else a fixed
// default column, and the operator's column letters over both.

#include <string>
#include <vector>

struct ExperimentRecord;

namespace YExcel {
class BasicExcelWorksheet;
}

// The eighteen header keywords, in the order they are tried.
std::vector<std::string> DefaultHeaderKeywords();

// Empties and refills TimeTexts, AnalyzerTexts, ConcentrationTexts and FlowTexts, one entry
// per worksheet row, and sets the four found flags.
void DetectColumns(ExperimentRecord &record, YExcel::BasicExcelWorksheet &sheet);
