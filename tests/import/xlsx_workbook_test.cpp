// The .xlsx reader against the shared corpus of real-world workbooks, its value parsing
// at the edges, and the hostile packages under tests/data/malformed.

#include "corpus_listing.h"
#include "package_relationships.h"
#include "xlsx_cell_values.h"
#include "xlsx_text.h"
#include "xlsx_workbook.h"
#include "zip_package.h"

#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <iterator>

namespace fs = std::filesystem;
using namespace DataFile;

namespace {

const fs::path MalformedFolder = fs::path(ORVANE_SOURCE_DIR) / "tests" / "data" / "malformed";
const fs::path ImportData = ORVANE_IMPORT_TEST_DATA;

std::vector<std::uint8_t> FileBytes(const fs::path &path)
{
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

class XlsxCorpus : public testing::TestWithParam<std::string>
{ };

TEST_P(XlsxCorpus, WorkbookMatchesItsListing)
{
    if (GetParam().empty()) {
        GTEST_SKIP() << "the shared corpus is absent";
    }
    const fs::path root = CorpusListing::Root("xlsx-corpus");
    const std::vector<std::uint8_t> bytes = FileBytes(root / "files" / GetParam());
    const OpenResult read = ReadXlsxWorkbook(bytes);
    ASSERT_TRUE(read.Book) << read.Failure;
    const auto listing = CorpusListing::ReadListing(root / "expected" / (GetParam() + ".tsv"));
    ASSERT_EQ(read.Book->SheetCount(), listing.size());
    for (std::size_t i = 0; i < listing.size(); ++i) {
        EXPECT_EQ(read.Book->SheetName(i), listing[i].Name);
        const Worksheet &sheet = *read.Book->SheetAt(i);
        for (const std::string &difference : CorpusListing::SheetDifferences(sheet, listing[i])) {
            // Cells beyond the sheet limits are not read: the sheet says it was cut.
            if (!sheet.Truncated() || difference != "the sheet is smaller than its listing") {
                ADD_FAILURE() << "sheet " << i << ": " << difference;
            }
        }
    }
}

INSTANTIATE_TEST_SUITE_P(Shared, XlsxCorpus, testing::ValuesIn(CorpusListing::ListedFiles("xlsx-corpus")),
    [](const testing::TestParamInfo<std::string> &info) { return CorpusListing::TestName(info.param); });

// cell_kinds.xlsx: Strict namespaces with prefixes, parts at odd places, every cell type.
TEST(XlsxCells, EachStoredTypeGivesItsKind)
{
    using K = CellKind;
    const OpenResult read = ReadXlsxWorkbook(FileBytes(ImportData / "cell_kinds.xlsx"));
    ASSERT_TRUE(read.Book) << read.Failure;
    ASSERT_EQ(read.Book->SheetCount(), 1u);
    EXPECT_EQ(read.Book->SheetName(0), "Kinds");
    EXPECT_TRUE(read.Book->Uses1904Dates());
    const Worksheet &sheet = *read.Book->SheetAt(0);
    const auto expect = [&](int row, int column, K kind, double number, std::optional<std::string> text) {
        const CorpusListing::SeenCell seen = CorpusListing::Seen(sheet.CellAt(row, column));
        EXPECT_EQ(seen.Kind, kind) << row << "," << column;
        EXPECT_EQ(seen.Number, number) << row << "," << column;
        EXPECT_EQ(seen.Text, text) << row << "," << column;
    };
    expect(0, 0, K::Real, 1.5, {});
    expect(0, 1, K::Text16, 0, "rich");
    expect(0, 2, K::Text16, 0, "a\rb");
    expect(0, 3, K::Integer, 1, {});
    expect(0, 4, K::Empty, 0, {}); // an error
    expect(0, 5, K::Real, 2, {}); // 1904-01-03 in the 1904 system
    expect(0, 6, K::Text16, 0, " in line ");
    expect(0, 7, K::Empty, 0, {});
    expect(1, 0, K::FormulaResult, 2, {});
    expect(1, 1, K::FormulaResult, 0, "plain");
    expect(1, 2, K::FormulaResult, 0, "text");
    expect(1, 3, K::FormulaResult, 1, {});
    expect(1, 4, K::Empty, 0, {}); // never calculated
    // A row and cells without r follow the ones before.
    expect(2, 0, K::Real, 7, {});
    expect(2, 2, K::Real, 8, {});
    expect(2, 3, K::Real, 9, {});
    // A shared string index past the strings gives nothing.
    EXPECT_EQ(sheet.RowCount(), 3);
    EXPECT_EQ(sheet.ColumnCount(), 7);
}

TEST(XlsxCorpusExtremes, CellsBeyondTheSheetLimitsMarkTheSheetTruncated)
{
    const fs::path file = CorpusListing::Root("xlsx-corpus") / "files" / "tidyxl__xfd1048576.xlsx";
    if (!fs::exists(file)) {
        GTEST_SKIP() << "the shared corpus is absent";
    }
    const OpenResult read = ReadXlsxWorkbook(FileBytes(file));
    ASSERT_TRUE(read.Book) << read.Failure;
    EXPECT_TRUE(read.Book->SheetAt(0)->Truncated());
}

TEST(XlsxText, EscapesAreDecodedOnceLeftToRight)
{
    EXPECT_EQ(DecodedXstring("a_x000D_b"), "a\rb");
    EXPECT_EQ(DecodedXstring("_x005F_x000D_"), "_x000D_");
    EXPECT_EQ(DecodedXstring("_xD83D__xDE00_"), "\U0001F600");
    EXPECT_EQ(DecodedXstring("_xD83D_ x"), "\uFFFD x");
    EXPECT_EQ(DecodedXstring("_x00G1_ _x12_ _x0041"), "_x00G1_ _x12_ _x0041");
}

TEST(XlsxCellValues, ReferencesAreBoundedAndStrict)
{
    const auto xfd = ParseCellReference("XFD1048576");
    ASSERT_TRUE(xfd);
    EXPECT_EQ(xfd->Row, 1048575);
    EXPECT_EQ(xfd->Column, 16383);
    const auto absurd = ParseCellReference("ZZZZZZZZZZZZZZ99999999999999999999");
    ASSERT_TRUE(absurd);
    EXPECT_GE(absurd->Row, MaxRows);
    EXPECT_GE(absurd->Column, MaxColumns);
    for (const char *bad : {"", "A", "7", "A0", "1A", "A1 ", "$A$1", "A-1"}) {
        EXPECT_FALSE(ParseCellReference(bad)) << bad;
    }
    EXPECT_EQ(ParseRowNumber("99999999999999999999").value_or(0), (1 << 30) - 1);
    EXPECT_FALSE(ParseRowNumber("0"));
}

TEST(XlsxCellValues, NumbersAreFiniteDoubles)
{
    EXPECT_EQ(ParseNumber(" 1E-3 "), 1e-3);
    EXPECT_EQ(ParseNumber("+2.5"), 2.5);
    for (const char *bad : {"", "nan", "inf", "1e999", "1,5", "0x10", "1 2"}) {
        EXPECT_FALSE(ParseNumber(bad)) << bad;
    }
}

TEST(XlsxCellValues, IsoDatesBecomeSerialsOfTheDateSystem)
{
    EXPECT_EQ(IsoDateSerial("1900-01-01", false), 1.0);
    EXPECT_EQ(IsoDateSerial("1900-02-28", false), 59.0);
    EXPECT_EQ(IsoDateSerial("1900-03-01", false), 61.0);
    EXPECT_EQ(IsoDateSerial("1899-12-30", false), 0.0);
    EXPECT_EQ(IsoDateSerial("2021-01-01", false), 44197.0);
    EXPECT_EQ(IsoDateSerial("1904-01-02", true), 1.0);
    EXPECT_DOUBLE_EQ(*IsoDateSerial("2021-01-01T12:00:00Z", false), 44197.5);
    EXPECT_DOUBLE_EQ(*IsoDateSerial("06:00", false), 0.25);
    EXPECT_DOUBLE_EQ(*IsoDateSerial("00:00:00.864", false), 1e-5);
    for (const char *bad : {"1900-02-29", "2021-13-01", "2021-01-01T24:00", "2021-1-1", "2021-01-01x", "PT1H"}) {
        EXPECT_FALSE(IsoDateSerial(bad, false)) << bad;
    }
}

TEST(PackageRelationships, TargetsResolveInsideThePackageOnly)
{
    EXPECT_EQ(ResolveTarget("", "xl/workbook.xml"), "xl/workbook.xml");
    EXPECT_EQ(ResolveTarget("xl/workbook.xml", "worksheets/sheet1.xml"), "xl/worksheets/sheet1.xml");
    EXPECT_EQ(ResolveTarget("xl/workbook.xml", "/xl/sheet.xml"), "xl/sheet.xml");
    EXPECT_EQ(ResolveTarget("xl/workbook.xml", "../data/./s.xml"), "data/s.xml");
    EXPECT_FALSE(ResolveTarget("xl/workbook.xml", "../../etc/passwd"));
    EXPECT_FALSE(ResolveTarget("", "/../x.xml"));
}

TEST(XlsxMalformed, HostilePackagesAreRefusedWithAReason)
{
    const std::vector<std::pair<std::string, std::string>> cases = {
        {"xlsx-zip-bomb.xlsx", "inflates more than 100 times"},
        {"xlsx-billion-laughs.xlsx", "declares a document type"},
        {"xlsx-external-entity.xlsx", "declares a document type"},
        {"xlsx-missing-sheet-part.xlsx", "has no part xl/worksheets/sheet1.xml"},
        {"xlsx-target-outside-package.xlsx", "points outside"},
    };
    for (const auto &[name, reason] : cases) {
        const OpenResult read = ReadXlsxWorkbook(FileBytes(MalformedFolder / name));
        EXPECT_FALSE(read.Book) << name;
        EXPECT_NE(read.Failure.find(reason), std::string::npos) << name << ": " << read.Failure;
    }
    const std::uint8_t notZip[] = {'P', 'K', 3, 4, 0};
    EXPECT_FALSE(ReadXlsxWorkbook(notZip).Book);
}

TEST(XlsxMalformed, PartsAreCutAtTheirLimitWhileInflating)
{
    const std::vector<std::uint8_t> bytes = FileBytes(MalformedFolder / "xlsx-missing-sheet-part.xlsx");
    ZipPackage package;
    ASSERT_EQ(package.Open(bytes), "");
    std::string workbook;
    const auto collect = [&workbook](std::string_view piece) {
        workbook += piece;
        return true;
    };
    EXPECT_TRUE(std::holds_alternative<std::monostate>(package.StreamPart("XL/WORKBOOK.XML", 4096, collect)));
    EXPECT_TRUE(workbook.starts_with("<?xml"));
    EXPECT_TRUE(std::holds_alternative<MissingPart>(package.StreamPart("xl/worksheets/sheet1.xml", 4096, collect)));
    const PartStream cut = package.StreamPart("xl/workbook.xml", 16, collect);
    ASSERT_TRUE(std::holds_alternative<PartFailure>(cut));
    EXPECT_TRUE(std::get<PartFailure>(cut).Reason.starts_with("a part is larger than"));
}

// Every file there, fuzz findings among them, is read or refused without a fault.
TEST(XlsxMalformed, EveryFileIsReadWithoutAFault)
{
    for (const auto &entry : fs::directory_iterator(MalformedFolder)) {
        const OpenResult read = ReadXlsxWorkbook(FileBytes(entry.path()));
        EXPECT_NE(read.Book == nullptr, read.Failure.empty()) << entry.path();
        for (std::size_t i = 0; read.Book && i < read.Book->SheetCount(); ++i) {
            const Worksheet &sheet = *read.Book->SheetAt(i);
            for (int row = 0; row < sheet.RowCount(); ++row) {
                for (int column = 0; column < sheet.ColumnCount(); ++column) {
                    sheet.CellAt(row, column).TextValue();
                }
            }
        }
    }
}

} // namespace
