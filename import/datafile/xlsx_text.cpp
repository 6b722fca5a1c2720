#include "xlsx_text.h"

#include "text_encoding.h"

#include <charconv>

namespace DataFile {

namespace {

constexpr std::size_t EscapeLength = 7; // _xHHHH_

// The UTF-16 code unit an escape at the start of `text` stands for, if one is there.
std::optional<char16_t> EscapeAt(std::string_view text)
{
    if (text.size() < EscapeLength || text[0] != '_' || text[1] != 'x' || text[6] != '_') {
        return std::nullopt;
    }
    unsigned value = 0;
    const char *first = text.data() + 2;
    const char *last = first + 4;
    const auto [end, error] = std::from_chars(first, last, value, 16);
    if (error != std::errc() || end != last) {
        return std::nullopt;
    }
    return static_cast<char16_t>(value);
}

} // namespace

std::string DecodedXstring(std::string_view stored)
{
    if (stored.find("_x") == std::string_view::npos) {
        return std::string(stored);
    }
    std::string decoded;
    std::u16string escaped; // consecutive escapes, so that a surrogate pair joins
    std::size_t i = 0;
    while (i < stored.size()) {
        if (const auto unit = EscapeAt(stored.substr(i))) {
            escaped += *unit;
            i += EscapeLength;
            continue;
        }
        if (!escaped.empty()) {
            decoded += Encoding::Utf16ToUtf8(escaped);
            escaped.clear();
        }
        decoded += stored[i++];
    }
    decoded += Encoding::Utf16ToUtf8(escaped);
    return decoded;
}

void StringItemText::Start(const Xml::Name &name)
{
    if (name.Is(Xml::Namespace::Main, "rPh")) {
        ++phoneticDepth;
    } else if (name.Is(Xml::Namespace::Main, "t")) {
        inText = phoneticDepth == 0;
    }
}

void StringItemText::End(const Xml::Name &name)
{
    if (name.Is(Xml::Namespace::Main, "rPh")) {
        --phoneticDepth;
    } else if (name.Is(Xml::Namespace::Main, "t")) {
        inText = false;
    }
}

void StringItemText::Text(std::string_view text)
{
    if (inText) {
        stored += text;
    }
}

std::string StringItemText::Take()
{
    std::string text = DecodedXstring(stored);
    *this = {};
    return text;
}

} // namespace DataFile
