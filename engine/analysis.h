#pragma once

// The analysis: one fixed sequence of steps over the record, each relying on what the
// earlier ones wrote. It shows nothing and cannot fail; a result that cannot be computed is
// left not determined and the results text words it.

#include "breakthrough.h"
#include "experiment_record.h"

// What the analysis tells whoever shows the record: the desktop program refreshes its
// fields and shows the results text, the batch tool collects the text.
class AnalysisObserver
{
public:
    virtual ~AnalysisObserver() = default;
    // The exposed area was computed and copied into the specimen's area text.
    virtual void ExposedAreaChanged(const ExperimentRecord &record) = 0;
    // Every result is in the record: time to build and show the results text.
    virtual void AnalysisCompleted(ExperimentRecord &record) = 0;
};

// Recomputes every result of the record from its points and entries. The callers check
// the total volume and the flow rate, which every calculation divides by, beforehand.
void RunAnalysis(
    ExperimentRecord &record, AnalysisObserver &observer, WindowScreening screening = WindowScreening::On);
