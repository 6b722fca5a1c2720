#include "regression.h"

#include "permeation.h"

#include <algorithm>
#include <cmath>
#include <random>
#include <vector>

#include <gtest/gtest.h>

namespace {

LinearRegression Line(const std::vector<XYPoint> &points)
{
    return LinearRegression(points.data(), static_cast<int>(points.size()));
}

std::vector<DataPoint> Points(const std::vector<std::pair<double, double>> &timeValue)
{
    std::vector<DataPoint> points;
    for (const auto &[time, value] : timeValue) {
        points.push_back({time, value, 0});
    }
    return points;
}

} // namespace

TEST(LinearRegression, ExactLine)
{
    const LinearRegression line = Line({{1, 2}, {2, 4}, {3, 6}});
    EXPECT_EQ(line.Slope(), 2.0);
    EXPECT_EQ(line.Intercept(), 0.0);
    EXPECT_EQ(line.Correlation(), 1.0);
    EXPECT_EQ(line.StandardError(), 0.0);
}

TEST(LinearRegression, ScatteredPoints)
{
    const LinearRegression line = Line({{1, 1}, {2, 3}, {3, 2}});
    EXPECT_DOUBLE_EQ(line.Slope(), 0.5);
    EXPECT_DOUBLE_EQ(line.Intercept(), 1.0);
    EXPECT_DOUBLE_EQ(line.Determination(), 0.25);
    EXPECT_DOUBLE_EQ(line.Correlation(), 0.5);
}

TEST(LinearRegression, ShuffledAndScaledInputGiveTheSameLine)
{
    std::vector<XYPoint> points;
    for (int i = 0; i < 15; ++i) {
        points.emplace_back(i * 0.5, 3.0 + 1.5 * i * 0.5 + ((i % 3) - 1) * 0.1);
    }
    const LinearRegression reference = Line(points);
    std::shuffle(points.begin(), points.end(), std::mt19937(7));
    const LinearRegression shuffled = Line(points);
    EXPECT_NEAR(shuffled.Slope(), reference.Slope(), 1e-12);
    EXPECT_NEAR(shuffled.Correlation(), reference.Correlation(), 1e-12);

    std::vector<XYPoint> scaled;
    for (const XYPoint &p : points) {
        scaled.emplace_back(p.X(), p.Y() * 4);
    }
    EXPECT_NEAR(Line(scaled).Slope(), reference.Slope() * 4, 1e-12);
    EXPECT_NEAR(Line(scaled).Correlation(), reference.Correlation(), 1e-12);
}

TEST(LinearRegression, DegenerateInputs)
{
    const LinearRegression two = Line({{1, 2}, {2, 4}});
    EXPECT_FALSE(two.HasData());
    EXPECT_EQ(two.Slope(), 0.0);

    const LinearRegression sameX = Line({{2, 1}, {2, 5}, {2, 9}});
    EXPECT_EQ(sameX.Slope(), 0.0);
    EXPECT_EQ(sameX.Intercept(), 0.0);
    EXPECT_EQ(sameX.Correlation(), 0.0);
    EXPECT_EQ(sameX.StandardError(), 0.0);

    // A constant y has no defined correlation; comparisons with NaN are false, which the
    // rise search relies on.
    const LinearRegression flat = Line({{1, 3}, {2, 3}, {3, 3}});
    EXPECT_EQ(flat.Slope(), 0.0);
    EXPECT_TRUE(std::isnan(flat.Correlation()));
    EXPECT_FALSE(flat.Correlation() >= 0.9);
}

TEST(FitQuadraticWindow, ExactParabola)
{
    const auto points = Points({{0, 1}, {1, 0}, {2, 1}, {3, 4}});
    const QuadraticCoefficients fit = FitQuadraticWindow(points, 0, 4);
    EXPECT_NEAR(fit.c0, 1, 1e-12);
    EXPECT_NEAR(fit.c1, -2, 1e-12);
    EXPECT_NEAR(fit.c2, 1, 1e-12);
}

