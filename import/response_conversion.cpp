#include "response_conversion.h"

#include "calibration_equation.h"
#include "column_entry.h"
#include "experiment_record.h"
#include "significant_figures.h"
#include "text_number.h"

#include <algorithm>
#include <limits>
#include <tuple>
#include <utility>

namespace {

constexpr double PpmToMicrogramsPerLitre = 0.0409;
constexpr double LowestReferenceFlowRate = 0.01;

const std::string &ReadingText(
    const ExperimentRecord &record, const std::vector<std::string> &list, int point)
{
    return ColumnEntry(list, record.SkippedRows + point);
}

bool FlowColumnUsable(const ExperimentRecord &record)
{
    if (!record.FlowColumnFound || !IsOpenLoop(record.Settings) || !IsVariableFlow(record.Settings)) {
        return false;
    }
    // A gap means the column is not a flow log; the last row is allowed to be empty.
    const auto &flows = record.FlowTexts;
    const auto from = std::min<std::size_t>(record.SkippedRows + 1, flows.size());
    const auto to = flows.empty() ? 0 : flows.size() - 1;
    return from >= to || std::none_of(flows.begin() + from, flows.begin() + to, [](const auto &text) {
        return text.empty();
    });
}

// The precision pair of a number as the data give it: the number rounded to the counts of
// its own "%f" text, then counted.
std::pair<int, int> PrecisionOf(double q)
{
    const std::string plain = FormatPlain(q);
    const std::string rounded = FormatSignificant(q, SignificantDigits(plain), DecimalPlaces(plain));
    return {SignificantDigits(rounded), DecimalPlaces(rounded)};
}

template<typename Member>
std::pair<int, int> SmallestPrecision(const ExperimentRecord &record, Member member)
{
    const int count = std::max(record.PointCount, 1);
    std::pair<int, int> smallest {std::numeric_limits<int>::max(), std::numeric_limits<int>::max()};
    for (int i = 0; i < count; ++i) {
        const auto [digits, decimals] = PrecisionOf(record.Points[i].*member);
        smallest = {std::min(smallest.first, digits), std::min(smallest.second, decimals)};
    }
    return smallest;
}

} // namespace

void ConvertResponses(ExperimentRecord &record)
{
    const TestSettings &settings = record.Settings;
    const auto terms = ParseCalibrationEquation(settings.CalibrationEquation);
    for (int i = 0; i < record.PointCount; ++i) {
        double &value = record.Points[i].Value;
        value = 0;
        switch (settings.ResponseFormat) {
        case ConcentrationMicrogramsPerLitre:
            value = LeadingNumber(ReadingText(record, record.ConcentrationTexts, i));
            break;
        case ConcentrationPpm:
            value = LeadingNumber(ReadingText(record, record.ConcentrationTexts, i))
                * LeadingNumber(settings.MolecularWeight) * PpmToMicrogramsPerLitre;
            break;
        case CalibratedAnalyzerOutput:
            value = EvaluateCalibration(terms, LeadingNumber(ReadingText(record, record.AnalyzerTexts, i)));
            break;
        }
    }
}

void ApplyFlowColumn(ExperimentRecord &record)
{
    record.FlowColumnInUse = FlowColumnUsable(record) ? 1 : 0;
    if (!record.FlowColumnInUse) {
        return;
    }
    for (int i = 0; i < record.PointCount; ++i) {
        record.Points[i].Flow = LeadingNumber(ReadingText(record, record.FlowTexts, i));
    }
    // Once Data Input has shown, the operator has seen the reference; a re-read after
    // "Back" keeps it. Without one yet (0) it is taken now rather than divided by.
    if (record.DataInputFirstShow || record.ReferenceFlowRate <= 0) {
        record.ReferenceFlowRate = std::max(record.Points[0].Flow, LowestReferenceFlowRate);
        record.Settings.FlowRate = FormatPlain(record.ReferenceFlowRate);
    }
    for (int i = 0; i < record.PointCount; ++i) {
        DataPoint &point = record.Points[i];
        point.Value = point.Value * point.Flow / record.ReferenceFlowRate;
    }
}

void CorrectDiscreteSamples(ExperimentRecord &record)
{
    const TestSettings &settings = record.Settings;
    if (!IsClosedLoop(settings) || !IsDiscreteSampling(settings)) {
        return;
    }
    const double total = LeadingNumber(settings.TotalVolume);
    const bool replaced = IsVolumeReplaced(settings);
    const double sample = LeadingNumber(replaced ? settings.VolumeReplaced : settings.VolumeRemoved);
    // ASTM F 739 and ISO 6529 sum the concentrations as measured, before their correction.
    double measuredBefore = 0;
    for (int i = 0; i < record.PointCount; ++i) {
        double &value = record.Points[i].Value;
        const double measured = value;
        if (replaced) {
            value = value + sample * measuredBefore / total;
        } else {
            value = ((total - i * sample) * value + sample * measuredBefore) / total;
        }
        measuredBefore += measured;
    }
}

void RecordInputPrecision(ExperimentRecord &record)
{
    auto &precision = record.InputPrecision;
    std::tie(precision[ValueDigits], precision[ValueDecimals]) = SmallestPrecision(record, &DataPoint::Value);
    std::tie(precision[TimeDigits], precision[TimeDecimals]) = SmallestPrecision(record, &DataPoint::Time);
    if (record.FlowColumnInUse) {
        std::tie(precision[FlowDigits], precision[FlowDecimals])
            = SmallestPrecision(record, &DataPoint::Flow);
    } else {
        precision[FlowDigits] = 0;
        precision[FlowDecimals] = 0;
    }
}
