// The screened closed-loop searches against the plain ones that fit every window with the
// solver: every result and the results text must come out the same, bit for bit.

#include "analysis.h"
#include "experiment_record.h"
#include "import_sequence.h"
#include "results_text.h"
#include "settings_file.h"
#include "settings_file_entries.h"

#include <gtest/gtest.h>

#include <bit>
#include <cmath>
#include <cstdint>
#include <functional>
#include <memory>
#include <random>
#include <string>
#include <vector>

namespace {

class SilentMessages : public MessageSink
{
public:
    void Show(const std::string &, const std::string &) override { }
};

std::uint64_t Bits(double x)
{
    return std::bit_cast<std::uint64_t>(x);
}

void ExpectSameResults(const AnalysisResults &plain, const AnalysisResults &screened)
{
    for (double AnalysisResults::*member :
        {&AnalysisResults::HalfToNinetySlope, &AnalysisResults::SlopeThreshold,
            &AnalysisResults::BestCorrelation, &AnalysisResults::ThresholdValue,
            &AnalysisResults::BreakthroughDetectionTime, &AnalysisResults::StandardizedBreakthroughTime,
            &AnalysisResults::NormalizedBreakthroughTime, &AnalysisResults::MinimumBreakthroughTime,
            &AnalysisResults::SteadySlope, &AnalysisResults::SteadyRSquared,
            &AnalysisResults::TopThreeMeanValue, &AnalysisResults::CumulativeAtTime,
            &AnalysisResults::CumulativeTime, &AnalysisResults::ElapsedTimeToTarget}) {
        EXPECT_EQ(Bits(plain.*member), Bits(screened.*member)) << plain.*member << " vs " << screened.*member;
    }
    for (int AnalysisResults::*member :
        {&AnalysisResults::SlopeWindow, &AnalysisResults::RiseRunLength, &AnalysisResults::RiseEndIndex,
            &AnalysisResults::BestCorrelationIndex, &AnalysisResults::ThresholdIndex,
            &AnalysisResults::BreakthroughIndex, &AnalysisResults::SteadyStartIndex,
            &AnalysisResults::SteadyEndIndex, &AnalysisResults::CumulativeTimeIndex}) {
        EXPECT_EQ(plain.*member, screened.*member);
    }
    for (std::string AnalysisResults::*member : {&AnalysisResults::DetectionTimeText,
             &AnalysisResults::StandardizedTimeText, &AnalysisResults::NormalizedTimeText,
             &AnalysisResults::SteadyRateText, &AnalysisResults::RSquaredText,
             &AnalysisResults::PeakTimesMeanText, &AnalysisResults::RegionStartText,
             &AnalysisResults::RegionEndText, &AnalysisResults::CumulativeText,
             &AnalysisResults::ElapsedTimeText, &AnalysisResults::AverageRateText}) {
        EXPECT_EQ(plain.*member, screened.*member);
    }
    EXPECT_EQ(plain.TopIndices, screened.TopIndices);
    EXPECT_EQ(plain.PeakTimeTexts, screened.PeakTimeTexts);
}

// Analyses two copies of the record, plain and screened, and compares them.
void ExpectScreeningChangesNothing(const ExperimentRecord &record)
{
    auto plain = std::make_unique<ExperimentRecord>(record);
    auto screened = std::make_unique<ExperimentRecord>(record);
    ResultsTextCollector plainText;
    ResultsTextCollector screenedText;
    RunAnalysis(*plain, plainText, WindowScreening::Off);
    RunAnalysis(*screened, screenedText, WindowScreening::On);
    ExpectSameResults(plain->Results, screened->Results);
    EXPECT_EQ(plainText.Text(), screenedText.Text());
}

enum class System { Continuous, DiscreteRemoved, DiscreteReplaced, ConstantFlow, VariableFlow };

std::unique_ptr<ExperimentRecord> MakeRecord(System system, const std::vector<double> &values, double step)
{
    auto record = std::make_unique<ExperimentRecord>();
    TestSettings &settings = record->Settings;
    settings.LoopType
        = system == System::ConstantFlow || system == System::VariableFlow ? OpenLoop : ClosedLoop;
    settings.FlowType = system == System::VariableFlow ? 1 : 0;
    settings.Sampling = system == System::DiscreteRemoved || system == System::DiscreteReplaced ? 1 : 0;
    settings.VolumeHandling = system == System::DiscreteReplaced ? 1 : 0;
    settings.TotalVolume = "0.150";
    settings.FlowRate = "1.00";
    settings.MinDetectableMass = "0.02";
    settings.MinDetectableRate = "0.01";
    record->Specimen.AreaMode = 0;
    record->Specimen.AreaText = "20.3";
    record->Specimen.CumulativeTimeText = "60";
    record->Specimen.TargetMassText = "2.5";
    record->Specimen.AverageStartText = "10";
    record->Specimen.AverageEndText = "100";
    record->Specimen.SpecimenWeightText = "0.45";
    record->FlowColumnInUse = system == System::VariableFlow;
    record->InputPrecision = {4, 3, 4, 1, 3, 2};
    record->PointCount = static_cast<int>(values.size());
    for (std::size_t i = 0; i < values.size(); ++i) {
        DataPoint &point = record->Points[i];
        point.Time = static_cast<double>(i) * step;
        point.Value = values[i];
        point.Flow = record->FlowColumnInUse ? 1.0 + 0.04 * std::sin(point.Time / 9) : 0.0;
    }
    record->FirstTime = 0;
    record->LastTime = record->Points[values.size() - 1].Time;
    return record;
}

using Shape = std::function<double(double t, std::mt19937 &random)>;

double Uniform(std::mt19937 &random, double low, double high)
{
    return std::uniform_real_distribution<double>(low, high)(random);
}

// Readings over `length` minutes: smooth and slow rises, noise, plateaus, steps, negative
// readings, and rates that hover around the search levels.
std::vector<Shape> Shapes(double length)
{
    const double start = length / 8;
    return {
        [=](double t, std::mt19937 &r) {
            const double s = std::max(t - start, 0.0); // a rise bending into a slope of 30 per minute
            return 30 * (s - 20 * (1 - std::exp(-s / 20))) + Uniform(r, 0, 0.02);
        },
        [=](double t, std::mt19937 &r) {
            return 40 * (1 - std::exp(-std::max(t - start, 0.0) / 30)) + Uniform(r, 0, 0.01);
        },
        [](double t, std::mt19937 &) { return 0.5 + 0.02 * t; },
        [](double, std::mt19937 &r) { return Uniform(r, 0, 1); },
        [](double, std::mt19937 &r) { return Uniform(r, -1, 1); },
        [=](double t, std::mt19937 &) { return t < start    ? 0.0
                                            : t < 4 * start ? 5.0
                                                            : 20.0; },
        [=](double t, std::mt19937 &) { return std::floor(t / (start + 1)) * 3; },
        [=](double t, std::mt19937 &r) { return -2 + 15 * std::max(t - start, 0.0) + Uniform(r, -0.5, 0.5); },
        // 0.1 µg/(cm²·min) of a closed loop is about 13.5 µg/L per minute here.
        [](double t, std::mt19937 &r) { return 13.5 * t + 0.01 * t * t / 100 + Uniform(r, -1e-3, 1e-3); },
    };
}

TEST(WindowScreening, GeneratedTestsOfEverySystemGiveTheSameResults)
{
    std::mt19937 random(7);
    for (System system : {System::Continuous, System::DiscreteRemoved, System::DiscreteReplaced,
             System::ConstantFlow, System::VariableFlow}) {
        for (int count : {3, 16, 40, 300}) {
            const double step = count > 100 ? 0.1 : 1.0;
            for (const Shape &shape : Shapes(count * step)) {
                std::vector<double> values;
                for (int i = 0; i < count; ++i) {
                    values.push_back(shape(i * step, random));
                }
                SCOPED_TRACE(testing::Message()
                    << "system " << static_cast<int>(system) << ", " << count << " points");
                ExpectScreeningChangesNothing(*MakeRecord(system, values, step));
            }
        }
    }
}

// A full-length log: the screen's sums slide and are rebuilt over thousands of windows.
// (Searches through every window of 5,000 points take the plain search too long here;
// the generated tests above run them to the end on shorter logs.)
TEST(WindowScreening, FiveThousandPointLogGivesTheSameResults)
{
    std::mt19937 random(11);
    std::vector<double> values;
    for (int i = 0; i < MaxPoints; ++i) {
        values.push_back(Shapes(500)[0](i * 0.1, random));
    }
    ExpectScreeningChangesNothing(*MakeRecord(System::Continuous, values, 0.1));
}

TEST(WindowScreening, ExampleWorkbooksGiveTheSameResults)
{
    for (const char *name : {"closed_loop_continuous", "open_loop_constant", "open_loop_variable"}) {
        SCOPED_TRACE(name);
        const std::string base = std::string(ORVANE_EXAMPLES) + "/" + name;
        const auto settings = SettingsFile::Read(base + ".ini");
        ASSERT_TRUE(std::holds_alternative<SettingsFile>(settings));
        SilentMessages messages;
        SettingsFileEntries entries(std::get<SettingsFile>(settings), messages);
        ResultsTextCollector results;
        auto record = std::make_unique<ExperimentRecord>();
        ASSERT_EQ(ImportWorkbook(*record, base + ".xls", name, "5/1/2013", entries, messages, results),
            ImportOutcome::Analysed);
        ExpectScreeningChangesNothing(*record);
    }
}

} // namespace
