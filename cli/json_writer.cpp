#include "json_writer.h"

#include <charconv>
#include <cmath>
#include <cstdio>

void JsonWriter::BeforeValue()
{
    if (afterKey) {
        afterKey = false;
        return;
    }
    if (!firstInLevel.empty()) {
        if (!firstInLevel.back()) {
            out << ',';
        }
        firstInLevel.back() = false;
    }
}

JsonWriter &JsonWriter::BeginObject()
{
    BeforeValue();
    out << '{';
    firstInLevel.push_back(true);
    return *this;
}

JsonWriter &JsonWriter::EndObject()
{
    firstInLevel.pop_back();
    out << '}';
    return *this;
}

JsonWriter &JsonWriter::BeginArray()
{
    BeforeValue();
    out << '[';
    firstInLevel.push_back(true);
    return *this;
}

JsonWriter &JsonWriter::EndArray()
{
    firstInLevel.pop_back();
    out << ']';
    return *this;
}

JsonWriter &JsonWriter::Key(std::string_view name)
{
    String(name);
    out << ':';
    afterKey = true;
    return *this;
}

JsonWriter &JsonWriter::Number(double value)
{
    BeforeValue();
    if (!std::isfinite(value)) {
        out << "null";
        return *this;
    }
    // The shortest text that reads back as the same double, whatever the locale.
    char text[32];
    const auto result = std::to_chars(text, text + sizeof text, value);
    out << std::string_view(text, result.ptr);
    return *this;
}

JsonWriter &JsonWriter::Integer(long long value)
{
    BeforeValue();
    out << value;
    return *this;
}

JsonWriter &JsonWriter::String(std::string_view text)
{
    BeforeValue();
    out << '"';
    for (const char c : text) {
        switch (c) {
        case '"':
            out << "\\\"";
            break;
        case '\\':
            out << "\\\\";
            break;
        case '\n':
            out << "\\n";
            break;
        case '\r':
            out << "\\r";
            break;
        case '\t':
            out << "\\t";
            break;
        default:
            if (static_cast<unsigned char>(c) < 0x20 || c == 0x7F) {
                char escaped[8];
                std::snprintf(escaped, sizeof escaped, "\\u%04x", static_cast<unsigned char>(c));
                out << escaped;
            } else {
                out << c;
            }
        }
    }
    out << '"';
    return *this;
}
