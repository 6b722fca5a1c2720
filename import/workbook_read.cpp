#include "workbook_read.h"

#include "column_detection.h"
#include "data_file.h"
#include "experiment_record.h"
#include "response_conversion.h"
#include "significant_figures.h"
#include "text_number.h"
#include "time_conversion.h"

#include <algorithm>

namespace {

// The data sit on the first worksheet, or on the second when the first is a cover sheet
// with fewer than two columns.
const DataFile::Worksheet *DataSheet(const DataFile::Workbook &book)
{
    const DataFile::Worksheet *sheet = book.SheetAt(0);
    if (sheet && sheet->ColumnCount() < 2) {
        return book.SheetAt(1);
    }
    return sheet;
}

void ForgetData(ExperimentRecord &record)
{
    for (auto *list :
        {&record.TimeTexts, &record.AnalyzerTexts, &record.ConcentrationTexts, &record.FlowTexts}) {
        list->clear();
    }
    record.TimeColumnFound = record.AnalyzerColumnFound = record.ConcentrationColumnFound
        = record.FlowColumnFound = 0;
    record.FlowColumnInUse = 0;
    record.Points.fill({});
    record.PointCount = 0;
    record.SkippedRows = 0;
}

struct SheetRead
{
    bool Read = false;
    bool Damaged = false;
    bool Truncated = false;
};

SheetRead ReadColumns(ExperimentRecord &record)
{
    const DataFile::OpenResult opened = DataFile::OpenDataFile(record.SourcePath);
    const DataFile::Worksheet *sheet = opened.Book ? DataSheet(*opened.Book) : nullptr;
    if (!sheet) {
        return {};
    }
    DetectColumns(record, *sheet);
    return {true, sheet->Damaged(), sheet->Truncated()};
}

void SetPointCount(ExperimentRecord &record, MessageSink &messages)
{
    const auto &readings = ReadingTexts(record);
    record.SkippedRows = FirstDataEntry(record);
    const int available = static_cast<int>(readings.size()) - record.SkippedRows;
    record.PointCount = std::min(available, MaxPoints);
    if (available > MaxPoints) {
        messages.Show(
            "Data Points", "The data file holds more than 5000 data points. Only the first 5000 were read.");
    }
}

void TakeFirstAndLastTimes(ExperimentRecord &record)
{
    const bool hasPoints = record.PointCount > 0;
    record.FirstTime = hasPoints ? record.Points[0].Time : 0;
    record.LastTime = hasPoints ? record.Points[record.PointCount - 1].Time : 0;
    if (IsVariableFlow(record.Settings)) { // whatever the loop type
        record.Settings.FlowRate = FormatPlain(record.ReferenceFlowRate);
    }
}

} // namespace

void ConvertColumns(ExperimentRecord &record, MessageSink &messages)
{
    record.Points.fill({});
    SetPointCount(record, messages);
    ConvertTimes(record, messages);
    ConvertResponses(record);
    ApplyFlowColumn(record);
    CorrectDiscreteSamples(record);
    RecordInputPrecision(record);
}

WorkbookReadResult ReadAndConvertWorkbook(ExperimentRecord &record, MessageSink &messages)
{
    const SheetRead sheetRead = ReadColumns(record);
    if (!sheetRead.Read) {
        ForgetData(record);
        TakeFirstAndLastTimes(record);
        messages.Show("Import Error",
            "The file " + record.SourceName
                + " could not be read as a workbook (.xls, .xlsx) or a comma-separated file (.csv).");
        return WorkbookReadResult::Unreadable;
    }
    // Fewer points than the test logged must never pass unnoticed.
    if (sheetRead.Damaged) {
        messages.Show("Data Points",
            "The file " + record.SourceName + " is damaged; only the rows before the damage were read.");
    }
    if (sheetRead.Truncated) {
        messages.Show("Data Points",
            "The file " + record.SourceName
                + " holds more than 65536 rows or 256 columns; only the first 65536 rows and 256 columns were read.");
    }
    ConvertColumns(record, messages);
    if (record.PointCount == 0) {
        // An analysis of no points would report "no permeation": the most dangerous answer.
        ForgetData(record);
        TakeFirstAndLastTimes(record);
        messages.Show("Import Error", "The file " + record.SourceName + " holds no data points in the columns read.");
        return WorkbookReadResult::NoDataPoints;
    }
    TakeFirstAndLastTimes(record);
    return WorkbookReadResult::Read;
}
