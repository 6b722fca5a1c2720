#include "import_command.h"

#include "experiment_record.h"
#include "scripted_windowing_services.h"
#include "workbook_builder.h"

#include <gtest/gtest.h>

#include <memory>

namespace {

class RecordingView : public ImportCommandView
{
public:
    void ClearResults() override { ++Clears; }
    void ImportRunEnded() override { ++RunsEnded; }
    void ExposedAreaChanged(const ExperimentRecord &) override { }
    void AnalysisCompleted(ExperimentRecord &record) override { Analysed.push_back(record.SourceName); }

    int Clears = 0;
    int RunsEnded = 0;
    std::vector<std::string> Analysed;
};

using Answer = ScriptedWindowingServices::SettingsAnswer;

ChosenFile Example(const std::string &name)
{
    return {ORVANE_SOURCE_DIR "/examples/" + name + ".xls", name + ".xls"};
}

void ClosedLoopEntries(ExperimentRecord &record, const char *volume)
{
    record.Settings.LoopType = ClosedLoop;
    record.Settings.TotalVolume = volume;
    record.Settings.MinDetectableMass = "0.1";
}

void SpecimenEntries(ExperimentRecord &record)
{
    record.Specimen.AreaMode = 0;
    record.Specimen.AreaText = "20.27";
    record.Specimen.CumulativeTimeText = "60";
}

// One file answered through its three dialogs.
std::vector<Answer> ThroughAllDialogs(const char *volume)
{
    return {{DialogResult::Next, [volume](ExperimentRecord &r) { ClosedLoopEntries(r, volume); }},
        {DialogResult::Next, SpecimenEntries}, {DialogResult::Next, {}}};
}

class ImportCommand : public ::testing::Test
{
protected:
    void Script(const std::vector<Answer> &answers)
    {
        services.SettingsAnswers.insert(services.SettingsAnswers.end(), answers.begin(), answers.end());
    }

