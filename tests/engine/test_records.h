#pragma once

// Records built in memory for the analysis tests, and a relative-tolerance comparison.

#include "experiment_record.h"

#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <string>
#include <vector>

// |actual - expected| within tolerance × |expected| (absolute for an expected 0).
inline ::testing::AssertionResult RelativelyNear(double expected, double actual, double tolerance = 1e-12)
{
    const double allowed = expected == 0 ? tolerance : tolerance * std::fabs(expected);
    if (std::fabs(actual - expected) <= allowed) {
        return ::testing::AssertionSuccess();
    }
    return ::testing::AssertionFailure()
        << "expected " << expected << ", got " << actual << " (tolerance " << tolerance << ")";
}

inline void SetPoints(
    ExperimentRecord &record, const std::vector<double> &times, const std::vector<double> &values)
{
    record.Points = {};
    record.PointCount = static_cast<int>(values.size());
    for (std::size_t i = 0; i < values.size(); ++i) {
        record.Points[i].Time = times[i];
        record.Points[i].Value = values[i];
    }
    record.FirstTime = times.empty() ? 0 : times.front();
    record.LastTime = times.empty() ? 0 : times.back();
    record.TestStartTime = times.empty() ? 0 : times.front();
}

// One reading per minute from minute 0.
inline void SetReadingsPerMinute(ExperimentRecord &record, const std::vector<double> &values)
{
    std::vector<double> times;
    for (std::size_t i = 0; i < values.size(); ++i) {
        times.push_back(static_cast<double>(i));
    }
    SetPoints(record, times, values);
}

// Readings f(t) at t = 0, 1, ..., count - 1 minutes.
inline void SetReadingsPerMinute(ExperimentRecord &record, int count, const std::function<double(double)> &f)
{
    std::vector<double> values;
    for (int i = 0; i < count; ++i) {
        values.push_back(f(i));
    }
    SetReadingsPerMinute(record, values);
}

// Precision counts generous enough not to round the values the tests compare.
inline void SetFullPrecision(ExperimentRecord &record)
{
    record.InputPrecision = {12, 9, 12, 9, 12, 9};
    record.ResultDigits = 12;
    record.ResultDecimals = 9;
}

inline ExperimentRecord ClosedLoopRecord(const std::string &totalVolume, const std::string &area)
{
    ExperimentRecord record;
    record.Settings.LoopType = ClosedLoop;
    record.Settings.TotalVolume = totalVolume;
    record.Specimen.AreaMode = 0;
    record.Specimen.AreaText = area;
    record.ExposedAreaText = area;
    return record;
}

inline ExperimentRecord OpenLoopRecord(const std::string &flowRate, const std::string &area)
{
    ExperimentRecord record;
    record.Settings.LoopType = OpenLoop;
    record.Settings.FlowRate = flowRate;
    record.Specimen.AreaMode = 0;
    record.Specimen.AreaText = area;
    record.ExposedAreaText = area;
    return record;
}
