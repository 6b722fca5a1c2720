#include "written_workbook.h"

#include "text_encoding.h"

#include <cmath>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <sstream>

namespace fs = std::filesystem;

namespace WrittenWorkbook {

namespace {

const fs::path ListingTool
    = fs::path(ORVANE_SOURCE_DIR) / ".." / "shared" / "xls-corpus" / "tools" / "make_expected.py";

std::string Escaped(const std::string &utf8)
{
    std::string out;
    for (char c : utf8) {
        out += c == '\\' ? "\\\\"
            : c == '\t'  ? "\\t"
            : c == '\r'  ? "\\r"
            : c == '\n'  ? "\\n"
                         : std::string(1, c);
    }
    return out;
}

// Python's repr of a float, the shortest text that reads back as the same double, for
// values under 1e6 in magnitude (beyond, the two disagree on when to use an exponent).
std::string PythonRepr(double value)
{
    char buffer[64];
    for (int precision = 1; precision <= 17; ++precision) {
        std::snprintf(buffer, sizeof buffer, "%.*g", precision, value);
        if (std::strtod(buffer, nullptr) == value) {
            break;
        }
    }
    std::string text = buffer;
    if (text.find_first_of(".e") == std::string::npos) {
        text += ".0";
    }
    return text;
}

} // namespace

TestWorkbook::ByteVector Bytes(const std::variant<std::string, YExcel::WorkbookRefusal> &written)
{
    if (const auto *refusal = std::get_if<YExcel::WorkbookRefusal>(&written)) {
        ADD_FAILURE() << "refused: " << refusal->Reason;
        return {};
    }
    const std::string &bytes = std::get<std::string>(written);
    return {bytes.begin(), bytes.end()};
}

TestWorkbook::ByteVector WorkbookStream(const TestWorkbook::ByteVector &file)
{
    YExcel::WorkbookStorage storage;
    TestWorkbook::ByteVector stream;
    EXPECT_TRUE(storage.OpenMemory(file));
    EXPECT_EQ(storage.ReadStream("Workbook", stream), YExcel::StorageStatus::Ok);
    return stream;
}

std::map<std::size_t, std::uint16_t> RecordCodes(const TestWorkbook::ByteVector &stream)
{
    std::map<std::size_t, std::uint16_t> codes;
    for (std::size_t offset = 0; offset + 4 <= stream.size();) {
        const std::uint16_t code = stream[offset] | (stream[offset + 1] << 8);
        const std::size_t length = stream[offset + 2] | (stream[offset + 3] << 8);
        if (code == 0) {
            break;
        }
        codes[offset] = code;
        offset += 4 + length;
    }
    return codes;
}

void ExpectReadsBack(const TestWorkbook::ByteVector &bytes, const std::vector<YExcel::WrittenSheet> &sheets)
{
    YExcel::BasicExcel book;
    ASSERT_TRUE(book.OpenBookFromMemory(bytes));
    ASSERT_EQ(book.SheetCount(), sheets.size());
    for (std::size_t i = 0; i < sheets.size(); ++i) {
        EXPECT_EQ(book.SheetName(i), sheets[i].Name);
        YExcel::BasicExcelWorksheet &sheet = *book.SheetAt(i);
        EXPECT_FALSE(sheet.Damaged());
        for (std::size_t row = 0; row < sheets[i].Rows.size(); ++row) {
            for (std::size_t column = 0; column < sheets[i].Rows[row].size(); ++column) {
                const YExcel::WrittenCell &written = sheets[i].Rows[row][column];
                const YExcel::BasicExcelCell &cell = *sheet.CellAt(int(row), int(column));
                const double *number = std::get_if<double>(&written);
                const std::string *text = std::get_if<std::string>(&written);
                if (number && std::isfinite(*number)) {
                    EXPECT_EQ(cell.Kind(), YExcel::BasicExcelCell::Real) << row << ", " << column;
                    EXPECT_EQ(cell.NumberValue(), *number) << row << ", " << column;
                } else if (text && !text->empty()) {
                    EXPECT_EQ(cell.TextValue(), *text) << row << ", " << column;
                } else {
                    EXPECT_EQ(cell.Kind(), YExcel::BasicExcelCell::Empty) << row << ", " << column;
                }
            }
        }
    }
}

std::optional<std::vector<std::vector<std::string>>> XlrdListings(const std::vector<std::string> &paths)
{
    if (!fs::exists(ListingTool) || std::system("/usr/bin/python3 -c 'import xlrd' 2>/dev/null") != 0) {
        return std::nullopt;
    }
    const fs::path folder = fs::path(paths.at(0)).parent_path() / "xlrd";
    fs::create_directories(folder);
    std::string command = "/usr/bin/python3 '" + ListingTool.string() + "' '" + folder.string() + "'";
    for (const std::string &path : paths) {
        command += " '" + path + "'";
    }
    EXPECT_EQ(std::system(command.c_str()), 0) << command;
    std::vector<std::vector<std::string>> listings;
    for (const std::string &path : paths) {
        std::ifstream in(folder / (fs::path(path).filename().string() + ".tsv"), std::ios::binary);
        std::vector<std::string> &lines = listings.emplace_back();
        for (std::string line; std::getline(in, line);) {
            lines.push_back(line);
        }
    }
    return listings;
}

std::vector<std::string> ListingOf(const std::vector<YExcel::WrittenSheet> &sheets, std::size_t firstIndex)
{
    std::vector<std::string> lines;
    for (std::size_t i = 0; i < sheets.size(); ++i) {
        std::vector<std::string> cells;
        std::size_t rows = 0;
        std::size_t columns = 0;
        for (std::size_t row = 0; row < sheets[i].Rows.size(); ++row) {
            for (std::size_t column = 0; column < sheets[i].Rows[row].size(); ++column) {
                const YExcel::WrittenCell &cell = sheets[i].Rows[row][column];
                const std::string place = std::to_string(row) + "\t" + std::to_string(column) + "\t";
                if (const double *number = std::get_if<double>(&cell)) {
                    // 36: #NUM!, what stands for a number Excel cannot hold
                    cells.push_back(
                        place + (std::isfinite(*number) ? "number\t" + PythonRepr(*number) : "error\t36"));
                } else if (const std::string *text = std::get_if<std::string>(&cell);
                           text && !text->empty()) {
                    cells.push_back(place + "text\t" + Escaped(Encoding::Windows1252ToUtf8(*text)));
                } else {
                    continue;
                }
                rows = std::max(rows, row + 1);
                columns = std::max(columns, column + 1);
            }
        }
        lines.push_back("sheet\t" + std::to_string(firstIndex + i) + "\t"
            + Escaped(Encoding::Windows1252ToUtf8(sheets[i].Name)) + "\t" + std::to_string(rows) + "\t"
            + std::to_string(columns));
        lines.insert(lines.end(), cells.begin(), cells.end());
    }
    return lines;
}

} // namespace WrittenWorkbook
