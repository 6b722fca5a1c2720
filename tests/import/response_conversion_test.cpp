#include "response_conversion.h"

#include "experiment_record.h"

#include <gtest/gtest.h>

#include <memory>

namespace {

class ResponseConversion : public ::testing::Test
{
protected:
    // One list entry per point, no skipped rows; Value filled by ConvertResponses.
    void SetReadings(std::vector<std::string> texts)
    {
        record->PointCount = static_cast<int>(texts.size());
        record->ConcentrationTexts = texts;
        record->AnalyzerTexts = std::move(texts);
    }

    void SetValues(std::vector<double> values)
    {
        record->PointCount = static_cast<int>(values.size());
        for (std::size_t i = 0; i < values.size(); ++i) {
            record->Points[i].Value = values[i];
        }
    }

    double Value(int i) const { return record->Points[i].Value; }

    void UseVariableFlow(std::vector<std::string> flows)
    {
        record->Settings.LoopType = OpenLoop;
        record->Settings.FlowType = 1;
        record->FlowColumnFound = 1;
        record->FlowTexts = std::move(flows);
        record->DataInputFirstShow = true;
    }

    std::unique_ptr<ExperimentRecord> record = std::make_unique<ExperimentRecord>();
};

TEST_F(ResponseConversion, ConcentrationsAreReadFromTheSkippedRowOn)
{
    record->ConcentrationTexts = {"Concentration", "0.000000", "0.500000", "0.700000", "12.5 ug/L"};
    record->SkippedRows = 2;
    record->PointCount = 3;
    ConvertResponses(*record);
    EXPECT_EQ(Value(0), 0.5);
    EXPECT_EQ(Value(1), 0.7);
    EXPECT_EQ(Value(2), 12.5);
}

TEST_F(ResponseConversion, PpmIsMultipliedByMolecularWeightAndFactor)
{
    SetReadings({"100"});
    record->Settings.ResponseFormat = ConcentrationPpm;
    record->Settings.MolecularWeight = "78.11";
    ConvertResponses(*record);
    EXPECT_NEAR(Value(0), 319.4699, 1e-9);

    record->Settings.MolecularWeight = "";
    ConvertResponses(*record);
    EXPECT_EQ(Value(0), 0);
}

TEST_F(ResponseConversion, AnalyzerOutputGoesThroughTheCalibrationEquation)
{
    SetReadings({"1.000000", "2.000000"});
    record->ConcentrationTexts = {"9", "9"};
    record->Settings.ResponseFormat = CalibratedAnalyzerOutput;
    record->Settings.CalibrationEquation = "y= 4x^2 - 2x + 1";
    ConvertResponses(*record);
    EXPECT_EQ(Value(0), 3);
    EXPECT_EQ(Value(1), 13);
}

TEST_F(ResponseConversion, VariableFlowNormalisesToTheFirstFlow)
{
    SetValues({10, 10});
    UseVariableFlow({"0.5", "1.0"});
    ApplyFlowColumn(*record);
    EXPECT_EQ(record->FlowColumnInUse, 1);
    EXPECT_EQ(record->ReferenceFlowRate, 0.5);
    EXPECT_EQ(record->Settings.FlowRate, "0.500000");
    EXPECT_EQ(record->Points[1].Flow, 1.0);
    EXPECT_EQ(Value(0), 10);
    EXPECT_EQ(Value(1), 20);
}

TEST_F(ResponseConversion, ReferenceFlowHasAFloor)
{
    SetValues({1, 1});
    UseVariableFlow({"0.001", "0.02"});
    ApplyFlowColumn(*record);
    EXPECT_EQ(record->ReferenceFlowRate, 0.01);
    EXPECT_EQ(record->Settings.FlowRate, "0.010000");
    EXPECT_DOUBLE_EQ(Value(0), 0.1);
    EXPECT_DOUBLE_EQ(Value(1), 2);
}

TEST_F(ResponseConversion, ReferenceFlowIsKeptOnceDataInputHasShown)
{
    SetValues({10, 10});
    UseVariableFlow({"0.5", "1.0"});
    record->DataInputFirstShow = false;
    record->ReferenceFlowRate = 0.25;
    record->Settings.FlowRate = "0.250000";
    ApplyFlowColumn(*record);
    EXPECT_EQ(record->Settings.FlowRate, "0.250000");
    EXPECT_EQ(Value(1), 40);

    // Without any reference yet (the flow was constant at the first read) one is taken.
    record->ReferenceFlowRate = 0;
    SetValues({10, 10});
    ApplyFlowColumn(*record);
    EXPECT_EQ(record->ReferenceFlowRate, 0.5);
    EXPECT_EQ(Value(1), 20);
}

TEST_F(ResponseConversion, FlowColumnWithAGapOrWrongSystemIsNotUsed)
{
    SetValues({10, 10, 10});
    UseVariableFlow({"0.5", "", "1.0"});
    ApplyFlowColumn(*record);
    EXPECT_EQ(record->FlowColumnInUse, 0);
    EXPECT_EQ(record->ReferenceFlowRate, 0);
    EXPECT_EQ(Value(2), 10);
    EXPECT_EQ(record->Points[2].Flow, 0);

    // The last row may be empty.
    UseVariableFlow({"0.5", "1.0", ""});
    ApplyFlowColumn(*record);
    EXPECT_EQ(record->FlowColumnInUse, 1);

    record->Settings.FlowType = 0;
    ApplyFlowColumn(*record);
    EXPECT_EQ(record->FlowColumnInUse, 0);

    UseVariableFlow({"0.5", "1.0"});
    record->FlowColumnFound = 0;
    ApplyFlowColumn(*record);
    EXPECT_EQ(record->FlowColumnInUse, 0);
}

class DiscreteSampling : public ResponseConversion
{
protected:
    void SetUp() override
    {
        record->Settings.LoopType = ClosedLoop;
        record->Settings.Sampling = 1;
        record->Settings.TotalVolume = "1";
        record->Settings.VolumeRemoved = "0.1";
        record->Settings.VolumeReplaced = "0.1";
    }
};

TEST_F(DiscreteSampling, RemovedVolumeIsAddedBack)
{
    record->Settings.VolumeHandling = 0;
    SetValues({10, 20});
    CorrectDiscreteSamples(*record);
    EXPECT_DOUBLE_EQ(Value(0), 10);
    EXPECT_DOUBLE_EQ(Value(1), 19);
}

TEST_F(DiscreteSampling, ReplacedVolumeAddsWhatEarlierSamplesTookOut)
{
    record->Settings.VolumeHandling = 1;
    SetValues({10, 20, 30});
    CorrectDiscreteSamples(*record);
    EXPECT_DOUBLE_EQ(Value(0), 10);
    EXPECT_DOUBLE_EQ(Value(1), 21);
    EXPECT_DOUBLE_EQ(Value(2), 33); // sums the measured 10 and 20, not the corrected 21
}

TEST_F(DiscreteSampling, ContinuousSamplingAndOpenLoopAreLeftAlone)
{
    SetValues({10, 20});
    record->Settings.Sampling = 0;
    CorrectDiscreteSamples(*record);
    record->Settings.Sampling = 1;
    record->Settings.LoopType = OpenLoop;
    CorrectDiscreteSamples(*record);
    EXPECT_EQ(Value(1), 20);
}

TEST_F(ResponseConversion, InputPrecisionIsTheSmallestOverThePoints)
{
    SetValues({12.5, 1234567.25, 0.5});
    record->Points[0].Time = 0;
    record->Points[1].Time = 10;
    record->Points[2].Time = 100;
    RecordInputPrecision(*record);
    // "%f" texts: 12.500000 (8, 6), 1234567.250000 (13, 6), 0.500000 (7, 6)
    EXPECT_EQ(record->InputPrecision[ValueDigits], 7);
    EXPECT_EQ(record->InputPrecision[ValueDecimals], 6);
    // 0.000000 (7, 6), 10.000000 (8, 6), 100.000000 (9, 6)
    EXPECT_EQ(record->InputPrecision[TimeDigits], 7);
    EXPECT_EQ(record->InputPrecision[TimeDecimals], 6);
    EXPECT_EQ(record->InputPrecision[FlowDigits], 0);
    EXPECT_EQ(record->InputPrecision[FlowDecimals], 0);

    record->FlowColumnInUse = 1;
    record->Points[0].Flow = 10.5;
    record->Points[1].Flow = 20.5;
    record->Points[2].Flow = 30.5;
    RecordInputPrecision(*record);
    EXPECT_EQ(record->InputPrecision[FlowDigits], 8);
    EXPECT_EQ(record->InputPrecision[FlowDecimals], 6);
}

TEST_F(ResponseConversion, InputPrecisionWithoutPointsUsesPointZero)
{
    record->PointCount = 0;
    RecordInputPrecision(*record);
    EXPECT_EQ(record->InputPrecision[ValueDigits], 7);
    EXPECT_EQ(record->InputPrecision[ValueDecimals], 6);
}

} // namespace
