#pragma once

// The help window's topic table: 96 topics, each a name for the topic list and the text shown
// when it is selected. The table is kept in topics.txt (UTF-8, format described at its top)
// and built into the program; the texts come out in Windows-1252 with CR LF line ends, like
// every other text of the program.

#include <string>
#include <string_view>
#include <variant>
#include <vector>

struct HelpTopic
{
    std::string Name;
    std::string Text;
};

struct HelpTableError
{
    int Line = 0; // 1-based line of the table where reading stopped
    std::string Message;
};

// Reads a topic table in the format of topics.txt.
std::variant<std::vector<HelpTopic>, HelpTableError> ParseHelpTopics(std::string_view utf8Table);

// The built-in table in the order of the topic list. Read once; the table is checked by the
// tests, so a broken table here is a build fault and throws std::logic_error.
const std::vector<HelpTopic> &HelpTopics();