    std::unique_ptr<ExperimentRecord> record = std::make_unique<ExperimentRecord>();
    ScriptedWindowingServices services;
    RecordingView view;
};

TEST_F(ImportCommand, EachFileInTurnACancelledOneIsPassedOver)
{
    services.FilesToOpen.push_back({Example("closed_loop_continuous"), Example("open_loop_constant"),
        Example("closed_loop_continuous")});
    Script(ThroughAllDialogs("0.150"));
    Script({{DialogResult::Next, [](ExperimentRecord &r) { ClosedLoopEntries(r, "0.150"); }},
        {DialogResult::Cancel, {}}});
    Script(ThroughAllDialogs("0.150"));
    RunImportData(*record, services, view);
    EXPECT_EQ(view.Analysed,
        (std::vector<std::string> {"closed_loop_continuous.xls", "closed_loop_continuous.xls"}));
    EXPECT_EQ(view.Clears, 1);
    EXPECT_EQ(view.RunsEnded, 1);
    EXPECT_TRUE(record->ResultsAvailable);
    EXPECT_FALSE(record->SettingsComplete);
    EXPECT_TRUE(services.Messages.empty());
}

TEST_F(ImportCommand, AFailedVolumeCheckEndsTheCommand)
{
    services.FilesToOpen.push_back({Example("closed_loop_continuous"), Example("closed_loop_continuous")});
    Script(ThroughAllDialogs("0.0"));
    RunImportData(*record, services, view);
    EXPECT_TRUE(view.Analysed.empty());
    EXPECT_EQ(services.DialogsRun.size(), 3u); // the second file was never opened
    EXPECT_EQ(services.Messages,
        (std::vector<ShownMessage> {
            {"Volume for Test Material Error", "Cannot read the Volume given.", true}}));
    EXPECT_EQ(view.RunsEnded, 1);
}

TEST_F(ImportCommand, ModifySettingsRecomputesOrLeavesTheResults)
{
    RunModifySettings(*record, services, view); // before any import
    EXPECT_EQ(services.Messages,
        (std::vector<ShownMessage> {
            {"Modify Settings", "There is no imported data file to modify. Use Import Data first.", false}}));
    EXPECT_TRUE(services.DialogsRun.empty());
    services.Messages.clear();

    services.FilesToOpen.push_back({Example("closed_loop_continuous")});
    Script(ThroughAllDialogs("0.150"));
    RunImportData(*record, services, view);
    const std::string cumulative = record->Results.CumulativeText;

    Script({{DialogResult::Next, [](ExperimentRecord &r) { r.Settings.TotalVolume = "0.300"; }},
        {DialogResult::Next, {}}, {DialogResult::Next, {}}});
    RunModifySettings(*record, services, view);
    EXPECT_EQ(view.Analysed.size(), 2u);
    EXPECT_NE(record->Results.CumulativeText, cumulative); // twice the volume, twice the mass

    Script({{DialogResult::Cancel, {}}});
    RunModifySettings(*record, services, view);
    EXPECT_EQ(view.Analysed.size(), 2u);
}

TEST_F(ImportCommand, TestDateIsTheDayOfTheImport)
{
    services.FilesToOpen.push_back({Example("closed_loop_continuous")});
    std::vector<Answer> answers = ThroughAllDialogs("0.150");
    answers[2].Type = [](ExperimentRecord &r) { EXPECT_EQ(r.Report.TestDate, "3/5/2014"); };
    Script(answers);
    record->Report.TestDate = "12/31/2013"; // typed for an earlier file
    RunImportData(*record, services, view, [] { return CalendarDate {2014, 3, 5}; });
    EXPECT_EQ(record->Report.TestDate, "3/5/2014");
    EXPECT_EQ(view.Analysed.size(), 1u);
}

// Files named when the program starts: no file dialog, the rest as for Import Data.
TEST_F(ImportCommand, FilesChosenBeforeAreImportedWithoutTheFileDialog)
{
    Script(ThroughAllDialogs("0.150"));
    RunImportFiles(*record, {Example("closed_loop_continuous")}, services, view);
    EXPECT_EQ(view.Analysed, (std::vector<std::string> {"closed_loop_continuous.xls"}));
    EXPECT_TRUE(services.Messages.empty());
}

void OpenLoopEntries(ExperimentRecord &record)
{
    record.Settings.LoopType = OpenLoop;
    record.Settings.FlowType = 0;
    record.Settings.FlowRate = "1.00";
    record.Settings.MinDetectableRate = "0.01";
}

TEST_F(ImportCommand, VolumeAndFlowRateChecksOnAnOpenLoop)
{
    // A calibrated output needs the volume whatever the loop: the command ends there.
    services.FilesToOpen.push_back({Example("open_loop_constant"), Example("open_loop_constant")});
    Script({{DialogResult::Next,
                [](ExperimentRecord &r) {
                    OpenLoopEntries(r);
                    r.Settings.ResponseFormat = CalibratedAnalyzerOutput;
                    r.Settings.CalibrationEquation = "y = 1x";
                }},
        {DialogResult::Next, SpecimenEntries}, {DialogResult::Next, {}}});
    RunImportData(*record, services, view);
    EXPECT_TRUE(view.Analysed.empty());
    EXPECT_EQ(services.DialogsRun.size(), 3u);
    ASSERT_FALSE(services.Messages.empty());
    EXPECT_EQ(services.Messages.back(),
        (ShownMessage {"Volume for Test Material Error", "Cannot read the Volume given.", true}));

    // Modify Settings with the flow rate cleared: no recomputation, the results stay.
    services.Messages.clear();
    services.FilesToOpen.push_back({Example("open_loop_constant")});
    Script({{DialogResult::Next,
                [](ExperimentRecord &r) {
                    OpenLoopEntries(r);
                    r.Settings.ResponseFormat = ConcentrationPpm;
                    r.Settings.MolecularWeight = "78.11";
                    r.Settings.TimeFormat = TimeStampText;
                    ConfirmChoiceOfVariable(r); // as the dialog's Next does
                }},
        {DialogResult::Next, SpecimenEntries}, {DialogResult::Next, {}}});
    RunImportData(*record, services, view);
    ASSERT_EQ(view.Analysed.size(), 1u);
    const std::string cumulative = record->Results.CumulativeText;
    Script({{DialogResult::Next, [](ExperimentRecord &r) { r.Settings.FlowRate.clear(); }},
        {DialogResult::Next, {}}, {DialogResult::Next, {}}});
    RunModifySettings(*record, services, view);
    EXPECT_EQ(services.Messages,
        (std::vector<ShownMessage> {
            {"Flow Rate for Test Material Error", "Cannot read the Flow Rate given.", false}}));
    EXPECT_EQ(view.Analysed.size(), 1u);
    EXPECT_EQ(record->Results.CumulativeText, cumulative);
}

TEST_F(ImportCommand, BackFromDataInputReadsAgainWithTheNewTimeFormat)
{
    const auto choose = [](TimeFormat format) {
        return Answer {DialogResult::Next, [format](ExperimentRecord &r) {
                           OpenLoopEntries(r);
                           r.Settings.ResponseFormat = ConcentrationPpm;
                           r.Settings.MolecularWeight = "78.11";
                           r.Settings.TimeFormat = format;
                           ConfirmChoiceOfVariable(r);
                       }};
    };
    std::vector<double> lastTimes;
    const auto back = Answer {DialogResult::Back, [&](ExperimentRecord &r) { lastTimes.push_back(r.LastTime); }};
    services.FilesToOpen.push_back({Example("open_loop_constant")});
    Script({choose(TimeInMinutes), back, choose(TimeStampText), back, {DialogResult::Cancel, {}}});
    RunImportData(*record, services, view);
    ASSERT_EQ(lastTimes.size(), 2u);
    EXPECT_NE(lastTimes[0], lastTimes[1]);
    EXPECT_EQ(lastTimes[1], 90.0) << lastTimes[0]; // 91 readings a minute apart
    EXPECT_TRUE(services.Messages.empty());
}

TEST_F(ImportCommand, OverlongAndUnreadableWorkbooksAreReportedAndTheRunGoesOn)
{
    using namespace TestWorkbook;
    std::vector<ByteVector> cells {Label(0, 0, "Time"), Label(0, 1, "Concentration")};
    for (std::uint16_t row = 1; row <= MaxPoints + 2; ++row) {
        cells.push_back(Number(row, 0, row));
        cells.push_back(Number(row, 1, 0.5));
    }
    const ChosenFile overlong {
        WriteTemporaryFile("overlong.xls", CompoundFileWithWorkbook(Workbook({Join(cells)}))),
        "overlong.xls"};
    const ChosenFile unreadable {WriteTemporaryFile("notes.xls", ByteVector(600, 'x')), "notes.xls"};

    services.FilesToOpen.push_back({overlong, unreadable, Example("closed_loop_continuous")});
    Script(ThroughAllDialogs("0.150"));
    Script({{DialogResult::Next, [](ExperimentRecord &r) { ClosedLoopEntries(r, "0.150"); }}});
    Script(ThroughAllDialogs("0.150"));
    RunImportData(*record, services, view);
    EXPECT_EQ(services.Messages,
        (std::vector<ShownMessage> {
            {"Data Points", "The data file holds more than 5000 data points. Only the first 5000 were read.",
                false},
            {"Import Error",
                "The file notes.xls could not be read as a workbook (.xls, .xlsx) or a comma-separated file (.csv).",
                false}}));
    EXPECT_EQ(view.Analysed, (std::vector<std::string> {"overlong.xls", "closed_loop_continuous.xls"}));

    // An unreadable last file keeps nothing of the file read before it.
    services.FilesToOpen.push_back({Example("closed_loop_continuous"), unreadable});
    Script(ThroughAllDialogs("0.150"));
    Script({{DialogResult::Next, [](ExperimentRecord &r) { ClosedLoopEntries(r, "0.150"); }}});
    RunImportData(*record, services, view);
    EXPECT_EQ(record->SourceName, "notes.xls");
    EXPECT_EQ(record->PointCount, 0);
    EXPECT_TRUE(record->TimeTexts.empty());
    EXPECT_EQ(record->Points[0].Value, 0);
}

} // namespace
