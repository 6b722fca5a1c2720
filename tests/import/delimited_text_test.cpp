#include "delimited_text.h"

#include "corpus_listing.h"
#include "data_file.h"
#include "delimited_workbook.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <sstream>

namespace fs = std::filesystem;
using DelimitedText::Record;

namespace {

std::string FileBytes(const fs::path &path)
{
    std::ifstream in(path, std::ios::binary);
    std::ostringstream bytes;
    bytes << in.rdbuf();
    return bytes.str();
}

// The records of a listing: every field of every record is listed, empty ones too.
std::vector<Record> ListedRecords(const fs::path &listing)
{
    std::vector<Record> records;
    const auto sheets = CorpusListing::ReadListing(listing);
    for (const auto &[at, cell] : sheets.at(0).Cells) {
        records.resize(std::max(records.size(), std::size_t(at.first) + 1));
        records[at.first].push_back(cell.Value);
    }
    return records;
}

} // namespace

class DelimitedCorpus : public testing::TestWithParam<std::string>
{ };

TEST_P(DelimitedCorpus, FileMatchesItsListing)
{
    if (GetParam().empty()) {
        GTEST_SKIP() << "the shared corpus is absent";
    }
    const fs::path corpus = CorpusListing::Root("csv-corpus");
    const auto table = DelimitedText::ReadTable(FileBytes(corpus / "files" / GetParam()));
    EXPECT_EQ(table.Records, ListedRecords(corpus / "expected" / (GetParam() + ".tsv")));
}

INSTANTIATE_TEST_SUITE_P(Shared, DelimitedCorpus, testing::ValuesIn(CorpusListing::ListedFiles("csv-corpus")),
    [](const testing::TestParamInfo<std::string> &info) { return CorpusListing::TestName(info.param); });

TEST(DelimitedText, QuotingAndLineEnds)
{
    EXPECT_EQ(DelimitedText::SplitRecords("a,\"b,\"\"c\"\"\r\nd\"\r\n\r\n,\rx\"y,\"z\"w\n", ','),
        (std::vector<Record> {{"a", "b,\"c\"\r\nd"}, {"", ""}, {"x\"y", "zw"}}));
    // An unterminated quote keeps the rest of the file as its text: nothing is lost.
    EXPECT_EQ(DelimitedText::SplitRecords("a,\"b\nc", ','), (std::vector<Record> {{"a", "b\nc"}}));
}

TEST(DelimitedText, EncodingAndDelimiter)
{
    EXPECT_EQ(DelimitedText::DecodedText("\xB5g/L"), "\xC2\xB5g/L"); // not UTF-8: Windows-1252
    EXPECT_EQ(DelimitedText::DecodedText(std::string("\xFF\xFE" "a\0;\0", 6)), "a;");
    // A byte-order mark does not make the bytes after it UTF-8.
    EXPECT_EQ(DelimitedText::DecodedText(FileBytes(fs::path(ORVANE_SOURCE_DIR) / "tests/data/malformed/bom-then-invalid-utf8.csv")),
        "a,b\uFFFDc\n1,2,3\n");
    EXPECT_EQ(DelimitedText::ReadTable("sep=;\r\na,b;c\r\n").Records, (std::vector<Record> {{"a,b", "c"}}));
    EXPECT_EQ(DelimitedText::ReadTable("t;v\n1,5;2\n3,5;4\n").Delimiter, ';');
    EXPECT_EQ(DelimitedText::ReadTable("one\ntwo\n").Delimiter, ',');
}

TEST(DelimitedText, FieldsThatAreNumbers)
{
    using DelimitedText::FieldNumber;
    EXPECT_EQ(FieldNumber(" +12.5 ", ','), 12.5);
    EXPECT_EQ(FieldNumber("-.5e1", ','), -5);
    EXPECT_EQ(FieldNumber("1,5", ';'), 1.5);
    EXPECT_EQ(FieldNumber("1,5", '\t'), 1.5);
    for (const char *text : {"1,5", "12.345,67", ".", "-", "1e", "0x1A", "inf", "nan", "1 2", "", "1.5.2"}) {
        EXPECT_FALSE(FieldNumber(text, ',')) << text;
    }
    EXPECT_FALSE(FieldNumber("12.345,67", ';'));
}

TEST(DelimitedText, DateTimesAreSerialDays)
{
    using DelimitedText::FieldNumber;
    EXPECT_DOUBLE_EQ(*FieldNumber("05/01/2013 09:15:00", ','), 41395 + (9 * 60 + 15) / 1440.0);
    EXPECT_DOUBLE_EQ(*FieldNumber("5/1/2013 9:15", ','), 41395 + (9 * 60 + 15) / 1440.0);
    EXPECT_DOUBLE_EQ(*FieldNumber("12/31/1999 23:59:59.5", ','), 36525 + 86399.5 / 86400);
    EXPECT_EQ(FieldNumber("01/01/1900 00:00", ','), 1);
    EXPECT_EQ(FieldNumber("03/01/1900 00:00", ','), 61); // after the 29 February 1900 that never was
    EXPECT_EQ(FieldNumber("02/29/2012 00:00", ','), 40968);
    for (const char *text : {"2013/05/01 09:15:00", "02/29/2013 00:00", "13/01/2013 00:00", "05/01/2013",
             "05/01/2013 24:00", "05/01/2013 09:60", "05/01/2013 09:15:60", "05/01/13 09:15", "05/01/2013 09:15:"}) {
        EXPECT_FALSE(FieldNumber(text, ',')) << text;
    }
}

TEST(DelimitedWorkbook, HoldsNumbersAndTextsUpToTheSheetLimits)
{
    std::string log = "Time;Concentration\n";
    for (int row = 1; row < 100000; ++row) {
        log += std::to_string(row) + ";0,5\n";
    }
    const auto book = DataFile::ReadDelimitedWorkbook(log, "log").Book;
    ASSERT_NE(book, nullptr);
    const DataFile::Worksheet &sheet = *book->SheetAt(0);
    EXPECT_EQ(sheet.RowCount(), DataFile::MaxRows);
    EXPECT_TRUE(sheet.Truncated());
    EXPECT_EQ(*sheet.CellAt(0, 1).TextValue(), "Concentration");
    EXPECT_EQ(sheet.CellAt(65535, 0).Number, 65535);
    EXPECT_EQ(sheet.CellAt(65535, 1).Number, 0.5);
    EXPECT_EQ(book->SheetName(0), "log");
    // A quote never closed keeps the rest of the file as one text: nothing is lost or invented.
    const auto unterminated = DataFile::OpenDataFile(ORVANE_SOURCE_DIR "/tests/data/malformed/unterminated-quote.csv");
    ASSERT_NE(unterminated.Book, nullptr);
    EXPECT_EQ(unterminated.Book->SheetAt(0)->RowCount(), 3);
    EXPECT_EQ(*unterminated.Book->SheetAt(0)->CellAt(2, 1).TextValue(), "0.7\r\n2,0.9\r\n");
    // A NUL byte means some binary file, not a table.
    EXPECT_EQ(DataFile::ReadDelimitedWorkbook(std::string("PNG\0\0", 5), "image").Book, nullptr);
}
