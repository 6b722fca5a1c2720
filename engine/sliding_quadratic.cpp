#include "sliding_quadratic.h"

#include <algorithm>
#include <cmath>

namespace {

// Sums updated point by point gather rounding; rebuilding them every so many slides keeps
// that rounding a few hundred ulps at most.
constexpr int RebuildInterval = 32;
// A point entering further than this from the centre the sums were built on rebuilds them,
// so the powers of u stay small and the normal equations well scaled.
constexpr double MaximumUnit = 2;
// Windows with a smaller normalised determinant of the normal equations (about 0.03 for
// evenly spaced times) go to the solver: their times are too clustered for the screen.
constexpr double MinimumDeterminant = 1e-2;
// Rules a window out only when the rate at both ends of its span misses the level by more
// than this share of the magnitudes involved: far above the rounding by which the screen
// and the solver differ on a window that passes the determinant check.
constexpr double Margin = 1e-4;

double Determinant(double a, double b, double c, double d, double e, double f, double g, double h, double i)
{
    return a * (e * i - f * h) - b * (d * i - f * g) + c * (d * h - e * g);
}

} // namespace

void SlidingQuadratic::MoveTo(int a, int b)
{
    const bool slidOn = a == a_ + 1 && b == b_ + 1 && slides_ < RebuildInterval;
    if (slidOn && std::fabs(Unit(points_[b - 1].Time)) <= MaximumUnit) {
        Accumulate(points_[a_], -1);
        Accumulate(points_[b - 1], 1);
        a_ = a;
        b_ = b;
        ++slides_;
        return;
    }
    Rebuild(a, b);
}

void SlidingQuadratic::Rebuild(int a, int b)
{
    a_ = a;
    b_ = b;
    slides_ = 0;
    timePowers_ = {};
    weightedValues_ = {};
    valueSquares_ = 0;
    if (b <= a) {
        return;
    }
    const auto window = points_.subspan(a, b - a);
    const auto [earliest, latest] = std::minmax_element(
        window.begin(), window.end(), [](const DataPoint &x, const DataPoint &y) { return x.Time < y.Time; });
    centre_ = (earliest->Time + latest->Time) / 2;
    halfSpan_ = (latest->Time - earliest->Time) / 2;
    for (const DataPoint &point : window) {
        Accumulate(point, 1);
    }
}

void SlidingQuadratic::Accumulate(const DataPoint &point, double weight)
{
    const double u = Unit(point.Time);
    const double u2 = u * u;
    timePowers_[0] += weight;
    timePowers_[1] += weight * u;
    timePowers_[2] += weight * u2;
    timePowers_[3] += weight * u2 * u;
    timePowers_[4] += weight * u2 * u2;
    weightedValues_[0] += weight * point.Value;
    weightedValues_[1] += weight * u * point.Value;
    weightedValues_[2] += weight * u2 * point.Value;
    valueSquares_ += weight * point.Value * point.Value;
}

bool SlidingQuadratic::RateLevelOutside(double rate, double scale, double from, double to) const
{
    const auto &[s0, s1, s2, s3, s4] = timePowers_;
    const auto &[w0, w1, w2] = weightedValues_;
    const double det = Determinant(s0, s1, s2, s1, s2, s3, s2, s3, s4);
    // With no spread of times the unit is not finite and the determinant neither.
    if (!(det / (s0 * s0 * s0) >= MinimumDeterminant)) {
        return false;
    }
    // Cramer's rule for v ≈ c0 + c1·u + c2·u².
    const double c0 = Determinant(w0, s1, s2, w1, s2, s3, w2, s3, s4) / det;
    const double c1 = Determinant(s0, w0, s2, s1, w1, s3, s2, w2, s4) / det;
    const double c2 = Determinant(s0, s1, w0, s1, s2, w1, s2, s3, w2) / det;
    // The rate in time units is scale·(c1 + 2·c2·u) / half span.
    const double perUnit = scale / halfSpan_;
    const double uFrom = Unit(from);
    const double uTo = Unit(to);
    const double missFrom = perUnit * (c1 + 2 * c2 * uFrom) - rate;
    const double missTo = perUnit * (c1 + 2 * c2 * uTo) - rate;
    // Both fits round in proportion to the coefficients and the readings; the solver's
    // coefficients of raw time also carry the centre's distance from time 0.
    const double magnitude = std::fabs(rate)
        + std::fabs(perUnit)
            * (std::fabs(c0) + std::fabs(c1)
                + 2 * std::fabs(c2) * (std::fabs(uFrom) + std::fabs(uTo) + std::fabs(centre_ / halfSpan_))
                + std::sqrt(valueSquares_ / s0));
    const double margin = Margin * magnitude;
    return (missFrom > margin && missTo > margin) || (missFrom < -margin && missTo < -margin);
}
