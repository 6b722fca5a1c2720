#pragma once

// The values the cells of an Office Open XML worksheet store as text: positions ("B7"),
// numbers, and ISO 8601 dates. Every number read is bounded: a position beyond any sheet
// comes out as one beyond the sheet limits, never as an overflow.

#include <optional>
#include <string_view>

namespace DataFile {

struct CellPosition
{
    int Row = 0; // from 0
    int Column = 0;
};

// "B7" is row 6, column 1; none for anything else than letters followed by digits.
std::optional<CellPosition> ParseCellReference(std::string_view reference);

// A row's `r`: "1" is row 0.
std::optional<int> ParseRowNumber(std::string_view number);

// An index into the shared strings.
std::optional<std::size_t> ParseIndex(std::string_view number);

// A finite number as XML Schema writes a double ("1E-3", surrounding blanks allowed).
std::optional<double> ParseNumber(std::string_view text);

// "2021-12-31", "2021-12-31T23:44:51.894" or "23:44:51" (optionally ending in 'Z') as the
// serial number of that moment in the workbook's date system. In the 1900 system day 1 is
// 1900-01-01 and 1900-02-29, which never was, is day 60: dates before March 1900 are one
// day less than the days since 1899-12-30.
std::optional<double> IsoDateSerial(std::string_view text, bool dates1904);

} // namespace DataFile
