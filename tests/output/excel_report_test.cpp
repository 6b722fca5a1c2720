#include "excel_report.h"

#include "analysis.h"
#include "breakthrough.h"
#include "report_records.h"
#include "results_text.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

namespace {

using Cells = std::vector<std::string>;

const Cells Header {"Report Title:", "Glove A", "Results based on Talvik Orvane", "--", "Version 2-5-0"};
const std::string Rate = "\xB5g/(cm\xB2*min)";
const std::string Mass = "\xB5g/cm\xB2";

ExcelReport AnalysedReport(ExperimentRecord &record)
{
    ResultsTextCollector results;
    RunAnalysis(record, results);
    return BuildExcelReport(record);
}

std::vector<Cells> RowCells(const ExcelReport &report)
{
    std::vector<Cells> cells;
    for (const ReportRow &row : report.Rows) {
        cells.push_back(row.Cells);
    }
    return cells;
}

// The rows from the one whose column C is `first` up to the one before `end`.
std::vector<Cells> RowsBetween(const ExcelReport &report, const std::string &first, const std::string &end)
{
    const std::vector<Cells> all = RowCells(report);
    const auto starts = [](const std::string &label) {
        return [label](const Cells &row) { return row.size() > 2 && row[2] == label; };
    };
    const auto begin = std::ranges::find_if(all, starts(first));
    const auto stop = std::find_if(begin, all.end(), starts(end));
    return {begin, stop};
}

const ReportRow *RowLabelled(const ExcelReport &report, const std::string &label)
{
    const auto found = std::ranges::find_if(
        report.Rows, [&](const ReportRow &row) { return row.Cells.size() > 2 && row.Cells[2] == label; });
    return found == report.Rows.end() ? nullptr : &*found;
}

bool HasRow(const ExcelReport &report, const Cells &cells)
{
    return std::ranges::any_of(report.Rows, [&](const ReportRow &row) { return row.Cells == cells; });
}

} // namespace

TEST(ExcelReport, ClosedLoopDiscreteReplacedWithEveryOptionalRow)
{
    ExperimentRecord record = SquareClosedLoop();
    const ExcelReport report = AnalysedReport(record);
    EXPECT_EQ(report.Header, Header);
    const std::vector<Cells> expected {
        {"Operator:", "Lab 3"},
        {"Date:", "2024/05/06"},
        {"Data Filename:", "run12.xls"},
        {""},
        {"Project Number:", "17"},
        {"", "", "Standardized Breakthrough Time (permeation rate at 0.10 " + Rate + "):", "40.00", "min"},
        {"", "", "Breakthrough Detection Time (BDT):", "7.00", "min"},
        {"", "", "Normalized Breakthrough Time (permeation mass at 2.5 " + Mass + "):", "44.72", "min"},
        {"", "", "Minimum Breakthrough Detection Time (permeation rate at 0.01 " + Rate + "):", "4.00", "min"},
        {"", "", "Steady-State Permeation Rate (SSPR):", "0.148750", Rate},
        {"", "", "   Correlation Factor (R\xB2) in the Steady-State Region:", "0.999718"},
        {"", "", "   Start Time in the Steady-State Region:", "56.00", "min"},
        {"", "", "   End Time in the Steady-State Region:", "64.00", "min"},
        {"", "", "Elapsed Time for Cumulative Permeation Mass of 2.5 " + Mass + ":", "44.72", "minutes"},
        {"", "", "Cumulative Permeation for 20 minutes:", "0.500000", Mass},
        {"", "", "Average Permeation Rate from 10 to 20 minutes:", "0.037500", Rate},
        {" "},
        {" "},
        {"Experiment Information"},
        {"", "", "Test Duration:", "1.15", "hours"},
        {"", "Material", "Manufacturer & Product:", "Nitrile 0.1"},
        {"", "", "Average Thickness:", "0.11", "mm"},
        {"", "", "Exposure Area:", "10.00", "cm\xB2"},
        {"", "", "Weight Per Unit Area of Specimen:", "1500", "g/m\xB2"},
        {"", "Test Chemical", "Physical State:", "Liquid"},
        {"", "", "Test Chemical:", "Acetone"},
        {"", "", "CAS #:", "67-64-1"},
        {"", "", "Manufacturer:", "Supplier 4"},
        {"", "", "Lot/Batch #:", "L-88"},
        {"", "", "Expiration Date:", "2026/01"},
        {"", "Temperature", "Nominal Test:", "23 degrees Celsius"},
        {"", "", "Range:", "22-24 degrees Celsius"},
        {"", "Analytical Technique", "Instrument Type:", "PID"},
        {"", "", "Instrument ID Number:", "PID-2"},
        {"", "", "Instrument Settings:", "10.6 eV"},
        {"", "", "Sampling Pump ID:", "P-7"},
        {"", "Collection System", "Medium:", "Nitrogen"},
        {"", "", "Total Volume of the Collection Medium (Vt):", "0.0125", "L"},
        {"", "System Type:", "Closed Loop, Discrete Sampling, Volume Replaced."},
        {"", "", "Volume of Discrete Sample (Vs) Removed from Collection Medium:", "0.001", "L"},
        {"", "", "Data Sampling Interval (seconds):", "60"},
        {"", "Additional Comments:", "none"},
    };
    EXPECT_EQ(RowCells(report), expected);

    // Every row with a value in column D, numbered from row 3 as the writer gets them.
    std::vector<int> recordedRows;
    for (const NumericCell &cell : NumericCellList(report)) {
        recordedRows.push_back(cell.Row);
        EXPECT_EQ(cell.Label, expected[cell.Row - FirstReportRow][2]);
        EXPECT_EQ(cell.Text, expected[cell.Row - FirstReportRow][3]);
    }
    EXPECT_EQ(recordedRows,
        (std::vector<int> {8, 9, 10, 11, 12, 13, 14, 15, 16, 17, 18, 22, 24, 25, 26, 40, 42, 43}));
    EXPECT_EQ(NumericCellList(report)[4].Value, 0.148750);
}

