#include "basicexcel.h"
#include "records.h"
#include "workbook_builder.h"

#include <bit>
#include <gtest/gtest.h>

using namespace TestWorkbook;
using YExcel::BasicExcel;
using YExcel::BasicExcelCell;

namespace {

// Opens a workbook made of the given stream; the book must hold at least one worksheet.
class Book
{
public:
    explicit Book(const ByteVector &stream, const CompoundOptions &options = {})
    {
        opened = book.OpenBookFromMemory(CompoundFileWithWorkbook(stream, options));
    }

    bool Opened() const { return opened; }
    std::size_t Sheets() const { return book.SheetCount(); }
    YExcel::BasicExcelWorksheet &Sheet(std::size_t index = 0) { return *book.SheetAt(index); }
    const BasicExcelCell &Cell(int row, int column, std::size_t sheet = 0)
    {
        return *Sheet(sheet).CellAt(row, column);
    }

private:
    BasicExcel book;
    bool opened = false;
};

std::uint32_t RkOfDouble(double value)
{
    return static_cast<std::uint32_t>(std::bit_cast<std::uint64_t>(value) >> 32);
}
std::uint32_t RkOfInteger(std::int32_t value, bool scaled)
{
    return (static_cast<std::uint32_t>(value) << 2) | 0x02 | (scaled ? 1 : 0);
}

} // namespace

// [MS-XLS] 2.5.217: the four RK kinds and where each lands.
TEST(WorkbookReader, RkValues)
{
    Book book(Workbook({Join({
        Rk(0, 0, RkOfInteger(1, false)),
        Rk(1, 0, RkOfInteger(250, true)),
        Rk(2, 0, RkOfInteger(123, true)),
        Rk(3, 0, RkOfInteger(10000, true)),
        Rk(4, 0, RkOfInteger(-536870912, false)),
        Rk(5, 0, RkOfDouble(0.5)),
        Rk(6, 0, RkOfDouble(1234.5) | 0x01),
        Rk(7, 0, RkOfInteger(536870911, false)),
    })}));
    ASSERT_TRUE(book.Opened());
    EXPECT_EQ(book.Cell(0, 0).Kind(), BasicExcelCell::Integer);
    EXPECT_EQ(book.Cell(0, 0).NumberValue(), 1);
    EXPECT_EQ(book.Cell(1, 0).Kind(), BasicExcelCell::Real);
    EXPECT_EQ(book.Cell(1, 0).NumberValue(), 2.5);
    EXPECT_EQ(book.Cell(2, 0).NumberValue(), 1.23);
    EXPECT_EQ(book.Cell(3, 0).Kind(), BasicExcelCell::Integer); // 10000 / 100 divides exactly
    EXPECT_EQ(book.Cell(3, 0).NumberValue(), 100);
    EXPECT_EQ(book.Cell(4, 0).NumberValue(), -536870912);
    EXPECT_EQ(book.Cell(5, 0).Kind(), BasicExcelCell::Real);
    EXPECT_EQ(book.Cell(5, 0).NumberValue(), 0.5);
    EXPECT_EQ(book.Cell(6, 0).NumberValue(), 12.345);
    EXPECT_EQ(book.Cell(7, 0).NumberValue(), 536870911);
}

// Row and column counts come from the cell records that carry values: formatted blanks
// do not count, a MULRK counts with its last column, an empty sheet is 1 x 1.
TEST(WorkbookReader, SheetSize)
{
    Book book(Workbook({
        Join({MulRk(0, 0, {RkOfInteger(1, false), RkOfInteger(2, false), RkOfInteger(3, false)}),
            Number(120, 1, 7.5), Blank(499, 0), MulBlank(300, 0, 10)}),
        {},
    }));
    ASSERT_TRUE(book.Opened());
    EXPECT_EQ(book.Sheet(0).RowCount(), 121);
    EXPECT_EQ(book.Sheet(0).ColumnCount(), 3);
    EXPECT_EQ(book.Cell(0, 2).NumberValue(), 3);
    EXPECT_EQ(book.Cell(499, 0).Kind(), BasicExcelCell::Empty);
    EXPECT_EQ(book.Sheet(1).RowCount(), 1);
    EXPECT_EQ(book.Sheet(1).ColumnCount(), 1);
    EXPECT_EQ(book.Cell(0, 0, 1).Kind(), BasicExcelCell::Empty);
}

