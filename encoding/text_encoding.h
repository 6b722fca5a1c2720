#pragma once

// The one place where texts change encoding. The program keeps its texts as Windows-1252
// bytes; the workbook stores 16-bit texts as UTF-16; terminals and Qt want UTF-8.

#include <optional>
#include <string>
#include <string_view>

namespace Encoding {

// Every byte has a mapping: the five bytes Windows-1252 leaves undefined (0x81, 0x8D,
// 0x8F, 0x90, 0x9D) map to the C1 controls of the same value, as Windows does.
std::string Windows1252ToUtf8(std::string_view text);

// None when the text holds a character Windows-1252 cannot represent or is not valid UTF-8.
std::optional<std::string> Utf8ToWindows1252(std::string_view text);

// Strict: no overlong forms, no surrogates, nothing beyond U+10FFFF.
bool IsValidUtf8(std::string_view text);

// A byte sequence that is no character becomes U+FFFD.
std::u16string Utf8ToUtf16(std::string_view text);

// A lone surrogate becomes U+FFFD.
std::string Utf16ToUtf8(std::u16string_view text);

// None when a character has no Windows-1252 byte.
std::optional<std::string> Utf16ToWindows1252(std::u16string_view text);

// Every byte has a mapping, as for UTF-8.
std::u16string Windows1252ToUtf16(std::string_view text);

} // namespace Encoding
