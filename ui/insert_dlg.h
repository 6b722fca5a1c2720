#pragma once

// "Data Input": the specimen's exposure size and weight, the cumulative permeation targets,
// the interval of the average permeation rate, and a preview of the data.

#include "windowing_services.h"

#include <QDialog>

#include <optional>
#include <string>
#include <string_view>

class GraphArea;
class QButtonGroup;
class QCheckBox;
class QLabel;
class QLineEdit;
class QPushButton;
struct ExperimentRecord;
struct SpecimenInputs;

// Leaving a time field: a time past the data's end (as shown, to two decimals), or a
// negative start of the average.
std::optional<Refusal> EndTimeWarning(std::string_view time, double lastTime);
std::optional<Refusal> StartTimeWarning(std::string_view time);

class CInsertDlg : public QDialog
{
public:
    CInsertDlg(MessageSink &messages, QWidget *parent);

    // Shows the record's entries and draws the preview. Next commits the texts once they
    // pass validation; Back and Cancel commit none of the texts typed in this visit.
    DialogResult Run(ExperimentRecord &record);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    QWidget *SizeGroup();
    QWidget *WeightGroup();
    QWidget *TimeFields();
    QWidget *Preview();
    QWidget *Buttons();
    QButtonGroup *ChoiceGroup(int SpecimenInputs::*member);
    QLineEdit *NewField(const char *objectName);

    void ShowRecord();
    void ShowTimeWithinData(QLineEdit *field, double replacement);
    void ApplyAreaMode();
    void StoreDiameter(SpecimenInputs &specimen) const;
    void DrawPreview();
    void CommitTexts(SpecimenInputs &specimen) const;
    void NextWhenValid();

    MessageSink &messages;
    ExperimentRecord *record = nullptr;

    QButtonGroup *areaMode = nullptr;
    QButtonGroup *diameterUnit = nullptr;
    QButtonGroup *weightUnit = nullptr;
    QLineEdit *diameter = nullptr;
    QLineEdit *area = nullptr;
    QLabel *areaUnit = nullptr;
    QLineEdit *weight = nullptr;
    QLineEdit *cumulativeTime = nullptr;
    QLineEdit *targetMass = nullptr;
    QLineEdit *averageStart = nullptr;
    QLineEdit *averageEnd = nullptr;
    QCheckBox *steadyState = nullptr;
    GraphArea *preview = nullptr;
    QLabel *chartTitle = nullptr;
    QLabel *valueAxisTitle = nullptr;
    QLabel *timeAxisTitle = nullptr;
    QPushButton *previewButton = nullptr;
};