// Cells out of row order, and a cell written twice: the later record wins.
TEST(WorkbookReader, CellsOutOfOrder)
{
    Book book(Workbook({Join({Number(5, 2, 1.0), Number(0, 1, 2.0), Number(5, 0, 3.0), Number(0, 1, 4.0),
        Number(2, 0, 5.0), Number(5, 2, 6.0)})}));
    ASSERT_TRUE(book.Opened());
    EXPECT_EQ(book.Cell(0, 1).NumberValue(), 4.0);
    EXPECT_EQ(book.Cell(2, 0).NumberValue(), 5.0);
    EXPECT_EQ(book.Cell(5, 0).NumberValue(), 3.0);
    EXPECT_EQ(book.Cell(5, 1).Kind(), BasicExcelCell::Empty);
    EXPECT_EQ(book.Cell(5, 2).NumberValue(), 6.0);
    EXPECT_EQ(book.Cell(1, 0).Kind(), BasicExcelCell::Empty);
    EXPECT_EQ(book.Cell(6, 0).Kind(), BasicExcelCell::Empty);
}

// A long sheet goes through the cursor's window many times over; every cell arrives.
TEST(WorkbookReader, LongSheetThroughTheWindow)
{
    ByteVector sheet;
    for (std::uint16_t row = 0; row < 20000; ++row) {
        const ByteVector cells
            = Join({Row(row), Rk(row, 0, RkOfInteger(row, false)), Number(row, 1, row + 0.5)});
        sheet.insert(sheet.end(), cells.begin(), cells.end());
    }
    Book book(Workbook({sheet}), {12});
    ASSERT_TRUE(book.Opened());
    EXPECT_EQ(book.Sheet().RowCount(), 20000);
    for (int row = 0; row < 20000; row += 997) {
        EXPECT_EQ(book.Cell(row, 0).NumberValue(), row);
        EXPECT_EQ(book.Cell(row, 1).NumberValue(), row + 0.5);
    }
}

TEST(WorkbookReader, CellAtBoundsAndGrowth)
{
    Book book(Workbook({Number(1, 1, 2.0)}));
    ASSERT_TRUE(book.Opened());
    auto &sheet = book.Sheet();
    EXPECT_EQ(sheet.CellAt(70000, 0), nullptr);
    EXPECT_EQ(sheet.CellAt(0, 300), nullptr);
    EXPECT_EQ(sheet.CellAt(-1, 0), nullptr);
    EXPECT_EQ(sheet.RowCount(), 2);
    ASSERT_NE(sheet.CellAt(65535, 255), nullptr);
    EXPECT_EQ(sheet.CellAt(65535, 255)->Kind(), BasicExcelCell::Empty);
    EXPECT_EQ(sheet.RowCount(), 65536);
    EXPECT_EQ(sheet.ColumnCount(), 256);
    EXPECT_EQ(sheet.CellAt(1, 1)->NumberValue(), 2.0);
}

// Each parsed record type with a body one byte short of its minimum is skipped rather than
// read beyond its end; the records after it are still read.
TEST(WorkbookReader, RecordsShorterThanTheirMinimumAreSkipped)
{
    for (const YExcel::MinimumSize &minimum : YExcel::MinimumSizes()) {
        ByteVector body(minimum.Size, 0);
        if (body.size() > 2) {
            body[2] = 1; // column 1 for cell records
        }
        EXPECT_TRUE(YExcel::HasMinimumSize({minimum.Code, body}));
        body.pop_back();
        EXPECT_FALSE(YExcel::HasMinimumSize({minimum.Code, body})) << minimum.Code;
        if (minimum.Code == YExcel::RecordCode::BOF || minimum.Code == YExcel::RecordCode::SST
            || minimum.Code == YExcel::RecordCode::BoundSheet) {
            continue; // not cell records
        }
        Book book(Workbook({Join({Record(minimum.Code, body), Number(3, 0, 9.0)})}, Sst({Text8("x")})));
        ASSERT_TRUE(book.Opened());
        EXPECT_EQ(book.Sheet().ColumnCount(), 1) << minimum.Code;
        EXPECT_EQ(book.Cell(3, 0).NumberValue(), 9.0);
    }
}

