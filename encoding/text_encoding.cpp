#include "text_encoding.h"

#include <array>
#include <cstdint>

namespace Encoding {

namespace {

// Code points of the bytes 0x80-0x9F; the rest of Windows-1252 equals Latin-1.
constexpr std::array<char16_t, 32> HighControlBlock = {
    0x20AC,
    0x0081,
    0x201A,
    0x0192,
    0x201E,
    0x2026,
    0x2020,
    0x2021,
    0x02C6,
    0x2030,
    0x0160,
    0x2039,
    0x0152,
    0x008D,
    0x017D,
    0x008F,
    0x0090,
    0x2018,
    0x2019,
    0x201C,
    0x201D,
    0x2022,
    0x2013,
    0x2014,
    0x02DC,
    0x2122,
    0x0161,
    0x203A,
    0x0153,
    0x009D,
    0x017E,
    0x0178,
};

char32_t Windows1252ToCodePoint(unsigned char byte)
{
    if (byte >= 0x80 && byte < 0xA0) {
        return HighControlBlock[byte - 0x80];
    }
    return byte;
}

std::optional<char> CodePointToWindows1252(char32_t codePoint)
{
    if (codePoint < 0x80 || (codePoint >= 0xA0 && codePoint <= 0xFF)) {
        return static_cast<char>(codePoint);
    }
    for (std::size_t i = 0; i < HighControlBlock.size(); ++i) {
        if (HighControlBlock[i] == codePoint) {
            return static_cast<char>(0x80 + i);
        }
    }
    return std::nullopt;
}

void AppendUtf8(std::string &out, char32_t codePoint)
{
    if (codePoint < 0x80) {
        out += static_cast<char>(codePoint);
    } else if (codePoint < 0x800) {
        out += static_cast<char>(0xC0 | (codePoint >> 6));
        out += static_cast<char>(0x80 | (codePoint & 0x3F));
    } else if (codePoint < 0x10000) {
        out += static_cast<char>(0xE0 | (codePoint >> 12));
        out += static_cast<char>(0x80 | ((codePoint >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (codePoint & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (codePoint >> 18));
        out += static_cast<char>(0x80 | ((codePoint >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((codePoint >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (codePoint & 0x3F));
    }
}

bool IsHighSurrogate(char16_t unit)
{
    return unit >= 0xD800 && unit < 0xDC00;
}
bool IsLowSurrogate(char16_t unit)
{
    return unit >= 0xDC00 && unit < 0xE000;
}

// Decodes one UTF-8 sequence at text[pos], advancing pos; none for a malformed sequence.
std::optional<char32_t> NextUtf8CodePoint(std::string_view text, std::size_t &pos)
{
    const auto lead = static_cast<unsigned char>(text[pos++]);
    if (lead < 0x80) {
        return lead;
    }
    int trailing = 0;
    char32_t codePoint = 0;
    if ((lead & 0xE0) == 0xC0) {
        trailing = 1;
        codePoint = lead & 0x1F;
    } else if ((lead & 0xF0) == 0xE0) {
        trailing = 2;
        codePoint = lead & 0x0F;
    } else if ((lead & 0xF8) == 0xF0) {
        trailing = 3;
        codePoint = lead & 0x07;
    } else {
        return std::nullopt;
    }
    for (int i = 0; i < trailing; ++i) {
        if (pos >= text.size() || (static_cast<unsigned char>(text[pos]) & 0xC0) != 0x80) {
            return std::nullopt;
        }
        codePoint = (codePoint << 6) | (static_cast<unsigned char>(text[pos++]) & 0x3F);
    }
    constexpr char32_t ShortestForm[] = {0, 0x80, 0x800, 0x10000};
    if (codePoint < ShortestForm[trailing] || codePoint > 0x10FFFF) {
        return std::nullopt; // overlong or out of range: not valid UTF-8
    }
    return codePoint;
}

} // namespace

bool IsValidUtf8(std::string_view text)
{
    for (std::size_t pos = 0; pos < text.size();) {
        const std::optional<char32_t> codePoint = NextUtf8CodePoint(text, pos);
        if (!codePoint || (*codePoint >= 0xD800 && *codePoint < 0xE000)) {
            return false;
        }
    }
    return true;
}

std::string Windows1252ToUtf8(std::string_view text)
{
    std::string out;
    out.reserve(text.size());
    for (char c : text) {
        AppendUtf8(out, Windows1252ToCodePoint(static_cast<unsigned char>(c)));
    }
    return out;
}

std::optional<std::string> Utf8ToWindows1252(std::string_view text)
{
    std::string out;
    out.reserve(text.size());
    std::size_t pos = 0;
    while (pos < text.size()) {
        const auto codePoint = NextUtf8CodePoint(text, pos);
        if (!codePoint) {
            return std::nullopt;
        }
        const auto byte = CodePointToWindows1252(*codePoint);
        if (!byte) {
            return std::nullopt;
        }
        out += *byte;
    }
    return out;
}

std::u16string Utf8ToUtf16(std::string_view text)
{
    std::u16string out;
    out.reserve(text.size());
    for (std::size_t pos = 0; pos < text.size();) {
        std::optional<char32_t> codePoint = NextUtf8CodePoint(text, pos);
        if (!codePoint || (*codePoint >= 0xD800 && *codePoint < 0xE000)) {
            codePoint = 0xFFFD;
        }
        if (*codePoint >= 0x10000) {
            out += static_cast<char16_t>(0xD800 + ((*codePoint - 0x10000) >> 10));
            out += static_cast<char16_t>(0xDC00 + ((*codePoint - 0x10000) & 0x3FF));
        } else {
            out += static_cast<char16_t>(*codePoint);
        }
    }
    return out;
}

std::string Utf16ToUtf8(std::u16string_view text)
{
    std::string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char16_t unit = text[i];
        if (IsHighSurrogate(unit) && i + 1 < text.size() && IsLowSurrogate(text[i + 1])) {
            AppendUtf8(out, 0x10000 + ((char32_t(unit) - 0xD800) << 10) + (text[i + 1] - 0xDC00));
            ++i;
        } else if (IsHighSurrogate(unit) || IsLowSurrogate(unit)) {
            AppendUtf8(out, 0xFFFD);
        } else {
            AppendUtf8(out, unit);
        }
    }
    return out;
}

std::optional<std::string> Utf16ToWindows1252(std::u16string_view text)
{
    std::string out;
    out.reserve(text.size());
    for (char16_t unit : text) {
        const auto byte = CodePointToWindows1252(unit);
        if (!byte) {
            return std::nullopt;
        }
        out += *byte;
    }
    return out;
}

std::u16string Windows1252ToUtf16(std::string_view text)
{
    std::u16string out;
    out.reserve(text.size());
    for (char c : text) {
        out += static_cast<char16_t>(Windows1252ToCodePoint(static_cast<unsigned char>(c)));
    }
    return out;
}

} // namespace Encoding
