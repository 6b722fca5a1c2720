// Existing workbooks: the sheets written replace their namesakes or are appended, and
// nothing else is lost (other sheets, other streams), on our own files and on real ones.

#include "written_workbook.h"

#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>

using namespace TestWorkbook;
using YExcel::WrittenCell;
using YExcel::WrittenSheet;

namespace fs = std::filesystem;

namespace {

const fs::path CorpusRoot = fs::path(ORVANE_SOURCE_DIR) / ".." / "shared" / "xls-corpus";

const std::vector<WrittenSheet> ReportSheets = {
    {"Results",
        {{std::string("Time (min)"), std::string("Permeation \xB5g/cm\xB2")}, {1.0, 0.25}, {2.0, 0.5}}},
    {"CSpreadSheetBackup", {{std::string("\x84saved\x93"), 3.0}}},
};

std::string RefusalOf(const ByteVector &existing, const std::vector<WrittenSheet> &sheets = ReportSheets)
{
    const auto written = YExcel::RewriteWorkbook(existing, sheets);
    const auto *refusal = std::get_if<YExcel::WorkbookRefusal>(&written);
    return refusal ? refusal->Reason : "";
}

ByteVector WorkbookStream(const ByteVector &file)
{
    YExcel::WorkbookStorage storage;
    ByteVector stream;
    EXPECT_TRUE(storage.OpenMemory(file));
    storage.ReadStream("Workbook", stream);
    return stream;
}

ByteVector ReadFile(const fs::path &path)
{
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

void ExpectSameCells(
    YExcel::BasicExcelWorksheet &before, YExcel::BasicExcelWorksheet &after, std::size_t sheet)
{
    ASSERT_EQ(after.RowCount(), before.RowCount()) << "sheet " << sheet;
    ASSERT_EQ(after.ColumnCount(), before.ColumnCount()) << "sheet " << sheet;
    int differences = 0;
    for (int row = 0; row < before.RowCount() && differences < 10; ++row) {
        for (int column = 0; column < before.ColumnCount() && differences < 10; ++column) {
            const YExcel::BasicExcelCell &a = *before.CellAt(row, column);
            const YExcel::BasicExcelCell &b = *after.CellAt(row, column);
            const YExcel::LargeString *textA = a.Text();
            const YExcel::LargeString *textB = b.Text();
            const bool same = a.Kind() == b.Kind() && a.NumberValue() == b.NumberValue()
                && (textA == nullptr) == (textB == nullptr)
                && (!textA
                    || (textA->Wide == textB->Wide && textA->Narrow == textB->Narrow
                        && textA->WideText == textB->WideText));
            if (!same) {
                ++differences;
                ADD_FAILURE() << "sheet " << sheet << " cell (" << row << ", " << column << ") differs";
            }
        }
    }
}

// Every entry of the compound file but the workbook stream, as it was.
void ExpectSameOtherStreams(const ByteVector &before, const ByteVector &after)
{
    YExcel::WorkbookStorage a;
    YExcel::WorkbookStorage b;
    ASSERT_TRUE(a.OpenMemory(before));
    ASSERT_TRUE(b.OpenMemory(after));
    std::vector<YExcel::StorageEntry> entriesA;
    std::vector<YExcel::StorageEntry> entriesB;
    ASSERT_EQ(a.ReadEntries(entriesA), YExcel::StorageStatus::Ok);
    ASSERT_EQ(b.ReadEntries(entriesB), YExcel::StorageStatus::Ok);
    ASSERT_EQ(entriesA.size(), entriesB.size());
    for (std::size_t i = 1; i < entriesA.size(); ++i) {
        const YExcel::StorageEntry &x = entriesA[i];
        const YExcel::StorageEntry &y = entriesB[i];
        EXPECT_TRUE(x.Name == y.Name && x.Type == y.Type && x.Left == y.Left && x.Right == y.Right
            && x.Child == y.Child && x.Clsid == y.Clsid && x.StateBits == y.StateBits && x.Times == y.Times)
            << "entry " << i;
        std::u16string name = x.Name;
        std::transform(name.begin(), name.end(), name.begin(),
            [](char16_t c) { return c >= u'a' && c <= u'z' ? c - 32 : c; });
        if (name != u"WORKBOOK") {
            EXPECT_TRUE(x.Bytes == y.Bytes) << "entry " << i;
        }
    }
}

} // namespace

// Written over: a sheet of the same name in any case, in its place; appended: a new name.
// The other sheets keep their cells, and other streams their bytes; a second save replaces
// both report sheets again.
TEST(WorkbookRewriter, ReplacesNamesakesAndKeepsTheRest)
{
    const std::vector<WrittenSheet> original = {
        {"Data", {{std::string("raw"), 1.0}, {2.0}}},
        {"RESULTS", {{std::string("old"), std::string("gone")}}},
        {"Notes", std::vector<std::vector<WrittenCell>>(40, {std::string("note"), 7.0})},
    };
    const std::string stream = std::get<std::string>(YExcel::WriteNewWorkbook(original));
    const ByteVector summary(300, 0x5A);
    const ByteVector existing = CompoundFile(
        {{"Workbook", WorkbookStream({stream.begin(), stream.end()})}, {"\x05SummaryInformation", summary}});

    const ByteVector once = WrittenWorkbook::Bytes(YExcel::RewriteWorkbook(existing, ReportSheets));
    // The replaced sheet keeps its name as the workbook spelt it.
    const std::vector<WrittenSheet> expected
        = {original[0], {"RESULTS", ReportSheets[0].Rows}, original[2], ReportSheets[1]};
    WrittenWorkbook::ExpectReadsBack(once, expected);
    ExpectSameOtherStreams(existing, once);

    const std::vector<WrittenSheet> again = {{"Results", {{9.0}}}, {"cspreadsheetbackup", {}}};
    const ByteVector twice = WrittenWorkbook::Bytes(YExcel::RewriteWorkbook(once, again));
    WrittenWorkbook::ExpectReadsBack(
        twice, {original[0], {"RESULTS", again[0].Rows}, original[2], {"CSpreadSheetBackup", {}}});
    ExpectSameOtherStreams(existing, twice);

    const auto listings = WrittenWorkbook::XlrdListings({WriteTemporaryFile("rewritten.xls", once)});
    if (!listings) {
        GTEST_SKIP() << "python3-xlrd is not installed";
    }
    EXPECT_EQ(listings->at(0), WrittenWorkbook::ListingOf(expected));
}

TEST(WorkbookRewriter, RefusesWhatItCannotRewriteSafely)
{
    const std::string written = std::get<std::string>(YExcel::WriteNewWorkbook({{"Data", {{1.0}}}}));
    const ByteVector stream = WorkbookStream({written.begin(), written.end()});

    ByteVector encrypted = stream;
    const ByteVector filePass = Record(0x002F, ByteVector(54, 0));
    encrypted.insert(encrypted.begin() + 20, filePass.begin(), filePass.end());
    EXPECT_EQ(RefusalOf(CompoundFileWithWorkbook(encrypted)), "the workbook is encrypted");

    ByteVector biff5 = stream;
    biff5[5] = 0x05; // BOF version 0x0500
    EXPECT_EQ(RefusalOf(CompoundFileWithWorkbook(biff5)), "the workbook was written by Excel 5.0 or older");
    EXPECT_EQ(RefusalOf(CompoundFile({{"Book", stream}})), "the workbook was written by Excel 5.0 or older");

    EXPECT_EQ(RefusalOf(ByteVector(2000, 'x')), "the file is not an Excel 97-2003 workbook");
    EXPECT_EQ(RefusalOf(CompoundFile({{"Other", stream}})), "the file holds no Excel workbook");
    ByteVector cut(stream.begin(), stream.begin() + 30);
    EXPECT_EQ(RefusalOf(CompoundFileWithWorkbook(cut)), "the workbook's global records cannot be read");
    EXPECT_EQ(RefusalOf(CompoundFileWithWorkbook(stream), {{"a:b", {}}}),
        "\"a:b\" is not a name Excel allows for a sheet");
}

class RewrittenCorpus : public testing::TestWithParam<std::string>
{ };

std::vector<std::string> CorpusFiles()
{
    std::vector<std::string> paths;
    for (const char *folder : {"files", "generated"}) {
        if (fs::is_directory(CorpusRoot / folder)) {
            for (const auto &entry : fs::directory_iterator(CorpusRoot / folder)) {
                paths.push_back(entry.path().string());
            }
        }
    }
    std::sort(paths.begin(), paths.end());
    return paths.empty() ? std::vector<std::string> {""} : paths;
}

std::string CorpusTestName(const testing::TestParamInfo<std::string> &info)
{
    std::string name = info.param.empty() ? "absent" : fs::path(info.param).filename().string();
    std::replace_if(
        name.begin(), name.end(), [](char c) { return !std::isalnum(static_cast<unsigned char>(c)); }, '_');
    return name;
}

// Nothing lost, through our reader: every sheet as before, the report sheets appended,
// every other stream and storage byte for byte.
TEST_P(RewrittenCorpus, LosesNothing)
{
    if (GetParam().empty()) {
        GTEST_SKIP() << "the shared corpus is not at " << CorpusRoot;
    }
    const ByteVector existing = ReadFile(GetParam());
    YExcel::BasicExcel before;
    ASSERT_TRUE(before.OpenBookFromMemory(existing));
    const ByteVector rewritten = WrittenWorkbook::Bytes(YExcel::RewriteWorkbook(existing, ReportSheets));
    YExcel::BasicExcel after;
    ASSERT_TRUE(after.OpenBookFromMemory(rewritten));
    const std::size_t kept = before.SheetCount();
    ASSERT_EQ(after.SheetCount(), kept + 2);
    for (std::size_t i = 0; i < kept; ++i) {
        EXPECT_EQ(after.SheetName(i), before.SheetName(i));
        ExpectSameCells(*before.SheetAt(i), *after.SheetAt(i), i);
    }
    EXPECT_EQ(after.SheetName(kept), "Results");
    EXPECT_EQ(after.SheetAt(kept)->CellAt(2, 1)->NumberValue(), 0.5);
    EXPECT_EQ(after.SheetAt(kept + 1)->CellAt(0, 0)->TextValue(), "\x84saved\x93");
    ExpectSameOtherStreams(existing, rewritten);
}

INSTANTIATE_TEST_SUITE_P(Shared, RewrittenCorpus, testing::ValuesIn(CorpusFiles()), CorpusTestName);

// Nothing lost, through xlrd: each rewritten workbook lists as the corpus says the original
// does, followed by the report sheets.
TEST(WorkbookRewriter, CorpusReadsBackThroughXlrd)
{
    if (CorpusFiles().front().empty()) {
        GTEST_SKIP() << "the shared corpus is not at " << CorpusRoot;
    }
    std::vector<std::string> paths;
    std::vector<std::vector<std::string>> expected;
    for (const std::string &path : CorpusFiles()) {
        const fs::path name = fs::path(path).filename();
        std::ifstream listing(CorpusRoot / "expected" / (name.string() + ".tsv"), std::ios::binary);
        std::vector<std::string> &lines = expected.emplace_back();
        std::size_t worksheets = 0;
        for (std::string line; std::getline(listing, line);) {
            worksheets += line.rfind("sheet\t", 0) == 0;
            lines.push_back(line);
        }
        const auto report = WrittenWorkbook::ListingOf(ReportSheets, worksheets);
        lines.insert(lines.end(), report.begin(), report.end());
        const ByteVector rewritten
            = WrittenWorkbook::Bytes(YExcel::RewriteWorkbook(ReadFile(path), ReportSheets));
        paths.push_back(WriteTemporaryFile(name.string(), rewritten));
    }
    const auto listings = WrittenWorkbook::XlrdListings(paths);
    if (!listings) {
        GTEST_SKIP() << "python3-xlrd is not installed";
    }
    for (std::size_t i = 0; i < paths.size(); ++i) {
        EXPECT_TRUE(listings->at(i) == expected[i]) << paths[i];
    }
}
