#pragma once

// The permeation model every calculation shares: the exposed area, the per-point quantity
// Q(i) = (X × v(i)) / A with X the total volume (closed loop) or the flow rate (open loop),
// and its local quadratic model. A closed loop accumulates the permeant in a fixed volume,
// so Q is the cumulative mass per area; an open loop carries it away, so Q is the rate.
//
// Vt, F and A are read from their texts by each calculation: the texts are the entries as
// typed, and nothing else holds their numbers. A calculation over many points reads them
// once (QuantityScale), as they cannot change while it runs.

#include "experiment_record.h"
#include "regression.h"

#include <span>

bool IsOpenLoop(const ExperimentRecord &record);

// The number of points every calculation may read (UsedPoints).
int UsedPointCount(const ExperimentRecord &record);

double TotalVolume(const ExperimentRecord &record); // Vt, L
double FlowRate(const ExperimentRecord &record); // F, L/min
// X of the model: Vt for a closed loop, F for an open loop.
double LoopMultiplier(const ExperimentRecord &record);

// A as the model reads it (ExposedAreaText) and as the interval results and single-point
// rates read it (the specimen's AreaText). The first analysis step makes the two texts equal.
double ExposedArea(const ExperimentRecord &record);
double SpecimenArea(const ExperimentRecord &record);

// Analysis step 1: ExposedAreaText from the area or the diameter entered ("" and "0" count
// as not entered and keep the earlier text), then copied into the specimen's AreaText so the
// Data Input dialog shows the area actually used.
void ComputeExposedArea(ExperimentRecord &record);

// X and A of the model as their texts read.
struct QuantityScale
{
    double Multiplier = 0;
    double Area = 0;
};

QuantityScale ReadQuantityScale(const ExperimentRecord &record);

// Q of a reading: (X × v) / A.
double Quantity(const QuantityScale &scale, double value);

// Q of point `index`.
double PointQuantity(const ExperimentRecord &record, int index);

// The quadratic model of Q over points [a, b): the least-squares quadratic of the readings,
// each coefficient scaled by X / A (multiplied first, divided after).
QuadraticCoefficients FitQuantity(const ExperimentRecord &record, int a, int b);
QuadraticCoefficients FitQuantity(
    std::span<const DataPoint> points, const QuantityScale &scale, int a, int b);

// Index 0 doubles as "none" in the crossing search; Found tells the two apart.
struct Crossing
{
    int Index = 0;
    bool Found = false;
};

// Among the pairs of points before `limit` where Q rises through `threshold`, the point
// nearest the threshold; a later crossing replaces an earlier one only when nearer still.
Crossing FirstCrossing(const ExperimentRecord &record, double threshold, int limit);

// The solution of q0 + q1·t + q2·t² = level nearest tref (a tie takes the smaller-sign
// root r2); NaN when there is no real solution.
double RootNearest(const QuadraticCoefficients &q, double level, double tref);

// Least-squares line of Value against Time over points [from, to), clipped to the points.
LinearRegression FitLine(std::span<const DataPoint> points, int from, int to);
