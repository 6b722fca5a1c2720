#include "experiment_record.h"
#include "significant_figures.h"

#include <bit>
#include <clocale>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <limits>
#include <random>
#include <vector>

#include <gtest/gtest.h>

TEST(SignificantFigures, CountsOfPlainTexts)
{
    EXPECT_EQ(SignificantDigits("1.00"), 3);
    EXPECT_EQ(DecimalPlaces("1.00"), 2);
    EXPECT_EQ(SignificantDigits("25"), 2);
    EXPECT_EQ(DecimalPlaces("25"), 2); // no point: the whole length, not 0
    EXPECT_EQ(SignificantDigits("0.0050"), 5);
    EXPECT_EQ(DecimalPlaces("0.0050"), 4);
    EXPECT_EQ(SignificantDigits("-3.5"), 2);
    EXPECT_EQ(DecimalPlaces("-3.5"), 1);
    EXPECT_EQ(SignificantDigits(""), 0);
    EXPECT_EQ(DecimalPlaces(""), 0);
    EXPECT_EQ(SignificantDigits("100"), 3);
    EXPECT_EQ(DecimalPlaces("100"), 3);
}

TEST(SignificantFigures, ExponentTextsCountInTheirPlainForm)
{
    // Both letters and both signs give the counts of the plain decimal text.
    EXPECT_EQ(SignificantDigits("1.5e-3"), SignificantDigits("0.0015"));
    EXPECT_EQ(DecimalPlaces("1.5E-3"), DecimalPlaces("0.0015"));
    EXPECT_EQ(SignificantDigits("2.50e2"), SignificantDigits("250"));
    EXPECT_EQ(DecimalPlaces("2.5E+1"), DecimalPlaces("25"));
    EXPECT_EQ(SignificantDigits("-1.25e1"), SignificantDigits("-12.5"));
    EXPECT_EQ(DecimalPlaces("0.5e1"), DecimalPlaces("5"));
    // Text after the number stays part of the text, as for a plain number.
    EXPECT_EQ(SignificantDigits("1e1 L"), SignificantDigits("10 L"));
    // An exponent beyond any double is no number to rewrite.
    EXPECT_EQ(SignificantDigits("1e999"), 5);
}

TEST(SignificantFigures, CountsOfNumbersPrintedWithSixDecimals)
{
    EXPECT_EQ(NumberSignificantDigits(12.5), 8);
    EXPECT_EQ(NumberDecimalPlaces(12.5), 6);
    EXPECT_EQ(NumberSignificantDigits(0.25), 7);
    EXPECT_EQ(NumberDecimalPlaces(0.25), 6);
}

// FormatFixed and FormatPlain must print exactly what printf prints: halfway cases (to
// even), signed zero, the extremes of a double, random bit patterns of every magnitude,
// and readings of few decimals as well as large ones.
TEST(SignificantFigures, FixedFormatsPrintAsPrintf)
{
    std::vector<double> numbers {0.0078125, 0.0234375, 2.5e-7, 0.5, 2.5, -0.0, 0.0,
        std::numeric_limits<double>::max(), -std::numeric_limits<double>::max(),
        std::numeric_limits<double>::denorm_min(), 1e15 + 0.3, 123456.0000005};
    std::mt19937_64 random(3);
    for (int i = 0; i < 5000; ++i) {
        const double x = std::bit_cast<double>(random());
        if (std::isfinite(x)) {
            numbers.push_back(x);
        }
        numbers.push_back(
            std::ldexp(static_cast<double>(random() >> 11), static_cast<int>(random() % 80) - 70));
        // Readings as logged: a few decimals, some of them past six, and large ones.
        const double scaled = static_cast<double>(static_cast<std::int64_t>(random() % 20000001) - 10000000);
        numbers.push_back(scaled / std::pow(10.0, static_cast<double>(random() % 10)));
        numbers.push_back(scaled * std::pow(10.0, static_cast<double>(random() % 12)));
    }
    char expected[400];
    for (double x : numbers) {
        std::snprintf(expected, sizeof expected, "%f", x);
        ASSERT_EQ(FormatPlain(x), expected);
        const int width = static_cast<int>(random() % 20);
        const int decimals = static_cast<int>(random() % 20);
        std::snprintf(expected, sizeof expected, "%*.*f", width, decimals, x);
        ASSERT_EQ(FormatFixed(x, width, decimals), expected);
    }
}

TEST(FormatSignificant, WorkedExamples)
{
    EXPECT_EQ(FormatSignificant(5.0670747909, 3, 2), "5.07");
    EXPECT_EQ(FormatSignificant(3.14159, 1, 1), "3");
    EXPECT_EQ(FormatSignificant(1234.5, 3, 4), "1230");
    EXPECT_EQ(FormatSignificant(-1234.5, 3, 4), "-1230");
    EXPECT_EQ(FormatSignificant(12.3456, 4, -1), "12.35");
    EXPECT_EQ(FormatSignificant(0.5, 3, 2), "0.500000");
    EXPECT_EQ(FormatSignificant(-1, 5, 3), "-1.000");
    EXPECT_EQ(FormatSignificant(27.657, 2, 1), "28");
    EXPECT_EQ(FormatSignificant(5.4321, 2, 1), "5.4");
}

TEST(FormatSignificant, RoundsIntegerDigitsHalfUpWithExactPowers)
{
    EXPECT_EQ(FormatSignificant(1250, 2, 2), "1300");
    EXPECT_EQ(FormatSignificant(1249.9, 2, 2), "1200");
    EXPECT_EQ(FormatSignificant(123456789012.0, 3, 2), "123000000000");
    EXPECT_EQ(FormatSignificant(9999.7, 3, 2), "10000");
}

