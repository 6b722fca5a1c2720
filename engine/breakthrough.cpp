#include "breakthrough.h"

#include "permeation.h"
#include "regression.h"
#include "sliding_quadratic.h"

#include <algorithm>
#include <cmath>
#include <optional>
#include <vector>

namespace {

constexpr int SlopeWindowLength = 15;
constexpr int HalfWindow = 7;
constexpr int RunLength = 7;
constexpr double AcceptedCorrelation = 0.9;
constexpr int CrossingWindowHalf = 5;

// The main rise's slope is taken between half and nine tenths of the rise: clear of the
// noise at its foot and of the bend towards the plateau.
constexpr double RiseSlopeLowFraction = 0.5;
constexpr double RiseSlopeHighFraction = 0.9;
// A moving slope below 2 % of the main rise's slope is taken for noise, not for the rise.
constexpr double RisingSlopeFraction = 0.02;
// The detection-time quadratic runs up to 15 % of the rise: its curved start, not the
// straight part above.
constexpr double DetectionFitRiseFraction = 0.15;
// The closed-loop rate windows reach from 15 % of the peak reading to the breakthrough index.
constexpr double RateWindowPeakFraction = 0.15;
// A late breakthrough widens the rate window to a quarter of the points before it, so the
// fit spans enough of a slow rise.
constexpr double RateWindowIndexFraction = 0.25;

constexpr double StandardizedRate = 0.1; // µg/(cm²·min)
constexpr double MinimumRate = 0.01; // µg/(cm²·min)
constexpr double OpenNormalizedRate = 1.0; // µg/(cm²·min)
constexpr double ClosedNormalizedMass = 2.5; // µg/cm²
constexpr double ClosedCheckMass = 1.0; // µg/cm²
// The closed-loop "no permeation" wording names this mass.
constexpr double ClosedDetectedMass = 0.25; // µg/cm²

// Slopes of the 15-point moving regression, 0 where no full window exists.
std::vector<double> MovingSlopes(std::span<const DataPoint> points)
{
    const int n = static_cast<int>(points.size());
    std::vector<double> slopes(points.size(), 0.0);
    for (int i = HalfWindow; i + HalfWindow < n; ++i) {
        slopes[i] = FitLine(points, i - HalfWindow, i + HalfWindow + 1).Slope();
    }
    return slopes;
}

// The readings are compared with fractions of the rise as they stand: no baseline is
// added back, so a high first reading shifts the two landmarks.
void ComputeRiseSlopeThreshold(AnalysisResults &results, std::span<const DataPoint> points, int peak)
{
    const double rise = points[peak].Value - points[0].Value;
    const int i50 = NearestIndex(points, rise * RiseSlopeLowFraction, 0, peak, PointColumn::Value);
    const int i90 = NearestIndex(points, rise * RiseSlopeHighFraction, 0, peak, PointColumn::Value);
    results.HalfToNinetySlope
        = (points[i90].Value - points[i50].Value) / (points[i90].Time - points[i50].Time);
    results.SlopeThreshold = results.HalfToNinetySlope * RisingSlopeFraction;
}

// Seven consecutive increasing slopes above the threshold, then the first window whose
// correlation reaches 0.9; failing that, one past the centre of the best window seen.
// Without any run of seven RiseEndIndex stays 0.
void FindRise(AnalysisResults &results, std::span<const DataPoint> points, const std::vector<double> &slopes)
{
    results.RiseRunLength = 0;
    results.RiseEndIndex = 0;
    results.BestCorrelation = 0;
    results.BestCorrelationIndex = 0;
    const int n = static_cast<int>(points.size());
    const double threshold = results.SlopeThreshold;
    for (int pos = HalfWindow; pos + HalfWindow + 2 <= n; ++pos) {
        if (!(slopes[pos + 1] > slopes[pos] && slopes[pos] > threshold && slopes[pos + 1] > threshold)) {
            results.RiseRunLength = 0;
            continue;
        }
        if (results.RiseRunLength != RunLength) {
            ++results.RiseRunLength;
            results.RiseEndIndex = pos + 1;
            continue;
        }
        const double r = FitLine(points, pos - HalfWindow, pos + HalfWindow + 1).Correlation();
        if (r > results.BestCorrelation) {
            results.BestCorrelation = r;
            results.BestCorrelationIndex = pos + 1;
        }
        if (r >= AcceptedCorrelation) {
            break;
        }
        results.RiseRunLength = RunLength - 1; // the next qualifying position tests a window again
    }
    if (results.BestCorrelation < AcceptedCorrelation) {
        results.RiseEndIndex = results.BestCorrelationIndex;
    }
}

int FirstIndexAbove(std::span<const DataPoint> points, double level, int from)
{
    for (int k = std::max(from, 0); k < static_cast<int>(points.size()); ++k) {
        if (points[k].Value > level) {
            return k;
        }
    }
    return 0;
}

// The threshold is the reading seven points before the end of the rise run, the last
// level before the rise; the BDT is where the quadratic of the readings from seven points
// before the breakthrough index up to 15 % of the rise passes that level.
void ComputeBreakthroughDetectionTime(AnalysisResults &results, std::span<const DataPoint> points, int peak)
{
    if (results.RiseEndIndex == 0) {
        results.ThresholdIndex = 0;
        results.ThresholdValue = 0;
        results.BreakthroughIndex = 0;
        results.BreakthroughDetectionTime = NeverReached;
        return;
    }
    results.ThresholdIndex = results.RiseEndIndex - HalfWindow;
    results.ThresholdValue = points[results.ThresholdIndex].Value;
    const int breakthrough = FirstIndexAbove(points, results.ThresholdValue, results.ThresholdIndex - 1);
    results.BreakthroughIndex = breakthrough;

    const double x15 = (points[peak].Value - points[0].Value) * DetectionFitRiseFraction + points[0].Value;
    const int end = NearestIndex(points, x15, breakthrough, peak, PointColumn::Value);
    const int start = std::max(breakthrough - HalfWindow, 0);
    if (end - start < 3) {
        results.BreakthroughDetectionTime = NeverReached;
        return;
    }
    const QuadraticCoefficients fit = FitQuadraticWindow(points, start, end);
    results.BreakthroughDetectionTime = RootNearest(fit, results.ThresholdValue, points[breakthrough].Time);
}

// Closed loop: the modelled mass grows as q0 + q1·t + q2·t², so its rate q1 + 2·q2·t
// equals `rate` at this time.
double RateLevelTime(const QuadraticCoefficients &q, double rate)
{
    return (rate - q.c1) / (2 * q.c2);
}

// The rate-level time of window [a, b) when it lies in the window's time span [t(a), t(b)].
std::optional<double> RateTimeInWindow(
    std::span<const DataPoint> points, const QuantityScale &scale, int a, int b, double rate)
{
    const double t = RateLevelTime(FitQuantity(points, scale, a, b), rate);
    if (std::isfinite(t) && points[a].Time <= t && t <= points[b].Time) {
        return t;
    }
    return std::nullopt;
}

// Slides a window one point at a time, keeping its length, until the time at which the
// modelled rate equals `rate` falls inside the window's own time span. The window runs
// from 15 % of the peak reading (j) to the breakthrough index, in whichever order they come.
// A long search fits thousands of windows of thousands of points; the screen spares the
// solver those whose crossing is plainly elsewhere, and the solver decides every other.
std::optional<double> SlidingRateTime(
    const ExperimentRecord &record, int j, double rate, WindowScreening screening)
{
    const std::span<const DataPoint> points = UsedPoints(record);
    const QuantityScale scale = ReadQuantityScale(record);
    SlidingQuadratic screen(points);
    const auto windowTime = [&](int a, int b) -> std::optional<double> {
        if (screening == WindowScreening::On) {
            screen.MoveTo(a, b);
            if (screen.RateLevelOutside(
                    rate, scale.Multiplier / scale.Area, points[a].Time, points[b].Time)) {
                return std::nullopt;
            }
        }
        return RateTimeInWindow(points, scale, a, b, rate);
    };
    const int n = static_cast<int>(points.size());
    const int breakthrough = record.Results.BreakthroughIndex;
    if (breakthrough > j) {
        for (int c = 0; c < n - breakthrough; ++c) {
            if (const auto t = windowTime(j + c, breakthrough + c)) {
                return t;
            }
        }
        return std::nullopt;
    }
    const int width = breakthrough * RateWindowIndexFraction > HalfWindow
        ? static_cast<int>(breakthrough * RateWindowIndexFraction)
        : HalfWindow;
    for (int c = 0; c < n - j; ++c) {
        const int start = breakthrough + c - width;
        if (start < 0) {
            continue;
        }
        if (const auto t = windowTime(start, j + c)) {
            return t;
        }
    }
    return std::nullopt;
}

// The time Q reaches `level` on the quadratic over ten points around the crossing, the
// window shifted to lie inside the data. Without any upward crossing the level was either
// exceeded from the start or never reached.
double TenPointCrossingTime(const ExperimentRecord &record, const Crossing &crossing, double level)
{
    if (!crossing.Found) {
        return PointQuantity(record, 0) >= level ? ExceededFromStart : NeverReached;
    }
    const int n = UsedPointCount(record);
    int a = crossing.Index - CrossingWindowHalf;
    int b = crossing.Index + CrossingWindowHalf;
    if (a < 0) {
        b -= a;
        a = 0;
    }
    if (b > n) {
        a -= b - n;
        b = n;
    }
    a = std::max(a, 0);
    return RootNearest(FitQuantity(record, a, b), level, UsedPoints(record)[crossing.Index].Time);
}

struct QuantityRange
{
    double Smallest = 2.0;
    double Largest = 0.0;
};

QuantityRange RangeOfQuantity(const ExperimentRecord &record)
{
    const QuantityScale scale = ReadQuantityScale(record);
    QuantityRange range;
    for (const DataPoint &point : UsedPoints(record)) {
        const double q = Quantity(scale, point.Value);
        if (q < range.Smallest) {
            range.Smallest = q;
        }
        if (q > range.Largest) {
            range.Largest = q;
        }
    }
    return range;
}

void MarkNotDetermined(double &time, const QuantityRange &range, double level)
{
    if (range.Smallest > level) {
        time = ExceededFromStart;
    }
    if (range.Largest < level) {
        time = NeverReached;
    }
}

void ComputeClosedLoopTimes(ExperimentRecord &record, int peak, WindowScreening screening)
{
    AnalysisResults &results = record.Results;
    const std::span<const DataPoint> points = UsedPoints(record);
    const Crossing normalized = FirstCrossing(record, ClosedNormalizedMass, peak);
    const int j
        = NearestIndex(points, points[peak].Value * RateWindowPeakFraction, 0, peak, PointColumn::Value);
    const QuantityRange range = RangeOfQuantity(record);

    results.StandardizedBreakthroughTime
        = SlidingRateTime(record, j, StandardizedRate, screening).value_or(ExceededFromStart);
    if (range.Largest < ClosedDetectedMass) {
        results.StandardizedBreakthroughTime = NeverReached;
    }
    if (IsDiscreteReplaced(record.Settings)) {
        if (const auto minimum = SlidingRateTime(record, j, MinimumRate, screening)) {
            results.MinimumBreakthroughTime = *minimum;
        }
    }
    results.NormalizedBreakthroughTime = TenPointCrossingTime(record, normalized, ClosedNormalizedMass);
    // The closed-loop checks use 1.0 µg/cm², not the 2.5 µg/cm² of the crossing.
    MarkNotDetermined(results.NormalizedBreakthroughTime, range, ClosedCheckMass);
}

void ComputeOpenLoopTimes(ExperimentRecord &record, int peak)
{
    AnalysisResults &results = record.Results;
    const Crossing normalized = FirstCrossing(record, OpenNormalizedRate, peak);
    const Crossing standardized = FirstCrossing(record, StandardizedRate, peak);
    results.StandardizedBreakthroughTime = TenPointCrossingTime(record, standardized, StandardizedRate);
    results.NormalizedBreakthroughTime = TenPointCrossingTime(record, normalized, OpenNormalizedRate);
    const QuantityRange range = RangeOfQuantity(record);
    MarkNotDetermined(results.StandardizedBreakthroughTime, range, StandardizedRate);
    MarkNotDetermined(results.NormalizedBreakthroughTime, range, OpenNormalizedRate);
}

// No points: nothing can be located, so every time is not determined and every other
// result is 0.
void ClearBreakthroughResults(ExperimentRecord &record)
{
    AnalysisResults &results = record.Results;
    results.TopIndices = {};
    results.HalfToNinetySlope = 0;
    results.SlopeThreshold = 0;
    results.RiseRunLength = 0;
    results.RiseEndIndex = 0;
    results.BestCorrelation = 0;
    results.BestCorrelationIndex = 0;
    results.ThresholdIndex = 0;
    results.ThresholdValue = 0;
    results.BreakthroughIndex = 0;
    results.BreakthroughDetectionTime = NeverReached;
    results.StandardizedBreakthroughTime = NeverReached;
    results.NormalizedBreakthroughTime = NeverReached;
    record.FirstValue = 0;
    record.FirstTime = 0;
}

} // namespace

