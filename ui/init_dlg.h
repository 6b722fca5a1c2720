#pragma once

// The title screen: the program's picture and "Click Here". Only that button goes on to the
// main window; Escape rejects the screen and the program ends.

#include <QDialog>

class QPushButton;

class CInitDlg : public QDialog
{
public:
    explicit CInitDlg(QWidget *parent = nullptr);

    QPushButton *ClickHereButton() const { return clickHere; }

private:
    QPushButton *clickHere;
};
