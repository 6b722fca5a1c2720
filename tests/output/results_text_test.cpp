#include "results_text.h"

#include "analysis.h"
#include "breakthrough.h"
#include "report_records.h"
#include "test_records.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>

namespace {

const std::string Banner = "--Results based on Talvik's Orvane Version 2.5.0--\r\n\r\n";

// The part after the results, identical for every test apart from the values named.
std::string ExpectedInformation(const std::string &duration, const std::string &area,
    const std::string &weight, const std::string &systemLines, const std::string &calibration = "")
{
    return "Operator: Lab 3\r\n"
           "Date: 2024/05/06\r\n"
           "Data Filename: run12.xls\r\n\r\n"
           "Experiment Information--\r\n\r\n"
           "\tTest Duration: "
        + duration
        + " hours\r\n\r\n"
          "Material--\r\n"
          "\tManufacturer & Product: Nitrile 0.1\r\n"
          "\tAverage Thickness: 0.11 mm\r\n"
          "\tExposure Area: "
        + area
        + " cm\xB2\r\n"
          "\tWeight Per Unit Area of Specimen: "
        + weight
        + " g/m\xB2\r\n"
          "Test Chemical--\r\n"
          "\tPhysical State: Liquid\r\n"
          "\tTest Chemical: Acetone\r\n"
          "\tCAS#: 67-64-1\r\n"
          "\tManufacturer: Supplier 4\r\n"
          "\tLot/Batch#: L-88\r\n"
          "\tExpiration Date: 2026/01\r\n"
          "Temperature--\r\n"
          "\tNominal Test Temperature: 23 degrees Celsius\r\n"
          "\tTemperature Range: 22-24 degrees Celsius\r\n\r\n"
          "Analytical Techniques--\r\n"
          "\tInstrument Type: PID\r\n"
          "\tInstrument ID Number: PID-2\r\n"
          "\tInstrument Settings: 10.6 eV\r\n"
          "\tSampling Pump ID: P-7\r\n"
          "Collection System--\r\n"
          "\tMedium: Nitrogen\r\n"
          "\tSystem Type: "
        + systemLines + "\tData Sampling Interval: 60 seconds\r\n" + calibration
        + "Additional Comments: none\r\n";
}

std::string AnalysedText(ExperimentRecord &record)
{
    ResultsTextCollector results;
    RunAnalysis(record, results);
    return results.Text();
}

// The lines from "Breakthrough Time--" up to the "Cumulative Permeation--" heading.
std::string ResultLines(const std::string &text)
{
    const std::size_t begin = text.find("Breakthrough Time--\r\n");
    const std::size_t end = text.find("Cumulative Permeation--\r\n");
    return text.substr(begin, end - begin);
}

bool Contains(const std::string &text, const std::string &part)
{
    return text.find(part) != std::string::npos;
}

} // namespace

TEST(ResultsText, ClosedLoopDiscreteReplacedFromTheAnalysis)
{
    ExperimentRecord record = SquareClosedLoop();
    const std::string expected = "Report Title:\tGlove A\r\n\r\n"
                                 "Project Number:\t17\r\n\r\n"
                                 "Experiment type:  Closed Loop, Discrete Sampling, Volume Replaced.\r\n\r\n"
        + Banner
        + "Breakthrough Time--\r\n"
          "\tStandardized Breakthrough Time (permeation rate at 0.10 \xB5g/(cm\xB2*min)): 40.00 min\r\n"
          "\tBreakthrough Detection Time (BDT): 7.00 min\r\n"
          "\tNormalized Breakthrough Time (permeation mass at 2.5 \xB5g/cm\xB2): 44.72 min\r\n"
          "\tMinimum Breakthrough Detection Time (permeation rate at 0.01 \xB5g/(cm\xB2*min)): 4.00 min\r\n"
          "\r\n"
          "Steady-State Permeation Rate (SSPR)--\r\n"
          "\tSSPR: 0.148750 \xB5g/(cm\xB2*min)\r\n"
          "\tCorrelation Factor (R\xB2) in the steady-state region from 56.00 to 64.00 min: 0.999718\r\n\r\n"
          "Cumulative Permeation--\r\n"
          "\tElapsed Time for Cumulative Permeation Mass of 2.5 \xB5g/cm\xB2: 44.72 minutes\r\n"
          "\tCumulative Permeation for 20 minutes: 0.500000 \xB5g/cm\xB2\r\n"
          "\tAverage Permeation Rate from 10 to 20 min: 0.037500 \xB5g/(cm\xB2*min)\r\n\r\n"
        + ExpectedInformation("1.15", "10.00", "1500",
            "Closed Loop, Discrete Sampling, Volume Replaced.\r\n"
            "Volume of Discrete Sample (Vs) Removed from Collection Medium: 0.001L.\r\n"
            "\tTotal Volume of the Collection Medium (Vt): 0.0125 L\r\n");
    EXPECT_EQ(AnalysedText(record), expected);
}

