#pragma once

// "Additional Data Input": the descriptive entries the reports print (title, date, material,
// chemical, instrument, conditions). None of them enters a calculation, so none is checked.

#include "windowing_services.h"

#include <QDialog>

#include <string>
#include <utility>
#include <vector>

class QFormLayout;
class QLineEdit;
class QPlainTextEdit;
class QRadioButton;
class QWidget;
struct ExperimentRecord;
struct ReportInfo;

class CInsert2Dlg : public QDialog
{
public:
    explicit CInsert2Dlg(QWidget *parent);

    // Shows the record's entries. Finish commits every entry and the physical state; Back
    // keeps the texts as typed for the next visit; Cancel changes nothing.
    DialogResult Run(ExperimentRecord &record);

private:
    using ReportText = std::string ReportInfo::*;

    QWidget *GeneralEntries();
    QWidget *ChemicalInformation();
    QWidget *ExperimentSetting();
    QWidget *ConditionEntries();
    QWidget *Buttons();
    void AddLine(QFormLayout *form, const char *caption, ReportText member, const char *note = nullptr);
    void AddLines(QFormLayout *form, const char *caption, ReportText member);
    void ShowEntries(const ReportInfo &report);
    void StoreTexts(ReportInfo &report) const;

    std::vector<std::pair<QLineEdit *, ReportText>> lines;
    std::vector<std::pair<QPlainTextEdit *, ReportText>> multiLines;
    QRadioButton *liquid = nullptr;
    QRadioButton *gas = nullptr;
};
