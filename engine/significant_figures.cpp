#include "significant_figures.h"

#include "experiment_record.h"
#include "text_number.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <cmath>
#include <cstdlib>
#include <string>

namespace {

// A number text with an exponent ("1.5e-3") is counted in its plain decimal form
// ("0.0015"), so both exponent letters and both signs follow the same rules.
std::string PlainDecimal(std::string_view mantissa, long exponent)
{
    const bool negative = !mantissa.empty() && mantissa[0] == '-';
    if (!mantissa.empty() && (mantissa[0] == '-' || mantissa[0] == '+')) {
        mantissa.remove_prefix(1);
    }
    std::string digits;
    long pointPosition = -1;
    for (char c : mantissa) {
        if (c == '.') {
            pointPosition = static_cast<long>(digits.size());
        } else {
            digits += c;
        }
    }
    if (pointPosition < 0) {
        pointPosition = static_cast<long>(digits.size());
    }
    const long point = pointPosition + exponent;
    const long count = static_cast<long>(digits.size());
    std::string plain;
    if (point <= 0) {
        plain = "0." + std::string(static_cast<std::size_t>(-point), '0') + digits;
    } else if (point >= count) {
        plain = digits + std::string(static_cast<std::size_t>(point - count), '0');
    } else {
        plain = digits.substr(0, static_cast<std::size_t>(point)) + "."
            + digits.substr(static_cast<std::size_t>(point));
    }
    const std::size_t integerEnd = std::min(plain.find('.'), plain.size());
    std::size_t leadingZeros = 0;
    while (leadingZeros + 1 < integerEnd && plain[leadingZeros] == '0') {
        ++leadingZeros;
    }
    plain.erase(0, leadingZeros);
    return (negative ? "-" : "") + plain;
}

// Exponents beyond any double are left as typed; such a text is no usable entry anyway.
constexpr long LargestConvertedExponent = 400;

std::string WithoutExponent(std::string_view text)
{
    const auto number = FindLeadingDecimal(text);
    if (!number || number->end == number->mantissaEnd) {
        return std::string(text);
    }
    const long exponent = std::strtol(
        std::string(text.substr(number->mantissaEnd + 1, number->end - number->mantissaEnd - 1)).c_str(),
        nullptr, 10);
    if (exponent > LargestConvertedExponent || exponent < -LargestConvertedExponent) {
        return std::string(text);
    }
    const std::string_view mantissa = text.substr(number->begin, number->mantissaEnd - number->begin);
    return std::string(text.substr(0, number->begin)) + PlainDecimal(mantissa, exponent)
        + std::string(text.substr(number->end));
}

int PlainSignificantDigits(const std::string &text)
{
    if (text.empty()) {
        return 0;
    }
    int n = static_cast<int>(text.size()) - 1;
    if (text[0] == '-') {
        --n;
    }
    if (text.find('.') == std::string::npos) {
        ++n;
    }
    return n;
}

int PlainDecimalPlaces(const std::string &text)
{
    const std::size_t point = text.find('.');
    if (point == std::string::npos) {
        return static_cast<int>(text.size());
    }
    return static_cast<int>(text.size() - point - 1);
}

// Exact for every power a double holds exactly; no pow() rounding.
double PowerOfTen(int k)
{
    double power = 1;
    for (int i = 0; i < k; ++i) {
        power *= 10;
    }
    return power;
}

// A real result below 0.0000005 in magnitude would read as 0.000000 with six decimals.
bool HiddenBySixDecimals(double x, const std::string &plain)
{
    return x != 0 && std::isfinite(x) && (plain == "0.000000" || plain == "-0.000000");
}

} // namespace

int SignificantDigits(std::string_view text)
{
    return PlainSignificantDigits(WithoutExponent(text));
}

int DecimalPlaces(std::string_view text)
{
    return PlainDecimalPlaces(WithoutExponent(text));
}

