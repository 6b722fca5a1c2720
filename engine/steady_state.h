#pragma once

// Analysis step 6 and the rates derived from it. A closed loop accumulates the permeant,
// so in the steady state the mass grows linearly: the rate is the slope of a line fitted
// between 65 % and 85 % of the peak reading. An open loop measures the rate itself, which
// levels off: the rate is the mean of the three highest readings.

#include "experiment_record.h"

// SteadyStartIndex, SteadyEndIndex, SteadySlope, SteadyRSquared, TopThreeMeanValue.
void ComputeSteadyStateRegion(ExperimentRecord &record);

// µg/(cm²·min), over the exposed area; for a closed loop also the maximum rate reported
// when the steady state was not established.
double SteadyStateRate(const ExperimentRecord &record);

// A line through fewer than 3 readings has no slope; an open-loop rate always exists.
bool SteadyStateRateDetermined(const ExperimentRecord &record);

// Open-loop permeation rate of one point over the specimen's area text; 0 for an index
// outside the points (no points at all).
double PointRate(const ExperimentRecord &record, int index);