// [MS-XLS] 2.4.175: a MULRK whose column range disagrees with its length is skipped.
TEST(WorkbookReader, MulRkRangeMustMatchLength)
{
    ByteVector badMulRk = MulRk(0, 0, {RkOfInteger(1, false), RkOfInteger(2, false)});
    badMulRk[badMulRk.size() - 2] = 5; // last column 5 for two pairs
    Book book(Workbook({Join({badMulRk, MulRk(1, 1, {RkOfInteger(1, false), RkOfInteger(2, false)})})}));
    ASSERT_TRUE(book.Opened());
    EXPECT_EQ(book.Sheet().ColumnCount(), 3);
    EXPECT_EQ(book.Cell(0, 0).Kind(), BasicExcelCell::Empty);
    EXPECT_EQ(book.Cell(1, 2).NumberValue(), 2);
}

// Text cells: shared strings of both widths, an empty one, an index beyond the table, and
// LABEL / RSTRING records, which some writers use instead of shared strings.
TEST(WorkbookReader, TextCells)
{
    const ByteVector sst = Sst({Text8("Time"), Text16(u"Flow (mL/min)"), Text8(""), Text8("\xB5g/L"),
        Text16(u"\u0141\u00F3d\u017A")});
    Book book(Workbook(
        {Join({LabelSst(0, 0, 0), LabelSst(0, 1, 1), LabelSst(0, 2, 2), LabelSst(0, 3, 3), LabelSst(0, 4, 4),
            LabelSst(0, 5, 99), Label(1, 0, "label"), RString(1, 1, "rich"), Label16(1, 2, u"\u263A")})},
        sst));
    ASSERT_TRUE(book.Opened());
    EXPECT_EQ(book.Cell(0, 0).Kind(), BasicExcelCell::Text8);
    EXPECT_EQ(book.Cell(0, 0).TextValue(), "Time");
    EXPECT_EQ(book.Cell(0, 0).NumberValue(), 0);
    // A 16-bit header that Windows-1252 can hold is still found by its text.
    EXPECT_EQ(book.Cell(0, 1).Kind(), BasicExcelCell::Text16);
    EXPECT_EQ(book.Cell(0, 1).TextValue(), "Flow (mL/min)");
    EXPECT_EQ(book.Cell(0, 2).Kind(), BasicExcelCell::Empty);
    EXPECT_EQ(book.Cell(0, 3).TextValue(), "\xB5g/L");
    EXPECT_EQ(book.Cell(0, 4).Kind(), BasicExcelCell::Text16);
    EXPECT_EQ(book.Cell(0, 4).TextValue(), std::nullopt);
    EXPECT_EQ(book.Cell(0, 4).Text()->WideText, u"\u0141\u00F3d\u017A");
    EXPECT_EQ(book.Cell(0, 5).Kind(), BasicExcelCell::Empty);
    EXPECT_EQ(book.Sheet().ColumnCount(), 6);
    EXPECT_EQ(book.Cell(1, 0).TextValue(), "label");
    EXPECT_EQ(book.Cell(1, 1).TextValue(), "rich");
    EXPECT_EQ(book.Cell(1, 2).Kind(), BasicExcelCell::Text16);
}

