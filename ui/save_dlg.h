#pragma once

// "Save File As": whether Save writes an Excel file or a text file. One dialog lives as
// long as the main window, so it opens with the choice made at the previous Save.

#include "windowing_services.h"

#include <QDialog>

#include <optional>

class QButtonGroup;

class CSaveDlg : public QDialog
{
public:
    explicit CSaveDlg(QWidget *parent);

    // None for Cancel; OK keeps the choice for the next time.
    std::optional<SaveChoice> Run();

    QButtonGroup *Choices() const { return choices; }

private:
    QButtonGroup *choices = nullptr;
    SaveChoice choice = SaveChoice::ExcelFile;
};
