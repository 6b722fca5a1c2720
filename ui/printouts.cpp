#include "printouts.h"

#include "experiment_record.h"
#include "graph_layout.h"
#include "graph_painter.h"
#include "print_layout.h"
#include "qt_text.h"

#include <QFontMetrics>
#include <QPainter>
#include <QPrinter>

#include <functional>

namespace {

constexpr int TabStop = 200; // printer pixels
constexpr int PicturePixelsWide = 700;
constexpr int PicturePixelsHigh = 700 * 530 / 768; // 483: the screen's aspect the graph was laid out for

QFont ResultsPrintFont(const QPrinter &printer)
{
    QFont font(QStringLiteral("Arial"));
    font.setPixelSize(qRound(10.0 * printer.logicalDpiY() / 72));
    return font;
}

// The printable page less half an inch on every side.
QRect ResultsPrintArea(const QPrinter &printer)
{
    const int marginX = printer.logicalDpiX() / 2;
    const int marginY = printer.logicalDpiY() / 2;
    return QRect(marginX, marginY, printer.width() - 2 * marginX, printer.height() - 2 * marginY);
}

// Starts a page before each but the first and draws it; a page the printer refuses
// abandons the whole document.
PrintOutcome PrintPages(
    QPrinter &printer, QPainter &painter, int pages, const std::function<void(int)> &drawPage)
{
    for (int page = 0; page < pages; ++page) {
        if (page > 0 && !printer.newPage()) {
            printer.abort();
            return PrintOutcome::Abandoned;
        }
        drawPage(page);
    }
    return painter.end() ? PrintOutcome::Printed : PrintOutcome::Abandoned;
}

void DrawTabbedLine(QPainter &painter, const std::string &line, QPoint start, const MeasureText &measure)
{
    const int baseline = start.y() + painter.fontMetrics().ascent();
    for (const TabbedRun &run : TabbedRuns(line, TabStop, measure)) {
        painter.drawText(QPoint(start.x() + run.Offset, baseline), QtText(run.Text));
    }
}

// Printable width and height from their millimetres, as the graph's pages count them.
int PageWidth(const QPrinter &printer)
{
    return static_cast<int>(printer.widthMM() * printer.logicalDpiX() / 25.4);
}

int PageHeight(const QPrinter &printer)
{
    return static_cast<int>(printer.heightMM() * printer.logicalDpiY() / 25.4);
}

double ScaleX(const QPrinter &printer, ScreenResolution screen)
{
    return screen.X > 0 ? printer.logicalDpiX() / screen.X : 0;
}

double ScaleY(const QPrinter &printer, ScreenResolution screen)
{
    return screen.Y > 0 ? printer.logicalDpiY() / screen.Y : 0;
}

// Rectangles from their corners as the picture's layout gives them, right and bottom excluded.
QRect PictureBox(int left, int top, int right, int bottom)
{
    return QRect(left, top, right - left, bottom - top);
}

std::string Footer(const std::string &fileTitle, int page, int pages)
{
    return fileTitle + " Page:" + std::to_string(page) + " of " + std::to_string(pages);
}

} // namespace

PrintOutcome PrintResultsText(QPrinter &printer, const std::string &resultsText)
{
    QPainter painter;
    if (!painter.begin(&printer)) {
        return PrintOutcome::NotStarted;
    }
    painter.setFont(ResultsPrintFont(printer));
    const QFontMetrics metrics = painter.fontMetrics();
    const MeasureText measure
        = [&metrics](std::string_view text) { return metrics.horizontalAdvance(QtText(std::string(text))); };
    const MeasureText lineWidth
        = [&measure](std::string_view line) { return TabbedWidth(line, TabStop, measure); };

    const QRect area = ResultsPrintArea(printer);
    const std::vector<std::string> lines = BreakIntoPrintLines(resultsText, area.width(), lineWidth);
    const int lineHeight = metrics.height();
    const int perPage = LinesPerPage(area.height(), lineHeight);
    const auto drawPage = [&](int page) {
        const std::size_t first = static_cast<std::size_t>(page) * perPage;
        for (std::size_t i = first; i < lines.size() && i < first + perPage; ++i) {
            const int top = area.top() + static_cast<int>(i - first) * lineHeight;
            DrawTabbedLine(painter, lines[i], QPoint(area.left(), top), measure);
        }
    };
    return PrintPages(printer, painter, PageCount(lines.size(), perPage), drawPage);
}

QImage GraphPrintPicture(const ExperimentRecord &record)
{
    QImage picture(PicturePixelsWide, PicturePixelsHigh, QImage::Format_RGB32);
    if (picture.isNull()) {
        return picture;
    }
    QPainter painter(&picture);
    painter.setPen(Qt::black);
    painter.setBrush(Qt::white);
    painter.drawRect(picture.rect().adjusted(0, 0, -1, -1));
    DrawDataGraph(painter, record, PictureBox(70, 48, 630, 434));

    const GraphTitles titles = GraphTitlesFor(record.Settings);
    painter.setFont(GraphNumberFont());
    painter.drawText(PictureBox(175, 9, 525, 24), Qt::AlignCenter | Qt::TextDontClip, QtText(titles.Chart));
    painter.drawText(
        PictureBox(280, 434, 420, 458), Qt::AlignCenter | Qt::TextDontClip, QStringLiteral("Time (min)"));
    painter.drawText(
        PictureBox(28, 24, 287, 48), Qt::AlignCenter | Qt::TextDontClip, QtText(titles.ValueAxis));
    return picture;
}

int GraphPageCount(const QPrinter &printer, ScreenResolution screen)
{
    return static_cast<int>(
        GraphStrips(PicturePixelsWide, PageWidth(printer), ScaleX(printer, screen)).size());
}

PrintOutcome PrintGraphPicture(
    QPrinter &printer, const QImage &picture, const std::string &fileTitle, ScreenResolution screen)
{
    const std::vector<GraphStrip> strips
        = GraphStrips(picture.width(), PageWidth(printer), ScaleX(printer, screen));
    QPainter painter;
    if (strips.empty() || !painter.begin(&printer)) {
        return PrintOutcome::NotStarted;
    }
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    const int pages = static_cast<int>(strips.size());
    const int pageHeight = static_cast<int>(picture.height() * ScaleY(printer, screen));
    const QPoint footer(
        static_cast<int>(PageWidth(printer) * 0.5), static_cast<int>(PageHeight(printer) * 0.98));
    const auto drawPage = [&](int page) {
        const GraphStrip &strip = strips[static_cast<std::size_t>(page)];
        // Only the strip goes into the document, not the whole picture on every page.
        painter.drawImage(QRect(0, 0, strip.PageWidth, pageHeight),
            picture.copy(strip.SourceX, 0, strip.SourceWidth, picture.height()));
        painter.drawText(
            footer + QPoint(0, painter.fontMetrics().ascent()), QtText(Footer(fileTitle, page + 1, pages)));
    };
    return PrintPages(printer, painter, pages, drawPage);
}
