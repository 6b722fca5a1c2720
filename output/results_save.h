#pragma once

// Saving the results, for the desktop's Save command and the batch tool alike: the results
// text as a text file, or the Excel report into the sheet "Results" of a workbook. A file
// that cannot be written, or a name with the wrong extension, is told to the operator
// with the caption "Save Error" and a text naming the file and the reason.

#include "experiment_record.h"
#include "spreadsheet_automation.h"
#include "spreadsheet_data_source.h"
#include "windowing_services.h"

#include <optional>
#include <string>

// The results text's own bytes and CR LF line ends, then one CR LF. False when nothing was
// written.
bool SaveResultsTextFile(const ChosenFile &file, const std::string &resultsText, MessageSink &messages);

// The report written into the workbook (made, or merged with its "Results" sheet), then
// its values turned into numbers. False when the save failed.
bool SaveExcelReportFile(const ChosenFile &file, const ExperimentRecord &record, MessageSink &messages);

// The same with the data source and automation given: the text to tell the operator when
// the save failed, else None.
std::optional<std::string> WriteExcelReport(const ExperimentRecord &record, const ChosenFile &file,
    SpreadsheetDataSource &dataSource, SpreadsheetAutomation &automation);

// The Save command: "Save File As", then the file dialog of the form chosen, then the save.
// Cancel in either dialog ends it without a word.
void RunSaveCommand(WindowingServices &services, const ExperimentRecord &record, const std::string &resultsText);
