#include "import_command.h"

#include "experiment_record.h"
#include "scripted_windowing_services.h"

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

} // namespace
