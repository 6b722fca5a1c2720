#pragma once

// Delimited text files (.csv and their kin, as analyzers and loggers export them) split
// into records of fields. The encoding comes from the byte-order mark, else from UTF-8
// validity, else Windows-1252; the delimiter from an Excel "sep=" first line, else from
// the shape of the file. Quoting follows RFC 4180 with the relaxations real files need.
// Every field is UTF-8 text exactly as written after unquoting: which fields are numbers
// is for the caller to decide.

#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace DelimitedText {

using Record = std::vector<std::string>;

struct Table
{
    char Delimiter = ',';
    std::vector<Record> Records;
};

// The file's text as UTF-8, without its byte-order mark.
std::string DecodedText(std::string_view bytes);

// A quoted field runs to the next lone quote, "" inside it being one quote; outside
// quotes, CR, LF and CR LF each end a record, and a line with no character is no record.
// A quote inside an unquoted field is text, as is anything after a closing quote.
// `take` receives each record in turn, and may move from it; it returns false to stop.
void ForEachRecord(std::string_view text, char delimiter, const std::function<bool(Record &)> &take);
std::vector<Record> SplitRecords(std::string_view text, char delimiter);

// Comma, semicolon, tab or pipe: the one under which most records share one field count
// of at least 2; ties go to the larger count, then to that order. Comma when none splits.
char DetectDelimiter(std::string_view text);

struct Layout
{
    std::string Text; // UTF-8
    std::size_t RecordsStart = 0; // past a "sep=" line
    char Delimiter = ',';

    std::string_view Records() const { return std::string_view(Text).substr(RecordsStart); }
};

Layout TextLayout(std::string_view bytes);
Table ReadTable(std::string_view bytes);

// The number a spreadsheet program importing the file makes of a field, if any: a complete
// decimal number once blanks around it are trimmed (a decimal comma too, in a file split
// at semicolons or tabs, where the comma is not the delimiter), or a "MM/DD/YYYY HH:MM:SS"
// date-time (seconds optional, fractions allowed) as its serial day number in the 1900
// date system. Every other field is text; "YYYY/MM/DD HH:MM:SS" stays text as well.
std::optional<double> FieldNumber(std::string_view field, char delimiter);

} // namespace DelimitedText
