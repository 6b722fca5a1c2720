#pragma once

// A quick screen for the closed-loop sliding searches: the least-squares quadratic of a
// window in closed form, from running sums that follow the window as it slides one point at
// a time. It only rules out windows whose rate crossing lies plainly outside their span;
// every time the analysis reports still comes from the solver's fit (FitQuadraticWindow).

#include "experiment_record.h"

#include <array>
#include <span>

class SlidingQuadratic
{
public:
    explicit SlidingQuadratic(std::span<const DataPoint> points)
        : points_(points)
    { }

    // Moves the window to points [a, b): in constant time when it moved one point on.
    void MoveTo(int a, int b);

    // True when the rate of the window's quadratic, scaled by `scale`, equals `rate` only at
    // times outside [from, to], by a margin far above what separates this fit from the
    // solver's. Never true for a window whose times leave the fit ill-conditioned or whose
    // numbers are not all finite.
    bool RateLevelOutside(double rate, double scale, double from, double to) const;

private:
    void Rebuild(int a, int b);
    void Accumulate(const DataPoint &point, double weight);
    double Unit(double time) const { return (time - centre_) / halfSpan_; }

    std::span<const DataPoint> points_;
    int a_ = 0;
    int b_ = 0;
    int slides_ = 0;
    // Times enter as u = (t - centre) / half span, so the sums stay well scaled wherever
    // the window lies on the time axis.
    double centre_ = 0;
    double halfSpan_ = 0;
    std::array<double, 5> timePowers_ {}; // Σu^k, k = 0 to 4
    std::array<double, 3> weightedValues_ {}; // Σu^k·v, k = 0 to 2
    double valueSquares_ = 0; // Σv²
};
