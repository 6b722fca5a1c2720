#pragma once

// The help window: the topic list beside the main window, and the text of the topic chosen.
// It is made once, hidden, with the main window; "Help Topics" only shows it again, so the
// topic an operator was reading and how far down it was are still there.

#include <QDialog>

class QListWidget;
class QPlainTextEdit;

class CHelpDialog : public QDialog
{
public:
    explicit CHelpDialog(QWidget *parent);

    // Shows the window without blocking the main window, brought to the front if it is open.
    void ShowTopics();

    QListWidget *TopicList() const { return topics; }
    QPlainTextEdit *HelpText() const { return text; }

private:
    void ShowSelectedTopic();

    QListWidget *topics;
    QPlainTextEdit *text;
    bool placed = false;
};
