#include "workbook_read.h"

#include "data_file.h"
#include "column_detection.h"
#include "experiment_record.h"
#include "import_defaults.h"
#include "interval_results.h"
#include "recorded_messages.h"
#include "workbook_builder.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <memory>
#include <sys/resource.h>

namespace {

using Texts = std::vector<std::string>;

class ColumnConversion : public ::testing::Test
{
protected:
    void Convert(Texts readings)
    {
        record->TimeTexts = Texts(readings.size(), "1");
        record->ConcentrationTexts = std::move(readings);
        ConvertColumns(*record, messages);
    }

    std::unique_ptr<ExperimentRecord> record = std::make_unique<ExperimentRecord>();
    RecordedMessages messages;
};

TEST_F(ColumnConversion, HeaderAndLeadingZeroReadingsAreSkipped)
{
    Convert({"Concentration", "0.000000", "0.000000", "0.500000", "0.700000", "0.000000", ""});
    EXPECT_EQ(record->SkippedRows, 3);
    EXPECT_EQ(record->PointCount, 4); // later zeros and empty rows stay points
    EXPECT_EQ(record->Points[0].Value, 0.5);
    EXPECT_EQ(record->Points[1].Value, 0.7);
    EXPECT_EQ(record->Points[3].Value, 0);
    EXPECT_TRUE(messages.Shown.empty());
}

TEST_F(ColumnConversion, FirstRowIsDataWhenItHoldsAReading)
{
    Convert({"0.500000", "0.700000"});
    EXPECT_EQ(record->SkippedRows, 0);
    EXPECT_EQ(record->PointCount, 2);
}

TEST_F(ColumnConversion, ReadingListFollowsTheResponseFormat)
{
    record->Settings.ResponseFormat = CalibratedAnalyzerOutput;
    record->Settings.CalibrationEquation = "y = 2x";
    record->AnalyzerTexts = {"Voltage", "0.000000", "3.000000"};
    Convert({"Voltage", "5.000000", "6.000000"});
    EXPECT_EQ(record->SkippedRows, 2);
    EXPECT_EQ(record->PointCount, 1);
    EXPECT_EQ(record->Points[0].Value, 6);
}

TEST_F(ColumnConversion, AtMostMaxPointsAreReadAndTheOperatorIsToldOnce)
{
    Convert(Texts(MaxPoints + 3, "1.000000"));
    EXPECT_EQ(record->PointCount, MaxPoints);
    ASSERT_EQ(messages.Shown.size(), 1u);
    EXPECT_EQ(messages.Shown[0],
        (Refusal {"Data Points",
            "The data file holds more than 5000 data points. Only the first 5000 were read."}));

    messages.Shown.clear();
    Convert(Texts(MaxPoints, "1.000000"));
    EXPECT_EQ(record->PointCount, MaxPoints);
    EXPECT_TRUE(messages.Shown.empty());
}

// Nothing permeated: the best outcome a glove can have is still a test of its full length.
TEST_F(ColumnConversion, AllZeroReadingsKeepTheRowsFromTheFirstValidTime)
{
    record->TimeTexts = {"Time", "", "0.000000", "240.000000", "480.000000"};
    record->ConcentrationTexts = {"Concentration", "", "0.000000", "0.000000", "0.000000"};
    ConvertColumns(*record, messages);
    EXPECT_EQ(record->SkippedRows, 2);
    ASSERT_EQ(record->PointCount, 3);
    EXPECT_EQ(record->Points[2].Time, 480);
    EXPECT_EQ(TestDurationHours(*record), 8);
}

TEST_F(ColumnConversion, TestDurationCountsFromTheTestsFirstValidTime)
{
    record->TimeTexts = {"Time", "0.000000", "18.000000", "480.000000"};
    record->ConcentrationTexts = {"Concentration", "0.000000", "0.500000", "0.700000"};
    ConvertColumns(*record, messages);
    EXPECT_EQ(record->SkippedRows, 2);
    EXPECT_EQ(TestDurationHours(*record), 8); // not 7.70, from the first non-zero reading

    record->Settings.TimeFormat = TimeStampText;
    record->TimeTexts = {"Time", "2013/05/01 12:00:00", "2013/05/01 12:18:00", "2013/05/01 20:00:00"};
    ConvertColumns(*record, messages);
    EXPECT_EQ(record->Points[0].Time, 18);
    EXPECT_EQ(TestDurationHours(*record), 8);
}

TEST_F(ColumnConversion, EveryConversionStartsFromZeroedPoints)
{
    Convert(Texts(100, "2.000000"));
    Convert({"3.000000"});
    EXPECT_EQ(record->PointCount, 1);
    EXPECT_EQ(record->Points[1].Value, 0);
    EXPECT_EQ(record->Points[99].Time, 0);
}

const Refusal UnreadableMessage(const std::string &name)
{
    return {"Import Error",
        "The file " + name + " could not be read as a workbook (.xls, .xlsx) or a comma-separated file (.csv)."};
}

class WorkbookRead : public ColumnConversion
{
protected:
    bool Read(const std::string &path)
    {
        ResetForImport(*record, path, std::filesystem::path(path).filename().string(), "3/5/2014");
        return ReadAndConvertWorkbook(*record, messages) == WorkbookReadResult::Read;
    }

