#include "corpus_listing.h"

#include "text_encoding.h"

#include <algorithm>
#include <cmath>
#include <fstream>
#include <sstream>

namespace fs = std::filesystem;

namespace CorpusListing {

namespace {

std::vector<std::string> SplitTabs(const std::string &line)
{
    std::vector<std::string> fields;
    std::size_t start = 0;
    for (std::size_t tab = line.find('\t'); tab != std::string::npos; tab = line.find('\t', start)) {
        fields.push_back(line.substr(start, tab - start));
        start = tab + 1;
    }
    fields.push_back(line.substr(start));
    return fields;
}

bool SameNumber(double ours, const std::string &expected)
{
    const double value = std::strtod(expected.c_str(), nullptr); // stod refuses denormals
    return ours == value || std::fabs(ours - value) <= 1e-12 * std::max(std::fabs(ours), std::fabs(value));
}

bool IsNumeric(DataFile::CellKind kind)
{
    using DataFile::CellKind;
    return kind == CellKind::Integer || kind == CellKind::Real || kind == CellKind::FormulaResult;
}

std::string TextDifference(const SeenCell &cell, const ExpectedCell &expected, const Rules &rules)
{
    if (cell.Kind == DataFile::CellKind::Empty && expected.Value.empty()) {
        return "";
    }
    if (cell.Text && *cell.Text == expected.Value) {
        return "";
    }
    if (rules.TextAsNumber && IsNumeric(cell.Kind)) {
        const auto number = rules.TextAsNumber(expected.Value, rules.Delimiter);
        if (number && *number == cell.Number) {
            return "";
        }
    }
    return "text differs: \"" + cell.Text.value_or("(none)") + "\"";
}

} // namespace

std::string Unescaped(const std::string &listed)
{
    std::string text;
    for (std::size_t i = 0; i < listed.size(); ++i) {
        if (listed[i] != '\\' || i + 1 == listed.size()) {
            text += listed[i];
            continue;
        }
        const char escaped = listed[++i];
        text += escaped == 't' ? '\t' : escaped == 'r' ? '\r' : escaped == 'n' ? '\n' : escaped;
    }
    return text;
}

fs::path Root(const std::string &corpus)
{
    return fs::path(ORVANE_SOURCE_DIR) / ".." / "shared" / corpus;
}

std::vector<ExpectedSheet> ReadListing(const fs::path &path)
{
    std::ifstream in(path, std::ios::binary);
    std::vector<ExpectedSheet> sheets;
    std::string line;
    while (std::getline(in, line)) {
        const std::vector<std::string> fields = SplitTabs(line);
        if (fields.at(0) == "sheet") {
            sheets.emplace_back().Name = Unescaped(fields.at(2));
            continue;
        }
        ExpectedSheet &sheet = sheets.back();
        const int row = std::stoi(fields.at(0));
        const int column = std::stoi(fields.at(1));
        const ExpectedCell cell {fields.at(2), fields.size() > 3 ? Unescaped(fields[3]) : std::string()};
        sheet.Cells[{row, column}] = cell;
        if (cell.Type != "text" || !cell.Value.empty()) { // an empty text may be absent
            sheet.LastRow = std::max(sheet.LastRow, row);
            sheet.LastColumn = std::max(sheet.LastColumn, column);
        }
    }
    return sheets;
}

std::vector<std::string> ListedFiles(const std::string &corpus)
{
    const fs::path expected = Root(corpus) / "expected";
    if (!fs::is_directory(expected)) {
        return {""};
    }
    std::vector<std::string> names;
    for (const auto &entry : fs::directory_iterator(expected)) {
        names.push_back(entry.path().stem().string());
    }
    std::sort(names.begin(), names.end());
    return names;
}

std::string TestName(const std::string &fileName)
{
    std::string name = fileName.empty() ? "absent" : fileName;
    for (char &c : name) {
        if (!std::isalnum(static_cast<unsigned char>(c))) {
            c = '_';
        }
    }
    return name;
}

SeenCell Seen(const DataFile::Cell &cell)
{
    SeenCell seen {cell.Kind, cell.Number, std::nullopt};
    if (cell.Text) {
        seen.Text = cell.Text->Wide ? Encoding::Utf16ToUtf8(cell.Text->WideText)
                                    : Encoding::Windows1252ToUtf8(cell.Text->Narrow);
    }
    return seen;
}

std::string Difference(const SeenCell &cell, const ExpectedCell *expected, const Rules &rules)
{
    using DataFile::CellKind;
    if (!expected) {
        return cell.Kind == CellKind::Empty ? "" : "a cell the listing does not have";
    }
    const std::string &type = expected->Type;
    if (type == "number" || type == "date") {
        return IsNumeric(cell.Kind) && SameNumber(cell.Number, expected->Value) ? "" : "number differs";
    }
    if (type == "text") {
        return TextDifference(cell, *expected, rules);
    }
    if (type == "boolean") {
        if (cell.Kind == CellKind::Integer && SameNumber(cell.Number, expected->Value)) {
            return "";
        }
        const bool formulaOk
            = cell.Kind == CellKind::FormulaResult && (cell.Number == 0 || SameNumber(cell.Number, expected->Value));
        return formulaOk ? "" : "boolean differs";
    }
    if (type == "error") {
        return cell.Kind == CellKind::Empty || cell.Kind == CellKind::FormulaResult ? "" : "error cell has a value";
    }
    return "unknown type " + type;
}

std::vector<std::string> SheetDifferences(
    const DataFile::Worksheet &sheet, const ExpectedSheet &listing, const Rules &rules)
{
    std::vector<std::string> differences;
    if (sheet.RowCount() < listing.LastRow + 1 || sheet.ColumnCount() < listing.LastColumn + 1) {
        differences.push_back("the sheet is smaller than its listing");
    }
    for (int row = 0; row < sheet.RowCount() && differences.size() < 10; ++row) {
        for (int column = 0; column < sheet.ColumnCount() && differences.size() < 10; ++column) {
            const auto found = listing.Cells.find({row, column});
            const ExpectedCell *expected = found == listing.Cells.end() ? nullptr : &found->second;
            const std::string difference = Difference(Seen(sheet.CellAt(row, column)), expected, rules);
            if (!difference.empty()) {
                differences.push_back("cell (" + std::to_string(row) + ", " + std::to_string(column)
                    + "): " + difference + (expected ? " (expected " + expected->Type + " " + expected->Value + ")" : ""));
            }
        }
    }
    return differences;
}

} // namespace CorpusListing
