#include "graph_output_dialog.h"

#include "experiment_record.h"
#include "graph_painter.h"
#include "permeation.h"
#include "print_commands.h"
#include "qt_text.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPainter>
#include <QPushButton>
#include <QScreen>
#include <QVBoxLayout>

namespace {

QLabel *HiddenTitle(const std::string &text, QWidget *parent)
{
    auto *label = new QLabel(QtText(text), parent);
    label->setVisible(false);
    return label;
}

void ShowTitle(QLabel *label, const std::string &text)
{
    label->setText(QtText(text));
    label->setVisible(true);
}

} // namespace

GraphArea::GraphArea(QWidget *parent)
    : QWidget(parent)
{
    // The printout's graph rectangle, so the screen shows the same proportions.
    setMinimumSize(560, 386);
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
}

void GraphArea::ShowGraph(const ExperimentRecord &record)
{
    shown = std::make_unique<const ExperimentRecord>(record);
    update();
}

void GraphArea::paintEvent(QPaintEvent *)
{
    if (shown) {
        QPainter painter(this);
        DrawDataGraph(painter, *shown, rect());
    }
}

CGraphOutputDialog::CGraphOutputDialog(ExperimentRecord &record, WindowingServices &services,
    std::function<QPrinter &()> printer, QWidget *parent)
    : QDialog(parent)
    , record(record)
    , services(services)
    , printer(std::move(printer))
    , picture(new GraphArea(this))
    , showGraph(new QPushButton(QStringLiteral("Show Graph"), this))
    , printGraph(new QPushButton(QStringLiteral("Print Graph"), this))
    , closeWindow(new QPushButton(QStringLiteral("Close Window"), this))
{
    setAttribute(Qt::WA_DeleteOnClose);
    setModal(false);
    setWindowTitle(QStringLiteral("Results Graph"));
    const GraphTitles titles = GraphTitlesFor(record.Settings);
    chartTitle = HiddenTitle(titles.Chart, this);
    valueAxisTitle = HiddenTitle(titles.ValueAxis, this);
    timeAxisTitle = HiddenTitle("Time (Min)", this);

    auto *buttons = new QHBoxLayout;
    buttons->addWidget(showGraph);
    buttons->addWidget(printGraph);
    buttons->addStretch();
    buttons->addWidget(closeWindow);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(chartTitle, 0, Qt::AlignHCenter);
    layout->addWidget(valueAxisTitle, 0, Qt::AlignLeft);
    layout->addWidget(picture, 1);
    layout->addWidget(timeAxisTitle, 0, Qt::AlignHCenter);
    layout->addLayout(buttons);

    connect(showGraph, &QPushButton::clicked, this, [this] { OnShowGraph(); });
    connect(printGraph, &QPushButton::clicked, this, [this] { OnPrintGraph(); });
    connect(closeWindow, &QPushButton::clicked, this, &QDialog::close);
}

void CGraphOutputDialog::OnShowGraph()
{
    // Drawing on screen shows the area from the diameter entered last.
    ComputeExposedArea(record);
    picture->ShowGraph(record);
    const GraphTitles titles = GraphTitlesFor(record.Settings);
    ShowTitle(chartTitle, titles.Chart);
    ShowTitle(valueAxisTitle, titles.ValueAxis);
    timeAxisTitle->setVisible(true);
}

void CGraphOutputDialog::OnPrintGraph()
{
    // What the window shows is what goes on paper; before Show Graph, the test as it is.
    const ExperimentRecord &printed = picture->Shown() ? *picture->Shown() : record;
    const QScreen *shownOn = screen();
    const ScreenResolution resolution {shownOn->logicalDotsPerInchX(), shownOn->logicalDotsPerInchY()};
    PrintGraphCommand(printed, services, printer(), resolution);
}
