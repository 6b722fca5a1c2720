// Saving the results through the desktop's Save command: the text file, and the Excel
// report through the workbook data source, read back by a reference reader.

#include "results_save.h"

#include "analysis.h"
#include "excel_report.h"
#include "report_records.h"
#include "results_text.h"
#include "scripted_windowing_services.h"
#include "text_encoding.h"
#include "workbook_data_source.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <charconv>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <unistd.h>

namespace fs = std::filesystem;

namespace {

std::string FileBytes(const fs::path &path)
{
    std::ifstream file(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
}

// The Results sheet as xlrd sees it: one line per row, each cell "type:value" with type
// t (text), n (number) or e (empty).
std::string XlrdListing(const fs::path &path)
{
    const std::string command = "PYTHONIOENCODING=utf-8 /usr/bin/python3 -c \"import sys, xlrd\n"
                                "sheet = xlrd.open_workbook(sys.argv[1]).sheet_by_name('Results')\n"
                                "kinds = {xlrd.XL_CELL_TEXT: 't', xlrd.XL_CELL_NUMBER: 'n', xlrd.XL_CELL_EMPTY: 'e'}\n"
                                "for row in range(sheet.nrows):\n"
                                "    print('|'.join(kinds.get(c.ctype, '?') + ':' + str(c.value) for c in sheet.row(row)))\n"
                                "\" '"
        + path.string() + "'";
    FILE *pipe = popen(command.c_str(), "r");
    if (!pipe) {
        return "no python";
    }
    std::string output;
    char buffer[512];
    while (std::fgets(buffer, sizeof buffer, pipe)) {
        output += buffer;
    }
    return pclose(pipe) == 0 ? output : "xlrd failed: " + output;
}

// What the reference reader should list for a report: the header, then every row that is
// not all blanks (those take no sheet row), five cells each, recorded values as numbers.
std::string ExpectedListing(const ExcelReport &report)
{
    const auto line = [](const std::vector<std::string> &cells, bool recorded) {
        std::string text;
        for (std::size_t column = 0; column < 5; ++column) {
            const std::string cell = column < cells.size() ? cells[column] : "";
            text += column == 0 ? "" : "|";
            if (recorded && column == 3) {
                char number[32];
                std::string shortest(number, std::to_chars(number, number + sizeof number, std::strtod(cell.c_str(), nullptr)).ptr);
                text += "n:" + shortest + (shortest.find_first_of(".e") == std::string::npos ? ".0" : "");
            } else if (cell.find_first_not_of(' ') == std::string::npos) {
                text += "e:";
            } else {
                text += "t:" + Encoding::Windows1252ToUtf8(cell);
            }
        }
        return text + "\n";
    };
    std::string listing = line(report.Header, false);
    for (const ReportRow &row : report.Rows) {
        if (std::ranges::any_of(row.Cells, [](const std::string &cell) { return cell.find_first_not_of(' ') != std::string::npos; })) {
            listing += line(row.Cells, row.Recorded);
        }
    }
    return listing;
}

class ResultsSave : public ::testing::Test
{
protected:
    void SetUp() override
    {
        folder = fs::path(::testing::TempDir()) / ("results_save_" + std::to_string(getpid()));
        fs::create_directories(folder);
    }
    void TearDown() override { fs::remove_all(folder); }

    ChosenFile File(const std::string &name) const { return {(folder / name).string(), name}; }

    void SaveWith(SaveChoice form, const std::string &name, const ExperimentRecord &record,
        const std::string &resultsText = {})
    {
        services.SaveForms.push_back(form);
        services.FilesToSave.push_back(File(name));
        RunSaveCommand(services, record, resultsText);
    }

    fs::path folder;
    ScriptedWindowingServices services;
};

} // namespace

TEST_F(ResultsSave, TextFileHoldsTheTextsOwnLineEndsThenOne)
{
    SaveWith(SaveChoice::TextFile, "report.TXT", ExperimentRecord {}, "a\r\nb\r\n");
    EXPECT_EQ(FileBytes(folder / "report.TXT"), "a\r\nb\r\n\r\n");
    SaveWith(SaveChoice::TextFile, "empty.txt", ExperimentRecord {}, "");
    EXPECT_EQ(FileBytes(folder / "empty.txt"), "\r\n");
    EXPECT_TRUE(services.Messages.empty());
    ASSERT_EQ(services.SaveDialogs.size(), 2u);
    EXPECT_EQ(services.SaveDialogs[0].Existing, ExistingFile::ReplaceSilently);
}

TEST_F(ResultsSave, FailuresAreToldAndCancelIsSilent)
{
    SaveWith(SaveChoice::TextFile, "report.csv", ExperimentRecord {}, "text");
    SaveWith(SaveChoice::ExcelFile, "report.txt", ExperimentRecord {});
    EXPECT_FALSE(fs::exists(folder / "report.csv"));
    EXPECT_FALSE(fs::exists(folder / "report.txt"));
    SaveWith(SaveChoice::TextFile, "missing/report.txt", ExperimentRecord {}, "text");
    std::ofstream(folder / "notes.xls") << "not a workbook";
    SaveWith(SaveChoice::ExcelFile, "notes.xls", ExperimentRecord {});
    EXPECT_EQ(FileBytes(folder / "notes.xls"), "not a workbook");
    const std::vector<ShownMessage> expected {
        {"Save Error", "The file name must end in .txt.", true},
        {"Save Error", "The file name must end in .xls.", true},
        {"Save Error",
            "Cannot save missing/report.txt: cannot write " + (folder / "missing/report.txt").string()
                + ": No such file or directory",
            true},
        {"Save Error",
            "Cannot save notes.xls: " + (folder / "notes.xls").string() + " is not an Excel 97-2003 workbook",
            true},
    };
    EXPECT_EQ(services.Messages, expected);

    services.Messages.clear();
    services.SaveForms.push_back(std::nullopt);
    services.SaveForms.push_back(SaveChoice::ExcelFile);
    services.FilesToSave.push_back(std::nullopt);
    RunSaveCommand(services, ExperimentRecord {}, "text");
    RunSaveCommand(services, ExperimentRecord {}, "text");
    EXPECT_TRUE(services.Messages.empty());
    EXPECT_EQ(services.SaveDialogs.back().Existing, ExistingFile::AskFirst);
}

// A title equal to another header name leaves the writer without a header and every row
// refused: the save says so instead of leaving an empty workbook behind.
TEST_F(ResultsSave, RefusedReportIsTold)
{
    ExperimentRecord record = ClosedLoopResults();
    record.Report.ReportTitle = "--";
    SaveWith(SaveChoice::ExcelFile, "title.xls", record);
    ASSERT_EQ(services.Messages.size(), 1u);
    EXPECT_EQ(services.Messages[0].Text, "Cannot save title.xls: Duplicate header row field:--");
    EXPECT_FALSE(fs::exists(folder / "title.xls"));
}

class FailingAutomation : public SpreadsheetAutomation
{
public:
    std::optional<DataSourceFailure> ConvertNumericCells(
        const std::string &, const std::string &, const std::vector<NumericCell> &) override
    {
        return DataSourceFailure {"disk full"};
    }
};

// Once the writer has committed, the report is in the file: the operator must not be told
// that nothing was saved.
TEST_F(ResultsSave, FailedNumberConversionSaysTheReportIsSaved)
{
    WorkbookDataSource dataSource;
    FailingAutomation automation;
    EXPECT_EQ(WriteExcelReport(ClosedLoopResults(), File("texts.xls"), dataSource, automation),
        "The report is saved in texts.xls, but its values stay texts: disk full");
    EXPECT_TRUE(fs::exists(folder / "texts.xls"));
}

TEST_F(ResultsSave, ExcelReportReadBackByAReferenceReader)
{
    ExperimentRecord record = SquareClosedLoop();
    ResultsTextCollector results;
    RunAnalysis(record, results);
    SaveWith(SaveChoice::ExcelFile, "report.xls", record);
    ASSERT_TRUE(services.Messages.empty()) << services.Messages[0].Text;
    EXPECT_EQ(XlrdListing(folder / "report.xls"), ExpectedListing(BuildExcelReport(record)));
}

// A second save into the same workbook puts the new report on top and keeps the old rows
// below it; the numbers land beside the new labels only.
TEST_F(ResultsSave, SecondSaveMergesAndConvertsTheNewRows)
{
    ExperimentRecord record = ClosedLoopResults();
    SaveWith(SaveChoice::ExcelFile, "twice.xls", record);
    record.Report.AverageThickness = "0.25";
    SaveWith(SaveChoice::ExcelFile, "twice.xls", record);
    ASSERT_TRUE(services.Messages.empty()) << services.Messages[0].Text;
    const std::string listing = XlrdListing(folder / "twice.xls");
    const std::size_t newer = listing.find("t:Average Thickness:|n:0.25|t:mm");
    const std::size_t older = listing.find("t:Average Thickness:|t:0.11|t:mm"); // read back as text
    ASSERT_NE(newer, std::string::npos) << listing;
    EXPECT_LT(newer, older) << listing;
}
