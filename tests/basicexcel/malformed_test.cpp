// The damaged workbooks kept under tests/data/malformed: each corruption of the compound
// file has its named status, each damaged record stream still gives what precedes the
// damage, and every file there (fuzz findings included) is read without a fault.

#include "basicexcel.h"

#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <iterator>

namespace fs = std::filesystem;
using YExcel::StorageStatus;

namespace {

const fs::path MalformedFolder = fs::path(ORVANE_SOURCE_DIR) / "tests" / "data" / "malformed";

std::vector<std::uint8_t> ReadFile(const fs::path &path)
{
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

StorageStatus WorkbookStreamStatus(const std::string &name)
{
    YExcel::WorkbookStorage storage;
    if (storage.OpenMemory(ReadFile(MalformedFolder / name))) {
        std::vector<std::uint8_t> stream;
        storage.ReadStream("Workbook", stream);
    }
    return storage.Status();
}

} // namespace

TEST(MalformedFiles, CompoundFileCorruptionsHaveTheirStatus)
{
    const std::vector<std::pair<std::string, StorageStatus>> cases = {
        {"chain-loop.xls", StorageStatus::SectorVisitedTwice},
        {"chain-into-directory.xls", StorageStatus::SectorVisitedTwice},
        {"mini-chain-loop.xls", StorageStatus::SectorVisitedTwice},
        {"sector-beyond-file.xls", StorageStatus::SectorOutOfRange},
        {"free-sector-in-chain.xls", StorageStatus::ReservedIdInChain},
        {"chain-ends-early.xls", StorageStatus::ChainEndsEarly},
        {"stream-longer-than-file.xls", StorageStatus::StreamBeyondFile},
    };
    for (const auto &[name, status] : cases) {
        EXPECT_EQ(WorkbookStreamStatus(name), status) << name;
        YExcel::BasicExcel book;
        EXPECT_FALSE(book.OpenBook((MalformedFolder / name).string())) << name;
    }
}

TEST(MalformedFiles, DamagedRecordsEndTheWorksheetThere)
{
    for (const char *name : {"record-past-end.xls", "record-code-zero.xls", "worksheet-without-eof.xls"}) {
        YExcel::BasicExcel book;
        ASSERT_TRUE(book.OpenBook((MalformedFolder / name).string())) << name;
        EXPECT_EQ(book.SheetAt(0)->RowCount(), 1) << name;
        EXPECT_EQ(book.SheetAt(0)->CellAt(0, 0)->NumberValue(), 1.0) << name;
        EXPECT_TRUE(book.SheetAt(0)->Damaged()) << name;
    }
    YExcel::BasicExcel book;
    ASSERT_TRUE(book.OpenBook((MalformedFolder / "sst-index-out-of-range.xls").string()));
    EXPECT_EQ(book.SheetAt(0)->CellAt(0, 0)->Kind(), YExcel::BasicExcelCell::Empty);
    // Found by the fuzz target: a second globals substream replaced the strings the first
    // worksheet's cells pointed to.
    ASSERT_TRUE(book.OpenBook((MalformedFolder / "second-shared-string-table.xls").string()));
    EXPECT_EQ(book.SheetAt(0)->CellAt(0, 0)->TextValue(), "text 15");
    ASSERT_TRUE(book.OpenBook((MalformedFolder / "sst-broken-continue.xls").string()));
    EXPECT_EQ(book.SheetAt(0)->CellAt(0, 0)->TextValue(), "a");
    EXPECT_EQ(book.SheetAt(0)->CellAt(0, 1)->Kind(), YExcel::BasicExcelCell::Empty);
}

// The file ends inside its last sector, in the middle of a NUMBER record: the 395 rows
// before the cut are read, up to the last byte the file holds.
TEST(MalformedFiles, StreamCutInTheCellTable)
{
    YExcel::BasicExcel book;
    ASSERT_TRUE(book.OpenBook((MalformedFolder / "stream-cut-in-cell-table.xls").string()));
    YExcel::BasicExcelWorksheet &sheet = *book.SheetAt(0);
    EXPECT_TRUE(sheet.Damaged());
    EXPECT_EQ(sheet.RowCount(), 395);
    EXPECT_EQ(sheet.CellAt(0, 0)->NumberValue(), 0.25);
    EXPECT_EQ(sheet.CellAt(394, 0)->NumberValue(), 394.25);
}

TEST(MalformedFiles, EveryFileIsReadWithoutAFault)
{
    ASSERT_TRUE(fs::is_directory(MalformedFolder));
    for (const auto &entry : fs::directory_iterator(MalformedFolder)) {
        YExcel::BasicExcel book;
        if (!book.OpenBook(entry.path().string())) {
            continue;
        }
        for (std::size_t i = 0; i < book.SheetCount(); ++i) {
            YExcel::BasicExcelWorksheet &sheet = *book.SheetAt(i);
            const int rows = sheet.RowCount();
            const int columns = sheet.ColumnCount();
            for (int row = 0; row < rows; ++row) {
                for (int column = 0; column < columns; ++column) {
                    const YExcel::BasicExcelCell &cell = *sheet.CellAt(row, column);
                    cell.TextValue();
                    cell.NumberValue();
                }
            }
        }
    }
}
