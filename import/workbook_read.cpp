#include "workbook_read.h"

#include "basicexcel.h"
#include "column_detection.h"
#include "experiment_record.h"
#include "response_conversion.h"
#include "significant_figures.h"
#include "text_number.h"
#include "time_conversion.h"

#include <algorithm>

namespace {

// The data sit on the first worksheet, or on the second when the first is a cover sheet
// with fewer than two columns.
YExcel::BasicExcelWorksheet *DataSheet(YExcel::BasicExcel &book)
{
    YExcel::BasicExcelWorksheet *sheet = book.SheetAt(0);
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

enum class SheetRead { Unreadable, Whole, UpToDamage };

SheetRead ReadColumns(ExperimentRecord &record)
{
    YExcel::BasicExcel book;
    YExcel::BasicExcelWorksheet *sheet = book.OpenBook(record.SourcePath) ? DataSheet(book) : nullptr;
    if (!sheet) {
        return SheetRead::Unreadable;
    }
    DetectColumns(record, *sheet);
    const bool damaged = sheet->Damaged();
    book.CloseBook();
    return damaged ? SheetRead::UpToDamage : SheetRead::Whole;
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
    if (sheetRead == SheetRead::Unreadable) {
        ForgetData(record);
        TakeFirstAndLastTimes(record);
        messages.Show("Import Error",
            "The file " + record.SourceName + " could not be read as an Excel 97-2003 (.xls) workbook.");
        return WorkbookReadResult::Unreadable;
    }
    if (sheetRead == SheetRead::UpToDamage) {
        // Fewer points than the test logged must never pass unnoticed.
        messages.Show("Data Points",
            "The file " + record.SourceName + " is damaged; only the rows before the damage were read.");
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
