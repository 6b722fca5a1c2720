#pragma once

// From the reading column to the concentration in µg/L of every point: the response format
// conversion, the flow-rate normalisation of an open loop with a variable flow rate, the
// sample-volume correction of a closed loop with discrete sampling, and the precision of
// the numbers read, in the order the import runs them.

struct ExperimentRecord;

// Value of points 0 to PointCount - 1 from the concentration list (µg/L, or ppm times the
// molecular weight times 0.0409) or from the analyzer list through the calibration equation.
void ConvertResponses(ExperimentRecord &record);

// Open loop with a variable flow rate and a flow column without gaps: fills Flow and
// normalises every Value to ReferenceFlowRate; sets FlowColumnInUse.
void ApplyFlowColumn(ExperimentRecord &record);

// Closed loop with discrete sampling: adds back what the earlier samples took out.
void CorrectDiscreteSamples(ExperimentRecord &record);

// InputPrecision: the smallest digit and decimal counts of the values, times and flows.
void RecordInputPrecision(ExperimentRecord &record);
