#include "permeation.h"

#include "significant_figures.h"
#include "text_number.h"

#include <algorithm>
#include <cmath>

namespace {

constexpr double Pi = 3.141592653589793;
constexpr double CentimetresPerInch = 2.54;

bool IsEntered(const std::string &text)
{
    return !text.empty() && text != "0";
}

// The diameter text the chosen unit reads, or none for an unknown unit.
const std::string *DiameterText(const SpecimenInputs &specimen)
{
    switch (specimen.DiameterUnit) {
    case 0:
        return &specimen.DiameterInchText;
    case 1:
        return &specimen.DiameterCmText;
    default:
        return nullptr;
    }
}

double RadiusInCentimetres(const SpecimenInputs &specimen, const std::string &diameter)
{
    if (specimen.DiameterUnit == 0) {
        return LeadingNumber(diameter) * CentimetresPerInch / 2;
    }
    return LeadingNumber(diameter) / 2;
}

} // namespace

bool IsOpenLoop(const ExperimentRecord &record)
{
    return IsOpenLoop(record.Settings);
}

int UsedPointCount(const ExperimentRecord &record)
{
    return static_cast<int>(UsedPoints(record).size());
}

double TotalVolume(const ExperimentRecord &record)
{
    return LeadingNumber(record.Settings.TotalVolume);
}

double FlowRate(const ExperimentRecord &record)
{
    return LeadingNumber(record.Settings.FlowRate);
}

double LoopMultiplier(const ExperimentRecord &record)
{
    return IsOpenLoop(record) ? FlowRate(record) : TotalVolume(record);
}

double ExposedArea(const ExperimentRecord &record)
{
    return LeadingNumber(record.ExposedAreaText);
}

double SpecimenArea(const ExperimentRecord &record)
{
    return LeadingNumber(record.Specimen.AreaText);
}

void ComputeExposedArea(ExperimentRecord &record)
{
    SpecimenInputs &specimen = record.Specimen;
    if (specimen.AreaMode == 0) {
        if (IsEntered(specimen.AreaText)) {
            record.ExposedAreaText = specimen.AreaText;
        }
    } else if (specimen.AreaMode == 1) {
        const std::string *diameter = DiameterText(specimen);
        if (diameter != nullptr && IsEntered(*diameter)) {
            const double radius = RadiusInCentimetres(specimen, *diameter);
            const double area = radius * radius * Pi;
            // The area carries the precision of the diameter it was computed from.
            record.ExposedAreaText
                = FormatSignificant(area, SignificantDigits(*diameter), DecimalPlaces(*diameter));
        }
    }
    specimen.AreaText = record.ExposedAreaText;
}

QuantityScale ReadQuantityScale(const ExperimentRecord &record)
{
    return {LoopMultiplier(record), ExposedArea(record)};
}

double Quantity(const QuantityScale &scale, double value)
{
    return (scale.Multiplier * value) / scale.Area;
}

double PointQuantity(const ExperimentRecord &record, int index)
{
    return Quantity(ReadQuantityScale(record), UsedPoints(record)[index].Value);
}

QuadraticCoefficients FitQuantity(const ExperimentRecord &record, int a, int b)
{
    return FitQuantity(UsedPoints(record), ReadQuantityScale(record), a, b);
}

QuadraticCoefficients FitQuantity(std::span<const DataPoint> points, const QuantityScale &scale, int a, int b)
{
    const QuadraticCoefficients c = FitQuadraticWindow(points, a, b);
    return {Quantity(scale, c.c0), Quantity(scale, c.c1), Quantity(scale, c.c2)};
}

Crossing FirstCrossing(const ExperimentRecord &record, double threshold, int limit)
{
    const std::span<const DataPoint> points = UsedPoints(record);
    const QuantityScale scale = ReadQuantityScale(record);
    const int last = std::min(limit, static_cast<int>(points.size()) - 1);
    Crossing crossing;
    for (int g = 0; g < last; ++g) {
        const double below = Quantity(scale, points[g].Value);
        const double above = Quantity(scale, points[g + 1].Value);
        if (!(below < threshold && above >= threshold)) {
            continue;
        }
        crossing.Found = true;
        int &k = crossing.Index;
        if (k == 0) {
            k = g;
        }
        if (std::fabs(Quantity(scale, points[k].Value) - threshold) > std::fabs(below - threshold)) {
            k = g;
        }
        if (std::fabs(Quantity(scale, points[k].Value) - threshold) > std::fabs(above - threshold)) {
            k = g + 1;
        }
    }
    return crossing;
}

double RootNearest(const QuadraticCoefficients &q, double level, double tref)
{
    const double discriminant = std::pow(q.c1, 2) - 4 * q.c2 * (q.c0 - level);
    const double s = std::pow(discriminant, 0.5);
    const double r1 = -q.c1 / (2 * q.c2) + s / (2 * q.c2);
    const double r2 = -q.c1 / (2 * q.c2) - s / (2 * q.c2);
    return std::fabs(r2 - tref) > std::fabs(r1 - tref) ? r1 : r2;
}

LinearRegression FitLine(std::span<const DataPoint> points, int from, int to)
{
    // Fed point by point: the moving slopes fit one line per data point, with no allocation.
    LinearRegression line;
    for (int i = std::max(from, 0); i < std::min(to, static_cast<int>(points.size())); ++i) {
        line.AddPoint(points[i].Time, points[i].Value);
    }
    return line;
}
