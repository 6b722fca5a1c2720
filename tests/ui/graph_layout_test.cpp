#include "graph_layout.h"

#include "experiment_record.h"
#include "test_records.h"

#include <gtest/gtest.h>

#include <limits>

namespace {

// 200 × 100 keeps the fractions whole: the value axis at x = 30, the time axis at y = 90.
const GraphRect Target {0, 0, 200, 100};

ExperimentRecord GraphRecord(const std::vector<double> &times, const std::vector<double> &values)
{
    ExperimentRecord record;
    record.Settings.LoopType = ClosedLoop;
    record.Settings.TotalVolume = "2";
    record.Specimen.AreaText = "4"; // plotted value = C / 2
    SetPoints(record, times, values);
    return record;
}

std::vector<std::string> Labels(const std::vector<GraphTick> &ticks)
{
    std::vector<std::string> labels;
    for (const GraphTick &tick : ticks) {
        labels.push_back(tick.Label);
    }
    return labels;
}

GraphLayout LaidOut(const ExperimentRecord &record, const GraphRect &target = Target)
{
    const auto layout = LayOutDataGraph(record, target);
    EXPECT_TRUE(layout.has_value());
    return layout.value_or(GraphLayout {});
}

TEST(GraphLayout, SmallDataSetFrameAxesTicksAndCurve)
{
    const GraphLayout layout = LaidOut(GraphRecord({0, 10, 20}, {0, 4, 8})); // values 0, 2, 4
    EXPECT_EQ(layout.Frame, Target);
    EXPECT_EQ(layout.Axes, (std::vector<GraphPoint> {{30, 0}, {30, 90}, {200, 90}}));

    // 20 minutes: a step of 2 minutes, 8.5 pixels per minute.
    ASSERT_EQ(layout.TimeTicks.size(), 11u);
    const GraphTick &two = layout.TimeTicks[1];
    EXPECT_EQ(two.Mark, (GraphLine {{47, 90}, {47, 92}}));
    EXPECT_EQ(two.LabelBox, (GraphRect {35, 92, 59, 100}));
    EXPECT_EQ(two.Alignment, LabelAlignment::Centred);
    EXPECT_EQ(Labels(layout.TimeTicks).back(), "20");
    // The last number's box is kept inside the frame, not cut by the window's edge.
    EXPECT_EQ(layout.TimeTicks.back().LabelBox, (GraphRect {176, 92, 200, 100}));

    // D = 4: half units, 22.5 pixels per unit, positions truncated.
    EXPECT_EQ(Labels(layout.ValueTicks),
        (std::vector<std::string> {"0.00", "0.50", "1.00", "1.50", "2.00", "2.50", "3.00", "3.50", "4.00"}));
    const GraphTick &half = layout.ValueTicks[1];
    EXPECT_EQ(half.Mark, (GraphLine {{30, 78}, {25, 78}}));
    EXPECT_EQ(half.LabelBox, (GraphRect {0, 68, 23, 88})); // ends before the tick mark at 25
    EXPECT_EQ(half.Alignment, LabelAlignment::RightAligned);
    EXPECT_EQ(layout.ValueTicks.back().Mark.From.Y, 0);

    EXPECT_EQ(layout.Curve, (std::vector<GraphPoint> {{30, 90}, {115, 45}, {200, 0}}));
}

TEST(GraphLayout, OffsetTargetAndOpenLoopFlowRate)
{
    ExperimentRecord record = GraphRecord({0, 10}, {0, 1});
    record.Settings.LoopType = OpenLoop;
    record.Settings.FlowRate = "8"; // open loop reads F, not Vt
    const GraphLayout layout = LaidOut(record, {70, 48, 630, 434});
    EXPECT_EQ(layout.Axes, (std::vector<GraphPoint> {{154, 48}, {154, 395}, {630, 395}}));
    EXPECT_EQ(Labels(layout.ValueTicks).back(), "2.00"); // D = 8 × 1 / 4
    EXPECT_EQ(layout.Curve.back(), (GraphPoint {630, 48}));
}

TEST(GraphLayout, NothingWithoutAnArea)
{
    for (const char *area : {"", "0", "-2", "none"}) {
        ExperimentRecord record = GraphRecord({0, 10}, {1, 2});
        record.Specimen.AreaText = area;
        EXPECT_FALSE(LayOutDataGraph(record, Target)) << '"' << area << '"';
    }
}

TEST(GraphLayout, NegativeValuesBelowTheTimeAxis)
{
    // Values -1, 0, 3: D = 4 counts the negative part, ticks still start at the axis.
    const GraphLayout layout = LaidOut(GraphRecord({0, 10, 20}, {-2, 0, 6}));
    EXPECT_EQ(layout.ValueTicks.front().Mark.From.Y, 90);
    EXPECT_EQ(layout.ValueTicks.front().Label, "0.00");
    EXPECT_EQ(layout.Curve[0].Y, 112);
    EXPECT_EQ(layout.Curve[1].Y, 90);
}

TEST(GraphLayout, ValueScaleExamples)
{
    const auto scaleOf = [](double span) { return ValueScaleFor(span).value_or(ValueScale {}); };
    EXPECT_DOUBLE_EQ(scaleOf(3.7).Unit, 0.5);
    EXPECT_EQ(scaleOf(3.7).Count, 7);
    EXPECT_DOUBLE_EQ(scaleOf(10).Unit, 1);
    EXPECT_EQ(scaleOf(10).Count, 10);
    EXPECT_DOUBLE_EQ(scaleOf(100).Unit, 10);
    EXPECT_EQ(scaleOf(100).Count, 10);
    EXPECT_DOUBLE_EQ(scaleOf(0.042).Unit, 0.005);

    // Too small, zero or not finite: no scale, and the search ends.
    for (double span : {0.0, 1e-12, std::numeric_limits<double>::infinity(), std::nan("")}) {
        EXPECT_FALSE(ValueScaleFor(span)) << span;
    }
    EXPECT_EQ(scaleOf(3e300).Count, 6);
}

TEST(GraphLayout, TwoDecimalLabelsRepeatForFineUnits)
{
    const GraphLayout layout = LaidOut(GraphRecord({0, 10}, {0, 0.084})); // D = 0.042
    EXPECT_EQ(Labels(layout.ValueTicks),
        (std::vector<std::string> {"0.00", "0.01", "0.01", "0.01", "0.02", "0.03", "0.03", "0.04", "0.04"}));
}

TEST(GraphLayout, TimeStepIsATenthInWholeMinutes)
{
    const GraphLayout layout = LaidOut(GraphRecord({0, 485}, {0, 1}));
    const std::vector<std::string> labels = Labels(layout.TimeTicks);
    ASSERT_EQ(labels.size(), 11u);
    EXPECT_EQ(labels[1], "48");
    EXPECT_EQ(labels.back(), "480");
}

TEST(GraphLayout, ShortDataUseFinerTimeSteps)
{
    EXPECT_EQ(Labels(LaidOut(GraphRecord({0, 7.5}, {0, 1})).TimeTicks),
        (std::vector<std::string> {"0", "1", "2", "3", "4", "5", "6", "7"}));
    EXPECT_EQ(Labels(LaidOut(GraphRecord({0, 0.45}, {0, 1})).TimeTicks),
        (std::vector<std::string> {"0", "0.1", "0.2", "0.3", "0.4"}));
    EXPECT_EQ(Labels(LaidOut(GraphRecord({0, 0.045}, {0, 1})).TimeTicks),
        (std::vector<std::string> {"0", "0.01", "0.02", "0.03", "0.04"}));
}

TEST(GraphLayout, AllZeroValuesKeepFrameAxesAndTimeNumbersOnly)
{
    const GraphLayout layout = LaidOut(GraphRecord({0, 10, 20}, {0, 0, 0}));
    EXPECT_EQ(layout.Axes.size(), 3u);
    EXPECT_EQ(layout.TimeTicks.size(), 11u);
    EXPECT_TRUE(layout.ValueTicks.empty());
    EXPECT_TRUE(layout.Curve.empty());
}

TEST(GraphLayout, NoPositiveDurationDrawsNoTimeTicksNorCurve)
{
    for (const ExperimentRecord &record : {GraphRecord({}, {}), GraphRecord({0}, {5})}) {
        const GraphLayout layout = LaidOut(record);
        EXPECT_EQ(layout.Axes.size(), 3u);
        EXPECT_TRUE(layout.TimeTicks.empty());
        EXPECT_TRUE(layout.Curve.empty());
    }
}

} // namespace
