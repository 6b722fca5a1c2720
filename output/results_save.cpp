#include "results_save.h"

#include "excel_report.h"
#include "safe_file.h"
#include "spreadsheet_writer.h"
#include "workbook_automation.h"
#include "workbook_data_source.h"

#include <algorithm>

namespace {

constexpr const char *SaveErrorCaption = "Save Error";

bool HasExtension(const std::string &name, std::string_view extension)
{
    if (name.size() < extension.size() + 1) {
        return false;
    }
    const std::string_view suffix = std::string_view(name).substr(name.size() - extension.size() - 1);
    return suffix[0] == '.'
        && std::equal(extension.begin(), extension.end(), suffix.begin() + 1, [](char wanted, char given) {
               return wanted == (given >= 'A' && given <= 'Z' ? given + ('a' - 'A') : given);
           });
}

// Nothing is written under a name the file dialog's filter did not ask for.
bool CheckExtension(const ChosenFile &file, std::string_view extension, MessageSink &messages)
{
    if (HasExtension(file.Name, extension)) {
        return true;
    }
    messages.ShowExclamation(SaveErrorCaption, "The file name must end in ." + std::string(extension) + ".");
    return false;
}

std::string FailureText(const ChosenFile &file, std::string reason)
{
    while (!reason.empty() && reason.back() == '\n') {
        reason.pop_back();
    }
    return "Cannot save " + file.Name + ": " + reason;
}

// The writer refuses every row when no header could be set, and says why at the header.
std::optional<std::string> AddReport(CSpreadSheet &writer, const ExcelReport &report)
{
    const bool headerAdded = writer.AddHeaders(report.Header, false);
    const std::string headerError = writer.LastError();
    int row = FirstReportRow;
    for (const ReportRow &reportRow : report.Rows) {
        if (!writer.AddRow(reportRow.Cells, row++, false)) {
            return headerAdded ? writer.LastError() : headerError;
        }
    }
    return std::nullopt;
}

void SaveAsText(WindowingServices &services, const std::string &resultsText)
{
    const auto file
        = services.ChooseFileToSave({"Text Files", {"txt"}}, ExistingFile::ReplaceSilently);
    if (file) {
        SaveResultsTextFile(*file, resultsText, services);
    }
}

void SaveAsExcel(WindowingServices &services, const ExperimentRecord &record)
{
    const auto file = services.ChooseFileToSave({"Excel Files", {"xls"}}, ExistingFile::AskFirst);
    if (file) {
        SaveExcelReportFile(*file, record, services);
    }
}

} // namespace

bool SaveResultsTextFile(const ChosenFile &file, const std::string &resultsText, MessageSink &messages)
{
    if (!CheckExtension(file, "txt", messages)) {
        return false;
    }
    if (auto failure = SafeFile::WriteWholeFile(file.Path, resultsText + "\r\n")) {
        messages.ShowExclamation(SaveErrorCaption, FailureText(file, *failure));
        return false;
    }
    return true;
}

std::optional<std::string> WriteExcelReport(const ExperimentRecord &record, const ChosenFile &file,
    SpreadsheetDataSource &dataSource, SpreadsheetAutomation &automation)
{
    const ExcelReport report = BuildExcelReport(record);
    try {
        CSpreadSheet writer(dataSource, file.Path, ReportSheetName, true);
        writer.BeginTransaction();
        if (auto failure = AddReport(writer, report)) {
            return FailureText(file, *failure);
        }
        if (!writer.Commit()) {
            return FailureText(file, writer.LastError());
        }
    } catch (const SpreadsheetConnectionError &error) {
        return FailureText(file, error.what());
    }
    if (auto failure = automation.ConvertNumericCells(file.Path, ReportSheetName, NumericCellList(report))) {
        // The report is in the file by now: saying it was not saved would be wrong.
        return "The report is saved in " + file.Name + ", but its values stay texts: " + failure->Message;
    }
    return std::nullopt;
}

bool SaveExcelReportFile(const ChosenFile &file, const ExperimentRecord &record, MessageSink &messages)
{
    if (!CheckExtension(file, "xls", messages)) {
        return false;
    }
    WorkbookDataSource dataSource;
    WorkbookAutomation automation;
    if (auto failure = WriteExcelReport(record, file, dataSource, automation)) {
        messages.ShowExclamation(SaveErrorCaption, *failure);
        return false;
    }
    return true;
}

void RunSaveCommand(WindowingServices &services, const ExperimentRecord &record, const std::string &resultsText)
{
    const std::optional<SaveChoice> form = services.ChooseSaveForm();
    if (form == SaveChoice::ExcelFile) {
        SaveAsExcel(services, record);
    } else if (form == SaveChoice::TextFile) {
        SaveAsText(services, resultsText);
    }
}
