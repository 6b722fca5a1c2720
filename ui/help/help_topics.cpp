#include "help_topics.h"

#include "text_encoding.h"

#include <optional>
#include <stdexcept>

// Generated from topics.txt at build time (embed_topics.cmake).
extern const char HelpTopicsTable[];
extern const std::size_t HelpTopicsTableSize;

namespace {

// A text line is written between two bars, "|...|", so that blanks at its end survive
// editors; inside, "\t" is a tab and "\\" a backslash.
std::optional<std::string> TextLine(std::string_view line)
{
    if (line.size() < 2 || line.front() != '|' || line.back() != '|') {
        return std::nullopt;
    }
    line = line.substr(1, line.size() - 2);
    std::string text;
    text.reserve(line.size());
    for (std::size_t i = 0; i < line.size(); ++i) {
        if (line[i] != '\\') {
            text += line[i];
            continue;
        }
        if (i + 1 == line.size()) {
            return std::nullopt;
        }
        const char escaped = line[++i];
        if (escaped == 't') {
            text += '\t';
        } else if (escaped == '\\') {
            text += '\\';
        } else {
            return std::nullopt;
        }
    }
    return text;
}

// topic "NAME": the name is everything between the first and the last double quote.
std::optional<std::string_view> TopicName(std::string_view line)
{
    constexpr std::string_view keyword = "topic ";
    if (!line.starts_with(keyword)) {
        return std::nullopt;
    }
    line.remove_prefix(keyword.size());
    if (line.size() < 2 || line.front() != '"' || line.back() != '"') {
        return std::nullopt;
    }
    return line.substr(1, line.size() - 2);
}

} // namespace

std::variant<std::vector<HelpTopic>, HelpTableError> ParseHelpTopics(std::string_view utf8Table)
{
    std::vector<HelpTopic> topics;
    bool inTopic = false;
    bool firstLine = true;
    std::string text;
    int lineNumber = 0;
    const auto fail = [&lineNumber](std::string message) {
        return HelpTableError {lineNumber, std::move(message)};
    };

    while (!utf8Table.empty()) {
        ++lineNumber;
        const std::size_t end = utf8Table.find('\n');
        std::string_view line = utf8Table.substr(0, end);
        utf8Table.remove_prefix(end == std::string_view::npos ? utf8Table.size() : end + 1);
        if (line.ends_with('\r')) {
            line.remove_suffix(1);
        }

        if (!inTopic) {
            if (line.empty() || line.starts_with('#')) {
                continue;
            }
            const std::optional<std::string_view> name = TopicName(line);
            if (!name) {
                return fail("expected a comment or 'topic \"NAME\"'");
            }
            std::optional<std::string> converted = Encoding::Utf8ToWindows1252(*name);
            if (!converted || converted->empty()) {
                return fail("the topic name is empty or not Windows-1252");
            }
            topics.push_back({std::move(*converted), {}});
            inTopic = true;
            firstLine = true;
            text.clear();
            continue;
        }

        if (line == "end") {
            std::optional<std::string> converted = Encoding::Utf8ToWindows1252(text);
            if (!converted) {
                return fail("the text holds a character Windows-1252 lacks");
            }
            topics.back().Text = std::move(*converted);
            inTopic = false;
            continue;
        }
        const std::optional<std::string> textLine = TextLine(line);
        if (!textLine) {
            return fail("expected a text line '|...|' (escapes \\t and \\\\ only) or 'end'");
        }
        if (!firstLine) {
            text += "\r\n";
        }
        text += *textLine;
        firstLine = false;
    }
    if (inTopic) {
        return fail("the last topic has no 'end'");
    }
    return topics;
}

const std::vector<HelpTopic> &HelpTopics()
{
    static const std::vector<HelpTopic> topics = [] {
        auto parsed = ParseHelpTopics(std::string_view(HelpTopicsTable, HelpTopicsTableSize));
        if (const auto *error = std::get_if<HelpTableError>(&parsed)) {
            throw std::logic_error(
                "help topic table, line " + std::to_string(error->Line) + ": " + error->Message);
        }
        return std::get<std::vector<HelpTopic>>(std::move(parsed));
    }();
    return topics;
}
