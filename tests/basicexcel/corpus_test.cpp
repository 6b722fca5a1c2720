// Every workbook of the shared real-world corpus, compared with the cell listing a
// reference reader made of it (see the corpus README for the rules applied here).

#include "basicexcel.h"
#include "corpus_listing.h"
#include "text_encoding.h"

#include <filesystem>
#include <gtest/gtest.h>

namespace fs = std::filesystem;

namespace {

// The reader's cell as the corpus comparison sees every reader's.
CorpusListing::SeenCell Seen(const YExcel::BasicExcelCell &cell)
{
    return CorpusListing::Seen({static_cast<DataFile::CellKind>(cell.Kind()), cell.NumberValue(), cell.Text()});
}

} // namespace

class Corpus : public testing::TestWithParam<std::string>
{ };

TEST_P(Corpus, WorkbookMatchesItsListing)
{
    if (GetParam().empty()) {
        GTEST_SKIP() << "the shared corpus is absent";
    }
    const std::string name = GetParam();
    const fs::path corpus = CorpusListing::Root("xls-corpus");
    fs::path workbook = corpus / "files" / name;
    if (!fs::exists(workbook)) {
        workbook = corpus / "generated" / name;
    }
    const auto expected = CorpusListing::ReadListing(corpus / "expected" / (name + ".tsv"));

    YExcel::BasicExcel book;
    ASSERT_TRUE(book.OpenBook(workbook.string()));
    ASSERT_EQ(book.SheetCount(), expected.size());
    for (std::size_t index = 0; index < expected.size(); ++index) {
        YExcel::BasicExcelWorksheet &sheet = *book.SheetAt(index);
        const CorpusListing::ExpectedSheet &listing = expected[index];
        // The reference reader read every listed sheet in full.
        EXPECT_FALSE(sheet.Damaged()) << "sheet " << index;
        // A name Windows-1252 cannot hold reads as empty.
        EXPECT_EQ(book.SheetName(index), Encoding::Utf8ToWindows1252(listing.Name).value_or(""));
        EXPECT_GE(sheet.RowCount(), listing.LastRow + 1) << "sheet " << index;
        EXPECT_GE(sheet.ColumnCount(), listing.LastColumn + 1) << "sheet " << index;
        int differences = 0;
        const int rows = sheet.RowCount();
        const int columns = sheet.ColumnCount();
        for (int row = 0; row < rows && differences < 10; ++row) {
            for (int column = 0; column < columns && differences < 10; ++column) {
                const auto found = listing.Cells.find({row, column});
                const CorpusListing::ExpectedCell *cell = found == listing.Cells.end() ? nullptr : &found->second;
                const std::string difference = CorpusListing::Difference(Seen(*sheet.CellAt(row, column)), cell);
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

INSTANTIATE_TEST_SUITE_P(Shared, Corpus, testing::ValuesIn(CorpusListing::ListedFiles("xls-corpus")),
    [](const testing::TestParamInfo<std::string> &info) { return CorpusListing::TestName(info.param); });
