#pragma once

// Where the printed lines and the graph's page strips go, decided without a printer: the
// printouts measure with their font through a callback and draw what is laid out here.
// Texts are Windows-1252; widths and positions are printer pixels.

#include <cstddef>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

// The width of a text in the print font.
using MeasureText = std::function<int(std::string_view)>;

// One printed line and where the next one starts in the text.
struct PrintLine
{
    std::string Text;
    std::size_t Next = 0;
};

// The line that starts at `start`: leading spaces skipped, ended by CR (with its LF), a
// lone LF or the end of the text, or as soon as it is `width` wide. A line that reached the
// width is cut after its last space, or without a space before its last character, and
// the rest starts the next line. A single character wider than the width still makes a
// line of its own, so every line moves on.
PrintLine NextPrintLine(std::string_view text, std::size_t start, int width, const MeasureText &measure);

// Every printed line of the text.
std::vector<std::string> BreakIntoPrintLines(std::string_view text, int width, const MeasureText &measure);

// A piece of a line between tab characters and its offset from the line's start; each tab
// moves on to the next multiple of `tabStop`.
struct TabbedRun
{
    std::string Text;
    int Offset = 0;
};
std::vector<TabbedRun> TabbedRuns(std::string_view line, int tabStop, const MeasureText &measure);

// The width of a line with its tabs expanded.
int TabbedWidth(std::string_view line, int tabStop, const MeasureText &measure);

// At least one line fits a page, however small the print area.
int LinesPerPage(int areaHeight, int lineHeight);
int PageCount(std::size_t lines, int linesPerPage);

// The part of the graph's picture one page shows: SourceWidth picture pixels from SourceX,
// enlarged to PageWidth printer pixels.
struct GraphStrip
{
    int SourceX = 0;
    int SourceWidth = 0;
    int PageWidth = 0;
};

// The strips, one per page, that spread a picture `pictureWidth` wide, enlarged by
// `scaleX`, across pages `pageWidth` wide. None when the page or the scale is not above
// zero.
std::vector<GraphStrip> GraphStrips(int pictureWidth, int pageWidth, double scaleX);
