#pragma once

// The two printouts, drawn on a printer the operator has already chosen; a printer set to
// PDF output takes them as well, which is how the tests see them.

#include <QImage>

#include <string>

class QPrinter;
struct ExperimentRecord;

enum class PrintOutcome {
    Printed,
    NotStarted, // the printer refused the document
    Abandoned, // a page failed; the document was abandoned
};

// The results text in 10-point Arial inside half-inch margins, long lines broken at spaces,
// tabs at every 200 printer pixels.
PrintOutcome PrintResultsText(QPrinter &printer, const std::string &resultsText);

// Pixels per logical inch of the screen the graph's picture is drawn for; the printout
// enlarges the picture by the printer's resolution over this one.
struct ScreenResolution
{
    double X = 96;
    double Y = 96;
};

// The graph printout's 700 × 483 picture: the data graph with its three titles. Null when
// it cannot be made.
QImage GraphPrintPicture(const ExperimentRecord &record);

// Pages the picture spreads over on this printer; 0 when the printer reports no page.
int GraphPageCount(const QPrinter &printer, ScreenResolution screen);

// The picture strip by strip across its pages, each with the footer "FILE Page:I of N".
PrintOutcome PrintGraphPicture(
    QPrinter &printer, const QImage &picture, const std::string &fileTitle, ScreenResolution screen);
