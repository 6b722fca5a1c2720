// New workbooks: what the writer produces reads back through our reader and through xlrd
// cell for cell, whatever the texts, the size of the shared-string table or the rows.

#include "written_workbook.h"

#include <cmath>
#include <gtest/gtest.h>
#include <limits>

using namespace TestWorkbook;
using YExcel::WrittenCell;
using YExcel::WrittenSheet;

namespace {

std::string Refusal(const std::vector<WrittenSheet> &sheets)
{
    const auto written = YExcel::WriteNewWorkbook(sheets);
    const auto *refusal = std::get_if<YExcel::WorkbookRefusal>(&written);
    return refusal ? refusal->Reason : "";
}

void ExpectXlrdListing(
    const ByteVector &bytes, const std::vector<WrittenSheet> &sheets, const std::string &name)
{
    const auto listings = WrittenWorkbook::XlrdListings({WriteTemporaryFile(name, bytes)});
    if (!listings) {
        GTEST_SKIP() << "python3-xlrd is not installed";
    }
    EXPECT_EQ(listings->at(0), WrittenWorkbook::ListingOf(sheets));
}

} // namespace

// 8-bit texts, texts that need 16 bits (Windows-1252 0x80-0x9F are not Latin-1), gaps,
// empty texts, and a number Excel cannot hold.
TEST(WorkbookWriter, CellsOfEveryKindReadBack)
{
    const std::vector<WrittenSheet> sheets = {
        {"Results",
            {{std::string("Time (min)"), std::string("Flow \xB5g/(cm\xB2\xB7min)"), 1.5},
                {0.0, -273.15, std::monostate {}, std::string("\x80 \x93quoted\x94")}, {},
                {std::string(), std::numeric_limits<double>::quiet_NaN(), 0.1}}},
        {"Z\xFCrich \x80", {{std::string("Time (min)"), 42.0}}},
    };
    const ByteVector bytes = WrittenWorkbook::Bytes(YExcel::WriteNewWorkbook(sheets));
    WrittenWorkbook::ExpectReadsBack(bytes, sheets);
    YExcel::BasicExcel book;
    ASSERT_TRUE(book.OpenBookFromMemory(bytes));
    EXPECT_EQ(book.SheetAt(0)->CellAt(0, 1)->Kind(), YExcel::BasicExcelCell::Text8);
    EXPECT_EQ(book.SheetAt(0)->CellAt(1, 3)->Kind(), YExcel::BasicExcelCell::Text16);
    ExpectXlrdListing(bytes, sheets, "cells.xls");
}

// More than 8224 bytes of shared strings: 8-bit and 16-bit strings split across CONTINUE
// records, and many short ones so that EXTSST has buckets.
TEST(WorkbookWriter, LongSharedStringTable)
{
    WrittenSheet sheet {"Texts", {}};
    for (int i = 0; i < 1500; ++i) {
        sheet.Rows.push_back({std::string("text number ") + std::to_string(i)});
    }
    sheet.Rows.push_back({std::string(20000, 'a') + "end"});
    sheet.Rows.push_back({std::string(9000, '\x80') + "wide end"});
    sheet.Rows.push_back({std::string(32767, 'z')});
    const ByteVector bytes = WrittenWorkbook::Bytes(YExcel::WriteNewWorkbook({sheet}));
    WrittenWorkbook::ExpectReadsBack(bytes, {sheet});
    ExpectXlrdListing(bytes, {sheet}, "long-sst.xls");
}

// INDEX points at each DBCELL; each DBCELL points back at its block's first ROW and at
// each row's first cell.
TEST(WorkbookWriter, RowBlocksAreIndexed)
{
    WrittenSheet sheet {"Rows", {}};
    for (int row = 0; row < 100; ++row) {
        sheet.Rows.push_back(row % 7 == 3
                ? std::vector<WrittenCell> {}
                : std::vector<WrittenCell> {std::monostate {}, double(row), std::string("r")});
    }
    const ByteVector bytes = WrittenWorkbook::Bytes(YExcel::WriteNewWorkbook({{"First", {{1.0}}}, sheet}));
    WrittenWorkbook::ExpectReadsBack(bytes, {{"First", {{1.0}}}, sheet});
    const ByteVector stream = WrittenWorkbook::WorkbookStream(bytes);
    const auto codes = WrittenWorkbook::RecordCodes(stream);
    std::vector<std::size_t> indexes;
    for (const auto &[offset, code] : codes) {
        if (code == 0x020B) {
            indexes.push_back(offset);
        }
    }
    ASSERT_EQ(indexes.size(), 2u);
    const std::size_t index = indexes[1];
    const std::size_t length = stream[index + 2] | (stream[index + 3] << 8);
    ASSERT_EQ(length, 16u + 4 * 3); // 86 rows with cells: three blocks
    EXPECT_EQ(ReadU32(stream, index + 4 + 4), 0u);
    EXPECT_EQ(ReadU32(stream, index + 4 + 8), 100u); // one past row 99, the last with cells
    EXPECT_EQ(codes.at(ReadU32(stream, index + 4 + 12)), 0x0055); // DEFCOLWIDTH
    std::size_t rowsSeen = 0;
    for (std::size_t block = 0; block < 3; ++block) {
        const std::size_t dbCell = ReadU32(stream, index + 4 + 16 + 4 * block);
        ASSERT_EQ(codes.at(dbCell), 0x00D7);
        const std::size_t firstRow = dbCell - ReadU32(stream, dbCell + 4);
        ASSERT_EQ(codes.at(firstRow), 0x0208);
        const std::size_t rows = ((stream[dbCell + 2] | (stream[dbCell + 3] << 8)) - 4) / 2;
        std::size_t cell = firstRow + 20;
        for (std::size_t i = 0; i < rows; ++i) {
            cell += stream[dbCell + 8 + 2 * i] | (stream[dbCell + 9 + 2 * i] << 8);
            const std::uint16_t row = stream[firstRow + 20 * i + 4] | (stream[firstRow + 20 * i + 5] << 8);
            ASSERT_EQ(codes.at(cell), 0x0203) << "row " << row;
            EXPECT_EQ(stream[cell + 4] | (stream[cell + 5] << 8), row);
        }
        rowsSeen += rows;
    }
    EXPECT_EQ(rowsSeen, 86u);
}

TEST(WorkbookWriter, SheetsExcelWouldNotTakeAreRefused)
{
    EXPECT_NE(Refusal({}), "");
    EXPECT_NE(Refusal({{"", {}}}), "");
    EXPECT_NE(Refusal({{std::string(32, 'a'), {}}}), "");
    EXPECT_NE(Refusal({{"a/b", {}}}), "");
    EXPECT_NE(Refusal({{"'quoted'", {}}}), "");
    EXPECT_EQ(Refusal({{"\xC4rger", {}}, {"\xE4RGER", {}}}), "two sheets are named \"\xE4RGER\"");
    EXPECT_NE(Refusal({{"Wide", {std::vector<WrittenCell>(257, 1.0)}}}), "");
    EXPECT_NE(Refusal({{"Long", {{std::string(32768, 'x')}}}}), "");
    EXPECT_EQ(Refusal({{"Wide", {std::vector<WrittenCell>(256, 1.0)}}, {std::string(31, 'b'), {}}}), "");
    WrittenSheet tall {"Tall", std::vector<std::vector<WrittenCell>>(65537)};
    EXPECT_EQ(Refusal({tall}), "");
    tall.Rows.back().push_back(1.0);
    EXPECT_NE(Refusal({tall}), "");
}
