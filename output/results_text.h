#pragma once

// The results text: the report shown in the main window, saved as a text file and printed.
// Windows-1252 bytes ("µ" 0xB5, "²" 0xB2), lines ending in CR LF.

#include "analysis.h"
#include "experiment_record.h"

#include <string>

// Rebuilt wholesale from the record after every analysis.
std::string BuildResultsText(const ExperimentRecord &record);

// Builds the results text when an analysis completes, for callers without a window:
//     ResultsTextCollector results;
//     RunAnalysis(record, results);   // then results.Text()
class ResultsTextCollector : public AnalysisObserver
{
public:
    void ExposedAreaChanged(const ExperimentRecord &) override { }
    void AnalysisCompleted(ExperimentRecord &record) override { text_ = BuildResultsText(record); }
    const std::string &Text() const { return text_; }

private:
    std::string text_;
};
