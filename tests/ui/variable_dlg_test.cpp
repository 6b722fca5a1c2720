#include "variable_dlg.h"

#include "dialog_controls.h"
#include "experiment_record.h"
#include "scripted_windowing_services.h"
#include "when_shown.h"

#include <QApplication>
#include <QFocusEvent>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QTest>

#include <gtest/gtest.h>

namespace {

void PressNext(QDialog &dialog)
{
    ButtonCaptioned<QPushButton>(dialog, "Next")->click();
}

struct ChoiceOfVariable : ::testing::Test
{
    ScriptedWindowingServices messages;
    CVariableDlg dialog {messages, nullptr};
    ExperimentRecord record;
};

TEST_F(ChoiceOfVariable, ResponseFormatShowsTheEquationOrTheMolecularWeight)
{
    WhenShown<QDialog>([](QDialog &shown) {
        EXPECT_FALSE(FieldNamed(shown, "equation")->isVisible());
        EXPECT_FALSE(FieldNamed(shown, "molecularWeight")->isVisible());
        Choose(shown, "Option 2: Use Concentration (in ppm)");
        EXPECT_FALSE(FieldNamed(shown, "equation")->isVisible());
        EXPECT_TRUE(FieldNamed(shown, "molecularWeight")->isVisible());
        Choose(shown, "Option 3: Use Other Analyzer Output Reading");
        EXPECT_TRUE(FieldNamed(shown, "equation")->isVisible());
        EXPECT_FALSE(FieldNamed(shown, "molecularWeight")->isVisible());
        shown.reject();
    });
    EXPECT_EQ(dialog.Run(record), DialogResult::Cancel);
    EXPECT_EQ(record.Settings.ResponseFormat, CalibratedAnalyzerOutput);
}

TEST_F(ChoiceOfVariable, SystemTypeEnablesExactlyTheFieldsItNeeds)
{
    WhenShown<QDialog>([](QDialog &shown) {
        Choose(shown, "Open Loop System (OL)");
        Choose(shown, "Variable Flow Rate.");
        EXPECT_FALSE(FieldNamed(shown, "flowRate")->isEnabled());
        EXPECT_FALSE(FieldNamed(shown, "detectionLimit")->isEnabled());
        EXPECT_TRUE(FieldNamed(shown, "minDetectableRate")->isEnabled());
        EXPECT_FALSE(FieldNamed(shown, "totalVolume")->isEnabled());
        EXPECT_FALSE(ButtonCaptioned<QRadioButton>(shown, "Discrete Sampling")->isEnabled());

        Choose(shown, "Closed Loop System (CL)");
        EXPECT_FALSE(ButtonCaptioned<QRadioButton>(shown, "Variable Flow Rate.")->isEnabled());
        EXPECT_FALSE(FieldNamed(shown, "minDetectableRate")->isEnabled());
        EXPECT_TRUE(FieldNamed(shown, "totalVolume")->isEnabled());
        EXPECT_FALSE(FieldNamed(shown, "volumeRemoved")->isEnabled());
        EXPECT_FALSE(FieldNamed(shown, "volumeReplaced")->isEnabled());
        Choose(shown, "Discrete Sampling");
        EXPECT_TRUE(FieldNamed(shown, "volumeRemoved")->isEnabled());
        EXPECT_FALSE(FieldNamed(shown, "volumeReplaced")->isEnabled());
        Choose(shown, "Sample Volume IS replaced, enter Volume Replaced (Vs in ASTM F 739)");
        EXPECT_FALSE(FieldNamed(shown, "volumeRemoved")->isEnabled());
        EXPECT_TRUE(FieldNamed(shown, "volumeReplaced")->isEnabled());
        shown.reject();
    });
    dialog.Run(record);
    EXPECT_EQ(SystemTypeOf(record.Settings), SystemType::ClosedLoopDiscreteReplaced);
}

// The four confirmed values are kept even when an entry is refused; the typed texts reach
// the record only once every entry passes.
TEST_F(ChoiceOfVariable, NextRefusesTheFirstInvalidEntryAndStaysOpen)
{
    record.Settings.CalibrationEquation = "x"; // stored, but not asked for under Option 1
    WhenShown<QDialog>([this](QDialog &shown) {
        Choose(shown, "Closed Loop System (CL)");
        Choose(shown, "MM/DD/YYYY HH:MM:SS ##");
        FieldNamed(shown, "totalVolume")->setText(QStringLiteral("abc"));
        FieldNamed(shown, "minDetectableMass")->setText(QStringLiteral("-1"));
        PressNext(shown);
        EXPECT_TRUE(shown.isVisible());
        EXPECT_EQ(record.Settings.ConfirmedTimeFormat, TimeSpreadsheetSerial);
        EXPECT_EQ(record.Settings.TotalVolume, "");

        FieldNamed(shown, "minDetectableMass")->setText(QStringLiteral("0"));
        PressNext(shown);
    });
    EXPECT_EQ(dialog.Run(record), DialogResult::Next);
    ASSERT_EQ(messages.Messages.size(), 1U);
    EXPECT_EQ(messages.Messages[0].Caption, "Invalid Entry");
    EXPECT_EQ(
        messages.Messages[0].Text, "The value for Minimum Mass Permeated must be a positive numeric value.");
    EXPECT_EQ(record.Settings.TotalVolume, "abc");
    EXPECT_EQ(record.Settings.MinDetectableMass, "0");
}

TEST_F(ChoiceOfVariable, OptionThreeAsksForTheEquation)
{
    record.Settings.LoopType = OpenLoop;
    record.Settings.FlowType = 1;
    WhenShown<QDialog>([](QDialog &shown) {
        Choose(shown, "Option 3: Use Other Analyzer Output Reading");
        FieldNamed(shown, "minDetectableRate")->setText(QStringLiteral("0.1"));
        PressNext(shown);
        FieldNamed(shown, "equation")->setText(QStringLiteral("4x^2 - 2x + 1"));
        QTest::keyClick(FieldNamed(shown, "equation"), Qt::Key_Return); // Return is Next
    });
    EXPECT_EQ(dialog.Run(record), DialogResult::Next);
    ASSERT_EQ(messages.Messages.size(), 1U);
    EXPECT_EQ(messages.Messages[0].Text, "The value for the Equation must be entered.");
    EXPECT_EQ(record.Settings.ConfirmedEquation, "4x^2 - 2x + 1");
    EXPECT_EQ(record.Settings.FlowRate, "");
}

TEST_F(ChoiceOfVariable, ColumnButtonOpensTheColumnLettersAndShowsWhetherAnyAreSet)
{
    WhenShown<QDialog>([](QDialog &shown) {
        QPushButton *columns = ButtonCaptioned<QPushButton>(shown, "Manually Select Data Columns");
        ASSERT_NE(columns, nullptr);
        WhenShown<QDialog>([](QDialog &letters) {
            letters.findChild<QLineEdit *>(QStringLiteral("timeColumn"))->setText(QStringLiteral("B"));
            letters.accept();
        });
        columns->click();
        EXPECT_EQ(columns->text(), QStringLiteral("Manual Data Columns Selected"));
        shown.reject();
    });
    dialog.Run(record);
    EXPECT_EQ(record.ManualTimeColumn, "B");
}

TEST(VolumeRemovedWarning, WarnsWhenTheSamplesWouldTakeMoreThanTheTotalVolume)
{
    ExperimentRecord record;
    record.Settings.TotalVolume = "1";
    EXPECT_FALSE(VolumeRemovedWarning(record, "5")); // no points read yet
    record.PointCount = 11;
    EXPECT_FALSE(VolumeRemovedWarning(record, "0.1"));
    const std::optional<Refusal> warning = VolumeRemovedWarning(record, "0.11");
    ASSERT_TRUE(warning);
    EXPECT_EQ(warning->Caption, "Attention:");
    EXPECT_EQ(warning->Text,
        "The entered value for Volume Removed is too large. Please check your values and re-enter the Volume "
        "Removed.");
}

// Only leaving the field within the dialog warns; the entry is kept and nothing is blocked.
TEST_F(ChoiceOfVariable, LeavingVolumeRemovedWarnsAboutATooLargeVolume)
{
    record.Settings.TotalVolume = "1";
    record.Settings.Sampling = 1;
    record.PointCount = 11;
    WhenShown<QDialog>([](QDialog &shown) {
        QLineEdit *removed = FieldNamed(shown, "volumeRemoved");
        removed->setText(QStringLiteral("0.2"));
        QFocusEvent toOtherWindow(QEvent::FocusOut, Qt::ActiveWindowFocusReason);
        QApplication::sendEvent(removed, &toOtherWindow);
        QFocusEvent tabbedAway(QEvent::FocusOut, Qt::TabFocusReason);
        QApplication::sendEvent(removed, &tabbedAway);
        EXPECT_EQ(removed->text(), QStringLiteral("0.2"));
        shown.reject();
    });
    dialog.Run(record);
    ASSERT_EQ(messages.Messages.size(), 1U);
    EXPECT_EQ(messages.Messages[0].Caption, "Attention:");
}

TEST_F(ChoiceOfVariable, FormFitsASmallScreen)
{
    EXPECT_LE(dialog.height(), 768);
    EXPECT_LE(dialog.width(), 1366);
}

} // namespace
