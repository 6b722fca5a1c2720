#include "analysis.h"

#include "breakthrough.h"
#include "interval_results.h"
#include "permeation.h"
#include "result_texts.h"
#include "significant_figures.h"
#include "steady_state.h"

void RunAnalysis(ExperimentRecord &record, AnalysisObserver &observer, WindowScreening screening)
{
    ComputeExposedArea(record);
    observer.ExposedAreaChanged(record);
    ComputeResultPrecision(record);
    ComputeBreakthroughTimes(record, screening);
    ComputeCumulativeAtTime(record);
    ComputeTimeToTarget(record);
    ComputeSteadyStateRegion(record);
    FormatResults(record);
    ComputeAverageRateText(record);
    observer.AnalysisCompleted(record);
}
