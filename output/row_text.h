#pragma once

// The spreadsheet writer keeps each row as one text: every cell between double quotes, the
// cells joined by the separator ",;.?", so that a, b, c is "a",;.?"b",;.?"c". A double
// quote inside a cell is doubled; a cell text without one is stored as it is, and any cell
// text, the separator sequence included, reads back unchanged.

#include <string>
#include <string_view>
#include <vector>

namespace RowText {

inline constexpr std::string_view Separator = ",;.?";

std::string Build(const std::vector<std::string> &cells);

// The cells of a text Build made. A text that does not start with a double quote is one
// cell as it stands; an unmatched quote ends the last cell at the text's end.
std::vector<std::string> Split(std::string_view text);

} // namespace RowText
