#pragma once

// A graph window: modeless, one more for every Graph command. "Show Graph" draws the
// record as it is at that moment and keeps that graph on every repaint, with the titles of
// its loop type, so a later import never puts new data under old titles.

#include "experiment_record.h"

#include <QDialog>

#include <functional>
#include <memory>

class QLabel;
class QPrinter;
class QPushButton;
class WindowingServices;

// The picture area: empty until told to show a record's graph.
class GraphArea : public QWidget
{
public:
    explicit GraphArea(QWidget *parent);
    void ShowGraph(const ExperimentRecord &record);
    // The record of the graph shown; none before Show Graph.
    const ExperimentRecord *Shown() const { return shown.get(); }

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    std::unique_ptr<const ExperimentRecord> shown;
};

class CGraphOutputDialog : public QDialog
{
public:
    // The printer is asked for only when Print Graph is.
    CGraphOutputDialog(ExperimentRecord &record, WindowingServices &services,
        std::function<QPrinter &()> printer, QWidget *parent);

    QPushButton *ShowGraphButton() const { return showGraph; }
    QPushButton *PrintGraphButton() const { return printGraph; }
    QPushButton *CloseWindowButton() const { return closeWindow; }
    QLabel *ChartTitle() const { return chartTitle; }
    QLabel *ValueAxisTitle() const { return valueAxisTitle; }
    QLabel *TimeAxisTitle() const { return timeAxisTitle; }

private:
    void OnShowGraph();
    void OnPrintGraph();

    ExperimentRecord &record;
    WindowingServices &services;
    std::function<QPrinter &()> printer;
    GraphArea *picture;
    QLabel *chartTitle;
    QLabel *valueAxisTitle;
    QLabel *timeAxisTitle;
    QPushButton *showGraph;
    QPushButton *printGraph;
    QPushButton *closeWindow;
};