TEST(FormatSignificant, SmallAndSpecialValues)
{
    EXPECT_EQ(FormatSignificant(0, 3, 2), "0.000000");
    EXPECT_EQ(FormatSignificant(-0.25, 3, 2), "-0.250000");
    EXPECT_EQ(FormatSignificant(12.5, 0, 2), "12.500000");
    EXPECT_EQ(FormatSignificant(0.00005, 1, 1), "0.000050");
    // Six decimals would hide these as 0.000000.
    EXPECT_EQ(FormatSignificant(2.5e-7, 2, 2), "2.5E-07");
    EXPECT_EQ(FormatSignificant(-2.6e-7, 0, 2), "-3E-07");
    EXPECT_EQ(FormatSignificant(4.99e-7, 1, 1), "5E-07");
    EXPECT_EQ(FormatSignificant(5e-7, 3, 3), "5.00E-07"); // the double lies just below 0.0000005
    EXPECT_EQ(FormatSignificant(6e-7, 3, 3), "0.000001"); // six decimals show it already
    // Not finite: formatted without crashing; the results text never shows these.
    EXPECT_EQ(FormatSignificant(std::numeric_limits<double>::quiet_NaN(), 3, 2), "nan");
    EXPECT_EQ(FormatSignificant(-std::numeric_limits<double>::infinity(), 3, 2), "-inf");
    EXPECT_EQ(FormatSignificant(1e300, 3, 2).substr(0, 4), "1000");
}

namespace {

ExperimentRecord RecordWithPrecision(int valueDigits, int valueDecimals)
{
    ExperimentRecord record;
    record.InputPrecision = {valueDigits, valueDecimals, 5, 4, 0, 0};
    record.Specimen.AreaText = "12.5";
    return record;
}

} // namespace

TEST(ComputeResultPrecision, ClosedLoopTakesTheLeastPreciseOfAreaVolumeAndValues)
{
    ExperimentRecord record = RecordWithPrecision(7, 6);
    record.Settings.LoopType = ClosedLoop;
    record.Settings.TotalVolume = "0.1";
    ComputeResultPrecision(record);
    EXPECT_EQ(record.AreaDigits, 3);
    EXPECT_EQ(record.AreaDecimals, 1);
    EXPECT_EQ(record.ResultDigits, 2);
    EXPECT_EQ(record.ResultDecimals, 1);
    EXPECT_EQ(record.InputPrecision[FlowDigits], 0); // untouched for a closed loop
}

TEST(ComputeResultPrecision, OpenLoopConstantFlowTakesTheFlowRateText)
{
    ExperimentRecord record = RecordWithPrecision(7, 6);
    record.Settings.LoopType = OpenLoop;
    record.Settings.FlowType = 0;
    record.Settings.FlowRate = "1.05";
    record.Specimen.AreaText = "20.000";
    ComputeResultPrecision(record);
    EXPECT_EQ(record.InputPrecision[FlowDigits], 3);
    EXPECT_EQ(record.InputPrecision[FlowDecimals], 2);
    EXPECT_EQ(record.ResultDigits, 3);
    EXPECT_EQ(record.ResultDecimals, 2);
}

TEST(ComputeResultPrecision, OpenLoopVariableFlowLimitsTheValuesByTheFlowColumn)
{
    ExperimentRecord record = RecordWithPrecision(7, 6);
    record.Settings.LoopType = OpenLoop;
    record.Settings.FlowType = 1;
    record.Settings.FlowRate = "0.500000"; // written by the import: not a precision source
    record.InputPrecision[FlowDigits] = 4;
    record.InputPrecision[FlowDecimals] = 3;
    record.Specimen.AreaText = "20.00";
    ComputeResultPrecision(record);
    EXPECT_EQ(record.InputPrecision[ValueDigits], 4);
    EXPECT_EQ(record.InputPrecision[ValueDecimals], 3);
    EXPECT_EQ(record.ResultDigits, 4);
    EXPECT_EQ(record.ResultDecimals, 2);
}

TEST(ComputeResultPrecision, PpmLimitsTheValuesByTheMolecularWeight)
{
    ExperimentRecord record = RecordWithPrecision(7, 6);
    record.Settings.ResponseFormat = ConcentrationPpm;
    record.Settings.MolecularWeight = "78.1";
    record.Settings.LoopType = ClosedLoop;
    record.Settings.TotalVolume = "0.1000";
    record.Specimen.AreaText = "12.50";
    ComputeResultPrecision(record);
    EXPECT_EQ(record.InputPrecision[ValueDigits], 3);
    EXPECT_EQ(record.InputPrecision[ValueDecimals], 1);
    EXPECT_EQ(record.ResultDigits, 3);
    EXPECT_EQ(record.ResultDecimals, 1);
}

TEST(FormatSignificant, PrintsAPointWhateverTheProcessLocale)
{
    // scripts/test.sh generates this locale; its decimal separator is the comma.
    if (!std::setlocale(LC_ALL, "de_DE.UTF-8")) {
        GTEST_SKIP() << "the de_DE.UTF-8 locale is not installed";
    }
    const std::string plain = FormatPlain(0.5);
    const std::string significant = FormatSignificant(12.3456, 4, -1);
    const std::string exponent = FormatSignificant(2.5e-7, 2, 2);
    std::setlocale(LC_ALL, "C");
    EXPECT_EQ(plain, "0.500000");
    EXPECT_EQ(significant, "12.35");
    EXPECT_EQ(exponent, "2.5E-07");
}
