#pragma once

// "About Orvane": the icon, the version and what the program calculates.

#include <QDialog>

class CAboutDlg : public QDialog
{
public:
    explicit CAboutDlg(QWidget *parent = nullptr);
};
