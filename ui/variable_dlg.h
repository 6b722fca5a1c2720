#pragma once

// "Choice of Variable": how the test was run (response format, time format, system type)
// and the flow rate, volumes and detection limits it needs. The rules live in plain
// functions the batch tool shares; the dialog shows what they decide.

#include "column_select_dlg.h"
#include "windowing_services.h"

#include <QDialog>

#include <optional>
#include <string>
#include <string_view>

class QButtonGroup;
class QLineEdit;
class QPushButton;
class QVBoxLayout;
struct ExperimentRecord;
struct TestSettings;

// Which parts of the system-type group the choices shown ask for.
struct SystemTypeFields
{
    bool FlowChoice = false;
    bool FlowRate = false;
    bool DetectionLimit = false;
    bool MinDetectableRate = false;
    bool TotalVolume = false;
    bool SamplingChoice = false;
    bool ReplacementChoice = false;
    bool VolumeRemoved = false;
    bool VolumeReplaced = false;
    bool MinDetectableMass = false;
};

SystemTypeFields EnabledSystemTypeFields(const TestSettings &settings);

// A volume removed at every sample that would empty the collection medium before the last
// point; only a warning, since the total volume may still be retyped.
std::optional<Refusal> VolumeRemovedWarning(const ExperimentRecord &record, std::string_view volumeRemoved);

class CVariableDlg : public QDialog
{
public:
    CVariableDlg(MessageSink &messages, QWidget *parent);

    // Shows the record's choices and texts; a choice takes effect when clicked. Next commits
    // the texts once they pass validation; Cancel commits nothing further.
    DialogResult Run(ExperimentRecord &record);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    QWidget *Heading();
    QWidget *ResponseFormatGroup();
    QWidget *EquationBlock();
    QWidget *TimeFormatGroup();
    QWidget *SystemTypeGroup();
    QWidget *OpenLoopFields();
    QWidget *ClosedLoopFields();
    QWidget *Buttons();
    QButtonGroup *ChoiceGroup(int TestSettings::*member);
    QLineEdit *AddField(
        QVBoxLayout *column, QWidget *&row, const char *objectName, const char *caption, const char *unit);

    void ShowRecord();
    void ShowResponseFormat();
    void ApplyEnabling();
    void ShowColumnCaption();
    void SelectColumns();
    void CommitTexts(TestSettings &settings) const;
    void NextWhenValid();

    MessageSink &messages;
    CColumnSelectDlg columnSelect;
    ExperimentRecord *record = nullptr;

    QPushButton *columnButton = nullptr;
    QButtonGroup *responseFormat = nullptr;
    QButtonGroup *timeFormat = nullptr;
    QButtonGroup *loopType = nullptr;
    QButtonGroup *flowType = nullptr;
    QButtonGroup *sampling = nullptr;
    QButtonGroup *volumeHandling = nullptr;
    QWidget *equationBlock = nullptr;
    QLineEdit *equation = nullptr;
    QWidget *molecularWeightRow = nullptr;
    QLineEdit *molecularWeight = nullptr;

    QWidget *flowRateRow = nullptr;
    QLineEdit *flowRate = nullptr;
    QWidget *detectionLimitRow = nullptr;
    QLineEdit *detectionLimit = nullptr;
    QWidget *minRateRow = nullptr;
    QLineEdit *minRate = nullptr;
    QWidget *totalVolumeRow = nullptr;
    QLineEdit *totalVolume = nullptr;
    QWidget *volumeRemovedRow = nullptr;
    QLineEdit *volumeRemoved = nullptr;
    QWidget *volumeReplacedRow = nullptr;
    QLineEdit *volumeReplaced = nullptr;
    QWidget *minMassRow = nullptr;
    QLineEdit *minMass = nullptr;
};
