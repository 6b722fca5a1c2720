#include "interval_results.h"

#include "permeation.h"
#include "regression.h"
#include "text_number.h"

#include <span>
#include <vector>

namespace {

double ClampNegativeToZero(double x)
{
    return x < 0 ? 0 : x;
}

// The trapezoid of the readings between point i - 1 and point i, µg·min/L.
double Trapezoid(std::span<const DataPoint> points, std::size_t i)
{
    return (points[i - 1].Value + points[i].Value) / 2 * (points[i].Time - points[i - 1].Time);
}

// Trapezoid integral of the readings from the first point to point k, µg·min/L.
double ReadingIntegral(std::span<const DataPoint> points, int k)
{
    double integral = 0;
    for (int i = 1; i <= k; ++i) {
        integral = integral + Trapezoid(points, static_cast<std::size_t>(i));
    }
    return integral;
}

// Closed loop: the reading interpolated between the nearest point and the next one (the
// nearest itself at the last point).
double ClosedLoopCumulative(const ExperimentRecord &record, double t, int r)
{
    const std::span<const DataPoint> points = UsedPoints(record);
    const int next = r + 1 < static_cast<int>(points.size()) ? r + 1 : r;
    const double a = points[r].Value;
    const double b = points[next].Value;
    if (a == b) {
        return (a * TotalVolume(record)) / SpecimenArea(record);
    }
    const double m = a + (b - a) * (t - points[r].Time) / (points[next].Time - points[r].Time);
    return (TotalVolume(record) / SpecimenArea(record)) * m;
}

// Open loop: the integral interpolated between the point before the nearest one and the
// nearest one (extrapolated along that interval for a time beyond the nearest point).
double OpenLoopCumulative(const ExperimentRecord &record, double t, int r)
{
    const std::span<const DataPoint> points = UsedPoints(record);
    const double previous = r > 0 ? ReadingIntegral(points, r - 1) : 0.0;
    const double current = ReadingIntegral(points, r);
    if (current == previous) {
        return (FlowRate(record) * current) / SpecimenArea(record);
    }
    return (FlowRate(record) / SpecimenArea(record))
        * (previous
            + (t - points[r - 1].Time) / (points[r].Time - points[r - 1].Time) * (current - previous));
}

// Cumulative mass per area at each point, as the target search accumulates it.
std::vector<double> CumulativeMasses(const ExperimentRecord &record)
{
    const std::span<const DataPoint> points = UsedPoints(record);
    const double area = SpecimenArea(record);
    std::vector<double> masses(points.size(), 0.0);
    if (IsOpenLoop(record)) {
        const double flow = FlowRate(record);
        for (std::size_t i = 1; i < points.size(); ++i) {
            masses[i] = masses[i - 1] + (Trapezoid(points, i) * flow) / area;
        }
    } else {
        const double volume = TotalVolume(record);
        for (std::size_t i = 0; i < points.size(); ++i) {
            masses[i] = (volume * points[i].Value) / area;
        }
    }
    return masses;
}

} // namespace

void ComputeCumulativeAtTime(ExperimentRecord &record)
{
    AnalysisResults &results = record.Results;
    const std::span<const DataPoint> points = UsedPoints(record);
    const double t = LeadingNumber(record.Specimen.CumulativeTimeText);
    const int r = NearestIndex(points, t, 0, static_cast<int>(points.size()), PointColumn::Time);
    results.CumulativeAtTime = 0;
    results.CumulativeTime = t;
    results.CumulativeTimeIndex = r;
    if (points.empty()) {
        return;
    }
    const double cumulative
        = IsOpenLoop(record) ? OpenLoopCumulative(record, t, r) : ClosedLoopCumulative(record, t, r);
    results.CumulativeAtTime = ClampNegativeToZero(cumulative);
}

void ComputeTimeToTarget(ExperimentRecord &record)
{
    const std::span<const DataPoint> points = UsedPoints(record);
    const double target = LeadingNumber(record.Specimen.TargetMassText);
    const std::vector<double> masses = CumulativeMasses(record);
    record.Results.ElapsedTimeToTarget = 0;
    // Point 0 is never examined: before point 1 the mass counts as 0.
    for (std::size_t i = 1; i < points.size(); ++i) {
        if (!(masses[i] >= target)) {
            continue;
        }
        const double previous = i == 1 ? 0.0 : masses[i - 1];
        double time = points[i - 1].Time;
        if (masses[i] != previous) {
            time = points[i - 1].Time
                + (points[i].Time - points[i - 1].Time) * (target - previous) / (masses[i] - previous);
        }
        record.Results.ElapsedTimeToTarget = ClampNegativeToZero(time);
        return;
    }
}

double AverageRate(const ExperimentRecord &record)
{
    const std::span<const DataPoint> points = UsedPoints(record);
    const int n = static_cast<int>(points.size());
    if (n < 2) {
        return 0;
    }
    const double start = LeadingNumber(record.Specimen.AverageStartText);
    const double end = LeadingNumber(record.Specimen.AverageEndText);
    int i1 = NearestIndex(points, start, 0, n, PointColumn::Time);
    int i2 = NearestIndex(points, end, 0, n, PointColumn::Time);
    if (i2 == i1) {
        // Both times nearest one point: the interval is extended to the next point, or
        // back from the last one.
        if (i1 == n - 1) {
            i1 = n - 2;
        }
        i2 = i1 + 1;
    }
    const double duration = points[i2].Time - points[i1].Time;
    if (IsOpenLoop(record)) {
        double sum = 0;
        for (int i = i1 + 1; i <= i2; ++i) {
            sum = sum + Trapezoid(points, static_cast<std::size_t>(i));
        }
        return ClampNegativeToZero(((FlowRate(record) * sum) / ExposedArea(record)) / duration);
    }
    // A negative reading counts as none.
    const double c2 = points[i2].Value > 0 ? points[i2].Value : 0.0;
    const double c1 = points[i1].Value > 0 ? points[i1].Value : 0.0;
    return ClampNegativeToZero(((c2 - c1) * TotalVolume(record)) / (duration * SpecimenArea(record)));
}

double TestDurationHours(const ExperimentRecord &record)
{
    const std::span<const DataPoint> points = UsedPoints(record);
    return points.empty() ? 0.0 : (points.back().Time - record.TestStartTime) / 60;
}

std::optional<double> DetectionLimitRate(const ExperimentRecord &record)
{
    const double limit = LeadingNumber(record.Settings.MethodDetectionLimit);
    if (!IsOpenLoop(record) || !IsConstantFlow(record.Settings) || !(limit > 0)) {
        return std::nullopt;
    }
    return (limit * FlowRate(record)) / SpecimenArea(record) / 1000;
}
