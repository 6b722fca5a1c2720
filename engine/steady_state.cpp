#include "steady_state.h"

#include "permeation.h"
#include "regression.h"

#include <cmath>
#include <span>

namespace {

constexpr int MinimumRegionPoints = 3;
// The steady region lies between 65 % and 85 % of the peak reading: past the bend of the
// rise, short of the flattening near the peak.
constexpr double SteadyStartPeakFraction = 0.65;
constexpr double SteadyEndPeakFraction = 0.85;

} // namespace

void ComputeSteadyStateRegion(ExperimentRecord &record)
{
    AnalysisResults &results = record.Results;
    results.SteadySlope = 0;
    results.SteadyRSquared = 0;
    results.SteadyStartIndex = results.BreakthroughIndex;
    results.SteadyEndIndex = results.BreakthroughIndex;
    // Reported for an open loop only; cleared so a closed loop never carries an earlier test's mean.
    results.TopThreeMeanValue = 0;
    const std::span<const DataPoint> points = UsedPoints(record);
    if (points.empty()) {
        return;
    }
    const int peak = results.TopIndices[0];
    const double peakValue = points[peak].Value;
    // Fractions of the peak reading itself, no baseline.
    results.SteadyStartIndex = NearestIndex(
        points, peakValue * SteadyStartPeakFraction, results.BreakthroughIndex, peak, PointColumn::Value);
    results.SteadyEndIndex = NearestIndex(
        points, peakValue * SteadyEndPeakFraction, results.BreakthroughIndex, peak, PointColumn::Value);
    const LinearRegression line = FitLine(points, results.SteadyStartIndex, results.SteadyEndIndex);
    results.SteadySlope = line.Slope();
    results.SteadyRSquared = std::pow(line.Correlation(), 2);
    if (IsOpenLoop(record)) {
        const auto &top = results.TopIndices;
        results.TopThreeMeanValue = (points[top[0]].Value + points[top[1]].Value + points[top[2]].Value) / 3;
    }
}

double SteadyStateRate(const ExperimentRecord &record)
{
    const AnalysisResults &results = record.Results;
    if (IsOpenLoop(record)) {
        return (FlowRate(record) * results.TopThreeMeanValue) / ExposedArea(record);
    }
    return (TotalVolume(record) * results.SteadySlope) / ExposedArea(record);
}

bool SteadyStateRateDetermined(const ExperimentRecord &record)
{
    const AnalysisResults &results = record.Results;
    return IsOpenLoop(record) || results.SteadyEndIndex - results.SteadyStartIndex >= MinimumRegionPoints;
}

double PointRate(const ExperimentRecord &record, int index)
{
    const std::span<const DataPoint> points = UsedPoints(record);
    const double value = index >= 0 && index < static_cast<int>(points.size()) ? points[index].Value : 0.0;
    return (FlowRate(record) * value) / SpecimenArea(record);
}
