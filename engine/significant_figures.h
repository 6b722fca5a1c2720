#pragma once

// Results are reported with no more precision than the least precise input: a digit
// count and a decimal count are taken from number texts as typed, and every result is
// printed with FormatSignificant.

#include <string>
#include <string_view>

struct ExperimentRecord;

// Characters other than a leading minus and the decimal point ("1.00" -> 3, "25" -> 2).
int SignificantDigits(std::string_view text);
// Characters after the first "."; the whole length when there is none ("25" -> 2).
int DecimalPlaces(std::string_view text);

// The two counts of x printed with "%f".
int NumberSignificantDigits(double x);
int NumberDecimalPlaces(double x);

// x printed with "%f" (six decimals).
std::string FormatPlain(double x);

// x printed with "%*.*f", in the "C" locale.
std::string FormatFixed(double x, int width, int decimals);

// x with `digits` significant figures and at most `decimalCap` decimals (-1: no cap);
// magnitudes below 1 are printed with six decimals.
std::string FormatSignificant(double x, int digits, int decimalCap);

// Analysis step 2: AreaDigits, AreaDecimals, ResultDigits, ResultDecimals, and the
// value and flow pairs of InputPrecision adjusted for the molecular weight and flow rate.
void ComputeResultPrecision(ExperimentRecord &record);
