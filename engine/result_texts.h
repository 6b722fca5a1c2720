#pragma once

// Analysis step 7 and the precision of every reported number in one place. Each result
// carries no more significant figures or decimals than the least precise input it was
// computed from (the counts of analysis step 2).
//
// Texts are formatted whatever the value: a not-determined time (-1, -2) is formatted
// like any number, and the report writers decide from the numbers whether to show it.

#include "experiment_record.h"

#include <optional>
#include <string>

// Times, cumulative results, the maximum and single-point rates: ResultDigits / ResultDecimals.
std::string FormatResult(const ExperimentRecord &record, double value);

// Steady-state and average rates: also limited by the precision of the times.
std::string FormatRateResult(const ExperimentRecord &record, double value);

// Analysis step 7: every formatted result text except AverageRateText. A correlation
// factor that is not a finite number (a region of equal readings) reads "not defined".
void FormatResults(ExperimentRecord &record);

// Analysis step 8: AverageRateText.
void ComputeAverageRateText(ExperimentRecord &record);

// The numbers the report writers format themselves. A value that is not a finite number
// (an area or flow rate of 0) reads "not defined" instead of being printed.

// Hours, two decimals.
std::string FormatTestDuration(const ExperimentRecord &record);

// The detection-limit rate with the precision of the flow-rate, area and detection-limit
// texts, when it is defined.
std::optional<std::string> FormatDetectionLimitRate(const ExperimentRecord &record);

// The specimen's weight per unit area in g/m²: computed from grams and the exposed area,
// the text as entered for g/m², empty for any other unit.
std::string FormatWeightPerUnitArea(const ExperimentRecord &record);

// The open-loop permeation rate of one point.
std::string FormatPointRate(const ExperimentRecord &record, int index);

// Result texts as the reports print them: "not defined" when the number behind the text is
// not finite (an area of 0), never "inf" or "nan".
std::string ReportedSteadyRateText(const ExperimentRecord &record);
std::string ReportedElapsedTimeText(const ExperimentRecord &record);
std::string ReportedCumulativeText(const ExperimentRecord &record);
std::string ReportedAverageRateText(const ExperimentRecord &record);

inline constexpr const char *NotDefinedText = "not defined";
