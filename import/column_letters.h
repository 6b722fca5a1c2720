#pragma once

// Column letters as the operator types them in Select Data Columns ("B", "c", "AA", "IV").

#include <string_view>

inline constexpr int MaxColumnIndex = 255; // "IV", the last column of an .xls worksheet

// 0 for "A" or "a", 25 for "Z", 26 for "AA", 255 for "IV". A character that is not a letter
// counts as a position worth nothing, so a text without letters gives -1.
int ColumnIndexFromLetters(std::string_view letters);

// One or two letters A to Z naming a column up to "IV".
bool ColumnLettersValid(std::string_view letters);
