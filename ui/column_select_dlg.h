#pragma once

// "Select Data Columns": the column letters the import reads instead of the columns it finds
// by header or by default.

#include "windowing_services.h"

#include <QDialog>

#include <string>

class QLineEdit;
struct ExperimentRecord;

// The caption of the Choice of Variable button that opens this dialog: it tells the
// operator whether any letters are in force.
std::string ManualColumnsCaption(const ExperimentRecord &record);

class CColumnSelectDlg : public QDialog
{
public:
    CColumnSelectDlg(MessageSink &messages, QWidget *parent);

    // Shows the stored letters; OK stores the three texts as typed, Cancel leaves them.
    DialogResult Run(ExperimentRecord &record);

private:
    QLineEdit *AddLetterEdit(const char *objectName);
    void Clear();
    void AcceptWhenValid();

    MessageSink &messages;
    QLineEdit *analyzerEdit;
    QLineEdit *timeEdit;
    QLineEdit *flowEdit;
};