TEST(ResultsText, TwoAnalysesOfTheSameRecordGiveTheSameText)
{
    ExperimentRecord record = SquareClosedLoop();
    record.Specimen.AreaMode = 1;
    record.Specimen.DiameterUnit = 0;
    record.Specimen.DiameterInchText = "1.00";
    const std::string first = AnalysedText(record);
    EXPECT_EQ(AnalysedText(record), first);
    EXPECT_TRUE(Contains(first, "\tExposure Area: 5.07 cm\xB2\r\n"));
}

TEST(ResultsText, ClosedLoopContinuous)
{
    const ExperimentRecord record = ClosedLoopResults();
    const std::string expected = "Report Title:\t\r\n\r\n"
                                 "Project Number:\t17\r\n\r\n"
                                 "Experiment type:  Closed Loop, Continuous Sampling.\r\n\r\n"
        + Banner
        + "Breakthrough Time--\r\n"
          "\tStandardized Breakthrough Time (permeation rate at 0.10 \xB5g/(cm\xB2*min)): 12.3 min\r\n"
          "\tBreakthrough Detection Time (BDT): 120 min\r\n"
          "\tNormalized Breakthrough Time was not determined before end of test.\r\n"
          "\r\n"
          "Steady-State Permeation Rate (SSPR)--\r\n"
          "\tSSPR: 0.0210 \xB5g/(cm\xB2*min)\r\n"
          "\tCorrelation Factor (R\xB2) in the steady-state region from 30.0 to 110 min: 0.998000\r\n\r\n"
          "Cumulative Permeation--\r\n"
          "\tTarget Cumulative Permeation Mass of 5 was not reached by experiment end.\r\n"
          "\tCumulative Permeation for 60 minutes: 0.360000 \xB5g/cm\xB2\r\n"
          "\tAverage Permeation Rate from 0 to 120 min: 0.00600 \xB5g/(cm\xB2*min)\r\n\r\n"
        + ExpectedInformation("2.00", "5.07", "250",
            "Closed Loop, Continuous Sampling.\r\n"
            "\tTotal Volume of the Collection Medium (Vt): 0.1 L\r\n",
            "\tCalibration Curve: y = 2.5x + 0.1\r\n");
    EXPECT_EQ(BuildResultsText(record), expected);
}

