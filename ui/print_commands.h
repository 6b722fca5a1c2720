#pragma once

// Print (main window) and Print Graph (graph window): the print dialog, then the printout
// on the printer it set up, with the messages for what went wrong.

#include "printouts.h"

#include <string>

class QPrinter;
class WindowingServices;
struct PrinterChoice;
struct ExperimentRecord;

// Points the printer at what the operator chose: a PDF file or a named printer. The print
// dialog has already done so for the printer it showed; scripted choices need it done.
void UsePrinterChoice(QPrinter &printer, const PrinterChoice &choice);

void PrintResultsCommand(const std::string &resultsText, WindowingServices &services, QPrinter &printer);

// The footer names the record's workbook.
void PrintGraphCommand(
    const ExperimentRecord &record, WindowingServices &services, QPrinter &printer, ScreenResolution screen);
