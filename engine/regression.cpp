#include "regression.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <limits>

#include <interpolation.h>

LinearRegression::LinearRegression(const XYPoint *points, int count)
{
    for (int i = 0; i < count; ++i) {
        AddPoint(points[i].X(), points[i].Y());
    }
}

void LinearRegression::AddPoint(const double &x, const double &y)
{
    ++Count;
    SumX += x;
    SumY += y;
    SumXSquared += x * x;
    SumYSquared += y * y;
    SumXY += x * y;
    if (!HasData()) {
        return;
    }
    const double n = Count;
    const double denominator = n * SumXSquared - SumX * SumX;
    if (std::fabs(denominator) <= std::numeric_limits<double>::epsilon()) {
        InterceptValue = SlopeValue = DeterminationValue = CorrelationValue = StandardErrorValue = 0;
        return;
    }
    SlopeValue = (n * SumXY - SumY * SumX) / denominator;
    InterceptValue = (SumY - SlopeValue * SumX) / n;
    const double explained = SlopeValue * (SumXY - SumX * SumY / n);
    const double total = SumYSquared - SumY * SumY / n;
    const double unexplained = total - explained;
    DeterminationValue = explained / total;
    CorrelationValue = std::sqrt(DeterminationValue);
    StandardErrorValue = std::sqrt(unexplained / (n - 2));
}

namespace {

constexpr double NotDetermined = std::numeric_limits<double>::quiet_NaN();

// A quadratic needs three different times. With fewer, the least-squares problem has many
// solutions and the one returned is the solver's rounding (ten readings logged per minute
// give windows of one or two times).
bool HasThreeDistinctTimes(std::span<const DataPoint> window)
{
    std::array<double, 2> seen {};
    std::size_t count = 0;
    for (const DataPoint &point : window) {
        if (std::find(seen.begin(), seen.begin() + count, point.Time) != seen.begin() + count) {
            continue;
        }
        if (count == seen.size()) {
            return true;
        }
        seen[count++] = point.Time;
    }
    return false;
}

// Held readings are exactly that constant. A solver returns rounding noise in c1 and c2
// instead, and a time solved from the noise for a level equal to the readings lands
// anywhere in the window.
bool AllValuesEqual(std::span<const DataPoint> window)
{
    const double first = window.front().Value;
    return std::isfinite(first) && std::all_of(window.begin(), window.end(), [&](const DataPoint &point) {
        return point.Value == first;
    });
}

QuadraticCoefficients SolveLeastSquares(std::span<const DataPoint> window)
{
    const QuadraticCoefficients undetermined {NotDetermined, NotDetermined, NotDetermined};
    alglib::real_1d_array times;
    alglib::real_1d_array values;
    times.setlength(static_cast<alglib::ae_int_t>(window.size()));
    values.setlength(static_cast<alglib::ae_int_t>(window.size()));
    for (std::size_t i = 0; i < window.size(); ++i) {
        times[static_cast<alglib::ae_int_t>(i)] = window[i].Time;
        values[static_cast<alglib::ae_int_t>(i)] = window[i].Value;
    }
    try {
        alglib::ae_int_t info = 0;
        alglib::barycentricinterpolant polynomial;
        alglib::polynomialfitreport report;
        alglib::polynomialfit(
            times, values, static_cast<alglib::ae_int_t>(window.size()), 3, info, polynomial, report);
        if (info <= 0) {
            return undetermined;
        }
        alglib::real_1d_array coefficients;
        alglib::polynomialbar2pow(polynomial, coefficients);
        return {coefficients[0], coefficients[1], coefficients[2]};
    } catch (const alglib::ap_error &) {
        // Non-finite readings reach here; the fit is then simply not determined.
        return undetermined;
    }
}

} // namespace

QuadraticCoefficients FitQuadraticWindow(std::span<const DataPoint> points, int a, int b)
{
    if (a < 0 || b > static_cast<int>(points.size()) || b - a < 3) {
        return {NotDetermined, NotDetermined, NotDetermined};
    }
    const auto window = points.subspan(static_cast<std::size_t>(a), static_cast<std::size_t>(b - a));
    if (!HasThreeDistinctTimes(window)) {
        return {NotDetermined, NotDetermined, NotDetermined};
    }
    if (AllValuesEqual(window)) {
        return {window.front().Value, 0, 0};
    }
    return SolveLeastSquares(window);
}

int NearestIndex(std::span<const DataPoint> points, double x, int from, int to, PointColumn column)
{
    from = std::max(from, 0);
    to = std::min(to, static_cast<int>(points.size()));
    double best = 1000000;
    int result = 0;
    for (int i = from; i < to; ++i) {
        const DataPoint &point = points[static_cast<std::size_t>(i)];
        const double distance = std::fabs((column == PointColumn::Time ? point.Time : point.Value) - x);
        if (best > distance) {
            best = distance;
            result = i;
        }
    }
    return result;
}
