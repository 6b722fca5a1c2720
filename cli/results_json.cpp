#include "results_json.h"

#include "experiment_record.h"
#include "json_writer.h"
#include "text_encoding.h"

namespace {

void WriteText(JsonWriter &json, std::string_view key, const std::string &windows1252)
{
    json.Key(key).String(Encoding::Windows1252ToUtf8(windows1252));
}

void WritePoints(JsonWriter &json, const ExperimentRecord &record)
{
    json.Key("Points").BeginArray();
    for (const DataPoint &point : UsedPoints(record)) {
        json.BeginArray().Number(point.Time).Number(point.Value).EndArray();
    }
    json.EndArray();
}

void WriteResults(JsonWriter &json, const AnalysisResults &results)
{
    json.Key("Results").BeginObject();
    json.Key("SlopeWindow").Integer(results.SlopeWindow);
    json.Key("TopIndices").BeginArray();
    for (const int index : results.TopIndices) {
        json.Integer(index);
    }
    json.EndArray();
    json.Key("HalfToNinetySlope").Number(results.HalfToNinetySlope);
    json.Key("SlopeThreshold").Number(results.SlopeThreshold);
    json.Key("RiseRunLength").Integer(results.RiseRunLength);
    json.Key("RiseEndIndex").Integer(results.RiseEndIndex);
    json.Key("BestCorrelation").Number(results.BestCorrelation);
    json.Key("BestCorrelationIndex").Integer(results.BestCorrelationIndex);
    json.Key("ThresholdIndex").Integer(results.ThresholdIndex);
    json.Key("ThresholdValue").Number(results.ThresholdValue);
    json.Key("BreakthroughIndex").Integer(results.BreakthroughIndex);
    json.Key("BreakthroughDetectionTime").Number(results.BreakthroughDetectionTime);
    json.Key("StandardizedBreakthroughTime").Number(results.StandardizedBreakthroughTime);
    json.Key("NormalizedBreakthroughTime").Number(results.NormalizedBreakthroughTime);
    json.Key("MinimumBreakthroughTime").Number(results.MinimumBreakthroughTime);
    json.Key("SteadyStartIndex").Integer(results.SteadyStartIndex);
    json.Key("SteadyEndIndex").Integer(results.SteadyEndIndex);
    json.Key("SteadySlope").Number(results.SteadySlope);
    json.Key("SteadyRSquared").Number(results.SteadyRSquared);
    json.Key("TopThreeMeanValue").Number(results.TopThreeMeanValue);
    json.Key("CumulativeAtTime").Number(results.CumulativeAtTime);
    json.Key("CumulativeTime").Number(results.CumulativeTime);
    json.Key("CumulativeTimeIndex").Integer(results.CumulativeTimeIndex);
    json.Key("ElapsedTimeToTarget").Number(results.ElapsedTimeToTarget);
    WriteText(json, "DetectionTimeText", results.DetectionTimeText);
    WriteText(json, "StandardizedTimeText", results.StandardizedTimeText);
    WriteText(json, "NormalizedTimeText", results.NormalizedTimeText);
    WriteText(json, "SteadyRateText", results.SteadyRateText);
    WriteText(json, "RSquaredText", results.RSquaredText);
    json.Key("PeakTimeTexts").BeginArray();
    for (const std::string &text : results.PeakTimeTexts) {
        json.String(Encoding::Windows1252ToUtf8(text));
    }
    json.EndArray();
    WriteText(json, "PeakTimesMeanText", results.PeakTimesMeanText);
    WriteText(json, "RegionStartText", results.RegionStartText);
    WriteText(json, "RegionEndText", results.RegionEndText);
    WriteText(json, "CumulativeText", results.CumulativeText);
    WriteText(json, "ElapsedTimeText", results.ElapsedTimeText);
    WriteText(json, "AverageRateText", results.AverageRateText);
    json.EndObject();
}

} // namespace

void WriteResultsJson(std::ostream &out, const ExperimentRecord &record, const std::string &resultsText)
{
    JsonWriter json(out);
    json.BeginObject();
    json.Key("PointCount").Integer(record.PointCount);
    json.Key("FirstTime").Number(record.FirstTime);
    json.Key("LastTime").Number(record.LastTime);
    WriteText(json, "ExposedAreaText", record.ExposedAreaText);
    json.Key("AreaDigits").Integer(record.AreaDigits);
    json.Key("AreaDecimals").Integer(record.AreaDecimals);
    json.Key("ResultDigits").Integer(record.ResultDigits);
    json.Key("ResultDecimals").Integer(record.ResultDecimals);
    json.Key("InputPrecision").BeginArray();
    for (const int count : record.InputPrecision) {
        json.Integer(count);
    }
    json.EndArray();
    WritePoints(json, record);
    WriteResults(json, record.Results);
    WriteText(json, "ResultsText", resultsText);
    json.EndObject();
    out << '\n';
}
