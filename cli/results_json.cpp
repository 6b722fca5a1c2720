#include "results_json.h"

#include "experiment_record.h"
#include "text_encoding.h"

#include <cmath>
#include <nlohmann/json.hpp>

namespace {

using Json = nlohmann::ordered_json;

// JSON has no NaN or infinity; a result the analysis could not give is null.
Json Number(double value)
{
    return std::isfinite(value) ? Json(value) : Json(nullptr);
}

Json Text(const std::string &windows1252)
{
    return Encoding::Windows1252ToUtf8(windows1252);
}

Json Points(const ExperimentRecord &record)
{
    Json points = Json::array();
    for (const DataPoint &point : UsedPoints(record)) {
        points.push_back(Json::array({Number(point.Time), Number(point.Value)}));
    }
    return points;
}

Json PeakTimeTexts(const AnalysisResults &results)
{
    Json texts = Json::array();
    for (const std::string &text : results.PeakTimeTexts) {
        texts.push_back(Text(text));
    }
    return texts;
}

Json Results(const AnalysisResults &results)
{
    Json json;
    json["SlopeWindow"] = results.SlopeWindow;
    json["TopIndices"] = Json::array();
    for (const int index : results.TopIndices) {
        json["TopIndices"].push_back(index);
    }
    json["HalfToNinetySlope"] = Number(results.HalfToNinetySlope);
    json["SlopeThreshold"] = Number(results.SlopeThreshold);
    json["RiseRunLength"] = results.RiseRunLength;
    json["RiseEndIndex"] = results.RiseEndIndex;
    json["BestCorrelation"] = Number(results.BestCorrelation);
    json["BestCorrelationIndex"] = results.BestCorrelationIndex;
    json["ThresholdIndex"] = results.ThresholdIndex;
    json["ThresholdValue"] = Number(results.ThresholdValue);
    json["BreakthroughIndex"] = results.BreakthroughIndex;
    json["BreakthroughDetectionTime"] = Number(results.BreakthroughDetectionTime);
    json["StandardizedBreakthroughTime"] = Number(results.StandardizedBreakthroughTime);
    json["NormalizedBreakthroughTime"] = Number(results.NormalizedBreakthroughTime);
    json["MinimumBreakthroughTime"] = Number(results.MinimumBreakthroughTime);
    json["SteadyStartIndex"] = results.SteadyStartIndex;
    json["SteadyEndIndex"] = results.SteadyEndIndex;
    json["SteadySlope"] = Number(results.SteadySlope);
    json["SteadyRSquared"] = Number(results.SteadyRSquared);
    json["TopThreeMeanValue"] = Number(results.TopThreeMeanValue);
    json["CumulativeAtTime"] = Number(results.CumulativeAtTime);
    json["CumulativeTime"] = Number(results.CumulativeTime);
    json["CumulativeTimeIndex"] = results.CumulativeTimeIndex;
    json["ElapsedTimeToTarget"] = Number(results.ElapsedTimeToTarget);
    json["DetectionTimeText"] = Text(results.DetectionTimeText);
    json["StandardizedTimeText"] = Text(results.StandardizedTimeText);
    json["NormalizedTimeText"] = Text(results.NormalizedTimeText);
    json["SteadyRateText"] = Text(results.SteadyRateText);
    json["RSquaredText"] = Text(results.RSquaredText);
    json["PeakTimeTexts"] = PeakTimeTexts(results);
    json["PeakTimesMeanText"] = Text(results.PeakTimesMeanText);
    json["RegionStartText"] = Text(results.RegionStartText);
    json["RegionEndText"] = Text(results.RegionEndText);
    json["CumulativeText"] = Text(results.CumulativeText);
    json["ElapsedTimeText"] = Text(results.ElapsedTimeText);
    json["AverageRateText"] = Text(results.AverageRateText);
    return json;
}

} // namespace

std::string ResultsJson(const ExperimentRecord &record, const std::string &resultsText)
{
    Json json;
    json["PointCount"] = record.PointCount;
    json["FirstTime"] = Number(record.FirstTime);
    json["LastTime"] = Number(record.LastTime);
    json["ExposedAreaText"] = Text(record.ExposedAreaText);
    json["AreaDigits"] = record.AreaDigits;
    json["AreaDecimals"] = record.AreaDecimals;
    json["ResultDigits"] = record.ResultDigits;
    json["ResultDecimals"] = record.ResultDecimals;
    json["InputPrecision"] = Json::array();
    for (const int count : record.InputPrecision) {
        json["InputPrecision"].push_back(count);
    }
    json["Points"] = Points(record);
    json["Results"] = Results(record.Results);
    json["ResultsText"] = Text(resultsText);
    return json.dump() + '\n';
}
