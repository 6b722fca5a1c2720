#pragma once

// A graph window: modeless, one more for every Graph command. Its titles follow the loop
// type the record had when the window opened; "Show Graph" draws the record as it is then
// and keeps drawing it on every repaint.

#include <QDialog>

class QLabel;
class QPushButton;
class MessageSink;
struct ExperimentRecord;

// The picture area: empty until told to show the graph.
class GraphArea : public QWidget
{
public:
    GraphArea(ExperimentRecord &record, QWidget *parent);
    void ShowGraph();

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    ExperimentRecord &record;
    bool graphShown = false;
};

class CGraphOutputDialog : public QDialog
{
public:
    CGraphOutputDialog(ExperimentRecord &record, MessageSink &messages, QWidget *parent);

    QPushButton *ShowGraphButton() const { return showGraph; }
    QPushButton *PrintGraphButton() const { return printGraph; }
    QPushButton *CloseWindowButton() const { return closeWindow; }
    QLabel *ChartTitle() const { return chartTitle; }
    QLabel *ValueAxisTitle() const { return valueAxisTitle; }
    QLabel *TimeAxisTitle() const { return timeAxisTitle; }

private:
    void OnShowGraph();

    MessageSink &messages;
    GraphArea *picture;
    QLabel *chartTitle;
    QLabel *valueAxisTitle;
    QLabel *timeAxisTitle;
    QPushButton *showGraph;
    QPushButton *printGraph;
    QPushButton *closeWindow;
};