TEST(ResultsText, OpenLoopConstantFlowWithSteadyState)
{
    ExperimentRecord record = OpenLoopResults();
    record.Settings.MethodDetectionLimit = "0.5";
    const std::string expected = "Report Title:\tGlove A\r\n\r\n"
                                 "Project Number:\t17\r\n\r\n"
                                 "Experiment type:  Open Loop, Constant Flow Rate.\r\n\r\n"
        + Banner
        + "Breakthrough Time--\r\n"
          "\tStandardized Breakthrough Time (permeation rate at 0.10 \xB5g/(cm\xB2*min)): 5.0 min\r\n"
          "\tBreakthrough Detection Time (BDT): 4.2 min\r\n"
          "\tNormalized Breakthrough Time (permeation rate at 1.0 \xB5g/(cm\xB2*min)): 30.0 min\r\n"
          "\r\n"
          "Steady-State Permeation Rate (SSPR)--\r\n"
          "\tSSPR: 0.700000 \xB5g/(cm\xB2*min)\r\n"
          "\tDetermined around 50.0 (average of: 40.0; 50.0; 60.0) min\r\n"
          "\tMaximum Permeation Rate: 0.800000 \xB5g/(cm\xB2*min)\r\n"
          "\tDetermined at 40.0 min\r\n"
          "\tSeven highest permeation rates (\xB5g/(cm\xB2*min)): 0.800000, 0.700000, 0.600000, 0.500000, "
          "0.400000, 0.300000, 0.200000\r\n"
          "Cumulative Permeation--\r\n"
          "\tElapsed Time for Cumulative Permeation Mass of 1 \xB5g/cm\xB2: 25.0 minutes\r\n"
          "\tCumulative Permeation for 30 minutes: 1.50 \xB5g/cm\xB2\r\n"
          "\tAverage Permeation Rate from 0 to 70 min: 0.390000 \xB5g/(cm\xB2*min)\r\n\r\n"
          "\tMinimum detectable permeation rate based on analytical method detection limit: 0.000050 "
          "\xB5g/(cm\xB2*min)\r\n\r\n"
        + ExpectedInformation("1.17", "10.0", "350",
            "Open Loop, Constant Flow Rate.\r\n"
            "Flow Rate of Fresh Collection Medium: 1.0 L/min\r\n");
    EXPECT_EQ(BuildResultsText(record), expected);
}

// Rates above 0.10 from the first reading: the standardized time gives way to that wording,
// followed by the detection time when it is shown.
TEST(ResultsText, OpenLoopExceededFromTheStart)
{
    ExperimentRecord record = OpenLoopResults();
    record.Results.StandardizedBreakthroughTime = ExceededFromStart;
    const std::string firstDetected = "Breakthrough Time--\r\n"
                                      "\tPermeation first detected at a rate > 0.10 \xB5g/(cm\xB2*min).\r\n";
    EXPECT_TRUE(Contains(
        BuildResultsText(record), firstDetected + "\tBreakthrough Detection Time (BDT): 4.2 min\r\n"));
    record.Results.BreakthroughDetectionTime = NeverReached;
    EXPECT_TRUE(Contains(BuildResultsText(record),
        firstDetected + "\tBreakthrough Detection Time was not determined before end of test\r\n"));
}

TEST(ResultsText, OpenLoopVariableFlowWithoutPermeation)
{
    ExperimentRecord record = OpenLoopResults();
    record.Settings.FlowType = 1;
    record.Settings.MinDetectableRate = "0.02";
    record.Settings.MethodDetectionLimit = "0.5"; // stored, but a variable flow has no detection-limit rate
    record.Specimen.SteadyStateNotEstablished = 1;
    record.Specimen.WeightUnit = 1;
    record.Specimen.SpecimenWeightText = "120";
    SetPoints(record, {0, 10, 20}, {0.1, 0.2, 0.3});
    AnalysisResults &r = record.Results;
    r.TopIndices = {2, 1, 0, 0, 0, 0, 0};
    r.StandardizedBreakthroughTime = -2;
    r.NormalizedBreakthroughTime = -2;
    r.PeakTimeTexts = {"20.0", "10.0", "0.000000"};
    r.ElapsedTimeToTarget = 0;
    r.ElapsedTimeText = "0.000000";
    const std::string expected = "Report Title:\tGlove A\r\n\r\n"
                                 "Project Number:\t17\r\n\r\n"
                                 "Experiment type:  Open Loop, Variable Flow Rate.\r\n\r\n"
        + Banner
        + "Breakthrough Time--\r\n"
          "\tNo permeation rate was detected at 0.10 \xB5g/(cm\xB2*min)\r\n"
          "\tMinimum detectable permeation rate: 0.02 \xB5g/(cm\xB2*min)\r\n"
          "\tNormalized Breakthrough Time was not determined before end of test.\r\n"
          "\r\n"
          "Steady-State Permeation Rate (SSPR)--\r\n"
          "\tSteady-state Permeation was not established during the testing.\r\n"
          "\tMaximum Permeation Rate: 0.030000 \xB5g/(cm\xB2*min)\r\n"
          "\tDetermined at 20.0 min\r\n\r\n"
          "Cumulative Permeation--\r\n"
          "\tTarget Cumulative Permeation Mass of 1 was not reached by experiment end.\r\n"
          "\tCumulative Permeation for 30 minutes: 1.50 \xB5g/cm\xB2\r\n"
          "\tAverage Permeation Rate from 0 to 70 min: 0.390000 \xB5g/(cm\xB2*min)\r\n\r\n"
        + ExpectedInformation("0.33", "10.0", "120", "Open Loop, Variable Flow Rate.\r\n");
    EXPECT_EQ(BuildResultsText(record), expected);
}

