#pragma once

// Analysis step 3: the landmarks of the permeation curve (the seven highest readings, the
// end of the steady rise, the breakthrough index) and the four breakthrough times. Every
// time is solved on a local quadratic model, so it falls between sampling times.
//
// A time of -1 means the level was exceeded from the first point, -2 that it was never
// reached; any time counts as determined only in (0, last sampling time].

#include "experiment_record.h"

#include <array>
#include <span>

inline constexpr double ExceededFromStart = -1;
inline constexpr double NeverReached = -2;

// Indices of the seven highest readings, highest first; of equal readings the earlier
// one stands in front.
std::array<int, 7> TopIndices(std::span<const DataPoint> points);

// How the closed-loop sliding searches treat their windows: On screens them and fits with
// the solver only those the screen cannot rule out; Off fits every one, the plain search
// the screened one must always agree with.
enum class WindowScreening { On, Off };

void ComputeBreakthroughTimes(ExperimentRecord &record, WindowScreening screening = WindowScreening::On);

// Time of the last point used, 0 with no points.
double LastSampleTime(const ExperimentRecord &record);

// A time is reported only when it lies in (0, last sampling time]; NaN never does.
bool IsTimeShown(const ExperimentRecord &record, double time);