// A LABEL whose body stops inside its cell header or its string header is skipped without
// reading beyond it; the records after it are read.
TEST(WorkbookReader, TextCellsWithTruncatedHeaders)
{
    const auto label = [](const ByteVector &body) { return Record(0x0204, body); };
    const ByteVector header = {0, 0, 1, 0, 0, 0}; // row 0, column 1, format 0
    const auto withHeader = [&](const ByteVector &tail) { return Join({header, tail}); };
    const std::vector<ByteVector> truncated = {
        label({0, 0, 1, 0}), // inside the cell header
        label(withHeader({5})), // inside the character count
        label(withHeader({5, 0, 0})), // no characters after the option byte
        label(withHeader({5, 0, 0x08, 1})), // inside the rich-text run count
        label(withHeader({5, 0, 0x04, 1, 0})), // inside the extended-data size
        Record(0x00D6, withHeader({5, 0, 1, 'a'})), // half a 16-bit character (RSTRING)
    };
    for (const ByteVector &record : truncated) {
        Book book(Workbook({Join({record, Number(2, 0, 9.0)})}));
        ASSERT_TRUE(book.Opened());
        EXPECT_EQ(book.Sheet().ColumnCount(), 1); // before CellAt, which grows the counts
        EXPECT_EQ(book.Cell(0, 1).Kind(), BasicExcelCell::Empty);
        EXPECT_EQ(book.Cell(2, 0).NumberValue(), 9.0);
        EXPECT_FALSE(book.Sheet().Damaged());
    }
    // An empty text may stop after its character count: the cell counts, Empty.
    Book empty(Workbook({label(withHeader({0, 0}))}));
    ASSERT_TRUE(empty.Opened());
    EXPECT_EQ(empty.Sheet().ColumnCount(), 2);
}

TEST(WorkbookReader, FormulaResultsBooleansAndErrors)
{
    const ByteVector shrFmla = Record(0x04BC, ByteVector(10, 0));
    Book book(Workbook({Join({
        NumericFormula(0, 0, 0.5),
        OtherFormula(1, 0, 0, 0),
        shrFmla,
        String("done"),
        OtherFormula(2, 0, 1, 1),
        OtherFormula(3, 0, 2, 7),
        OtherFormula(4, 0, 3, 0),
        OtherFormula(5, 0, 0, 0),
        Number(5, 1, 4.0), // no STRING record follows
        BoolErr(6, 0, 1, false),
        BoolErr(6, 1, 0, false),
        BoolErr(6, 2, 7, true),
    })}));
    ASSERT_TRUE(book.Opened());
    EXPECT_EQ(book.Cell(0, 0).Kind(), BasicExcelCell::FormulaResult);
    EXPECT_EQ(book.Cell(0, 0).NumberValue(), 0.5);
    EXPECT_EQ(book.Cell(0, 0).TextValue(), std::nullopt);
    EXPECT_EQ(book.Cell(1, 0).TextValue(), "done");
    EXPECT_EQ(book.Cell(1, 0).NumberValue(), 0);
    EXPECT_EQ(book.Cell(2, 0).NumberValue(), 0); // a boolean result is not a number
    EXPECT_EQ(book.Cell(3, 0).Kind(), BasicExcelCell::FormulaResult);
    ASSERT_NE(book.Cell(4, 0).Text(), nullptr); // the empty text is a text result
    EXPECT_EQ(book.Cell(4, 0).TextValue(), std::nullopt);
    EXPECT_EQ(book.Cell(5, 0).Text(), nullptr);
    EXPECT_EQ(book.Cell(5, 1).NumberValue(), 4.0);
    EXPECT_EQ(book.Cell(6, 0).Kind(), BasicExcelCell::Integer);
    EXPECT_EQ(book.Cell(6, 0).NumberValue(), 1);
    EXPECT_EQ(book.Cell(6, 1).NumberValue(), 0);
    EXPECT_EQ(book.Cell(6, 2).Kind(), BasicExcelCell::Empty);
    EXPECT_EQ(book.Sheet().ColumnCount(), 3); // the error cell still counts
}