TEST(ResultsText, ClosedLoopExceededFromTheStart)
{
    ExperimentRecord record = ClosedLoopResults();
    record.Report.ReportTitle = "Glove A";
    record.Settings.ResponseFormat = 0;
    record.Settings.Sampling = 1;
    record.Settings.VolumeHandling = 0;
    record.Settings.VolumeRemoved = "0.002";
    record.Specimen.SteadyStateNotEstablished = 1;
    AnalysisResults &r = record.Results;
    r.StandardizedBreakthroughTime = -1;
    r.BreakthroughDetectionTime = 0;
    r.NormalizedBreakthroughTime = 50;
    r.NormalizedTimeText = "50.0";
    r.SteadyStartIndex = 1;
    r.SteadyEndIndex = 3; // two readings: no slope
    const std::string expected
        = "Report Title:\tGlove A\r\n\r\n"
          "Project Number:\t17\r\n\r\n"
          "Experiment type:  Closed Loop, Discrete Sampling, Volume Not Replaced.\r\n\r\n"
        + Banner
        + "Breakthrough Time--\r\n"
          "\tStandardized Breakthrough Time was unable to be determined.\r\n"
          "\tBreakthrough Detection Time was not determined before end of test\r\n"
          "\tNormalized Breakthrough Time (permeation mass at 2.5 \xB5g/cm\xB2): 50.0 min\r\n"
          "\r\n"
          "Steady-State Permeation Rate (SSPR)--\r\n"
          "\tSteady-state Permeation was not established during the testing.\r\n"
          "\tMaximum Permeation Rate could not be determined: fewer than 3 readings lie between 65 % and 85 "
          "% "
          "of the peak reading.\r\n\r\n"
          "Cumulative Permeation--\r\n"
          "\tTarget Cumulative Permeation Mass of 5 was not reached by experiment end.\r\n"
          "\tCumulative Permeation for 60 minutes: 0.360000 \xB5g/cm\xB2\r\n"
          "\tAverage Permeation Rate from 0 to 120 min: 0.00600 \xB5g/(cm\xB2*min)\r\n\r\n"
        + ExpectedInformation("2.00", "5.07", "250",
            "Closed Loop, Discrete Sampling, Volume Not Replaced.\r\n"
            "Volume of Discrete Sample (Vs) Removed from Collection Medium: 0.002L.\r\n"
            "\tTotal Volume of the Collection Medium (Vt): 0.1 L\r\n");
    EXPECT_EQ(BuildResultsText(record), expected);
}

TEST(ResultsText, DetectionTimeShownUpToTheLastTime)
{
    ExperimentRecord record = ClosedLoopResults();
    const std::string line = "\tBreakthrough Detection Time (BDT): 120 min\r\n";
    EXPECT_TRUE(Contains(BuildResultsText(record), line));
    record.Results.BreakthroughDetectionTime = std::nextafter(120.0, 121.0);
    EXPECT_FALSE(Contains(BuildResultsText(record), line));
    record.Results.BreakthroughDetectionTime = std::nan("");
    EXPECT_FALSE(Contains(BuildResultsText(record), "Breakthrough Detection Time"));
}

