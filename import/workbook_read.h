#pragma once

// The read that follows every confirmed Choice of Variable: the workbook at SourcePath into
// the column lists, the lists into points, then the first and last times.

#include "messages.h"

struct ExperimentRecord;

// False, once the operator has been told, when the file cannot be read as an Excel 97-2003
// workbook; the record then holds no data, neither lists nor points.
bool ReadAndConvertWorkbook(ExperimentRecord &record, MessageSink &messages);

// The column lists into points: first data row, point count (at most MaxPoints, the
// operator is told when more were there), times, values, flow, discrete samples, precision.
void ConvertColumns(ExperimentRecord &record, MessageSink &messages);
