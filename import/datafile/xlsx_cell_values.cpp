#include "xlsx_cell_values.h"

#include "date_serial.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdint>

namespace DataFile {

namespace {

// Larger than any sheet's rows or columns, small enough that +1 cannot overflow an int.
constexpr std::int64_t Saturated = 1 << 30;

bool IsDigit(char c)
{
    return c >= '0' && c <= '9';
}

bool IsLetter(char c)
{
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
}

// The decimal digits at the start of `text`, saturating; none when there are none.
std::optional<std::int64_t> TakeDigits(std::string_view &text)
{
    std::size_t count = 0;
    std::int64_t value = 0;
    while (count < text.size() && IsDigit(text[count])) {
        value = std::min(value * 10 + (text[count] - '0'), Saturated);
        ++count;
    }
    text.remove_prefix(count);
    return count == 0 ? std::nullopt : std::optional(value);
}

// Exactly `count` digits at the start of `text`.
std::optional<int> TakeFixedDigits(std::string_view &text, std::size_t count)
{
    if (text.size() < count) {
        return std::nullopt;
    }
    std::string_view digits = text.substr(0, count);
    const auto value = TakeDigits(digits);
    if (!value || !digits.empty()) {
        return std::nullopt;
    }
    text.remove_prefix(count);
    return static_cast<int>(*value);
}

bool TakeChar(std::string_view &text, char c)
{
    if (!text.starts_with(c)) {
        return false;
    }
    text.remove_prefix(1);
    return true;
}

std::string_view Trimmed(std::string_view text)
{
    constexpr std::string_view Blanks = " \t\r\n";
    const std::size_t first = text.find_first_not_of(Blanks);
    if (first == std::string_view::npos) {
        return {};
    }
    return text.substr(first, text.find_last_not_of(Blanks) - first + 1);
}

// "YYYY-MM-DD" as a serial day number.
std::optional<double> TakeDate(std::string_view &text, bool dates1904)
{
    const auto year = TakeFixedDigits(text, 4);
    if (!year || !TakeChar(text, '-')) {
        return std::nullopt;
    }
    const auto month = TakeFixedDigits(text, 2);
    if (!month || *month < 1 || *month > 12 || !TakeChar(text, '-')) {
        return std::nullopt;
    }
    const auto day = TakeFixedDigits(text, 2);
    if (!day || !IsCalendarDate(*year, *month, *day)) {
        return std::nullopt;
    }
    return static_cast<double>(SerialDay(*year, *month, *day, dates1904));
}

// "HH:MM[:SS[.fraction]]" as a fraction of a day.
std::optional<double> TakeTime(std::string_view &text)
{
    const auto hours = TakeFixedDigits(text, 2);
    if (!hours || *hours > 23 || !TakeChar(text, ':')) {
        return std::nullopt;
    }
    const auto minutes = TakeFixedDigits(text, 2);
    if (!minutes || *minutes > 59) {
        return std::nullopt;
    }
    double seconds = 0;
    if (TakeChar(text, ':')) {
        const char *last = text.data() + text.size();
        const auto [end, error] = std::from_chars(text.data(), last, seconds, std::chars_format::fixed);
        if (error != std::errc() || !(seconds >= 0 && seconds < 61)) {
            return std::nullopt;
        }
        text.remove_prefix(static_cast<std::size_t>(end - text.data()));
    }
    return (*hours * 3600.0 + *minutes * 60.0 + seconds) / 86400.0;
}

} // namespace

std::optional<CellPosition> ParseCellReference(std::string_view reference)
{
    std::int64_t column = 0;
    std::size_t letters = 0;
    for (; letters < reference.size() && IsLetter(reference[letters]); ++letters) {
        const int letter = (reference[letters] & ~0x20) - 'A' + 1;
        column = std::min(column * 26 + letter, Saturated);
    }
    reference.remove_prefix(letters);
    const auto row = TakeDigits(reference);
    if (letters == 0 || !row || *row == 0 || !reference.empty()) {
        return std::nullopt;
    }
    return CellPosition {static_cast<int>(*row - 1), static_cast<int>(column - 1)};
}

std::optional<int> ParseRowNumber(std::string_view number)
{
    const auto row = TakeDigits(number);
    if (!row || *row == 0 || !number.empty()) {
        return std::nullopt;
    }
    return static_cast<int>(*row - 1);
}

std::optional<std::size_t> ParseIndex(std::string_view number)
{
    number = Trimmed(number);
    const auto index = TakeDigits(number);
    if (!index || !number.empty()) {
        return std::nullopt;
    }
    return static_cast<std::size_t>(*index);
}

std::optional<double> ParseNumber(std::string_view text)
{
    text = Trimmed(text);
    if (text.starts_with('+')) {
        text.remove_prefix(1);
    }
    double value = 0;
    const char *last = text.data() + text.size();
    const auto [end, error] = std::from_chars(text.data(), last, value);
    if (error != std::errc() || end != last || !std::isfinite(value)) {
        return std::nullopt;
    }
    return value;
}

std::optional<double> IsoDateSerial(std::string_view text, bool dates1904)
{
    text = Trimmed(text);
    double serial = 0;
    const bool hasDate = text.size() > 2 && text[2] != ':';
    if (hasDate) {
        const auto day = TakeDate(text, dates1904);
        if (!day) {
            return std::nullopt;
        }
        serial = *day;
    }
    if (!hasDate || TakeChar(text, 'T')) {
        const auto time = TakeTime(text);
        if (!time) {
            return std::nullopt;
        }
        serial += *time;
    }
    TakeChar(text, 'Z');
    return text.empty() ? std::optional(serial) : std::nullopt;
}

} // namespace DataFile
