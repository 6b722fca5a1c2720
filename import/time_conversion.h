#pragma once

// Turns the time column into the elapsed minutes of every point, by the chosen TimeFormat.
//
// Minutes are taken as they stand. Time stamps ("YYYY/MM/DD HH:MM:SS", or a bare
// "HH:MM:SS" time of day) and spreadsheet date-time numbers count from the test's first
// time stamp: the first entry of the time column holding a valid time, even when that
// row's reading is zero and so is not a point.

#include "messages.h"

#include <string>
#include <string_view>
#include <vector>

struct ExperimentRecord;

// Writes Time of points 0 to PointCount - 1 (all points must already be zero) and
// TestStartTime. A time stamp that cannot be read shows the time-format message once; that
// point and every later one keep time 0 and the import goes on.
void ConvertTimes(ExperimentRecord &record, MessageSink &messages);

// Whether a time-column text holds a time in the given format: a number of minutes, a time
// stamp, or a spreadsheet day count above 0.
bool HoldsTime(std::string_view text, int timeFormat);

// The first entry of the time column holding a time; the list's size when none does.
int FirstEntryHoldingTime(const std::vector<std::string> &timeTexts, int timeFormat);
