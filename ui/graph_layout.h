#pragma once

// The data graph as plain geometry: where the frame, the axes, the ticks with their numbers
// and the curve go in a target rectangle. Deciding this needs no drawing surface, so the
// screen, the off-screen picture of the printout and the tests share one answer, and the
// paint step only draws what is laid out here.
//
// Every coordinate is truncated to a whole unit (pixels of the target surface).

#include <optional>
#include <string>
#include <vector>

struct ExperimentRecord;
struct TestSettings;

struct GraphPoint
{
    int X = 0;
    int Y = 0;
    friend bool operator==(const GraphPoint &, const GraphPoint &) = default;
};

// Right and bottom are excluded, as a window's client rectangle.
struct GraphRect
{
    int Left = 0;
    int Top = 0;
    int Right = 0;
    int Bottom = 0;
    int Width() const { return Right - Left; }
    int Height() const { return Bottom - Top; }
    friend bool operator==(const GraphRect &, const GraphRect &) = default;
};

struct GraphLine
{
    GraphPoint From;
    GraphPoint To;
    friend bool operator==(const GraphLine &, const GraphLine &) = default;
};

enum class LabelAlignment { Centred, RightAligned };

struct GraphTick
{
    GraphLine Mark;
    std::string Label; // ASCII digits only
    GraphRect LabelBox;
    LabelAlignment Alignment = LabelAlignment::Centred;
};

struct GraphColour
{
    int Red = 0;
    int Green = 0;
    int Blue = 0;
};

inline constexpr GraphColour GraphInk {0, 0, 0}; // frame outline, axes, ticks, numbers
inline constexpr GraphColour GraphBackground {225, 225, 225};
inline constexpr GraphColour GraphCurveColour {255, 0, 0};

struct GraphLayout
{
    GraphRect Frame; // filled with GraphBackground, outlined with GraphInk
    std::vector<GraphPoint> Axes; // one polyline: top of the value axis, origin, end of the time axis
    std::vector<GraphTick> TimeTicks;
    std::vector<GraphTick> ValueTicks; // none when every value is zero
    std::vector<GraphPoint> Curve; // one polyline through the points in order
};

// The graph of the record's points in `target`: cumulative permeation per area (closed
// loop) or permeation rate per area (open loop) against time. Nothing at all when the
// specimen's area text is empty or its number is not above zero.
std::optional<GraphLayout> LayOutDataGraph(const ExperimentRecord &record, const GraphRect &target);

// The power-of-ten unit of the value axis and the number of units (ticks 0 .. Count × Unit)
// for a value span; none when the span has no usable scale (zero, not finite, or below
// the finest unit searched).
struct ValueScale
{
    double Unit = 0;
    int Count = 0;
};
std::optional<ValueScale> ValueScaleFor(double span);

// The step between time ticks for data ending at `lastTime` minutes: a tenth of it in whole
// minutes, and for data shorter than ten minutes 1, 0.1 or 0.01 so that the ticks still end.
double TimeStepFor(double lastTime);

// The titles over and beside the graph for the record's loop type (Windows-1252).
struct GraphTitles
{
    std::string Chart;
    std::string ValueAxis;
};
GraphTitles GraphTitlesFor(const TestSettings &settings);