TEST(FitQuadraticWindow, UsesOnlyTheWindowItIsGiven)
{
    // Points 1..3 lie on t², the others do not.
    const auto points = Points({{0, 50}, {1, 1}, {2, 4}, {3, 9}, {4, -7}});
    const QuadraticCoefficients fit = FitQuadraticWindow(points, 1, 4);
    EXPECT_NEAR(fit.c0, 0, 1e-9);
    EXPECT_NEAR(fit.c1, 0, 1e-9);
    EXPECT_NEAR(fit.c2, 1, 1e-9);
}

TEST(FitQuadraticWindow, UndeterminedWindowsGiveNaN)
{
    const auto points = Points({{0, 1}, {1, 0}, {2, 1}, {3, 4}});
    const auto undetermined = [](const QuadraticCoefficients &fit) {
        return std::isnan(fit.c0) && std::isnan(fit.c1) && std::isnan(fit.c2);
    };
    EXPECT_TRUE(undetermined(FitQuadraticWindow(points, 0, 2))); // two points
    EXPECT_TRUE(undetermined(FitQuadraticWindow(points, 3, 1))); // reversed
    EXPECT_TRUE(undetermined(FitQuadraticWindow(points, -1, 3))); // before the first point
    EXPECT_TRUE(undetermined(FitQuadraticWindow(points, 2, 5))); // past the last point
    EXPECT_TRUE(undetermined(FitQuadraticWindow(Points({{5, 1}, {5, 2}, {5, 3}}), 0, 3)));
}

// Ten readings logged per minute: a window over two minutes has six points but only two
// times, and no unique quadratic; a third time makes it determined again.
TEST(FitQuadraticWindow, FewerThanThreeDistinctTimesGiveNaN)
{
    const auto twoTimes = Points({{1, 0.5}, {1, 0.7}, {1, 0.6}, {2, 1.9}, {2, 2.1}, {2, 2.0}, {3, 4.0}});
    const QuadraticCoefficients fit = FitQuadraticWindow(twoTimes, 0, 6);
    EXPECT_TRUE(std::isnan(fit.c0) && std::isnan(fit.c1) && std::isnan(fit.c2));
    EXPECT_TRUE(std::isnan(RootNearest(fit, 1.0, 1.5)));
    const QuadraticCoefficients threeTimes = FitQuadraticWindow(twoTimes, 0, 7);
    EXPECT_FALSE(std::isnan(threeTimes.c2));
}

// Held readings equal to the level sought: the fit is the constant itself, so no crossing
// time comes out of the solver's rounding.
TEST(FitQuadraticWindow, EqualReadingsAreExactlyThatConstant)
{
    std::vector<DataPoint> held;
    for (int i = 0; i < 12; ++i) {
        held.push_back({1234.1 + 0.7 * i, 0.1 + 0.2, 0});
    }
    const QuadraticCoefficients fit = FitQuadraticWindow(held, 0, 12);
    EXPECT_EQ(fit.c0, 0.1 + 0.2);
    EXPECT_EQ(fit.c1, 0.0);
    EXPECT_EQ(fit.c2, 0.0);
    EXPECT_TRUE(std::isnan(RootNearest(fit, 0.1 + 0.2, 1237.0)));
}

TEST(NearestIndex, FirstOfEquallyNearPointsWins)
{
    const auto points = Points({{0, 10}, {4, 20}, {6, 30}, {10, 20}});
    EXPECT_EQ(NearestIndex(points, 5, 0, 4, PointColumn::Time), 1);
    EXPECT_EQ(NearestIndex(points, 21, 0, 4, PointColumn::Value), 1);
    EXPECT_EQ(NearestIndex(points, 21, 2, 4, PointColumn::Value), 3);
}

TEST(NearestIndex, EmptyOrFarRangesGiveZero)
{
    const auto points = Points({{0, 10}, {4, 20}, {6, 30}});
    EXPECT_EQ(NearestIndex(points, 30, 2, 2, PointColumn::Value), 0);
    EXPECT_EQ(NearestIndex(points, 30, 3, 1, PointColumn::Value), 0);
    EXPECT_EQ(NearestIndex(points, 5e6, 1, 3, PointColumn::Value), 0);
    // A range reaching past the points is clipped to them.
    EXPECT_EQ(NearestIndex(points, 30, -4, 99, PointColumn::Value), 2);
}
