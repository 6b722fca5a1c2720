#pragma once

// Least-squares helpers over the data points: a straight line that accumulates points,
// a quadratic over a window of points, and the nearest-point search.

#include "experiment_record.h"

#include <span>

class XYPoint
{
public:
    XYPoint() = default;
    XYPoint(double x, double y)
        : x_(x)
        , y_(y)
    { }
    double X() const { return x_; }
    double Y() const { return y_; }

private:
    double x_ = 0;
    double y_ = 0;
};

// The line y = a + b·x, recomputed after every point added. With fewer than 3 points, or
// with all x equal, every result is 0; a constant y gives a NaN correlation, which the
// rise search relies on to treat such a window as not correlated.
class LinearRegression
{
public:
    LinearRegression() = default;
    LinearRegression(const XYPoint *points, int count);
    virtual ~LinearRegression() = default;

    virtual void AddPoint(const double &x, const double &y);

    bool HasData() const { return Count > 2; }
    double Intercept() const { return InterceptValue; }
    double Slope() const { return SlopeValue; }
    double Determination() const { return DeterminationValue; }
    double Correlation() const { return CorrelationValue; }
    double StandardError() const { return StandardErrorValue; }

private:
    int Count = 0;
    double SumX = 0;
    double SumY = 0;
    double SumXSquared = 0;
    double SumYSquared = 0;
    double SumXY = 0;
    double InterceptValue = 0;
    double SlopeValue = 0;
    double DeterminationValue = 0;
    double CorrelationValue = 0; // never negative
    double StandardErrorValue = 0;
};

// v ≈ c0 + c1·t + c2·t².
struct QuadraticCoefficients
{
    double c0 = 0;
    double c1 = 0;
    double c2 = 0;
};

// Least-squares quadratic of Value against Time over points [a, b). A window outside the
// points or with fewer than 3 distinct times has no determined fit: the coefficients are
// NaN, so any time solved from them is not determined either. Readings that are all equal
// are that constant exactly (c1 = c2 = 0).
QuadraticCoefficients FitQuadraticWindow(std::span<const DataPoint> points, int a, int b);

enum class PointColumn { Time, Value };

// The index in [from, to) whose column is nearest x; the first of equally near points wins,
// and 0 is returned for an empty range or when every point is 1000000 or more away.
// The range is clipped to the points given.
int NearestIndex(std::span<const DataPoint> points, double x, int from, int to, PointColumn column);
