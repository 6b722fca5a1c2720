#pragma once

// The calibration curve typed in the Choice of Variable dialog: a polynomial in x (the
// analyzer output) giving y in µg/L, such as "y= 4x^2 - 2x + 1" or "4x^2 - 2x + 1".
//
// The reading rules are kept exactly as operators' stored equations have always been read,
// quirks included, because changing them would change the results of existing tests:
// - a bare "x" has coefficient 0 (write "1x"); "x^2" is the constant 2; "2X" is the constant 2;
// - an operator written straight after a term ("4x^2- 2x") ends that term and gives no
//   sign; only an operator preceded by a blank or standing at the start gives one;
// - a left side before "=" of three or more characters ("y  =") leaves no usable term,
//   and a text of fewer than three characters without "=" ("2x") is taken as a left side;
// - at most ten terms are read.

#include <string_view>
#include <vector>

struct CalibrationTerm
{
    double Coefficient = 0;
    int Exponent = 0;
    bool Negative = false;
};

inline constexpr int MaxCalibrationTerms = 10;

std::vector<CalibrationTerm> ParseCalibrationEquation(std::string_view equation);

// y for the analyzer output x; 0 when there is no term.
double EvaluateCalibration(const std::vector<CalibrationTerm> &terms, double x);
