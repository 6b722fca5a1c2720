#include "column_detection.h"

#include "data_file.h"
#include "experiment_record.h"

#include <gtest/gtest.h>

#include <memory>

namespace {

using Texts = std::vector<std::string>;

class ColumnDetection : public ::testing::Test
{
protected:
    void SetUp() override
    {
        book = DataFile::OpenDataFile(ORVANE_IMPORT_TEST_DATA "/columns.xls").Book;
        ASSERT_NE(book, nullptr);
    }

    void Detect(std::size_t sheetIndex)
    {
        const DataFile::Worksheet *sheet = book->SheetAt(sheetIndex);
        ASSERT_NE(sheet, nullptr);
        DetectColumns(*record, *sheet);
    }

    std::unique_ptr<DataFile::Workbook> book;
    std::unique_ptr<ExperimentRecord> record = std::make_unique<ExperimentRecord>();
};

TEST_F(ColumnDetection, HeadersSelectTheirListsAndDefaultsFillTheRest)
{
    Detect(0); // Time | Voltage
    EXPECT_EQ(record->TimeTexts, (Texts {"Time", "0.000000", "1.000000"}));
    EXPECT_EQ(record->AnalyzerTexts, (Texts {"Voltage", "1.500000", "2.500000"}));
    // The default takes the whole column B, header row included.
    EXPECT_EQ(record->ConcentrationTexts, (Texts {"Voltage", "1.500000", "2.500000"}));
    EXPECT_TRUE(record->FlowTexts.empty());
    EXPECT_EQ(record->TimeColumnFound, 1);
    EXPECT_EQ(record->AnalyzerColumnFound, 1);
    EXPECT_EQ(record->ConcentrationColumnFound, 1);
    EXPECT_EQ(record->FlowColumnFound, 0); // two columns only
}

TEST_F(ColumnDetection, KeywordsMatchExactlyAndCaseSensitively)
{
    Detect(1); // TIME | Time (min) | concentration
    EXPECT_EQ(record->TimeTexts, (Texts {"TIME", "1.000000", "4.000000"}));
    EXPECT_EQ(record->ConcentrationTexts, (Texts {"concentration", "3.000000", "6.000000"}));
    EXPECT_EQ(record->AnalyzerTexts, (Texts {"Time (min)", "2.000000", "5.000000"}));
    EXPECT_EQ(record->FlowTexts, (Texts {"concentration", "3.000000", "6.000000"}));
    EXPECT_EQ(record->FlowColumnFound, 1);
}

TEST_F(ColumnDetection, ColumnsWithTheSameKindOfHeaderAreAppendedInOrder)
{
    Detect(2); // Time | Concentration | time
    EXPECT_EQ(
        record->TimeTexts, (Texts {"Time", "1.000000", "2.000000", "time", "101.000000", "102.000000"}));
    EXPECT_EQ(record->ConcentrationTexts, (Texts {"Concentration", "10.000000", "20.000000"}));
}

TEST_F(ColumnDetection, ManualLettersReplaceListsWithWholeColumns)
{
    record->ManualAnalyzerColumn = "c";
    record->ManualTimeColumn = "AA";
    record->ManualFlowColumn = "IV";
    Detect(3); // no header row
    const Texts columnC {"n/a", "7.000000", "late"};
    EXPECT_EQ(record->ConcentrationTexts, columnC);
    EXPECT_EQ(record->AnalyzerTexts, columnC);
    EXPECT_EQ(
        record->TimeTexts, (Texts {"2013/05/01 12:00:00", "2013/05/01 12:00:05", "2013/05/01 12:00:10"}));
    EXPECT_EQ(record->FlowTexts, (Texts {"0.250000", "0.500000", "0.750000"}));
    EXPECT_EQ(record->FlowColumnFound, 1);
}

TEST_F(ColumnDetection, LettersNamingNoColumnReadAsEmptyCells)
{
    record->ManualAnalyzerColumn = "1";
    record->ManualTimeColumn = "ZZ";
    Detect(0);
    EXPECT_EQ(record->ConcentrationTexts, (Texts {"", "", ""}));
    EXPECT_EQ(record->TimeTexts, (Texts {"", "", ""}));
}

TEST_F(ColumnDetection, EmptyCellsGiveEmptyTextsAndNumbersSixDecimals)
{
    Detect(4); // Time | Concentration | flow rate, with a gap in the flow column
    EXPECT_EQ(record->ConcentrationTexts, (Texts {"Concentration", "0.000000", "10.000000", "20.000000"}));
    EXPECT_EQ(record->FlowTexts, (Texts {"flow rate", "0.500000", "", "0.500000"}));
}

TEST_F(ColumnDetection, EveryCategoryHasItsKeywords)
{
    Detect(5); // Timestamp | GC peak area | flowrate | Peak height
    EXPECT_EQ(record->TimeTexts, (Texts {"Timestamp", "1.000000"}));
    EXPECT_EQ(record->AnalyzerTexts, (Texts {"GC peak area", "2.000000", "Peak height", "4.000000"}));
    EXPECT_EQ(record->FlowTexts, (Texts {"flowrate", "3.000000"}));
    EXPECT_EQ(record->ConcentrationTexts, (Texts {"GC peak area", "2.000000"}));
}

TEST_F(ColumnDetection, ARepeatedReadGivesTheSameLists)
{
    Detect(1);
    const ExperimentRecord first = *record;
    Detect(1);
    EXPECT_EQ(record->TimeTexts, first.TimeTexts);
    EXPECT_EQ(record->FlowTexts, first.FlowTexts);
    EXPECT_EQ(record->ConcentrationTexts, first.ConcentrationTexts);
}

TEST(HeaderKeywords, EighteenInTheirOrder)
{
    const auto keywords = DefaultHeaderKeywords();
    ASSERT_EQ(keywords.size(), 18u);
    EXPECT_EQ(keywords.front(), "Time");
    EXPECT_EQ(keywords[8], "Peak height");
    EXPECT_EQ(keywords.back(), "flow rate");
}

} // namespace
