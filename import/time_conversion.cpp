#include "time_conversion.h"

#include "column_entry.h"
#include "experiment_record.h"
#include "text_number.h"

#include <algorithm>
#include <charconv>
#include <chrono>
#include <optional>
#include <string_view>

namespace {

constexpr double SecondsPerDay = 24 * 60 * 60;

// A time stamp in seconds: since 1970-01-01 when the text carries a date, else since midnight.
struct ClockTime
{
    bool HasDate = false;
    double Seconds = 0;
};

class TextCursor
{
public:
    explicit TextCursor(std::string_view text)
        : rest(text)
    { }

    bool AtEnd() const { return rest.empty(); }

    int SkipBlanks()
    {
        int skipped = 0;
        while (!rest.empty() && (rest.front() == ' ' || rest.front() == '\t')) {
            rest.remove_prefix(1);
            ++skipped;
        }
        return skipped;
    }

    bool Take(char c)
    {
        if (rest.empty() || rest.front() != c) {
            return false;
        }
        rest.remove_prefix(1);
        return true;
    }

    std::optional<char> TakeOneOf(std::string_view choices)
    {
        if (rest.empty() || choices.find(rest.front()) == std::string_view::npos) {
            return std::nullopt;
        }
        const char c = rest.front();
        rest.remove_prefix(1);
        return c;
    }

    // Up to maxDigits decimal digits, at least one.
    std::optional<int> Integer(int maxDigits)
    {
        int value = 0;
        const auto *end = rest.data() + std::min<std::size_t>(rest.size(), maxDigits);
        const auto [next, error] = std::from_chars(rest.data(), end, value);
        if (error != std::errc() || next == rest.data() || rest.front() == '-' || rest.front() == '+') {
            return std::nullopt;
        }
        rest.remove_prefix(next - rest.data());
        return value;
    }

    // Digits with an optional fraction ("05", "05.25").
    std::optional<double> Decimal()
    {
        if (rest.empty() || rest.front() < '0' || rest.front() > '9') {
            return std::nullopt;
        }
        double value = 0;
        const auto [next, error]
            = std::from_chars(rest.data(), rest.data() + rest.size(), value, std::chars_format::fixed);
        if (error != std::errc()) {
            return std::nullopt;
        }
        rest.remove_prefix(next - rest.data());
        return value;
    }

private:
    std::string_view rest;
};

// "YYYY/MM/DD" or "YYYY-MM-DD" as days since 1970-01-01.
std::optional<double> ParseDate(TextCursor &cursor)
{
    const auto year = cursor.Integer(4);
    const auto separator = year ? cursor.TakeOneOf("/-") : std::nullopt;
    const auto month = separator ? cursor.Integer(2) : std::nullopt;
    const auto day = month && cursor.Take(*separator) ? cursor.Integer(2) : std::nullopt;
    if (!day) {
        return std::nullopt;
    }
    const std::chrono::year_month_day date {
        std::chrono::year(*year), std::chrono::month(*month), std::chrono::day(*day)};
    if (!date.ok()) {
        return std::nullopt;
    }
    return std::chrono::sys_days(date).time_since_epoch().count();
}

// "HH:MM:SS", the seconds possibly with decimals, as seconds since midnight.
std::optional<double> ParseTimeOfDay(TextCursor &cursor)
{
    const auto hours = cursor.Integer(9);
    const auto minutes = hours && cursor.Take(':') ? cursor.Integer(2) : std::nullopt;
    const auto seconds = minutes && cursor.Take(':') ? cursor.Decimal() : std::nullopt;
    if (!seconds || *minutes >= 60 || *seconds >= 60) {
        return std::nullopt;
    }
    return *hours * 3600.0 + *minutes * 60.0 + *seconds;
}

std::optional<ClockTime> ParseClockText(std::string_view text)
{
    TextCursor cursor(text);
    cursor.SkipBlanks();
    ClockTime clock;
    TextCursor dated = cursor;
    if (const auto days = ParseDate(dated); days && dated.SkipBlanks() > 0) {
        clock = {true, *days * SecondsPerDay};
        cursor = dated;
    }
    const auto timeOfDay = ParseTimeOfDay(cursor);
    cursor.SkipBlanks();
    if (!timeOfDay || !cursor.AtEnd()) {
        return std::nullopt;
    }
    clock.Seconds += *timeOfDay;
    return clock;
}

// Elapsed minutes since the first time stamp it was given. A bare time of day that goes
// backwards has passed midnight.
class ElapsedClock
{
public:
    double Minutes(const ClockTime &clock)
    {
        double seconds = clock.Seconds;
        if (!clock.HasDate) {
            if (lastTimeOfDay && clock.Seconds < *lastTimeOfDay) {
                dayOffset += SecondsPerDay;
            }
            lastTimeOfDay = clock.Seconds;
            seconds += dayOffset;
        }
        if (!origin) {
            origin = seconds;
        }
        return (seconds - *origin) / 60;
    }

private:
    std::optional<double> origin;
    std::optional<double> lastTimeOfDay;
    double dayOffset = 0;
};

void ConvertMinutes(ExperimentRecord &record)
{
    for (int i = 0; i < record.PointCount; ++i) {
        record.Points[i].Time = LeadingNumber(ColumnEntry(record.TimeTexts, record.SkippedRows + i));
    }
}

void ConvertTimeStamps(ExperimentRecord &record, MessageSink &messages)
{
    const int first = record.SkippedRows;
    ElapsedClock clock;
    for (int entry = 0; entry < first + record.PointCount; ++entry) {
        const auto stamp = ParseClockText(ColumnEntry(record.TimeTexts, entry));
        if (stamp) {
            const double minutes = clock.Minutes(*stamp);
            if (entry >= first) {
                record.Points[entry - first].Time = minutes;
            }
        } else if (entry >= first) {
            messages.Show("Error with time format",
                "There was an error with time format. Please go back and check the time format.");
            return;
        }
    }
}

// Days as a spreadsheet stores them; the numbers reach the list with six decimals.
void ConvertSpreadsheetDays(ExperimentRecord &record)
{
    const int first = record.SkippedRows;
    double origin = LeadingNumber(ColumnEntry(record.TimeTexts, first));
    for (int entry = 0; entry < first + record.PointCount; ++entry) {
        if (const double days = LeadingNumber(ColumnEntry(record.TimeTexts, entry)); days > 0) {
            origin = days;
            break;
        }
    }
    for (int i = 0; i < record.PointCount; ++i) {
        const double days = LeadingNumber(ColumnEntry(record.TimeTexts, first + i));
        record.Points[i].Time = (days - origin) * 24 * 60;
    }
}

} // namespace

void ConvertTimes(ExperimentRecord &record, MessageSink &messages)
{
    switch (record.Settings.TimeFormat) {
    case TimeInMinutes:
        ConvertMinutes(record);
        break;
    case TimeStampText:
        ConvertTimeStamps(record, messages);
        break;
    case TimeSpreadsheetSerial:
        ConvertSpreadsheetDays(record);
        break;
    }
}