TEST(ExcelReport, OpenLoopWithSteadyState)
{
    ExperimentRecord record = OpenLoopResults();
    record.Settings.MethodDetectionLimit = "0.5";
    record.Report.ReportTitle.clear();
    const ExcelReport report = BuildExcelReport(record);
    EXPECT_EQ(report.Header,
        (Cells {"Report", "-", "Results based on Talvik Orvane", "--", "Version 2-5-0"}));
    const std::vector<Cells> expected {
        {"", "", "Steady-State Permeation Rate (SSPR):", "0.700000", Rate},
        {"", "", "   Determined Around:", "50.0", "(Average of 40.0; 50.0; 60.0) min"},
        {"", "", "Maximum Permeation Rate:", "0.800000", Rate},
        {"", "", "   Determined At:", "40.0", "min"},
        {"", "", "Seven highest permeation rates (" + Rate + "):",
            "0.800000, 0.700000, 0.600000, 0.500000, 0.400000, 0.300000, 0.200000", ""},
        {"", "", "Elapsed Time for Cumulative Permeation Mass of 1 " + Mass + ":", "25.0", "minutes"},
        {"", "", "Cumulative Permeation for 30 minutes:", "1.50", Mass},
        {"", "", "Average Permeation Rate from 0 to 70 minutes:", "0.390000", Rate},
        {"", "", "Minimum detectable permeation rate based on Analytical Method Detection Limit:", "0.000050",
            Rate},
        {" "},
        {" "},
        {"Experiment Information"},
    };
    EXPECT_EQ(RowsBetween(report, "Steady-State Permeation Rate (SSPR):", "Test Duration:"), expected);
    EXPECT_TRUE(RowLabelled(report, "   Determined Around:")->Recorded);
    EXPECT_FALSE(RowLabelled(report, "Seven highest permeation rates (" + Rate + "):")->Recorded);
    EXPECT_TRUE(HasRow(report, {"", "", "Flow Rate of Fresh Collection Medium:", "1.0", "L/min"}));
    EXPECT_TRUE(HasRow(report, {"", "System Type:", "Open Loop, Constant Flow Rate."}));
    EXPECT_EQ(RowLabelled(report, "Total Volume of the Collection Medium (Vt):"), nullptr);
    EXPECT_EQ(RowLabelled(report, "Minimum Breakthrough Detection Time (permeation rate at 0.01 " + Rate + "):"),
        nullptr);
}

TEST(ExcelReport, LevelExceededFromTheStartOrNeverReached)
{
    ExperimentRecord closed = ClosedLoopResults();
    closed.Results.StandardizedBreakthroughTime = ExceededFromStart;
    closed.Results.DetectionTimeText = "0.000000"; // zero counts as shown here
    EXPECT_EQ(RowsBetween(BuildExcelReport(closed), "Standardized Breakthrough Time was unable to be determined.",
                  "Steady-State Permeation Rate (SSPR):"),
        (std::vector<Cells> {
            {"", "", "Standardized Breakthrough Time was unable to be determined."},
            {"", "", "Breakthrough Detection Time (BDT):", "0.000000", "min"},
            {"", "", "Normalized Breakthrough Time (permeation mass at 2.5 " + Mass + "):", "", "Not detected."},
        }));
    closed.Results.DetectionTimeText = "121";
    EXPECT_TRUE(HasRow(BuildExcelReport(closed), {"", "", "Breakthrough Detection Time (BDT):", "", "Not detected."}));

    closed.Results.StandardizedBreakthroughTime = NeverReached;
    closed.Settings.MinDetectableMass = "0.3";
    EXPECT_EQ(RowsBetween(BuildExcelReport(closed), "No permeation was detected at 0.25 " + Mass,
                  "Normalized Breakthrough Time (permeation mass at 2.5 " + Mass + "):"),
        (std::vector<Cells> {
            {"", "", "No permeation was detected at 0.25 " + Mass},
            {"", "", "Minimum detectable mass permeated:", "0.3", Mass},
            {"", "", "Test Duration:", "2.00", "hours"},
        }));
    closed.Settings.MinDetectableMass = "0.250";
    EXPECT_EQ(RowLabelled(BuildExcelReport(closed), "Minimum detectable mass permeated:"), nullptr);

    ExperimentRecord open = OpenLoopResults();
    open.Results.StandardizedBreakthroughTime = ExceededFromStart;
    EXPECT_TRUE(HasRow(BuildExcelReport(open), {"", "", "Permeation rate first detected > 0.10 " + Rate}));
    open.Results.StandardizedBreakthroughTime = NeverReached;
    open.Settings.MinDetectableRate = "0.02";
    open.Settings.MethodDetectionLimit = "0.5"; // the entered rate all the same
    EXPECT_EQ(RowsBetween(BuildExcelReport(open), "No permeation rate was detected at 0.10 " + Rate,
                  "Normalized Breakthrough Time (permeation rate at 1.0 " + Rate + "):"),
        (std::vector<Cells> {
            {"", "", "No permeation rate was detected at 0.10 " + Rate},
            {"", "", "Minimum detectable permeation rate:", "0.02", Rate},
        }));
    open.Settings.MinDetectableRate = "0.10";
    EXPECT_EQ(RowLabelled(BuildExcelReport(open), "Minimum detectable permeation rate:"), nullptr);
}

