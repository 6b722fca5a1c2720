#include "permeation.h"

#include "test_records.h"

#include <gtest/gtest.h>

#include <cmath>

TEST(ExposedArea, DiameterInInchesCarriesTheDiameterPrecision)
{
    ExperimentRecord record;
    record.Specimen.AreaMode = 1;
    record.Specimen.DiameterUnit = 0;
    record.Specimen.DiameterInchText = "1.00";
    ComputeExposedArea(record);
    EXPECT_EQ(record.ExposedAreaText, "5.07");
    EXPECT_EQ(record.Specimen.AreaText, "5.07"); // the Data Input dialog shows the area used

    record.Specimen.DiameterUnit = 1;
    record.Specimen.DiameterCmText = "2";
    ComputeExposedArea(record);
    EXPECT_EQ(record.ExposedAreaText, "3");
}

TEST(ExposedArea, EnteredAreaIsKeptAsTypedAndZeroOrEmptyKeepsTheEarlierArea)
{
    ExperimentRecord record;
    record.Specimen.AreaMode = 0;
    record.Specimen.AreaText = "12.5";
    ComputeExposedArea(record);
    EXPECT_EQ(record.ExposedAreaText, "12.5");

    record.Specimen.AreaText = "0";
    ComputeExposedArea(record);
    EXPECT_EQ(record.ExposedAreaText, "12.5");
    EXPECT_EQ(record.Specimen.AreaText, "12.5");

    ExperimentRecord fresh;
    fresh.Specimen.AreaMode = 1;
    fresh.Specimen.DiameterInchText = "";
    ComputeExposedArea(fresh);
    EXPECT_EQ(fresh.ExposedAreaText, "");
    EXPECT_EQ(fresh.Specimen.AreaText, "");
}

TEST(PointQuantity, ClosedLoopMassAndOpenLoopRatePerArea)
{
    ExperimentRecord closed = ClosedLoopRecord("0.1", "5.07");
    SetReadingsPerMinute(closed, {50.7});
    EXPECT_TRUE(RelativelyNear(1.0, PointQuantity(closed, 0)));

    ExperimentRecord open = OpenLoopRecord("1", "20");
    SetReadingsPerMinute(open, {2});
    EXPECT_TRUE(RelativelyNear(0.1, PointQuantity(open, 0)));
}

TEST(PointQuantity, ReadsTheExposedAreaTextAndTheMultiplierOfTheLoop)
{
    ExperimentRecord record = ClosedLoopRecord("2", "4");
    record.Settings.FlowRate = "3";
    record.Specimen.AreaText = "100"; // not the model's area
    SetReadingsPerMinute(record, {8});
    EXPECT_EQ(PointQuantity(record, 0), 4.0);
    record.Settings.LoopType = OpenLoop;
    EXPECT_EQ(PointQuantity(record, 0), 6.0);
}

TEST(FitQuantity, ScalesTheQuadraticOfTheReadings)
{
    ExperimentRecord record = ClosedLoopRecord("0.5", "2");
    SetReadingsPerMinute(record, {1, 0, 1, 4}); // 1 - 2t + t², exactly
    const QuadraticCoefficients q = FitQuantity(record, 0, 4);
    EXPECT_NEAR(q.c0, 0.25, 1e-12);
    EXPECT_NEAR(q.c1, -0.5, 1e-12);
    EXPECT_NEAR(q.c2, 0.25, 1e-12);

    const QuadraticCoefficients tooFew = FitQuantity(record, 0, 2);
    EXPECT_TRUE(std::isnan(tooFew.c2));
}

TEST(FirstCrossing, PicksTheBracketingPointNearerTheThreshold)
{
    ExperimentRecord record = OpenLoopRecord("1", "1");
    SetReadingsPerMinute(record, {0, 0.2, 0.4, 0.6, 0.98, 1.05, 1.2, 1.3});
    EXPECT_EQ(FirstCrossing(record, 1.0, 7).Index, 4);
    record.Points[4].Value = 0.9;
    const Crossing crossing = FirstCrossing(record, 1.0, 7);
    EXPECT_EQ(crossing.Index, 5);
    EXPECT_TRUE(crossing.Found);
    // The limit bounds the pairs examined: the pair (4, 5) lies beyond a limit of 4.
    EXPECT_FALSE(FirstCrossing(record, 1.0, 4).Found);
}

TEST(FirstCrossing, LaterCrossingReplacesOnlyWhenNearer)
{
    ExperimentRecord record = OpenLoopRecord("1", "1");
    SetReadingsPerMinute(record, {0, 0.9, 1.2, 0.5, 0.99, 1.3, 0.2});
    EXPECT_EQ(FirstCrossing(record, 1.0, 6).Index, 4);
    record.Points[4].Value = 0.7;
    EXPECT_EQ(FirstCrossing(record, 1.0, 6).Index, 1);
}

TEST(FirstCrossing, NoCrossingIsToldApartFromIndexZero)
{
    ExperimentRecord record = OpenLoopRecord("1", "1");
    SetReadingsPerMinute(record, {0.5, 1.5, 1.6});
    const Crossing atZero = FirstCrossing(record, 1.0, 2);
    EXPECT_TRUE(atZero.Found);
    EXPECT_EQ(atZero.Index, 0);

    SetReadingsPerMinute(record, {1.5, 1.6, 1.7});
    const Crossing none = FirstCrossing(record, 1.0, 2);
    EXPECT_FALSE(none.Found);
    EXPECT_EQ(none.Index, 0);

    ExperimentRecord empty = OpenLoopRecord("1", "1");
    EXPECT_FALSE(FirstCrossing(empty, 1.0, 0).Found);
}

TEST(RootNearest, TakesTheRootNearerTheReferenceTime)
{
    const QuadraticCoefficients square {0, 0, 1};
    EXPECT_EQ(RootNearest(square, 4, 1.5), 2);
    EXPECT_EQ(RootNearest(square, 4, -1.5), -2);
    EXPECT_EQ(RootNearest(square, 4, 0), -2); // a tie takes r2
    EXPECT_TRUE(std::isnan(RootNearest(square, -1, 0))); // no real root
    const double nan = std::nan("");
    EXPECT_TRUE(std::isnan(RootNearest({nan, nan, nan}, 1, 0)));
}