// A shared-string table split over CONTINUE records shorter than the maximum, strings
// split at the boundaries with a change of width; the records after the table and the
// second worksheet are found at their exact places.
TEST(WorkbookReader, SharedStringsAcrossContinueRecords)
{
    ByteVector body = {5, 0, 0, 0, 5, 0, 0, 0};
    const auto add = [&](const ByteVector &bytes) { body.insert(body.end(), bytes.begin(), bytes.end()); };
    add({3, 0, 0, 'a', 'b'}); // "abc": 8-bit, split after "ab"
    ByteVector continue1 = {0, 'c'};
    add({}); // (keeps the layout readable)
    continue1.insert(continue1.end(), {4, 0, 0, 'x', 'y'}); // "xy" + 16-bit "\u263A\u263B"
    ByteVector continue2 = {1, 0x3A, 0x26, 0x3B, 0x26};
    continue2.insert(continue2.end(), {2, 0, 1, 0xE9, 0x00}); // 16-bit "é" + 8-bit "!"
    ByteVector continue3 = {0, '!'};
    continue3.insert(continue3.end(), {1, 0, 0x08, 1, 0, 'r'}); // "r" with one run of 4 bytes
    ByteVector continue4 = {0, 0, 0, 0}; // the run, across the boundary without an option byte
    continue4.insert(continue4.end(), {0, 0, 0}); // the empty string
    const ByteVector sst = Join({Record(0x00FC, body), Record(0x003C, continue1), Record(0x003C, continue2),
        Record(0x003C, continue3), Record(0x003C, continue4), Record(0x00FF, ByteVector(10, 0))});
    Book book(Workbook({Join({LabelSst(0, 0, 0), LabelSst(0, 1, 1), LabelSst(0, 2, 2), LabelSst(0, 3, 3),
                            LabelSst(0, 4, 4)}),
                           Number(0, 0, 42.0)},
        sst));
    ASSERT_TRUE(book.Opened());
    ASSERT_EQ(book.Sheets(), 2u);
    EXPECT_EQ(book.Cell(0, 0).TextValue(), "abc");
    EXPECT_EQ(book.Cell(0, 1).Kind(), BasicExcelCell::Text16); // 8 then 16 bits: kept as 16
    EXPECT_EQ(book.Cell(0, 1).Text()->WideText, u"xy\u263A\u263B");
    EXPECT_EQ(book.Cell(0, 2).Text()->WideText, u"\u00E9!");
    EXPECT_EQ(book.Cell(0, 2).TextValue(), "\xE9!");
    EXPECT_EQ(book.Cell(0, 3).TextValue(), "r");
    EXPECT_EQ(book.Cell(0, 4).Kind(), BasicExcelCell::Empty);
    EXPECT_EQ(book.Cell(0, 0, 1).NumberValue(), 42.0);
}

// Charts and other substreams, at the top level or nested in a worksheet, are skipped
// up to their own EOF; cells before any ROW record are read.
TEST(WorkbookReader, OtherSubstreamsAreSkipped)
{
    const ByteVector chart = Join({Bof(0x0020), Number(0, 0, 666.0), Bof(0x0020), Eof(), Eof()});
    const ByteVector stream
        = Join({Bof(0x0005), Eof(), chart, Join({Bof(0x0040), Eof()}), Bof(0x0010), Number(0, 0, 1.0), chart,
            Row(1), Number(1, 0, 2.0), Eof(), chart, Bof(0x0010), Number(0, 0, 3.0), Eof()});
    Book book(stream);
    ASSERT_TRUE(book.Opened());
    ASSERT_EQ(book.Sheets(), 2u);
    EXPECT_EQ(book.Cell(0, 0).NumberValue(), 1.0);
    EXPECT_EQ(book.Cell(1, 0).NumberValue(), 2.0);
    EXPECT_EQ(book.Cell(0, 0, 1).NumberValue(), 3.0);
}