TEST(ResultsText, StandardizedTimeAfterTheEndIsWordedNotDetermined)
{
    ExperimentRecord record = ClosedLoopResults();
    record.Results.StandardizedBreakthroughTime = 500;
    record.Results.BreakthroughDetectionTime = 100;
    record.Results.DetectionTimeText = "100";
    EXPECT_EQ(ResultLines(BuildResultsText(record)),
        "Breakthrough Time--\r\n"
        "\tStandardized Breakthrough Time was not determined before end of test.\r\n"
        "\tBreakthrough Detection Time (BDT): 100 min\r\n"
        "\tNormalized Breakthrough Time was not determined before end of test.\r\n"
        "\r\n"
        "Steady-State Permeation Rate (SSPR)--\r\n"
        "\tSSPR: 0.0210 \xB5g/(cm\xB2*min)\r\n"
        "\tCorrelation Factor (R\xB2) in the steady-state region from 30.0 to 110 min: 0.998000\r\n\r\n");

    record.Results.StandardizedBreakthroughTime = std::nan("");
    record.Results.BreakthroughDetectionTime = -2;
    const std::string text = BuildResultsText(record);
    EXPECT_TRUE(Contains(text,
        "Breakthrough Time--\r\n"
        "\tStandardized Breakthrough Time was not determined before end of test.\r\n"
        "\tNormalized Breakthrough Time"));
}

TEST(ResultsText, ClosedLoopWithoutPermeationNamesTheMinimumDetectableMass)
{
    ExperimentRecord record = ClosedLoopResults();
    record.Results.StandardizedBreakthroughTime = -2;
    record.Settings.MinDetectableMass = "0.250";
    const std::string noPermeation = "Breakthrough Time--\r\n"
                                     "\tNo permeation was detected at 0.25 \xB5g/cm\xB2\r\n";
    const std::string duration = "\tTest Duration: 2.00 hours.\r\n"
                                 "\tNormalized Breakthrough Time";
    std::string text = BuildResultsText(record);
    EXPECT_TRUE(Contains(text, noPermeation + duration));

    record.Settings.MinDetectableMass = "0.3";
    text = BuildResultsText(record);
    EXPECT_TRUE(Contains(
        text, noPermeation + "\tMinimum detectable mass permeated: 0.3 \xB5g/cm\xB2\r\n" + duration));
}

TEST(ResultsText, OpenLoopWithoutPermeationUsesTheDetectionLimitRateWhenDefined)
{
    ExperimentRecord record = OpenLoopResults();
    record.Results.StandardizedBreakthroughTime = -2;
    record.Settings.MinDetectableRate = "0.02";
    record.Settings.FlowRate = "0.50";
    record.Specimen.AreaText = "20.0";
    record.Settings.MethodDetectionLimit = "0.0100";
    const std::string text = BuildResultsText(record);
    EXPECT_TRUE(Contains(text, "\tMinimum detectable permeation rate: 2.50E-07 \xB5g/(cm\xB2*min)\r\n"));
    EXPECT_TRUE(Contains(text, "method detection limit: 2.50E-07 \xB5g/(cm\xB2*min)\r\n\r\n"));
}

TEST(ResultsText, MinimumBreakthroughTimeOnlyForAClosedLoopWithVolumeReplaced)
{
    ExperimentRecord record = ClosedLoopResults();
    record.Settings.Sampling = 1;
    record.Settings.VolumeHandling = 1;
    record.ResultDigits = 3;
    record.ResultDecimals = 2;
    record.Results.MinimumBreakthroughTime = 4.5678;
    EXPECT_TRUE(Contains(BuildResultsText(record),
        "\tNormalized Breakthrough Time was not determined before end of test.\r\n"
        "\tMinimum Breakthrough Detection Time (permeation rate at 0.01 \xB5g/(cm\xB2*min)): 4.57 "
        "min\r\n\r\n"));

    record.Results.MinimumBreakthroughTime = -2;
    EXPECT_TRUE(Contains(BuildResultsText(record),
        "\tMinimum Breakthrough Detection Time (permeation rate at 0.01 \xB5g/(cm\xB2*min)) was not "
        "determined "
        "before end of test.\r\n\r\n"));

    ExperimentRecord open = OpenLoopResults();
    open.Settings.Sampling = 1; // left over from a closed-loop setting
    open.Settings.VolumeHandling = 1;
    open.Results.MinimumBreakthroughTime = 4.5678;
    EXPECT_FALSE(Contains(BuildResultsText(open), "Minimum Breakthrough"));
}

