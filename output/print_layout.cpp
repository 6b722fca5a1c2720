#include "print_layout.h"

#include <cmath>

namespace {

// More pages than any printer and screen pair gives; beyond it the sizes are nonsense.
constexpr double MostGraphPages = 1000;

struct TabbedLine
{
    std::vector<TabbedRun> Runs;
    int Width = 0;
};

TabbedLine LayOutTabs(std::string_view line, int tabStop, const MeasureText &measure)
{
    TabbedLine laidOut;
    int x = 0;
    std::size_t start = 0;
    while (true) {
        const std::size_t tab = line.find('\t', start);
        const std::string_view run
            = line.substr(start, tab == std::string_view::npos ? line.size() - start : tab - start);
        if (!run.empty()) {
            laidOut.Runs.push_back({std::string(run), x});
            x += measure(run);
        }
        if (tab == std::string_view::npos) {
            break;
        }
        if (tabStop > 0) {
            x = (x / tabStop + 1) * tabStop;
        }
        start = tab + 1;
    }
    laidOut.Width = x;
    return laidOut;
}

} // namespace

PrintLine NextPrintLine(std::string_view text, std::size_t start, int width, const MeasureText &measure)
{
    std::size_t pos = start;
    while (pos < text.size() && text[pos] == ' ') {
        ++pos;
    }
    PrintLine line;
    bool full = false;
    while (pos < text.size()) {
        const char c = text[pos++];
        if (c == '\r') {
            if (pos < text.size() && text[pos] == '\n') {
                ++pos;
            }
            break;
        }
        if (c == '\n') {
            break;
        }
        line.Text.push_back(c);
        if (measure(line.Text) >= width) {
            full = true;
            break;
        }
    }
    if (full && line.Text.back() != ' ') {
        // Leading spaces were skipped, so a space found here leaves a word on the line.
        const std::size_t lastSpace = line.Text.rfind(' ');
        const std::size_t keep = lastSpace != std::string::npos ? lastSpace + 1 : line.Text.size() - 1;
        if (keep > 0) {
            pos -= line.Text.size() - keep;
            line.Text.resize(keep);
        }
    }
    line.Next = pos;
    return line;
}

std::vector<std::string> BreakIntoPrintLines(std::string_view text, int width, const MeasureText &measure)
{
    std::vector<std::string> lines;
    std::size_t pos = 0;
    while (pos < text.size()) {
        PrintLine line = NextPrintLine(text, pos, width, measure);
        lines.push_back(std::move(line.Text));
        pos = line.Next;
    }
    return lines;
}

std::vector<TabbedRun> TabbedRuns(std::string_view line, int tabStop, const MeasureText &measure)
{
    return LayOutTabs(line, tabStop, measure).Runs;
}

int TabbedWidth(std::string_view line, int tabStop, const MeasureText &measure)
{
    return LayOutTabs(line, tabStop, measure).Width;
}

int LinesPerPage(int areaHeight, int lineHeight)
{
    if (lineHeight <= 0 || areaHeight < lineHeight) {
        return 1;
    }
    return areaHeight / lineHeight;
}

int PageCount(std::size_t lines, int linesPerPage)
{
    const std::size_t perPage = linesPerPage > 0 ? static_cast<std::size_t>(linesPerPage) : 1;
    return static_cast<int>((lines + perPage - 1) / perPage);
}

std::vector<GraphStrip> GraphStrips(int pictureWidth, int pageWidth, double scaleX)
{
    if (pictureWidth <= 0 || pageWidth <= 0 || !(scaleX > 0) || !std::isfinite(scaleX)) {
        return {};
    }
    const double pages = std::floor((pictureWidth * scaleX + pageWidth - 1) / pageWidth);
    if (pages > MostGraphPages) {
        return {};
    }
    const int count = static_cast<int>(pages);
    if (count <= 1) {
        return {{0, pictureWidth, static_cast<int>(pictureWidth * scaleX)}};
    }
    std::vector<GraphStrip> strips;
    for (int i = 0; i < count; ++i) {
        GraphStrip strip;
        strip.SourceX = static_cast<int>(pageWidth * i / scaleX);
        if (i + 1 < count) {
            strip.SourceWidth = static_cast<int>(pageWidth / scaleX);
            strip.PageWidth = pageWidth;
        } else {
            // To the picture's edge: truncating both ends would drop its last column.
            strip.SourceWidth = pictureWidth - strip.SourceX;
            strip.PageWidth = static_cast<int>(strip.SourceWidth * scaleX);
        }
        strips.push_back(strip);
    }
    return strips;
}