    std::string TemporaryFile(const std::string &name, const std::string &bytes)
    {
        const auto path = std::filesystem::path(::testing::TempDir()) / name;
        std::ofstream(path, std::ios::binary) << bytes;
        created.push_back(path);
        return path.string();
    }

    void TearDown() override
    {
        for (const auto &path : created) {
            std::filesystem::remove(path);
        }
    }

    std::vector<std::filesystem::path> created;
};

TEST_F(WorkbookRead, CoverSheetIsPassedOverForTheSecondWorksheet)
{
    ASSERT_TRUE(Read(ORVANE_IMPORT_TEST_DATA "/cover_sheet.xls"));
    EXPECT_EQ(record->SkippedRows, 2);
    ASSERT_EQ(record->PointCount, 2);
    EXPECT_EQ(record->Points[0].Value, 0.5);
    EXPECT_EQ(record->Points[1].Value, 0.7);
    EXPECT_EQ(record->FirstTime, 1);
    EXPECT_EQ(record->LastTime, 2);
    EXPECT_TRUE(messages.Shown.empty());
}

TEST_F(WorkbookRead, VariableFlowWritesTheReferenceIntoTheFlowRate)
{
    record->Settings.LoopType = OpenLoop;
    record->Settings.FlowType = 1;
    ASSERT_TRUE(Read(ORVANE_IMPORT_TEST_DATA "/cover_sheet.xls"));
    // No flow column on that sheet: no reference, and the flow-rate check will stop the test.
    EXPECT_EQ(record->FlowColumnInUse, 0);
    EXPECT_EQ(record->Settings.FlowRate, "0.000000");
}

TEST_F(WorkbookRead, UnreadableFilesAreReportedAndLeaveNoData)
{
    ASSERT_TRUE(Read(ORVANE_IMPORT_TEST_DATA "/cover_sheet.xls"));
    const std::vector<std::string> unreadable {
        ORVANE_IMPORT_TEST_DATA "/single_column.xls",
        TemporaryFile("results.xlsx", std::string("PK\x03\x04\x14\x00\x06\x00", 8) + std::string(600, '\0')),
        TemporaryFile("graph.png", std::string("\x89PNG\r\n\x1a\n\0\0\0\x0dIHDR", 16)),
        ORVANE_IMPORT_TEST_DATA "/no_such_file.xls",
    };
    for (const std::string &path : unreadable) {
        messages.Shown.clear();
        EXPECT_FALSE(Read(path)) << path;
        const std::string name = std::filesystem::path(path).filename().string();
        EXPECT_EQ(messages.Shown, std::vector<Refusal> {UnreadableMessage(name)}) << path;
        EXPECT_EQ(record->PointCount, 0) << path;
        EXPECT_TRUE(record->ConcentrationTexts.empty()) << path;
        EXPECT_EQ(record->Points[0].Value, 0) << path;
        EXPECT_EQ(record->LastTime, 0) << path;
    }
}

// The format is told by the content: a text file is a table whatever its name.
TEST_F(WorkbookRead, TextFilesAreReadAsDelimitedTables)
{
    ASSERT_TRUE(Read(TemporaryFile("notes.xls", "Time\tConcentration\n0\t0,5\n1\t0.75\n")));
    ASSERT_EQ(record->PointCount, 2);
    EXPECT_EQ(record->Points[0].Value, 0.5);
    EXPECT_EQ(record->Points[1].Time, 1);
    EXPECT_FALSE(Read(TemporaryFile("empty.csv", ""))); // no second column, as in any workbook
    EXPECT_EQ(messages.Shown.back(), UnreadableMessage("empty.csv"));
}

TEST_F(WorkbookRead, NoDataPointIsReportedAndNoAnalysisFollows)
{
    using namespace TestWorkbook;
    const std::vector<ByteVector> sheets {
        Join({Label(0, 0, "Time"), Label(0, 1, "Concentration")}), // nothing below the header
        Join({Label(0, 0, "Time"), Label(0, 1, "Concentration"), Label(1, 0, "n/a"), Number(1, 1, 0)}),
    };
    for (std::size_t i = 0; i < sheets.size(); ++i) {
        const std::string name = "no_points_" + std::to_string(i) + ".xls";
        const std::string path = WriteTemporaryFile(name, CompoundFileWithWorkbook(Workbook({sheets[i]})));
        messages.Shown.clear();
        ResetForImport(*record, path, name, "3/5/2014");
        EXPECT_EQ(ReadAndConvertWorkbook(*record, messages), WorkbookReadResult::NoDataPoints) << i;
        const Refusal noPoints {"Import Error", "The file " + name + " holds no data points in the columns read."};
        EXPECT_EQ(messages.Shown, std::vector<Refusal> {noPoints});
    }
}

TEST_F(WorkbookRead, DamagedWorkbookIsReadUpToTheDamageAndTheOperatorIsTold)
{
    using namespace TestWorkbook;
    std::vector<ByteVector> cells {Label(0, 0, "Time"), Label(0, 1, "Concentration")};
    for (std::uint16_t row = 1; row <= 10; ++row) {
        cells.push_back(Join({Number(row, 0, row), Number(row, 1, row)}));
    }
    cells.push_back(Record(0x0000, {0, 0})); // garbage where the sheet should go on to its EOF
    const ByteVector stream = Join({Bof(0x0005), Eof(), Bof(0x0010), Join(cells)});
    ASSERT_TRUE(Read(WriteTemporaryFile("cut.xls", CompoundFileWithWorkbook(stream))));
    EXPECT_EQ(record->PointCount, 10);
    const Refusal damaged {"Data Points", "The file cut.xls is damaged; only the rows before the damage were read."};
    EXPECT_EQ(messages.Shown, std::vector<Refusal> {damaged});
}

// A shared-string table of one 32,767-character text, split over CONTINUE records.
TestWorkbook::ByteVector OneLongSharedString()
{
    using namespace TestWorkbook;
    const ByteVector text = Text8(std::string(32767, 'x'));
    ByteVector stream = Record(0x00FC, Join({{1, 0, 0, 0, 1, 0, 0, 0}, ByteVector(text.begin(), text.begin() + 8200)}));
    for (std::size_t at = 8200; at < text.size(); at += 8000) {
        ByteVector piece {0}; // each continuation restates the character width
        piece.insert(piece.end(), text.begin() + at, text.begin() + std::min(text.size(), at + 8000));
        stream = Join({stream, Record(0x003C, piece)});
    }
    return stream;
}

long PeakResidentKilobytes()
{
    rusage usage {};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss;
}

// Every cell of a full sheet names one long shared string: copies of it in the lists took
// more than 3 GB. Texts are cut, and the lists stay small.
TEST_F(WorkbookRead, OneLongTextInEveryCellNeedsLittleMemory)
{
    using namespace TestWorkbook;
    std::vector<ByteVector> cells;
    for (std::uint16_t row = 0; row < 65535; ++row) {
        cells.push_back(Join({LabelSst(row, 0, 0), LabelSst(row, 1, 0), LabelSst(row, 2, 0)}));
    }
    const std::string path = WriteTemporaryFile(
        "hostile.xls", CompoundFileWithWorkbook(Workbook({Join(cells)}, OneLongSharedString())));
    cells.clear();
    const long before = PeakResidentKilobytes();
    ResetForImport(*record, path, "hostile.xls", "3/5/2014");
    EXPECT_EQ(ReadAndConvertWorkbook(*record, messages), WorkbookReadResult::NoDataPoints);
    EXPECT_LT(PeakResidentKilobytes() - before, 256 * 1024);
}

// Rows after the last point that can be read are never kept.
TEST_F(WorkbookRead, ListsEndAfterTheLastPointThatCanBeRead)
{
    using namespace TestWorkbook;
    std::vector<ByteVector> cells;
    for (std::uint16_t row = 0; row < 20000; ++row) {
        cells.push_back(Join({LabelSst(row, 0, 0), LabelSst(row, 1, 0), Number(row, 2, row)}));
    }
    const std::string path = WriteTemporaryFile(
        "long.xls", CompoundFileWithWorkbook(Workbook({Join(cells)}, OneLongSharedString())));
    ResetForImport(*record, path, "long.xls", "3/5/2014");
    record->ManualAnalyzerColumn = "C"; // readings 0, 1, 2, ...: data from row 1 on
    const auto book = DataFile::OpenDataFile(path).Book;
    ASSERT_NE(book, nullptr);
    DetectColumns(*record, *book->SheetAt(0));
    EXPECT_EQ(record->TimeTexts.front().size(), MaxEntryLength);
    for (const Texts *list : {&record->TimeTexts, &record->ConcentrationTexts, &record->FlowTexts}) {
        EXPECT_EQ(list->size(), 1u + MaxPoints + 1);
    }
    EXPECT_EQ(ReadAndConvertWorkbook(*record, messages), WorkbookReadResult::Read);
    EXPECT_EQ(record->PointCount, MaxPoints);
    EXPECT_EQ(record->Points[0].Value, 1);
}

TEST(ImportDefaults, EachFileStartsWithoutThePreviousFilesEntries)
{
    auto record = std::make_unique<ExperimentRecord>();
    record->Settings.LoopType = OpenLoop;
    record->Settings.CalibrationEquation = "y = 2x";
    record->Settings.FlowRate = "0.5";
    record->Settings.TotalVolume = "0.1";
    record->Specimen.AreaText = "20";
    record->Specimen.DiameterInchText = "2";
    record->ManualTimeColumn = "B";
    record->ReferenceFlowRate = 0.5;
    record->PointCount = 12;

    ResetForImport(*record, "/data/run 7.xls", "run 7.xls", TestDateText({2014, 3, 5}));
    EXPECT_EQ(record->SourceName, "run 7.xls");
    EXPECT_EQ(record->Report.TestDate, "3/5/2014");
    EXPECT_EQ(record->Settings.LoopType, OpenLoop);
    EXPECT_EQ(record->Settings.CalibrationEquation, "y = 2x");
    EXPECT_EQ(record->Settings.FlowRate, "");
    EXPECT_EQ(record->Settings.TotalVolume, "");
    EXPECT_EQ(record->Specimen.AreaText, "");
    EXPECT_EQ(record->Specimen.DiameterInchText, "1.00");
    EXPECT_EQ(record->ManualTimeColumn, "");
    EXPECT_EQ(record->ReferenceFlowRate, 0);
    EXPECT_EQ(record->PointCount, 0);
    EXPECT_EQ(record->HeaderKeywords.size(), 18u);
    EXPECT_TRUE(record->DataInputFirstShow);
    EXPECT_TRUE(record->AdditionalInputFirstShow);
}

TEST(ImportDefaults, DataInputSpansTheDataOnItsFirstShowing)
{
    auto record = std::make_unique<ExperimentRecord>();
    record->FirstTime = 0.5;
    record->LastTime = 479.996;
    record->Specimen.SteadyStateNotEstablished = 1;
    record->DataInputFirstShow = true;
    record->AdditionalInputFirstShow = true;
    PrepareDataInput(*record);
    EXPECT_EQ(record->Specimen.AverageStartText, "0.50");
    EXPECT_EQ(record->Specimen.AverageEndText, "479.99");
    EXPECT_EQ(record->Specimen.SteadyStateNotEstablished, 0);
    EXPECT_FALSE(record->DataInputFirstShow);

    record->Report.TestDate = "3/5/2014";
    record->Report.Comments = "old";
    PrepareAdditionalDataInput(*record);
    EXPECT_EQ(record->Report.TestDate, "3/5/2014");
    EXPECT_EQ(record->Report.Comments, "");

    // Later showings (after Back) keep what was entered.
    record->Specimen.AverageStartText = "12";
    record->Report.Comments = "kept";
    PrepareDataInput(*record);
    PrepareAdditionalDataInput(*record);
    EXPECT_EQ(record->Specimen.AverageStartText, "12");
    EXPECT_EQ(record->Report.Comments, "kept");
}

} // namespace