std::array<int, 7> TopIndices(std::span<const DataPoint> points)
{
    std::array<int, 7> top {};
    for (int l = 0; l < static_cast<int>(points.size()); ++l) {
        for (std::size_t m = 0; m < top.size(); ++m) {
            if (points[l].Value > points[top[m]].Value) {
                std::copy_backward(top.begin() + m, top.end() - 1, top.end());
                top[m] = l;
                break;
            }
        }
    }
    return top;
}

void ComputeBreakthroughTimes(ExperimentRecord &record, WindowScreening screening)
{
    AnalysisResults &results = record.Results;
    results.SlopeWindow = SlopeWindowLength;
    // Written only when found; a stale time from an earlier test must not survive.
    results.MinimumBreakthroughTime = NeverReached;
    const std::span<const DataPoint> points = UsedPoints(record);
    if (points.empty()) {
        ClearBreakthroughResults(record);
        return;
    }
    results.TopIndices = TopIndices(points);
    const int peak = results.TopIndices[0];
    ComputeRiseSlopeThreshold(results, points, peak);
    record.FirstValue = points[0].Value;
    record.FirstTime = points[0].Time;
    FindRise(results, points, MovingSlopes(points));
    ComputeBreakthroughDetectionTime(results, points, peak);
    if (IsOpenLoop(record)) {
        ComputeOpenLoopTimes(record, peak);
    } else {
        ComputeClosedLoopTimes(record, peak, screening);
    }
}

double LastSampleTime(const ExperimentRecord &record)
{
    const std::span<const DataPoint> points = UsedPoints(record);
    return points.empty() ? 0.0 : points.back().Time;
}

bool IsTimeShown(const ExperimentRecord &record, double time)
{
    return time > 0 && time <= LastSampleTime(record);
}
