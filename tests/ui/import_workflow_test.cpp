// One whole Import Data through the program's own dialogs, answered as an operator would
// answer them, up to the results box of the main window.

#include "orvane_dlg.h"

#include "dialog_controls.h"
#include "qt_windowing_services.h"
#include "when_shown.h"

#include <QFile>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>

#include <gtest/gtest.h>

namespace {

// The Qt dialogs, with the workbook chosen by the test instead of in the file dialog.
class ChosenWorkbookServices : public QtWindowingServices
{
public:
    explicit ChosenWorkbookServices(ChosenFile workbook)
        : QtWindowingServices(nullptr)
        , workbook(std::move(workbook))
    { }

    std::vector<ChosenFile> ChooseFilesToOpen(const std::vector<FileFilter> &) override { return {workbook}; }

private:
    ChosenFile workbook;
};

// Replaces the field's text key by key, so the dialog sees an edit.
void Type(QLineEdit *field, const char *text)
{
    ASSERT_NE(field, nullptr) << text;
    field->selectAll();
    QTest::keyClicks(field, QString::fromLatin1(text));
}

void Press(QDialog &dialog, const char *caption)
{
    QPushButton *button = ButtonCaptioned<QPushButton>(dialog, caption);
    ASSERT_NE(button, nullptr) << caption;
    button->click();
}

// examples/closed_loop_continuous.ini, typed into the three dialogs.
void ChoiceOfVariable(QDialog &dialog)
{
    Choose(dialog, "Option 1: Use Concentration (in µg/L)");
    Choose(dialog, "Time in Minutes");
    Choose(dialog, "Closed Loop System (CL)");
    Choose(dialog, "Continuous Sampling");
    Type(FieldNamed(dialog, "totalVolume"), "0.150");
    Type(FieldNamed(dialog, "minDetectableMass"), "0.02");
    Press(dialog, "Next");
}

void DataInput(QDialog &dialog)
{
    Choose(dialog, "Diameter");
    Choose(dialog, "inch");
    Type(FieldNamed(dialog, "diameter"), "2.00");
    Type(FieldNamed(dialog, "cumulativeTime"), "60");
    Type(FieldNamed(dialog, "targetMass"), "2.5");
    Type(FieldNamed(dialog, "averageStart"), "40");
    Type(FieldNamed(dialog, "averageEnd"), "100");
    Type(FieldNamed(dialog, "weight"), "0.45");
    Press(dialog, "Next");
}

void AdditionalDataInput(QDialog &dialog)
{
    const std::pair<const char *, const char *> lines[] {
        {"Report Title:", "Closed-loop sample test"},
        {"Date:", "5/1/2013"},
        {"Operator:", "J. Moreau"},
        {"Material Type (Manufacture/Product):", "Nitrile glove, 0.1 mm"},
        {"Average Material Thickness (mm):", "0.10"},
        {"Test Chemical:", "Toluene"},
        {"CAS #:", "108-88-3"},
        {"Collection Medium:", "Isopropanol"},
        {"Data Sampling Inteval (second):", "60"},
        {"Nominal Test Temperature:", "23"},
        {"Temperature Range:", "22.5 - 23.5"},
    };
    for (const auto &[caption, text] : lines) {
        Type(FieldLabelled<QLineEdit>(dialog, caption), text);
    }
    Choose(dialog, "Liquid");
    Press(dialog, "Finish");
}

TEST(ImportThroughTheDialogs, ShowsTheResultsOfTheBatchToolWithTheSameEntries)
{
    const std::string example = "closed_loop_continuous";
    ChosenWorkbookServices services({ORVANE_EXAMPLES "/" + example + ".xls", example + ".xls"});
    COrvaneDlg window(services);
    window.show();
    ModalScript script({{"Choice of Variable", ChoiceOfVariable}, {"Data Input", DataInput},
        {"Additional Data Input", AdditionalDataInput}});
    ButtonCaptioned<QPushButton>(*window.centralWidget(), "Import Data")->click();

    EXPECT_TRUE(script.Done());
    EXPECT_TRUE(window.Record().ResultsAvailable);
    QFile expected(QString::fromStdString(ORVANE_CLI_EXPECTED "/" + example + ".txt"));
    ASSERT_TRUE(expected.open(QIODevice::ReadOnly));
    // orvane-batch prints the results text with LF line ends and one more LF.
    EXPECT_EQ(window.ResultsBox()->toPlainText() + u'\n', QString::fromUtf8(expected.readAll()));
}

} // namespace