// Damaged streams end the worksheet where the damage starts and mark it Damaged; nothing is
// read beyond the damage, and the cells before it stay.
TEST(WorkbookReader, DamagedStreams)
{
    const ByteVector start = Join({Bof(0x0005), Eof(), Bof(0x0010), Number(0, 0, 1.0)});
    ByteVector pastEnd = Number(1, 0, 2.0);
    pastEnd[2] = 40; // body runs past the end of the stream
    ByteVector tooLong = Record(0x1234, {});
    tooLong[2] = 0x21;
    tooLong[3] = 0x20; // 8225 bytes, more than a record may hold
    tooLong.resize(tooLong.size() + 8225, 0);
    const ByteVector chartWithoutEof = Join({Bof(0x0020), Number(1, 0, 2.0)});
    const std::vector<std::pair<ByteVector, int>> damaged = {
        {pastEnd, 1},
        {Join({Record(0, {}), Number(1, 0, 2.0), Eof()}), 1},
        {Number(1, 0, 2.0), 2}, // no EOF at all
        {Join({Number(1, 0, 2.0), ByteVector {0x0A}}), 2},
        {Join({tooLong, Number(1, 0, 2.0), Eof()}), 1},
        {chartWithoutEof, 1},
    };
    for (const auto &[rest, rows] : damaged) {
        Book book(Join({start, rest}));
        ASSERT_TRUE(book.Opened());
        EXPECT_TRUE(book.Sheet().Damaged());
        EXPECT_EQ(book.Sheet().RowCount(), rows);
        EXPECT_EQ(book.Cell(0, 0).NumberValue(), 1.0);
    }
    // A chart inside the sheet, a second sheet and a stray byte after the last EOF are sound.
    Book sound(Join({start, Bof(0x0020), Eof(), Eof(), Bof(0x0010), Eof(), ByteVector {0x0A}}));
    ASSERT_TRUE(sound.Opened());
    EXPECT_FALSE(sound.Sheet(0).Damaged());
    EXPECT_FALSE(sound.Sheet(1).Damaged());

    // A string cut in the middle of a 16-bit character ends the table, not the workbook.
    ByteVector body = {2, 0, 0, 0, 2, 0, 0, 0, 1, 0, 0, 'a', 2, 0, 1, 0x41};
    Book broken(Workbook({Join({LabelSst(0, 0, 0), LabelSst(0, 1, 1)})},
        Join({Record(0x00FC, body), Record(0x003C, {0x00})})));
    ASSERT_TRUE(broken.Opened());
    EXPECT_EQ(broken.Cell(0, 0).TextValue(), "a");
    EXPECT_EQ(broken.Cell(0, 1).Kind(), BasicExcelCell::Empty);
}

TEST(WorkbookReader, OpenBookFailsWithoutAWorksheet)
{
    BasicExcel book;
    EXPECT_FALSE(book.OpenBookFromMemory(CompoundFile({{"Book", Workbook({Number(0, 0, 1.0)})}})));
    EXPECT_FALSE(book.OpenBookFromMemory(Workbook({Number(0, 0, 1.0)}))); // not a compound file
    EXPECT_FALSE(book.OpenBookFromMemory(CompoundFileWithWorkbook(Join({Bof(0x0005), Eof()}))));
    EXPECT_FALSE(
        book.OpenBookFromMemory(CompoundFileWithWorkbook(Join({Number(0, 0, 1.0), Bof(0x0010), Eof()}))));
    EXPECT_FALSE(book.OpenBook("/nonexistent/book.xls"));
    EXPECT_EQ(book.SheetCount(), 0u);
    EXPECT_EQ(book.SheetAt(0), nullptr);

    ASSERT_TRUE(book.OpenBookFromMemory(CompoundFileWithWorkbook(Workbook({Number(0, 0, 1.0)}), {12})));
    EXPECT_EQ(book.SheetCount(), 1u);
    book.CloseBook();
    EXPECT_EQ(book.SheetCount(), 0u);
}

TEST(WorkbookReader, OpenBookFromFile)
{
    const std::string path = WriteTemporaryFile("reader-open-book.xls",
        CompoundFileWithWorkbook(Workbook({Join({Number(0, 0, 1.0), Number(2, 1, 5.0)})})));
    BasicExcel book;
    ASSERT_TRUE(book.OpenBook(path));
    EXPECT_EQ(book.SheetAt(0)->CellAt(2, 1)->NumberValue(), 5.0);
}
