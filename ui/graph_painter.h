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

// The data graph of the record as it stands into `area`. A window area shows the area
// from the diameter entered last, so run ComputeExposedArea on the record first there.
void DrawDataGraph(QPainter &painter, const ExperimentRecord &record, const QRect &area);
