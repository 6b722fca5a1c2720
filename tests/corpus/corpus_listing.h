#pragma once

// The shared corpora of real-world files (../shared/*-corpus) list, per file, the cells an
// independent reader sees. These compare what our readers give, cell by cell, under the
// rules the corpora's README files set.

#include "data_file.h"

#include <filesystem>
#include <map>
#include <optional>
#include <string>
#include <vector>

namespace CorpusListing {

std::filesystem::path Root(const std::string &corpus); // "xlsx-corpus", ...

struct ExpectedCell
{
    std::string Type; // text, number, date, boolean, error
    std::string Value; // unescaped
};

struct ExpectedSheet
{
    std::string Name; // unescaped UTF-8
    std::map<std::pair<int, int>, ExpectedCell> Cells;
    int LastRow = -1; // of the cells a reader must give
    int LastColumn = -1;
};

std::vector<ExpectedSheet> ReadListing(const std::filesystem::path &path);

// The listings (and inspect) write backslash, tab, CR and LF as \\, \t, \r and \n.
std::string Unescaped(const std::string &listed);

// The file names of a corpus's listings ("NAME.xlsx"), sorted; one empty name when the
// corpus is absent, for a test that skips.
std::vector<std::string> ListedFiles(const std::string &corpus);
std::string TestName(const std::string &fileName);

// A cell as a reader gives it: kind, number and text in UTF-8.
struct SeenCell
{
    DataFile::CellKind Kind = DataFile::CellKind::Empty;
    double Number = 0;
    std::optional<std::string> Text;
};

SeenCell Seen(const DataFile::Cell &cell);

// What makes a listed text also right as a number: a delimited text file's fields become
// numbers where they are ones.
using NumberOfText = std::optional<double> (*)(const std::string &text, char delimiter);

struct Rules
{
    NumberOfText TextAsNumber = nullptr;
    char Delimiter = ',';
};

// Empty when the cell agrees with the listing (`expected` null: no cell listed there),
// else what differs.
std::string Difference(const SeenCell &cell, const ExpectedCell *expected, const Rules &rules = {});

// Up to ten differences of a worksheet against its listing, each as a readable line.
std::vector<std::string> SheetDifferences(
    const DataFile::Worksheet &sheet, const ExpectedSheet &listing, const Rules &rules = {});

} // namespace CorpusListing
