#include "calibration_equation.h"

#include <gtest/gtest.h>

namespace {

double Evaluate(const char *equation, double x)
{
    return EvaluateCalibration(ParseCalibrationEquation(equation), x);
}

TEST(CalibrationEquation, LeftSideIsOptional)
{
    for (const char *equation : {"y= 4x^2 - 2x + 1", "4x^2 - 2x + 1", "y=4x^2 -2x +1", "y = 4x^2 - 2x + 1"}) {
        EXPECT_DOUBLE_EQ(Evaluate(equation, 1), 3) << equation;
        EXPECT_DOUBLE_EQ(Evaluate(equation, 2), 13) << equation;
    }
}

TEST(CalibrationEquation, OperatorWrittenStraightAfterATermGivesNoSign)
{
    EXPECT_DOUBLE_EQ(Evaluate("y=4x^2-2x+1", 1), 7);
    EXPECT_DOUBLE_EQ(Evaluate("4x^2- 2x", 1), 6);
    EXPECT_DOUBLE_EQ(Evaluate("4x^2 -2x", 1), 2);
}

TEST(CalibrationEquation, LeadingMinusNegatesTheFirstTerm)
{
    EXPECT_DOUBLE_EQ(Evaluate("-4x^2 + 2x", 1), -2);
    EXPECT_DOUBLE_EQ(Evaluate("y = -4x^2 + 2x", 1), -2);
    // The sign applies to the power, not to x: -4x^2 at x = 3 is -36.
    EXPECT_DOUBLE_EQ(Evaluate("y = -4x^2 + 2x", 3), -30);
}

TEST(CalibrationEquation, TermsNeedAWrittenCoefficient)
{
    EXPECT_DOUBLE_EQ(Evaluate("y = x + 1", 5), 1);
    EXPECT_DOUBLE_EQ(Evaluate("y = 1x + 1", 5), 6);
    EXPECT_DOUBLE_EQ(Evaluate("y = 0.5x^3", 2), 4);
}

TEST(CalibrationEquation, TermsAreSplitAtLowerCaseXAndCaret)
{
    const auto terms = ParseCalibrationEquation("4x^2 + 2x + 1 + 0.5x^3 + x^2 + 4X^2 + 2X");
    ASSERT_EQ(terms.size(), 7u);
    const std::vector<std::pair<double, int>> expected {
        {4, 2}, {2, 1}, {1, 0}, {0.5, 3}, {2, 0}, {4, 2}, {2, 0}};
    for (std::size_t i = 0; i < expected.size(); ++i) {
        EXPECT_EQ(terms[i].Coefficient, expected[i].first) << i;
        EXPECT_EQ(terms[i].Exponent, expected[i].second) << i;
        EXPECT_FALSE(terms[i].Negative) << i;
    }
}

TEST(CalibrationEquation, EquationsWithoutUsableTermsGiveZero)
{
    EXPECT_TRUE(ParseCalibrationEquation("2x").empty());
    EXPECT_TRUE(ParseCalibrationEquation("").empty());
    EXPECT_EQ(Evaluate("2x", 3), 0);
    EXPECT_EQ(Evaluate("y  = 4x + 1", 3), 0); // a three-character left side
    EXPECT_EQ(Evaluate("y =", 3), 0);
}

TEST(CalibrationEquation, OnlyTheFirstTenTermsAreRead)
{
    const char *eleven = "y = 1 + 1x + 1x^2 + 1x^3 + 1x^4 + 1x^5 + 1x^6 + 1x^7 + 1x^8 + 1x^9 + 1x^10";
    EXPECT_EQ(ParseCalibrationEquation(eleven).size(), 10u);
    EXPECT_DOUBLE_EQ(Evaluate(eleven, 2), 1023);
}

TEST(CalibrationEquation, ZeroExponentGivesOneAtZero)
{
    EXPECT_DOUBLE_EQ(Evaluate("y = 3 + 2x", 0), 3);
}

} // namespace
