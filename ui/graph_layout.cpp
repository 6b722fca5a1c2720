#include "graph_layout.h"

#include "experiment_record.h"
#include "permeation.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <span>

namespace {

// Coordinates are truncated toward zero. Values far outside any surface (an absurd entry,
// not a finite number) are held at a bound first: converting them to int is undefined.
int Whole(double coordinate)
{
    constexpr double Bound = 1e7;
    if (std::isnan(coordinate)) {
        return 0;
    }
    return static_cast<int>(std::clamp(coordinate, -Bound, Bound));
}

std::string Formatted(const char *format, double value)
{
    char text[64];
    std::snprintf(text, sizeof text, format, value);
    return text;
}

// The plotted quantity of every used point: X × C / A with the specimen's area text.
std::vector<double> PlottedValues(const ExperimentRecord &record, double area)
{
    const double multiplier = LoopMultiplier(record);
    std::vector<double> values;
    for (const DataPoint &point : UsedPoints(record)) {
        values.push_back((multiplier * point.Value) / area);
    }
    return values;
}

// The value span D: from the smallest of 0 and the values to the largest of 0 and them,
// so that the time axis always sits at zero.
double ValueSpan(const std::vector<double> &values)
{
    double low = 0;
    double high = 0;
    for (double v : values) {
        low = std::min(low, v);
        high = std::max(high, v);
    }
    return high - low;
}

// Fractions of the target where the axes sit.
struct Geometry
{
    double L, T, W, H;
    double AxisX() const { return L + 0.15 * W; }
    double AxisY() const { return T + 0.9 * H; }
};

// The last time number is centred on the frame's right edge; on screen the window ends
// there and would cut "120" to "12". Keep its box inside instead.
GraphRect InsideRight(GraphRect box, int right)
{
    const int overflow = std::max(0, box.Right - right);
    return {box.Left - overflow, box.Top, box.Right - overflow, box.Bottom};
}

std::vector<GraphTick> TimeTicks(const Geometry &g, double lastTime)
{
    std::vector<GraphTick> ticks;
    if (!(lastTime > 0) || !std::isfinite(lastTime)) {
        return ticks;
    }
    const double step = TimeStepFor(lastTime);
    // Whole-minute steps print as integers; the finer steps of short data as "%g".
    const char *format = step >= 1 ? "%.0f" : "%g";
    const double scale = 0.85 * g.W / lastTime;
    const int top = Whole(g.AxisY());
    const int bottom = Whole(g.T + 0.925 * g.H);
    for (int k = 0; k <= lastTime / step; ++k) {
        const int x = Whole(g.AxisX() + k * step * scale);
        ticks.push_back({{{x, top}, {x, bottom}}, Formatted(format, k * step),
            InsideRight({x - 12, bottom, x + 12, Whole(g.T + g.H)}, Whole(g.L + g.W)),
            LabelAlignment::Centred});
    }
    return ticks;
}

std::vector<GraphTick> ValueTicks(const Geometry &g, double span)
{
    std::vector<GraphTick> ticks;
    const std::optional<ValueScale> scale = ValueScaleFor(span);
    if (!scale) {
        return ticks;
    }
    const char *format = scale->Unit < 1 ? "%.2f" : "%.0f";
    const double ky = 0.9 * g.H / span;
    const int axis = Whole(g.AxisX());
    const int tickEnd = Whole(g.L + 0.125 * g.W);
    // The numbers end just before the tick marks rather than reaching over them: a mark
    // running into "5" would read as "-5".
    const int labelRight = tickEnd - 2;
    for (int j = 0; j <= scale->Count; ++j) {
        const int y = Whole(g.AxisY() - j * scale->Unit * ky);
        ticks.push_back({{{axis, y}, {tickEnd, y}}, Formatted(format, j * scale->Unit),
            {Whole(g.L), y - 10, labelRight, y + 10}, LabelAlignment::RightAligned});
    }
    return ticks;
}

std::vector<GraphPoint> Curve(
    const Geometry &g, std::span<const DataPoint> points, const std::vector<double> &values, double span)
{
    std::vector<GraphPoint> curve;
    const double lastTime = points.back().Time;
    if (!(span > 0) || !std::isfinite(span) || !(lastTime > 0)) {
        return curve;
    }
    for (std::size_t i = 0; i < points.size(); ++i) {
        const int x = Whole(g.AxisX() + 0.85 * g.W * points[i].Time / lastTime);
        const int y = Whole(g.T + g.H) - Whole(0.9 * g.H * values[i] / span + 0.1 * g.H);
        curve.push_back({x, y});
    }
    return curve;
}

} // namespace

std::optional<ValueScale> ValueScaleFor(double span)
{
    if (!(span > 0) || !std::isfinite(span)) {
        return std::nullopt;
    }
    // The power of ten that leaves between 1 and 10 whole units in the span. The search
    // starts at 1e-10, so a smaller span has no scale; the upper bound only ends the loop.
    for (int e = -10; e <= 308; ++e) {
        const double units = span / std::pow(10.0, e);
        if (units >= 1 && units < 11) {
            ValueScale scale {std::pow(10.0, e), static_cast<int>(units)};
            // Fewer than five ticks look bare: use half units.
            if (scale.Count < 5) {
                scale.Unit /= 2;
                scale.Count = static_cast<int>(span / scale.Unit);
            }
            return scale;
        }
    }
    return std::nullopt;
}

double TimeStepFor(double lastTime)
{
    if (lastTime >= 10) {
        return std::floor(lastTime / 10);
    }
    if (lastTime >= 1) {
        return 1;
    }
    return lastTime >= 0.1 ? 0.1 : 0.01;
}

std::optional<GraphLayout> LayOutDataGraph(const ExperimentRecord &record, const GraphRect &target)
{
    const double area = SpecimenArea(record);
    if (record.Specimen.AreaText.empty() || !(area > 0)) {
        return std::nullopt;
    }
    const Geometry g {
        double(target.Left), double(target.Top), double(target.Width()), double(target.Height())};
    GraphLayout layout;
    layout.Frame = target;
    layout.Axes = {{Whole(g.AxisX()), target.Top}, {Whole(g.AxisX()), Whole(g.AxisY())},
        {target.Right, Whole(g.AxisY())}};

    const std::span<const DataPoint> points = UsedPoints(record);
    if (points.empty()) {
        return layout;
    }
    const std::vector<double> values = PlottedValues(record, area);
    const double span = ValueSpan(values);
    layout.TimeTicks = TimeTicks(g, points.back().Time);
    layout.ValueTicks = ValueTicks(g, span);
    layout.Curve = Curve(g, points, values, span);
    return layout;
}

GraphTitles GraphTitlesFor(const TestSettings &settings)
{
    if (IsOpenLoop(settings)) {
        return {"PERMEATION RATE VS TIME", "Permeation Rate (\xB5g/(cm\xB2*min))"};
    }
    return {"CUMULATIVE PERMEATION VS TIME", "Cumulative Permeation (\xB5g/cm\xB2)"};
}
