#include "delimited_text.h"

#include "date_serial.h"
#include "text_encoding.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <charconv>
#include <functional>
#include <map>
#include <optional>
#include <tuple>

namespace DelimitedText {

namespace {

constexpr std::array<char, 4> Candidates {',', ';', '\t', '|'};

bool StartsWith(std::string_view bytes, std::string_view prefix)
{
    return bytes.substr(0, prefix.size()) == prefix;
}

std::string Utf16BytesToUtf8(std::string_view bytes, bool bigEndian)
{
    std::u16string units;
    units.reserve(bytes.size() / 2);
    for (std::size_t i = 0; i + 1 < bytes.size(); i += 2) {
        const auto first = static_cast<unsigned char>(bytes[i]);
        const auto second = static_cast<unsigned char>(bytes[i + 1]);
        units += static_cast<char16_t>(bigEndian ? (first << 8) | second : (second << 8) | first);
    }
    if (bytes.size() % 2 != 0) {
        units += u'\uFFFD'; // a file cut inside its last character
    }
    return Encoding::Utf16ToUtf8(units);
}

// The delimiter an Excel "sep=X" first line names; that line is then no record.
std::optional<char> SepDirective(std::string_view text, std::size_t &recordsStart)
{
    const std::size_t end = text.find_first_of("\r\n");
    const std::string_view first = text.substr(0, end);
    const auto lower = [](char c) { return static_cast<char>(std::tolower(static_cast<unsigned char>(c))); };
    if (first.size() != 5 || lower(first[0]) != 's' || lower(first[1]) != 'e' || lower(first[2]) != 'p'
        || first[3] != '=') {
        return std::nullopt;
    }
    recordsStart = end == std::string_view::npos ? text.size() : end;
    return first[4];
}

std::string_view TrimmedBlanks(std::string_view text)
{
    const std::size_t first = text.find_first_not_of(' ');
    if (first == std::string_view::npos) {
        return {};
    }
    return text.substr(first, text.find_last_not_of(' ') - first + 1);
}

bool IsDigit(char c)
{
    return c >= '0' && c <= '9';
}

// Moves `pos` past the digits there; how many there were.
std::size_t SkipDigits(std::string_view text, std::size_t &pos)
{
    const std::size_t start = pos;
    while (pos < text.size() && IsDigit(text[pos])) {
        ++pos;
    }
    return pos - start;
}

// [sign] digits [separator digits] [e [sign] digits], with a digit before or after the
// separator: nothing more, nothing less.
std::optional<double> DecimalNumber(std::string_view text, char separator)
{
    std::size_t pos = 0;
    if (pos < text.size() && (text[pos] == '+' || text[pos] == '-')) {
        ++pos;
    }
    std::size_t digits = SkipDigits(text, pos);
    if (pos < text.size() && text[pos] == separator) {
        ++pos;
        digits += SkipDigits(text, pos);
    }
    if (digits == 0) {
        return std::nullopt;
    }
    if (pos < text.size() && (text[pos] == 'e' || text[pos] == 'E')) {
        ++pos;
        if (pos < text.size() && (text[pos] == '+' || text[pos] == '-')) {
            ++pos;
        }
        if (SkipDigits(text, pos) == 0) {
            return std::nullopt;
        }
    }
    if (pos != text.size()) {
        return std::nullopt;
    }
    std::string plain(text.front() == '+' ? text.substr(1) : text);
    std::replace(plain.begin(), plain.end(), separator, '.');
    double value = 0;
    const auto [end, error] = std::from_chars(plain.data(), plain.data() + plain.size(), value);
    if (error != std::errc() || end != plain.data() + plain.size()) {
        return std::nullopt; // out of the double's range
    }
    return value;
}

// A field of `least` to `most` digits from `pos`, followed by `next` (or ending the text when
// `next` is 0).
std::optional<int> NumberField(std::string_view text, std::size_t &pos, std::size_t least, std::size_t most, char next)
{
    const std::size_t start = pos;
    const std::size_t count = SkipDigits(text, pos);
    if (count < least || count > most) {
        return std::nullopt;
    }
    int value = 0;
    std::from_chars(text.data() + start, text.data() + pos, value);
    if (next != 0) {
        if (pos >= text.size() || text[pos] != next) {
            return std::nullopt;
        }
        ++pos;
    }
    return value;
}

// "MM/DD/YYYY HH:MM[:SS[.fff]]", month, day and hour in one or two digits.
std::optional<double> DateTimeSerial(std::string_view text)
{
    std::size_t pos = 0;
    const auto month = NumberField(text, pos, 1, 2, '/');
    const auto day = month ? NumberField(text, pos, 1, 2, '/') : std::nullopt;
    const auto year = day ? NumberField(text, pos, 4, 4, ' ') : std::nullopt;
    const auto hour = year ? NumberField(text, pos, 1, 2, ':') : std::nullopt;
    if (!hour) {
        return std::nullopt;
    }
    const bool withSeconds = text.find(':', pos) != std::string_view::npos;
    const auto minute = NumberField(text, pos, 2, 2, withSeconds ? ':' : 0);
    double seconds = 0;
    if (minute && withSeconds) {
        const std::size_t start = pos;
        if (!NumberField(text, pos, 2, 2, 0)) {
            return std::nullopt;
        }
        if (pos < text.size() && text[pos] == '.') {
            ++pos;
            if (SkipDigits(text, pos) == 0) {
                return std::nullopt;
            }
        }
        std::from_chars(text.data() + start, text.data() + pos, seconds);
    }
    if (pos != text.size()) {
        return std::nullopt;
    }
    // Years before 1900 have no serial day in the 1900 system.
    if (!minute || *year < 1900 || !DataFile::IsCalendarDate(*year, *month, *day) || *hour > 23 || *minute > 59
        || seconds >= 60) {
        return std::nullopt;
    }
    return DataFile::SerialDay(*year, *month, *day) + (*hour * 3600 + *minute * 60 + seconds) / 86400.0;
}

} // namespace

std::optional<double> FieldNumber(std::string_view field, char delimiter)
{
    const std::string_view text = TrimmedBlanks(field);
    if (text.empty()) {
        return std::nullopt;
    }
    if (const auto number = DecimalNumber(text, '.')) {
        return number;
    }
    if (delimiter == ';' || delimiter == '\t') {
        if (const auto number = DecimalNumber(text, ',')) {
            return number;
        }
    }
    return DateTimeSerial(text);
}

std::string DecodedText(std::string_view bytes)
{
    if (StartsWith(bytes, "\xEF\xBB\xBF")) {
        const std::string_view text = bytes.substr(3);
        // The mark promised UTF-8: bytes that break the promise become U+FFFD.
        return Encoding::IsValidUtf8(text) ? std::string(text) : Encoding::Utf16ToUtf8(Encoding::Utf8ToUtf16(text));
    }
    if (StartsWith(bytes, "\xFF\xFE")) {
        return Utf16BytesToUtf8(bytes.substr(2), false);
    }
    if (StartsWith(bytes, "\xFE\xFF")) {
        return Utf16BytesToUtf8(bytes.substr(2), true);
    }
    if (Encoding::IsValidUtf8(bytes)) {
        return std::string(bytes);
    }
    return Encoding::Windows1252ToUtf8(bytes);
}

void ForEachRecord(std::string_view text, char delimiter, const std::function<bool(Record &)> &take)
{
    enum class State { FieldStart, Unquoted, Quoted, QuoteInQuoted };
    Record record;
    std::string field;
    State state = State::FieldStart;
    bool lineHasCharacters = false;
    bool goingOn = true;
    const auto endRecord = [&] {
        if (lineHasCharacters || state != State::FieldStart) {
            record.push_back(std::move(field));
            goingOn = take(record);
        }
        record.clear();
        field.clear();
        state = State::FieldStart;
        lineHasCharacters = false;
    };
    const auto endsField = [delimiter](char c) { return c == delimiter || c == '\r' || c == '\n'; };
    for (std::size_t i = 0; i < text.size() && goingOn; ++i) {
        const char c = text[i];
        if (state == State::Quoted) {
            // Everything up to the next quote is the field's text.
            const std::size_t quote = std::min(text.find('"', i), text.size());
            field.append(text.substr(i, quote - i));
            i = quote;
            if (quote < text.size()) {
                state = State::QuoteInQuoted;
            }
            continue;
        }
        if (state == State::QuoteInQuoted) {
            if (c == '"') {
                field += '"';
                state = State::Quoted;
                continue;
            }
            state = State::Unquoted; // the quote closed the field
        }
        if (c == delimiter) {
            record.push_back(std::move(field));
            field.clear();
            state = State::FieldStart;
            lineHasCharacters = true;
        } else if (c == '\r' || c == '\n') {
            endRecord();
            if (c == '\r' && i + 1 < text.size() && text[i + 1] == '\n') {
                ++i;
            }
        } else if (c == '"' && state == State::FieldStart) {
            state = State::Quoted;
            lineHasCharacters = true;
        } else {
            // A run of ordinary characters at once; a quote is one of them past the field's start.
            std::size_t end = i + 1;
            while (end < text.size() && !endsField(text[end])) {
                ++end;
            }
            field.append(text.substr(i, end - i));
            i = end - 1;
            state = State::Unquoted;
            lineHasCharacters = true;
        }
    }
    if (goingOn) {
        endRecord();
    }
}

std::vector<Record> SplitRecords(std::string_view text, char delimiter)
{
    std::vector<Record> records;
    ForEachRecord(text, delimiter, [&records](Record &record) {
        records.push_back(std::move(record));
        return true;
    });
    return records;
}

char DetectDelimiter(std::string_view text)
{
    std::optional<std::tuple<std::size_t, std::size_t, int>> best; // records, width, -order
    char chosen = ',';
    for (std::size_t order = 0; order < Candidates.size(); ++order) {
        if (text.find(Candidates[order]) == std::string_view::npos) {
            continue; // no record would have two fields
        }
        std::map<std::size_t, std::size_t> recordsOfWidth;
        ForEachRecord(text, Candidates[order], [&recordsOfWidth](Record &record) {
            if (record.size() >= 2) {
                ++recordsOfWidth[record.size()];
            }
            return true;
        });
        for (const auto &[width, count] : recordsOfWidth) {
            const auto key = std::make_tuple(count, width, -static_cast<int>(order));
            if (!best || key > *best) {
                best = key;
                chosen = Candidates[order];
            }
        }
    }
    return chosen;
}

Layout TextLayout(std::string_view bytes)
{
    Layout layout;
    layout.Text = DecodedText(bytes);
    const std::optional<char> named = SepDirective(layout.Text, layout.RecordsStart);
    layout.Delimiter = named ? *named : DetectDelimiter(layout.Records());
    return layout;
}

Table ReadTable(std::string_view bytes)
{
    const Layout layout = TextLayout(bytes);
    return {layout.Delimiter, SplitRecords(layout.Records(), layout.Delimiter)};
}

} // namespace DelimitedText
