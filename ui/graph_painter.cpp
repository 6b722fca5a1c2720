#include "graph_painter.h"

#include "experiment_record.h"

#include <QFont>
#include <QPainter>
#include <QPolygon>

namespace {

QColor ColourOf(const GraphColour &colour)
{
    return QColor(colour.Red, colour.Green, colour.Blue);
}

QRect QRectOf(const GraphRect &rect)
{
    return QRect(rect.Left, rect.Top, rect.Width(), rect.Height());
}

QPolygon PolylineOf(const std::vector<GraphPoint> &points)
{
    QPolygon polyline;
    for (const GraphPoint &point : points) {
        polyline << QPoint(point.X, point.Y);
    }
    return polyline;
}

void PaintTicks(QPainter &painter, const std::vector<GraphTick> &ticks)
{
    for (const GraphTick &tick : ticks) {
        painter.drawLine(tick.Mark.From.X, tick.Mark.From.Y, tick.Mark.To.X, tick.Mark.To.Y);
        const int alignment = Qt::TextDontClip
            | (tick.Alignment == LabelAlignment::Centred ? Qt::AlignHCenter | Qt::AlignTop
                                                         : Qt::AlignRight | Qt::AlignVCenter);
        // A number wider than its box is drawn whole: a cut digit would be a wrong number.
        const QRect box = QRectOf(tick.LabelBox);
        const QString label = QString::fromLatin1(tick.Label);
        painter.drawText(box, alignment, label);
    }
}

GraphRect GraphRectOf(const QRect &rect)
{
    return {rect.left(), rect.top(), rect.left() + rect.width(), rect.top() + rect.height()};
}

} // namespace

QFont GraphNumberFont()
{
    QFont font(QStringLiteral("DejaVu Sans"));
    font.setPixelSize(11);
    return font;
}

void PaintGraphLayout(QPainter &painter, const GraphLayout &layout)
{
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing, false);
    painter.setFont(GraphNumberFont());
    painter.setPen(QPen(ColourOf(GraphInk), 1));
    painter.setBrush(ColourOf(GraphBackground));
    // An outlined rectangle covers one pixel more than its size: keep it inside the frame.
    const QRect frame = QRectOf(layout.Frame);
    painter.drawRect(frame.adjusted(0, 0, -1, -1));
    painter.drawPolyline(PolylineOf(layout.Axes));
    PaintTicks(painter, layout.TimeTicks);
    PaintTicks(painter, layout.ValueTicks);
    painter.setPen(QPen(ColourOf(GraphCurveColour), 1));
    painter.drawPolyline(PolylineOf(layout.Curve));
    painter.restore();
}

void DrawDataGraph(QPainter &painter, const ExperimentRecord &record, const QRect &area)
{
    if (const auto layout = LayOutDataGraph(record, GraphRectOf(area))) {
        PaintGraphLayout(painter, *layout);
    }
}
