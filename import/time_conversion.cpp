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

// The test starts at the first row of the time column holding a valid time, whether or not
// its reading counts as a point. Time stamps and spreadsheet days are counted from that
// row, so it is 0 for them; minutes keep their own origin.
double StartOfTest(const ExperimentRecord &record)
{
    if (record.Settings.TimeFormat != TimeInMinutes) {
        return 0;
    }
    const int entry = FirstEntryHoldingTime(record.TimeTexts, TimeInMinutes);
    if (entry < static_cast<int>(record.TimeTexts.size())) {
        return LeadingNumber(record.TimeTexts[entry]);
    }
    return record.PointCount > 0 ? record.Points[0].Time : 0;
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
    const int start = FirstEntryHoldingTime(record.TimeTexts, TimeSpreadsheetSerial);
    if (start < first + record.PointCount) {
        origin = LeadingNumber(ColumnEntry(record.TimeTexts, start));
    }
    for (int i = 0; i < record.PointCount; ++i) {
        const double days = LeadingNumber(ColumnEntry(record.TimeTexts, first + i));
        record.Points[i].Time = (days - origin) * 24 * 60;
    }
}

} // namespace

bool HoldsTime(std::string_view text, int timeFormat)
{
    switch (timeFormat) {
    case TimeInMinutes:
        return FindLeadingDecimal(text).has_value();
    case TimeStampText:
        return ParseClockText(text).has_value();
    case TimeSpreadsheetSerial:
        return LeadingNumber(text) > 0; // day 0 is no date
    }
    return false;
}

int FirstEntryHoldingTime(const std::vector<std::string> &timeTexts, int timeFormat)
{
    const auto entry = std::find_if(timeTexts.begin(), timeTexts.end(),
        [timeFormat](const std::string &text) { return HoldsTime(text, timeFormat); });
    return static_cast<int>(entry - timeTexts.begin());
}

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
    record.TestStartTime = StartOfTest(record);
}