TEST(ExcelReport, TimesAfterTheEndAreNotDetected)
{
    ExperimentRecord record = SquareClosedLoop();
    AnalysedReport(record);
    record.Results.StandardizedTimeText = "69.01"; // the last reading is at 69 min
    record.Results.MinimumBreakthroughTime = NeverReached;
    const ExcelReport report = BuildExcelReport(record);
    EXPECT_TRUE(HasRow(report,
        {"", "", "Standardized Breakthrough Time (permeation rate at 0.10 " + Rate + "):", "", "Not detected."}));
    const ReportRow *minimum
        = RowLabelled(report, "Minimum Breakthrough Detection Time (permeation rate at 0.01 " + Rate + "):");
    ASSERT_NE(minimum, nullptr);
    EXPECT_EQ(minimum->Cells, (Cells {"", "", minimum->Cells[2], "", "Not detected."}));
    EXPECT_FALSE(minimum->Recorded);
}

TEST(ExcelReport, ClosedLoopRegionTooShortHasNoRate)
{
    ExperimentRecord record = ClosedLoopResults();
    record.Results.SteadyEndIndex = 2;
    EXPECT_EQ(RowsBetween(BuildExcelReport(record), "Steady-State Permeation Rate (SSPR):",
                  "Target Cumulative Permeation Mass of 5 was not reached by experiment end."),
        (std::vector<Cells> {{"", "", "Steady-State Permeation Rate (SSPR):", "", "Not determined."}}));
    record.Specimen.SteadyStateNotEstablished = 1;
    EXPECT_EQ(RowsBetween(BuildExcelReport(record), "Steady-State Permeation was not established.",
                  "Target Cumulative Permeation Mass of 5 was not reached by experiment end."),
        (std::vector<Cells> {
            {"", "", "Steady-State Permeation was not established."},
            {"", "", "Maximum Permeation Rate:", "", "Not determined."},
        }));
}

// A value that is not a number stays text: turned into a number it would read 0.
TEST(ExcelReport, OnlyValuesThatReadAsNumbersAreRecorded)
{
    ExperimentRecord record = OpenLoopResults();
    record.Specimen.AreaText = "0";
    record.ExposedAreaText = "0";
    record.Report.AverageThickness.clear();
    const ExcelReport report = BuildExcelReport(record);
    EXPECT_EQ(RowLabelled(report, "Maximum Permeation Rate:")->Cells[3], "not defined");
    EXPECT_FALSE(RowLabelled(report, "Maximum Permeation Rate:")->Recorded);
    EXPECT_FALSE(RowLabelled(report, "Steady-State Permeation Rate (SSPR):")->Recorded);
    EXPECT_TRUE(RowLabelled(report, "Average Thickness:")->Recorded); // empty reads as 0
}

// No points: no last time to compare with, so no time is shown and nothing is read.
TEST(ExcelReport, SavedBeforeAnyAnalysis)
{
    ExperimentRecord record;
    record.Settings.Sampling = 1;
    record.Settings.VolumeHandling = 1;
    const ExcelReport report = BuildExcelReport(record);
    EXPECT_EQ(report.Header[0], "Report");
    EXPECT_EQ(RowsBetween(report, "Standardized Breakthrough Time (permeation rate at 0.10 " + Rate + "):",
                  "Target Cumulative Permeation Mass of  was not reached by experiment end."),
        (std::vector<Cells> {
            {"", "", "Standardized Breakthrough Time (permeation rate at 0.10 " + Rate + "):", "", "Not detected."},
            {"", "", "Normalized Breakthrough Time (permeation mass at 2.5 " + Mass + "):", "", "Not detected."},
            {"", "", "Minimum Breakthrough Detection Time (permeation rate at 0.01 " + Rate + "):", "",
                "Not detected."},
            {"", "", "Steady-State Permeation Rate (SSPR):", "", "Not determined."},
        }));
    EXPECT_TRUE(HasRow(report, {"", "", "Test Duration:", "0.00", "hours"}));
}
