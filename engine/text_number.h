#pragma once

// Numbers typed by the operator or read from a worksheet are kept as texts and read
// with the C library's atof / atoi rules: leading blanks, optional sign, the longest
// leading number, anything after it ignored, 0 when there is none. Always in the "C"
// locale, so "1.5" is one and a half whatever the desktop's language.

#include <string_view>

double LeadingNumber(std::string_view text);
int LeadingInteger(std::string_view text);
