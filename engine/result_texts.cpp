#include "result_texts.h"

#include "interval_results.h"
#include "permeation.h"
#include "significant_figures.h"
#include "steady_state.h"
#include "text_number.h"

#include <algorithm>
#include <cmath>
#include <span>

namespace {

constexpr double SquareCentimetresPerSquareMetre = 10000;

int TimeDigitCount(const ExperimentRecord &record)
{
    return record.InputPrecision[InputPrecisionSlot::TimeDigits];
}

int TimeDecimalCount(const ExperimentRecord &record)
{
    return record.InputPrecision[InputPrecisionSlot::TimeDecimals];
}

// Time of a point; with no points every index is 0 and there is no time to report.
double PointTime(const ExperimentRecord &record, int index)
{
    const std::span<const DataPoint> points = UsedPoints(record);
    return points.empty() ? 0.0 : points[index].Time;
}

double WeightPerUnitArea(const ExperimentRecord &record)
{
    return LeadingNumber(record.Specimen.SpecimenWeightText) / ExposedArea(record)
        * SquareCentimetresPerSquareMetre;
}

std::string FormatReportedNumber(double value, int digits, int decimals)
{
    return std::isfinite(value) ? FormatSignificant(value, digits, decimals) : NotDefinedText;
}

std::string ReportedText(double value, const std::string &text)
{
    return std::isfinite(value) ? text : std::string(NotDefinedText);
}

std::string FormatCorrelationFactor(const ExperimentRecord &record)
{
    const double rSquared = record.Results.SteadyRSquared;
    const auto &precision = record.InputPrecision;
    return FormatReportedNumber(rSquared, std::min(precision[ValueDigits], TimeDigitCount(record)),
        std::min(precision[ValueDecimals], TimeDecimalCount(record)));
}

} // namespace

std::string FormatResult(const ExperimentRecord &record, double value)
{
    return FormatSignificant(value, record.ResultDigits, record.ResultDecimals);
}

std::string FormatRateResult(const ExperimentRecord &record, double value)
{
    return FormatSignificant(value, std::min(record.ResultDigits, TimeDigitCount(record)),
        std::min(record.ResultDecimals, TimeDecimalCount(record)));
}

void FormatResults(ExperimentRecord &record)
{
    AnalysisResults &results = record.Results;
    const auto &top = results.TopIndices;
    results.SteadyRateText = FormatRateResult(record, SteadyStateRate(record));
    results.RSquaredText = FormatCorrelationFactor(record);
    const double peakTimesMean
        = (PointTime(record, top[0]) + PointTime(record, top[1]) + PointTime(record, top[2])) / 3;
    results.PeakTimesMeanText = FormatResult(record, peakTimesMean);
    results.CumulativeText = FormatResult(record, results.CumulativeAtTime);
    results.ElapsedTimeText = FormatResult(record, results.ElapsedTimeToTarget);
    for (std::size_t k = 0; k < results.PeakTimeTexts.size(); ++k) {
        results.PeakTimeTexts[k] = FormatResult(record, PointTime(record, top[k]));
    }
    results.DetectionTimeText = FormatResult(record, results.BreakthroughDetectionTime);
    results.StandardizedTimeText = FormatResult(record, results.StandardizedBreakthroughTime);
    results.NormalizedTimeText = FormatResult(record, results.NormalizedBreakthroughTime);
    if (!IsOpenLoop(record)) {
        results.RegionStartText = FormatResult(record, PointTime(record, results.SteadyStartIndex));
        results.RegionEndText = FormatResult(record, PointTime(record, results.SteadyEndIndex));
    }
}

void ComputeAverageRateText(ExperimentRecord &record)
{
    record.Results.AverageRateText = FormatRateResult(record, AverageRate(record));
}

std::string FormatTestDuration(const ExperimentRecord &record)
{
    return FormatInCLocale("%.2f", TestDurationHours(record));
}

std::optional<std::string> FormatDetectionLimitRate(const ExperimentRecord &record)
{
    const std::optional<double> rate = DetectionLimitRate(record);
    if (!rate) {
        return std::nullopt;
    }
    const TestSettings &settings = record.Settings;
    const std::string &area = record.Specimen.AreaText;
    const int digits = std::min({SignificantDigits(settings.FlowRate), SignificantDigits(area),
        SignificantDigits(settings.MethodDetectionLimit)});
    const int decimals = std::min({DecimalPlaces(settings.FlowRate), DecimalPlaces(area),
        DecimalPlaces(settings.MethodDetectionLimit)});
    return FormatReportedNumber(*rate, digits, decimals);
}

std::string FormatWeightPerUnitArea(const ExperimentRecord &record)
{
    const std::string &weight = record.Specimen.SpecimenWeightText;
    switch (record.Specimen.WeightUnit) {
    case 0:
        return FormatReportedNumber(WeightPerUnitArea(record),
            std::min(record.AreaDigits, SignificantDigits(weight)),
            std::min(record.AreaDecimals, DecimalPlaces(weight)));
    case 1:
        return weight;
    default:
        return {};
    }
}

std::string FormatPointRate(const ExperimentRecord &record, int index)
{
    return FormatReportedNumber(PointRate(record, index), record.ResultDigits, record.ResultDecimals);
}

std::string ReportedSteadyRateText(const ExperimentRecord &record)
{
    return ReportedText(SteadyStateRate(record), record.Results.SteadyRateText);
}

std::string ReportedElapsedTimeText(const ExperimentRecord &record)
{
    return ReportedText(record.Results.ElapsedTimeToTarget, record.Results.ElapsedTimeText);
}

std::string ReportedCumulativeText(const ExperimentRecord &record)
{
    return ReportedText(record.Results.CumulativeAtTime, record.Results.CumulativeText);
}

std::string ReportedAverageRateText(const ExperimentRecord &record)
{
    return ReportedText(AverageRate(record), record.Results.AverageRateText);
}