TEST(ResultsText, ClosedLoopSteadyStateRegionTooShort)
{
    ExperimentRecord record = ClosedLoopResults();
    record.Results.SteadyEndIndex = 2;
    const std::string text = BuildResultsText(record);
    EXPECT_TRUE(Contains(text,
        "Steady-State Permeation Rate (SSPR)--\r\n"
        "\tSteady-State Permeation Rate could not be determined: fewer than 3 readings lie "
        "between 65 % and 85 % of the peak reading.\r\n\r\n"
        "Cumulative Permeation--\r\n"));
    EXPECT_FALSE(Contains(text, "SSPR:"));
    EXPECT_FALSE(Contains(text, "Correlation Factor"));
}

TEST(ResultsText, NumbersThatAreNotFiniteAreNotPrinted)
{
    ExperimentRecord record = OpenLoopResults();
    record.Specimen.AreaText = "0";
    record.ExposedAreaText = "0";
    record.Results.SteadyRateText = "inf";
    const std::string text = BuildResultsText(record);
    EXPECT_TRUE(Contains(text, "\tSSPR: not defined \xB5g/(cm\xB2*min)\r\n"));
    EXPECT_TRUE(Contains(text, "\tMaximum Permeation Rate: not defined \xB5g/(cm\xB2*min)\r\n"));
    EXPECT_TRUE(Contains(text,
        "rates (\xB5g/(cm\xB2*min)): not defined, not defined, not defined, not defined, "
        "not defined, not defined, not defined\r\n"));
    EXPECT_TRUE(Contains(text, "from 0 to 70 min: not defined \xB5g/(cm\xB2*min)\r\n"));
    EXPECT_TRUE(Contains(text, "\tWeight Per Unit Area of Specimen: not defined g/m\xB2\r\n"));
    EXPECT_FALSE(Contains(text, "inf"));
    EXPECT_FALSE(Contains(text, "nan"));
}

TEST(ResultsText, WeightPerUnitAreaAndEmptyEntries)
{
    ExperimentRecord record;
    record.ExposedAreaText = "5.07";
    record.AreaDigits = 3;
    record.AreaDecimals = 2;
    record.Specimen.SpecimenWeightText = "1.25";
    EXPECT_TRUE(Contains(BuildResultsText(record), "\tWeight Per Unit Area of Specimen: 2470 g/m\xB2\r\n"));
    record.Specimen.WeightUnit = 1;
    record.Specimen.SpecimenWeightText = "250";
    EXPECT_TRUE(Contains(BuildResultsText(record), "\tWeight Per Unit Area of Specimen: 250 g/m\xB2\r\n"));

    // Nothing entered: every label is still written.
    const std::string text = BuildResultsText(ExperimentRecord {});
    EXPECT_TRUE(Contains(text, "Report Title:\t\r\n\r\nProject Number:\t\r\n\r\n"));
    EXPECT_TRUE(Contains(text, "\tCAS#: \r\n\tManufacturer: \r\n"));
    EXPECT_TRUE(Contains(text, "Additional Comments: \r\n"));
}

TEST(ResultsText, NoPointsStillGiveAText)
{
    ExperimentRecord record = SquareClosedLoop();
    record.PointCount = 0;
    const std::string text = AnalysedText(record);
    EXPECT_TRUE(Contains(text,
        "Breakthrough Time--\r\n"
        "\tNo permeation was detected at 0.25 \xB5g/cm\xB2\r\n"
        "\tTest Duration: 0.00 hours.\r\n"
        "\tNormalized Breakthrough Time was not determined before end of test.\r\n"
        "\tMinimum Breakthrough Detection Time (permeation rate at 0.01 \xB5g/(cm\xB2*min)) was "
        "not determined before end of test.\r\n"));
}
