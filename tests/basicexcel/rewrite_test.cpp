// Existing workbooks: the sheets written replace their namesakes or are appended, and
// nothing else is lost (other sheets, other streams), on our own files and on real ones.

#include "written_workbook.h"

#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>

using namespace TestWorkbook;
using WrittenWorkbook::RecordCodes;
using WrittenWorkbook::WorkbookStream;
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

ByteVector WrittenStream(const std::vector<WrittenSheet> &sheets)
{
    return WorkbookStream(WrittenWorkbook::Bytes(YExcel::WriteNewWorkbook(sheets)));
}

// `records` put into the globals just after their BOF, the sheet list's offsets moved along.
ByteVector WithGlobals(ByteVector stream, const ByteVector &records)
{
    constexpr std::size_t AfterBof = 20;
    for (const auto &[offset, code] : RecordCodes(stream)) {
        if (code == 0x0085) {
            WriteU32(
                stream, offset + 4, ReadU32(stream, offset + 4) + static_cast<std::uint32_t>(records.size()));
        }
    }
    stream.insert(stream.begin() + AfterBof, records.begin(), records.end());
    return stream;
}

std::vector<std::size_t> OffsetsOf(const ByteVector &stream, std::uint16_t wanted)
{
    std::vector<std::size_t> offsets;
    for (const auto &[offset, code] : RecordCodes(stream)) {
        if (code == wanted) {
            offsets.push_back(offset);
        }
    }
    return offsets;
}

ByteVector BodyAt(const ByteVector &stream, std::size_t offset)
{
    const std::size_t length = stream.at(offset + 2) | (stream.at(offset + 3) << 8);
    return {stream.begin() + offset + 4, stream.begin() + offset + 4 + length};
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
    const ByteVector stream = WrittenStream({{"Data", {{1.0}}}});
    const ByteVector encrypted = WithGlobals(stream, Record(0x002F, ByteVector(54, 0)));
    EXPECT_EQ(RefusalOf(CompoundFileWithWorkbook(encrypted)), "the workbook is encrypted");

    // A sheet after the padding, which readers going from sheet to sheet never reach.
    ByteVector trailing = stream;
    const ByteVector hidden = Join({Bof(0x0010), Number(0, 0, 1), Eof()});
    trailing.insert(trailing.end(), hidden.begin(), hidden.end());
    EXPECT_EQ(
        RefusalOf(CompoundFileWithWorkbook(trailing)), "the workbook holds records after its last sheet");

    // Substreams readers would not go past or would take for more globals.
    const std::size_t end = OffsetsOf(stream, 0x000A).back() + 4;
    for (const ByteVector &odd : {Join({Bof(0x0005), Eof()}), Join({Record(0x0809, {0x00, 0x06}), Eof()})}) {
        ByteVector more = stream;
        more.insert(more.begin() + static_cast<std::ptrdiff_t>(end), odd.begin(), odd.end());
        EXPECT_EQ(RefusalOf(CompoundFileWithWorkbook(more)), "a sheet of the workbook cannot be read");
    }

    // Two names for one sheet: writing over one would rename the other.
    ByteVector alias = BodyAt(stream, OffsetsOf(stream, 0x0085).at(0));
    WriteU32(alias, 0, ReadU32(alias, 0) + 4 + static_cast<std::uint32_t>(alias.size()));
    alias.at(8) = 'X';
    EXPECT_EQ(RefusalOf(CompoundFileWithWorkbook(WithGlobals(stream, Record(0x0085, alias)))),
        "the workbook's list of sheets does not match its sheets");

    // A kept text cell pointing beyond the shared strings would come to show a new text;
    // written over, it no longer matters.
    ByteVector dangling = WrittenStream({{"Data", {{std::string("text")}}}});
    WriteU32(dangling, OffsetsOf(dangling, 0x00FD).at(0) + 4 + 6, 1);
    EXPECT_EQ(RefusalOf(CompoundFileWithWorkbook(dangling)), "the workbook's shared strings are damaged");
    EXPECT_EQ(RefusalOf(CompoundFileWithWorkbook(dangling), {{"data", {}}}), "");

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

// Damaged workbooks (fuzz findings among them) are refused, or rewritten into workbooks
// that read again: a damaged sheet or shared-string table is never carried on.
TEST(WorkbookRewriter, MalformedFilesAreRefusedOrRewrittenSoundly)
{
    const fs::path folder = fs::path(ORVANE_SOURCE_DIR) / "tests" / "data" / "malformed";
    ASSERT_TRUE(fs::is_directory(folder));
    for (const auto &entry : fs::directory_iterator(folder)) {
        const std::string name = entry.path().filename().string();
        const auto written = YExcel::RewriteWorkbook(ReadFile(entry.path()), ReportSheets);
        if (std::holds_alternative<YExcel::WorkbookRefusal>(written)) {
            continue;
        }
        const std::string &bytes = std::get<std::string>(written);
        YExcel::BasicExcel book;
        EXPECT_TRUE(
            book.OpenBookFromMemory({reinterpret_cast<const std::uint8_t *>(bytes.data()), bytes.size()}))
            << name;
    }
}

// The workbook's own SUPBOOK counts the sheets and TABID has an identifier for each; the
// sheet list grows by one BOUNDSHEET a sheet, even with an SST before it; a replaced sheet
// that was selected stays so; new cells take a cell format of the General number format
// rather than XF 15 when that one shows dates.
TEST(WorkbookRewriter, KeepsTheGlobalsInStepWithTheSheets)
{
    ByteVector stream = WrittenStream({{"Data", {{1.0}}}, {"Other", {{2.0}}}});
    const std::vector<std::size_t> xfs = OffsetsOf(stream, 0x00E0);
    stream.at(xfs.at(15) + 4 + 2) = 14; // a date format
    stream.at(xfs.at(14) + 4 + 4) &= ~0x04; // a cell XF, no longer a style
    stream = WithGlobals(
        stream, Join({Record(0x01AE, {2, 0, 1, 4}), Record(0x013D, {1, 0, 2, 0}), Sst({Text8("first")})}));
    const std::vector<WrittenSheet> sheets = {{"data", {{3.0}}}, {"New", {{4.0}}}};
    const ByteVector file
        = WrittenWorkbook::Bytes(YExcel::RewriteWorkbook(CompoundFileWithWorkbook(stream), sheets));
    WrittenWorkbook::ExpectReadsBack(file, {{"Data", sheets[0].Rows}, {"Other", {{2.0}}}, sheets[1]});

    const ByteVector rewritten = WorkbookStream(file);
    EXPECT_EQ(BodyAt(rewritten, OffsetsOf(rewritten, 0x01AE).at(0)), (ByteVector {3, 0, 1, 4}));
    EXPECT_EQ(BodyAt(rewritten, OffsetsOf(rewritten, 0x013D).at(0)), (ByteVector {1, 0, 2, 0, 3, 0}));
    EXPECT_EQ(OffsetsOf(rewritten, 0x0085).size(), 3u);
    std::vector<bool> selected;
    for (std::size_t window : OffsetsOf(rewritten, 0x023E)) {
        selected.push_back((rewritten.at(window + 5) & 0x02) != 0);
    }
    EXPECT_EQ(selected, (std::vector<bool> {true, false, false}));
    std::vector<int> cellXFs;
    for (std::size_t number : OffsetsOf(rewritten, 0x0203)) {
        cellXFs.push_back(rewritten.at(number + 8) | (rewritten.at(number + 9) << 8));
    }
    EXPECT_EQ(cellXFs, (std::vector<int> {14, 15, 14}));
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
