#pragma once

// Which worksheet column feeds which column list: a header keyword in row 0, else a fixed
// default column, and the operator's column letters over both.

#include <cstddef>
#include <string>
#include <vector>

struct ExperimentRecord;

namespace DataFile {
class Worksheet;
}

// The eighteen header keywords, in the order they are tried.
std::vector<std::string> DefaultHeaderKeywords();

// A list holds at most one worksheet column's rows: further columns with the same kind of
// header extend it only that far, since no time could pair with rows beyond.
inline constexpr std::size_t MaxListEntries = 65536;
// A cell text is cut here: longer than any number "%f" prints (317 characters for the
// largest double) or any time stamp, so only texts that are no entry lose characters,
// and a hostile workbook cannot make the lists hold gigabytes.
inline constexpr std::size_t MaxEntryLength = 320;

// Empties and refills TimeTexts, AnalyzerTexts, ConcentrationTexts and FlowTexts, one entry
// per worksheet row, and sets the four found flags. The lists stop MaxPoints + 1 entries
// after the first data entry: rows after that can never become points.
void DetectColumns(ExperimentRecord &record, const DataFile::Worksheet &sheet);

// The list the readings come from: analyzer outputs for a calibrated response, else
// concentrations.
const std::vector<std::string> &ReadingTexts(const ExperimentRecord &record);

// The first entry of the lists that is a data row: the first non-zero reading; when no
// reading is non-zero (nothing permeated) the test still ran, so its rows count from the
// first one with a valid time. The reading list's size when there is none.
int FirstDataEntry(const ExperimentRecord &record);