// The import formats every cell and every point: to_chars gives the
// same digits, correctly rounded alike, without printf's locale switch and its
// arbitrary-precision arithmetic. The largest double takes 309 integer digits.
std::string FormatFixed(double x, int width, int decimals)
{
    constexpr int LongestDecimals = 64;
    if (!std::isfinite(x) || width < 0 || decimals < 0 || decimals > LongestDecimals) {
        return FormatInCLocale("%*.*f", width, decimals, x);
    }
    std::array<char, 320 + LongestDecimals> text;
    const auto end
        = std::to_chars(text.data(), text.data() + text.size(), x, std::chars_format::fixed, decimals).ptr;
    const auto length = static_cast<int>(end - text.data());
    return std::string(static_cast<std::size_t>(std::max(width - length, 0)), ' ')
        + std::string(text.data(), end);
}

std::string FormatPlain(double x)
{
    return FormatFixed(x, 0, 6);
}

int NumberSignificantDigits(double x)
{
    return SignificantDigits(FormatPlain(x));
}

int NumberDecimalPlaces(double x)
{
    return DecimalPlaces(FormatPlain(x));
}

std::string FormatSignificant(double x, int digits, int decimalCap)
{
    if (digits <= 0 || x == 0 || !std::isfinite(x) || std::trunc(x) == 0) {
        const std::string plain = FormatPlain(x);
        return HiddenBySixDecimals(x, plain) ? FormatInCLocale("%.*E", std::max(digits, 1) - 1, x) : plain;
    }
    const double magnitude = std::fabs(std::trunc(x));
    const int integerDigits = static_cast<int>(std::log10(magnitude)) + 1;
    digits -= integerDigits;
    if (digits < 0) {
        const int k = -digits;
        const double roundingDigit = std::fmod(std::trunc(magnitude / PowerOfTen(k - 1)), 10.0);
        const double rounded
            = (std::trunc(magnitude / PowerOfTen(k)) + (roundingDigit >= 5 ? 1 : 0)) * PowerOfTen(k);
        x = std::copysign(rounded, x);
        digits = 0;
    }
    int decimals = digits;
    if (decimalCap != -1 && decimalCap < digits) {
        decimals = std::max(decimalCap, 0);
    }
    return FormatFixed(x, integerDigits, decimals);
}

void ComputeResultPrecision(ExperimentRecord &record)
{
    const TestSettings &settings = record.Settings;
    auto &precision = record.InputPrecision;
    record.AreaDigits = SignificantDigits(record.Specimen.AreaText);
    record.AreaDecimals = DecimalPlaces(record.Specimen.AreaText);

    if (settings.ResponseFormat == ConcentrationPpm) {
        precision[ValueDigits]
            = std::min(precision[ValueDigits], SignificantDigits(settings.MolecularWeight));
        precision[ValueDecimals]
            = std::min(precision[ValueDecimals], DecimalPlaces(settings.MolecularWeight));
    }

    if (IsClosedLoop(settings)) {
        record.ResultDigits
            = std::min({record.AreaDigits, SignificantDigits(settings.TotalVolume), precision[ValueDigits]});
        record.ResultDecimals
            = std::min({record.AreaDecimals, DecimalPlaces(settings.TotalVolume), precision[ValueDecimals]});
        return;
    }

    if (IsVariableFlow(settings)) {
        precision[ValueDigits] = std::min(precision[ValueDigits], precision[FlowDigits]);
        precision[ValueDecimals] = std::min(precision[ValueDecimals], precision[FlowDecimals]);
    } else {
        precision[FlowDigits] = SignificantDigits(settings.FlowRate);
        precision[FlowDecimals] = DecimalPlaces(settings.FlowRate);
    }
    record.ResultDigits = std::min({record.AreaDigits, precision[FlowDigits], precision[ValueDigits]});
    record.ResultDecimals
        = std::min({record.AreaDecimals, precision[FlowDecimals], precision[ValueDecimals]});
}
