// Every workbook of the shared real-world corpus, compared with the cell listing a
// reference reader made of it (see the corpus README for the rules applied here).

#include "basicexcel.h"
#include "text_encoding.h"

#include <cmath>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <map>
#include <sstream>

namespace fs = std::filesystem;

namespace {

const fs::path CorpusRoot = fs::path(ORVANE_SOURCE_DIR) / ".." / "shared" / "xls-corpus";

struct ExpectedCell
{
    std::string Type;
    std::string Value;
};

struct ExpectedSheet
{
    std::string Name; // UTF-8, escaped
    std::map<std::pair<int, int>, ExpectedCell> Cells;
    int LastRow = -1;
    int LastColumn = -1;
};

std::vector<std::string> SplitTabs(const std::string &line)
{
    std::vector<std::string> fields;
    std::stringstream stream(line);
    std::string field;
    while (std::getline(stream, field, '\t')) {
        fields.push_back(field);
    }
    if (!line.empty() && line.back() == '\t') {
        fields.emplace_back();
    }
    return fields;
}

std::vector<ExpectedSheet> ReadListing(const fs::path &path)
{
    std::ifstream in(path, std::ios::binary);
    std::vector<ExpectedSheet> sheets;
    std::string line;
    while (std::getline(in, line)) {
        const std::vector<std::string> fields = SplitTabs(line);
        if (fields.at(0) == "sheet") {
            sheets.emplace_back().Name = fields.at(2);
            continue;
        }
        ExpectedSheet &sheet = sheets.back();
        const int row = std::stoi(fields.at(0));
        const int column = std::stoi(fields.at(1));
        sheet.Cells[{row, column}] = {fields.at(2), fields.size() > 3 ? fields[3] : std::string()};
        sheet.LastRow = std::max(sheet.LastRow, row);
        sheet.LastColumn = std::max(sheet.LastColumn, column);
    }
    return sheets;
}

// The listing writes backslash, tab, CR and LF as \\, \t, \r and \n; nothing else is escaped.
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

bool SameNumber(double ours, const std::string &expected)
{
    const double value = std::strtod(expected.c_str(), nullptr); // stod refuses denormals
    return ours == value || std::fabs(ours - value) <= 1e-12 * std::max(std::fabs(ours), std::fabs(value));
}

std::optional<std::string> TextOf(const YExcel::BasicExcelCell &cell)
{
    const YExcel::LargeString *text = cell.Text();
    if (!text) {
        return std::nullopt;
    }
    return text->Wide ? Encoding::Utf16ToUtf8(text->WideText) : Encoding::Windows1252ToUtf8(text->Narrow);
}

using Kind = YExcel::BasicExcelCell::CellKind;

// Empty when the cell agrees with the listing, else what differs.
std::string Difference(const YExcel::BasicExcelCell &cell, const ExpectedCell *expected)
{
    const int kind = cell.Kind();
    if (!expected) {
        return kind == Kind::Empty ? "" : "a cell the listing does not have";
    }
    const std::string &type = expected->Type;
    if (type == "number" || type == "date") {
        const bool numeric = kind == Kind::Integer || kind == Kind::Real || kind == Kind::FormulaResult;
        return numeric && SameNumber(cell.NumberValue(), expected->Value) ? "" : "number differs";
    }
    if (type == "text") {
        if (kind == Kind::Empty && expected->Value.empty()) {
            return "";
        }
        const auto text = TextOf(cell);
        return text && *text == Unescaped(expected->Value)
            ? ""
            : "text differs: \"" + text.value_or("(none)") + "\"";
    }
    if (type == "boolean") {
        if (kind == Kind::Integer && SameNumber(cell.NumberValue(), expected->Value)) {
            return "";
        }
        const bool formulaOk = kind == Kind::FormulaResult
            && (cell.NumberValue() == 0 || SameNumber(cell.NumberValue(), expected->Value));
        return formulaOk ? "" : "boolean differs";
    }
    if (type == "error") {
        return kind == Kind::Empty || kind == Kind::FormulaResult ? "" : "error cell has a value";
    }
    return "unknown type " + type;
}

std::vector<std::string> CorpusWorkbooks()
{
    std::vector<std::string> names;
    if (!fs::is_directory(CorpusRoot / "expected")) {
        return {""}; // one test that skips
    }
    for (const auto &entry : fs::directory_iterator(CorpusRoot / "expected")) {
        names.push_back(entry.path().stem().string()); // "NAME.xls"
    }
    std::sort(names.begin(), names.end());
    return names;
}

std::string TestName(const testing::TestParamInfo<std::string> &info)
{
    std::string name = info.param.empty() ? "absent" : info.param;
    for (char &c : name) {
        if (!std::isalnum(static_cast<unsigned char>(c))) {
            c = '_';
        }
    }
    return name;
}

} // namespace

class Corpus : public testing::TestWithParam<std::string>
{ };

TEST_P(Corpus, WorkbookMatchesItsListing)
{
    if (GetParam().empty()) {
        GTEST_SKIP() << "the shared corpus is not at " << CorpusRoot;
    }
    const std::string name = GetParam();
    fs::path workbook = CorpusRoot / "files" / name;
    if (!fs::exists(workbook)) {
        workbook = CorpusRoot / "generated" / name;
    }
    const std::vector<ExpectedSheet> expected = ReadListing(CorpusRoot / "expected" / (name + ".tsv"));

    YExcel::BasicExcel book;
    ASSERT_TRUE(book.OpenBook(workbook.string()));
    ASSERT_EQ(book.SheetCount(), expected.size());
    for (std::size_t index = 0; index < expected.size(); ++index) {
        YExcel::BasicExcelWorksheet &sheet = *book.SheetAt(index);
        const ExpectedSheet &listing = expected[index];
        // The reference reader read every listed sheet in full.
        EXPECT_FALSE(sheet.Damaged()) << "sheet " << index;
        // A name Windows-1252 cannot hold reads as empty.
        EXPECT_EQ(book.SheetName(index), Encoding::Utf8ToWindows1252(Unescaped(listing.Name)).value_or(""));
        EXPECT_GE(sheet.RowCount(), listing.LastRow + 1) << "sheet " << index;
        EXPECT_GE(sheet.ColumnCount(), listing.LastColumn + 1) << "sheet " << index;
        int differences = 0;
        const int rows = sheet.RowCount();
        const int columns = sheet.ColumnCount();
        for (int row = 0; row < rows && differences < 10; ++row) {
            for (int column = 0; column < columns && differences < 10; ++column) {
                const auto found = listing.Cells.find({row, column});
                const ExpectedCell *cell = found == listing.Cells.end() ? nullptr : &found->second;
                const std::string difference = Difference(*sheet.CellAt(row, column), cell);
                if (!difference.empty()) {
                    ++differences;
                    ADD_FAILURE() << "sheet " << index << " cell (" << row << ", " << column
                                  << "): " << difference
                                  << (cell ? " (expected " + cell->Type + " " + cell->Value + ")" : "");
                }
            }
        }
    }
}

INSTANTIATE_TEST_SUITE_P(Shared, Corpus, testing::ValuesIn(CorpusWorkbooks()), TestName);
