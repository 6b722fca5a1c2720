#pragma once

// The read that follows every confirmed Choice of Variable: the workbook at SourcePath into
// the column lists, the lists into points, then the first and last times.

#include "messages.h"

struct ExperimentRecord;

enum class WorkbookReadResult {
    Read,
    Unreadable, // no workbook or delimited text file, or no worksheet with data columns
    NoDataPoints, // nothing below the header, or no row with a reading or a valid time
};

// Anything but Read has been told to the operator and leaves the record without data,
// neither lists nor points, so no earlier file's data can be taken for this one's.
WorkbookReadResult ReadAndConvertWorkbook(ExperimentRecord &record, MessageSink &messages);

// The column lists into points: first data row, point count (at most MaxPoints, the
// operator is told when more were there), times, values, flow, discrete samples, precision.
void ConvertColumns(ExperimentRecord &record, MessageSink &messages);
