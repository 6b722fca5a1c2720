// orvane-batch inspect, run as a program on small workbooks; its output is compared byte
// for byte because scripts read it.

#include "batch_run.h"
#include "workbook_builder.h"

#include <bit>
#include <gtest/gtest.h>

using namespace TestWorkbook;

namespace {

std::uint32_t RkInteger(std::int32_t value)
{
    return (static_cast<std::uint32_t>(value) << 2) | 0x02;
}

ByteVector Formula16Result(std::uint16_t row, std::uint16_t column, const std::u16string &text)
{
    return Join({OtherFormula(row, column, 0, 0), Record(0x0207, Text16(text))});
}

} // namespace

TEST(Inspect, PrintsEveryKindInRowMajorOrder)
{
    const ByteVector sst = Sst({Text8("Time"), Text16(u"Conc. \u00B5g/L \u263A"), Text8("a\tb\\c\r\nd")});
    const ByteVector sheet = Join({
        Number(2, 1, 0.1),
        LabelSst(0, 0, 0),
        LabelSst(0, 1, 1),
        Rk(1, 0, RkInteger(-3)),
        LabelSst(1, 2, 2),
        NumericFormula(2, 0, 1.0 / 3),
        Formula16Result(3, 0, u"\u00E9t\u00E9"),
        OtherFormula(3, 1, 2, 7),
        BoolErr(3, 2, 1, false),
        Blank(9, 0),
    });
    const std::string path
        = WriteTemporaryFile("inspect-kinds.xls", CompoundFileWithWorkbook(Workbook({sheet, {}}, sst)));
    const BatchRun run = RunBatch("inspect " + Quoted(path));
    EXPECT_EQ(run.Status, 0);
    EXPECT_EQ(run.Out,
        "sheets\t2\n"
        "rows\t4\tcolumns\t3\n"
        "0\t0\tText8\tTime\n"
        "0\t1\tText16\tConc. \u00B5g/L \u263A\n"
        "1\t0\tInteger\t-3\n"
        "1\t2\tText8\ta\\tb\\\\c\\r\\nd\n"
        "2\t0\tFormulaResult\t0.33333333333333331\n"
        "2\t1\tReal\t0.10000000000000001\n"
        "3\t0\tFormulaResult\t\u00E9t\u00E9\n"
        "3\t1\tFormulaResult\t0\n"
        "3\t2\tInteger\t1\n");
}

TEST(Inspect, SheetOption)
{
    const std::string path = WriteTemporaryFile("inspect-sheets.xls",
        CompoundFileWithWorkbook(Workbook({Number(0, 0, 1.0), {}, Label(1, 1, "\xB5g")})));
    EXPECT_EQ(RunBatch("inspect " + Quoted(path) + " --sheet 1").Out, "sheets\t3\nrows\t1\tcolumns\t1\n");
    EXPECT_EQ(RunBatch("inspect --sheet 2 " + Quoted(path)).Out,
        "sheets\t3\nrows\t2\tcolumns\t2\n1\t1\tText8\t\u00B5g\n");
    EXPECT_EQ(RunBatch("inspect " + Quoted(path) + " --sheet 3").Status, 1);
    EXPECT_EQ(RunBatch("inspect " + Quoted(path) + " --sheet x").Status, 1);
}

TEST(Inspect, FailuresExitWithOne)
{
    const std::string notWorkbook = WriteTemporaryFile("inspect-not-a-workbook.xls", {'P', 'K', 3, 4});
    const BatchRun unreadable = RunBatch("inspect " + Quoted(notWorkbook));
    EXPECT_EQ(unreadable.Status, 1);
    EXPECT_EQ(unreadable.Out, "");
    EXPECT_EQ(RunBatch("inspect").Status, 1);
    EXPECT_EQ(RunBatch("inspect /nonexistent.xls").Status, 1);
    EXPECT_EQ(RunBatch("frobnicate").Status, 1);
    EXPECT_EQ(RunBatch("").Status, 1);
}

TEST(Inspect, HelpAndVersion)
{
    const BatchRun help = RunBatch("--help");
    EXPECT_EQ(help.Status, 0);
    EXPECT_NE(help.Out.find("orvane-batch inspect WORKBOOK [--sheet N]"), std::string::npos);
    const BatchRun version = RunBatch("--version");
    EXPECT_EQ(version.Status, 0);
    EXPECT_EQ(version.Out, std::string("orvane-batch ") + ORVANE_VERSION + "\n");
}
