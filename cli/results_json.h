#pragma once

// The results of `orvane-batch analyze --json`: the data as read, the precision counts,
// every analysis result under its record name, and the results text, all texts in UTF-8.

#include <string>

struct ExperimentRecord;

// One compact JSON object and a line feed.
std::string ResultsJson(const ExperimentRecord &record, const std::string &resultsText);
