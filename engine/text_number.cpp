#include "text_number.h"

#include <array>
#include <climits>
#include <clocale>
#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <locale.h>
#include <string>

namespace {

// One "C" locale for the whole run: the process locale may use a decimal comma.
locale_t CLocale()
{
    static const locale_t cLocale = newlocale(LC_ALL_MASK, "C", static_cast<locale_t>(nullptr));
    return cLocale;
}

bool IsDigit(char c)
{
    return c >= '0' && c <= '9';
}

bool IsBlank(char c)
{
    return c == ' ' || (c >= '\t' && c <= '\r');
}

std::size_t SkipDigits(std::string_view text, std::size_t i)
{
    while (i < text.size() && IsDigit(text[i])) {
        ++i;
    }
    return i;
}

} // namespace

std::optional<LeadingDecimal> FindLeadingDecimal(std::string_view text)
{
    LeadingDecimal number;
    std::size_t i = 0;
    while (i < text.size() && IsBlank(text[i])) {
        ++i;
    }
    number.begin = i;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) {
        ++i;
    }
    const std::size_t integerEnd = SkipDigits(text, i);
    bool sawDigit = integerEnd > i;
    i = integerEnd;
    if (i < text.size() && text[i] == '.') {
        const std::size_t fractionEnd = SkipDigits(text, i + 1);
        sawDigit = sawDigit || fractionEnd > i + 1;
        i = fractionEnd;
    }
    if (!sawDigit) {
        return std::nullopt;
    }
    number.mantissaEnd = i;
    number.end = i;
    if (i < text.size() && (text[i] == 'e' || text[i] == 'E')) {
        std::size_t j = i + 1;
        if (j < text.size() && (text[j] == '+' || text[j] == '-')) {
            ++j;
        }
        const std::size_t exponentEnd = SkipDigits(text, j);
        if (exponentEnd > j) {
            number.end = exponentEnd;
        }
    }
    return number;
}

double LeadingNumber(std::string_view text)
{
    const auto number = FindLeadingDecimal(text);
    if (!number) {
        return 0;
    }
    const std::string decimal(text.substr(number->begin, number->end - number->begin));
    return strtod_l(decimal.c_str(), nullptr, CLocale());
}

int LeadingInteger(std::string_view text)
{
    const std::string terminated(text);
    const long value = strtol_l(terminated.c_str(), nullptr, 10, CLocale());
    // atoi leaves overflow undefined; saturating keeps a hostile cell harmless.
    if (value > INT_MAX) {
        return INT_MAX;
    }
    if (value < INT_MIN) {
        return INT_MIN;
    }
    return static_cast<int>(value);
}

std::string FormatInCLocale(const char *format, ...)
{
    const locale_t previous = uselocale(CLocale());
    std::va_list arguments;
    va_start(arguments, format);
    std::va_list again;
    va_copy(again, arguments);
    // One pass for the usual short text; a longer one is formatted again at its length.
    std::array<char, 128> buffer;
    const int length = std::vsnprintf(buffer.data(), buffer.size(), format, arguments);
    std::string text;
    if (length > 0 && static_cast<std::size_t>(length) < buffer.size()) {
        text.assign(buffer.data(), static_cast<std::size_t>(length));
    } else if (length > 0) {
        text.resize(static_cast<std::size_t>(length) + 1);
        std::vsnprintf(text.data(), text.size(), format, again);
        text.resize(static_cast<std::size_t>(length));
    }
    va_end(again);
    va_end(arguments);
    uselocale(previous);
    return text;
}
