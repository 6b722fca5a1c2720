// The data graph of an example workbook drawn into an off-screen picture, against a
// reference image. When the drawing changes on purpose, write the reference again with
//     ORVANE_WRITE_REFERENCE_IMAGES=1 build-tests/tests/ui/ui_tests --gtest_filter='GraphImage.*'
// and look at the new image before committing it.

#include "example_import.h"
#include "graph_painter.h"
#include "results_text.h"

#include <QImage>
#include <QPainter>

#include <gtest/gtest.h>

#include <cstdlib>

namespace {

// Font rasterisers may shade the edges of a digit a little differently; a wrong line or
// a missing number changes pixels by far more.
constexpr int ChannelTolerance = 40;

// The printout's picture size with the graph where the printout puts it.
QImage DrawnGraph(const ExperimentRecord &record)
{
    QImage image(700, 483, QImage::Format_RGB32);
    image.fill(Qt::white);
    QPainter painter(&image);
    DrawDataGraph(painter, record, QRect(QPoint(70, 48), QPoint(629, 433)));
    return image;
}

int MaxChannelDifference(QRgb a, QRgb b)
{
    return std::max(
        {std::abs(qRed(a) - qRed(b)), std::abs(qGreen(a) - qGreen(b)), std::abs(qBlue(a) - qBlue(b))});
}

TEST(GraphImage, OpenLoopVariableMatchesItsReference)
{
    ExperimentRecord record;
    ResultsTextCollector results;
    ImportExample("open_loop_variable", record, results);
    const QImage drawn = DrawnGraph(record);
    const QString reference = QStringLiteral(ORVANE_UI_TEST_DATA "/open_loop_variable_graph.png");
    if (std::getenv("ORVANE_WRITE_REFERENCE_IMAGES")) {
        ASSERT_TRUE(drawn.save(reference));
    }

    const QImage expected = QImage(reference).convertToFormat(QImage::Format_RGB32);
    ASSERT_EQ(expected.size(), drawn.size()) << "missing or resized " << reference.toStdString();
    int differing = 0;
    for (int y = 0; y < drawn.height(); ++y) {
        for (int x = 0; x < drawn.width(); ++x) {
            differing += MaxChannelDifference(drawn.pixel(x, y), expected.pixel(x, y)) > ChannelTolerance;
        }
    }
    EXPECT_EQ(differing, 0);
}

} // namespace
