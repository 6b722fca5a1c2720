#include "delimited_text.h"

#include "text_encoding.h"

#include <array>
#include <cctype>
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

} // namespace

std::string DecodedText(std::string_view bytes)
{
    if (StartsWith(bytes, "\xEF\xBB\xBF")) {
        return std::string(bytes.substr(3));
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

std::vector<Record> SplitRecords(std::string_view text, char delimiter)
{
    enum class State { FieldStart, Unquoted, Quoted, QuoteInQuoted };
    std::vector<Record> records;
    Record record;
    std::string field;
    State state = State::FieldStart;
    bool lineHasCharacters = false;
    const auto endRecord = [&] {
        if (lineHasCharacters || state != State::FieldStart) {
            record.push_back(std::move(field));
            records.push_back(std::move(record));
        }
        record.clear();
        field.clear();
        state = State::FieldStart;
        lineHasCharacters = false;
    };
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (state == State::Quoted) {
            if (c == '"') {
                state = State::QuoteInQuoted;
            } else {
                field += c;
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
            field += c;
            state = State::Unquoted;
            lineHasCharacters = true;
        }
    }
    endRecord();
    return records;
}

char DetectDelimiter(std::string_view text)
{
    std::optional<std::tuple<std::size_t, std::size_t, int>> best; // records, width, -order
    char chosen = ',';
    for (std::size_t order = 0; order < Candidates.size(); ++order) {
        std::map<std::size_t, std::size_t> recordsOfWidth;
        for (const Record &record : SplitRecords(text, Candidates[order])) {
            if (record.size() >= 2) {
                ++recordsOfWidth[record.size()];
            }
        }
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

Table ReadTable(std::string_view bytes)
{
    const std::string text = DecodedText(bytes);
    std::size_t recordsStart = 0;
    const std::optional<char> named = SepDirective(text, recordsStart);
    const std::string_view records = std::string_view(text).substr(recordsStart);
    const char delimiter = named ? *named : DetectDelimiter(records);
    return {delimiter, SplitRecords(records, delimiter)};
}

} // namespace DelimitedText
