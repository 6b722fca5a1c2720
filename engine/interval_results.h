#pragma once

// The results the operator asks for over chosen times: cumulative permeation at a time,
// the time a cumulative mass is reached and the average rate between two times, plus the
// test duration and the rate the method detection limit corresponds to.
//
// Cumulative permeation is mass per area. A closed loop accumulates it in the medium, so
// it is Q at a time; an open loop carries it away, so it is the time integral of the rate
// (trapezoid rule).

#include "experiment_record.h"

#include <optional>

// Analysis step 4: CumulativeTime, CumulativeTimeIndex, CumulativeAtTime.
void ComputeCumulativeAtTime(ExperimentRecord &record);

// Analysis step 5: ElapsedTimeToTarget, 0 when the target mass is never reached.
void ComputeTimeToTarget(ExperimentRecord &record);

// Average permeation rate between AverageStartText and AverageEndText, µg/(cm²·min);
// negative rates become 0, and with fewer than 2 points it is 0.
double AverageRate(const ExperimentRecord &record);

// Hours from the start of the test to the last point.
double TestDurationHours(const ExperimentRecord &record);

// Open loop with a constant flow and a method detection limit above 0 only:
// (MDL × F) / A / 1000 in µg/(cm²·min), the MDL being in µg/mL.
std::optional<double> DetectionLimitRate(const ExperimentRecord &record);
