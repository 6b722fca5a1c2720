#pragma once

// Draws the data graph with QPainter, the one surface a widget, an off-screen QImage and a
// printer page share. Where everything goes is decided by LayOutDataGraph.

#include "graph_layout.h"

#include <QFont>

class QPainter;
class QRect;
struct ExperimentRecord;

// The numbers' font; fixed so that the screen, the printout and the tests look alike.
QFont GraphNumberFont();

void PaintGraphLayout(QPainter &painter, const GraphLayout &layout);

// For a window area: brings the specimen's area up to date from the diameter first, as the
// graph must show what the operator entered last.
void DrawDataGraphOnScreen(QPainter &painter, ExperimentRecord &record, const QRect &clientRect);

// For the printout's off-screen picture: the record as it stands.
void DrawDataGraphIntoPicture(QPainter &painter, const ExperimentRecord &record, const QRect &area);
