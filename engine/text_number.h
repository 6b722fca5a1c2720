#pragma once

// Numbers typed by the operator or read from a worksheet are kept as texts and read
// with atof / atoi rules: leading blanks, optional sign, digits, optional decimal point
// and exponent, anything after the number ignored, 0 when there is none. Always in the
// "C" locale, so "1.5" is one and a half whatever the desktop's language. Only decimal
// numbers count: "nan", "inf" or "0x1A" in a cell read as 0 (or 0 before the "x"), never
// as a value that would poison every result.

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

// Where the leading decimal number of a text stands.
struct LeadingDecimal
{
    std::size_t begin = 0; // its sign or first digit, after the leading blanks
    std::size_t mantissaEnd = 0; // one past the mantissa (the exponent letter, if any)
    std::size_t end = 0; // one past the exponent's last digit, or mantissaEnd
};

std::optional<LeadingDecimal> FindLeadingDecimal(std::string_view text);

double LeadingNumber(std::string_view text);
int LeadingInteger(std::string_view text);

// printf formatting in the "C" locale: a desktop locale with a decimal comma must never
// reach a report, nor a cell text that is read back as a number.
std::string FormatInCLocale(const char *format, ...) __attribute__((format(printf, 1, 2)));
