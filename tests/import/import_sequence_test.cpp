#include "import_sequence.h"

#include "analysis.h"
#include "experiment_record.h"
#include "recorded_messages.h"

#include <gtest/gtest.h>

#include <deque>
#include <functional>
#include <memory>

namespace {

// Answers the three dialogs from a script: each answer may change the record first, as an
// operator typing would.
class ScriptedEntries : public SettingsEntries
{
public:
    struct Answer
    {
        DialogResult Result;
        std::function<void(ExperimentRecord &)> Typing = [](ExperimentRecord &) { };
    };

    DialogResult ChoiceOfVariable(ExperimentRecord &record) override { return Next("Choice", record); }
    DialogResult DataInput(ExperimentRecord &record) override { return Next("Data", record); }
    DialogResult AdditionalDataInput(ExperimentRecord &record) override { return Next("Additional", record); }

    std::deque<Answer> Script;
    std::vector<std::string> Shown; // the dialogs in the order they opened

private:
    DialogResult Next(const std::string &dialog, ExperimentRecord &record)
    {
        Shown.push_back(dialog);
        if (Script.empty()) {
            ADD_FAILURE() << dialog << " opened with no answer left";
            return DialogResult::Cancel;
        }
        Answer answer = Script.front();
        Script.pop_front();
        answer.Typing(record);
        return answer.Result;
    }
};

class CountingObserver : public AnalysisObserver
{
public:
    void ExposedAreaChanged(const ExperimentRecord &) override { }
    void AnalysisCompleted(ExperimentRecord &) override { ++Analyses; }
    int Analyses = 0;
};

const std::string Example = ORVANE_SOURCE_DIR "/examples/closed_loop_continuous.xls";

void ClosedLoopEntries(ExperimentRecord &record)
{
    record.Settings.TotalVolume = "0.1";
    record.Settings.MinDetectableMass = "0.1";
}

void SpecimenEntries(ExperimentRecord &record)
{
    record.Specimen.AreaMode = 0;
    record.Specimen.AreaText = "20.27";
    record.Specimen.CumulativeTimeText = "60";
    record.Specimen.TargetMassText = "2.5";
    record.Specimen.SpecimenWeightText = "1";
}

class ImportSequence : public ::testing::Test
{
protected:
    ImportOutcome Import()
    {
        return ImportWorkbook(*record, Example, "closed_loop_continuous.xls", "3/5/2014", entries, messages, observer);
    }

    std::unique_ptr<ExperimentRecord> record = std::make_unique<ExperimentRecord>();
    ScriptedEntries entries;
    RecordedMessages messages;
    CountingObserver observer;
};

TEST_F(ImportSequence, BackFromDataInputReadsTheWorkbookAgainWithTheNewSettings)
{
    entries.Script = {
        {DialogResult::Next, ClosedLoopEntries},
        {DialogResult::Back},
        {DialogResult::Next, [](ExperimentRecord &r) { r.Settings.TimeFormat = TimeStampText; }},
        {DialogResult::Next, SpecimenEntries},
        {DialogResult::Back},
        {DialogResult::Next},
        {DialogResult::Next},
    };
    EXPECT_EQ(Import(), ImportOutcome::Analysed);
    EXPECT_EQ(entries.Shown,
        (std::vector<std::string> {"Choice", "Data", "Choice", "Data", "Additional", "Data", "Additional"}));
    // Minutes read as time stamps: the re-read used the format chosen after Back.
    EXPECT_EQ(messages.Shown.front().Caption, "Error with time format");
    EXPECT_EQ(observer.Analyses, 1);
    EXPECT_TRUE(record->SettingsComplete);
    EXPECT_TRUE(record->ResultsAvailable);
}

TEST_F(ImportSequence, CancelOrBackFromTheFirstDialogEndsWithoutAnalysis)
{
    for (DialogResult first : {DialogResult::Cancel, DialogResult::Back}) {
        entries.Script = {{first}};
        EXPECT_EQ(Import(), ImportOutcome::Cancelled);
    }
    entries.Script = {{DialogResult::Next, ClosedLoopEntries}, {DialogResult::Cancel}};
    EXPECT_EQ(Import(), ImportOutcome::Cancelled);
    EXPECT_GT(record->PointCount, 0); // the data were read before the cancel
    EXPECT_FALSE(record->SettingsComplete);
    EXPECT_EQ(observer.Analyses, 0);
}

TEST_F(ImportSequence, ModifySettingsKeepsThePreviousResultsWhenACheckFails)
{
    entries.Script = {{DialogResult::Next, ClosedLoopEntries}, {DialogResult::Next, SpecimenEntries},
        {DialogResult::Next}};
    ASSERT_EQ(Import(), ImportOutcome::Analysed);
    const std::string standardized = record->Results.StandardizedTimeText;

    entries.Script = {{DialogResult::Next, [](ExperimentRecord &r) { r.Settings.TotalVolume = "0.0"; }},
        {DialogResult::Next}, {DialogResult::Next}};
    EXPECT_EQ(ModifySettings(*record, entries, messages, observer), ImportOutcome::CheckFailed);
    EXPECT_EQ(messages.Shown.back(),
        (Refusal {"Volume for Test Material Error", "Cannot read the Volume given.", true}));
    EXPECT_EQ(observer.Analyses, 1);
    EXPECT_EQ(record->Results.StandardizedTimeText, standardized);
}

TEST_F(ImportSequence, ChoiceOfVariableOpensWithItsLastConfirmedChoices)
{
    entries.Script = {{DialogResult::Next, [](ExperimentRecord &r) {
                           r.Settings.ResponseFormat = ConcentrationPpm;
                           r.Settings.MolecularWeight = "78.11";
                           ClosedLoopEntries(r);
                           ConfirmChoiceOfVariable(r);
                       }},
        {DialogResult::Cancel}};
    Import();
    entries.Script = {{DialogResult::Next, [](ExperimentRecord &r) { r.Settings.ResponseFormat = 0; }},
        {DialogResult::Cancel}};
    Import(); // Next without confirming, as a refused entry leaves it
    entries.Script = {{DialogResult::Cancel}};
    Import();
    EXPECT_EQ(record->Settings.ResponseFormat, ConcentrationPpm);
    EXPECT_EQ(record->Settings.MolecularWeight, "78.11");
}

} // namespace
