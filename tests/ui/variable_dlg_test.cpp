#include "variable_dlg.h"

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

QLineEdit *Field(QDialog &dialog, const char *name)
{
    return dialog.findChild<QLineEdit *>(QString::fromLatin1(name));
}

template<typename Button>
Button *ButtonOf(QDialog &dialog, const char *utf8Caption)
{
    for (Button *button : dialog.findChildren<Button *>()) {
        if (button->text() == QString::fromUtf8(utf8Caption)) {
            return button;
        }
    }
    return nullptr;
}

void Choose(QDialog &dialog, const char *utf8Caption)
{
    ButtonOf<QRadioButton>(dialog, utf8Caption)->click();
}

void PressNext(QDialog &dialog)
{
    ButtonOf<QPushButton>(dialog, "Next")->click();
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
        EXPECT_FALSE(Field(shown, "equation")->isVisible());
        EXPECT_FALSE(Field(shown, "molecularWeight")->isVisible());
        Choose(shown, "Option 2: Use Concentration (in ppm)");
        EXPECT_FALSE(Field(shown, "equation")->isVisible());
        EXPECT_TRUE(Field(shown, "molecularWeight")->isVisible());
        Choose(shown, "Option 3: Use Other Analyzer Output Reading");
        EXPECT_TRUE(Field(shown, "equation")->isVisible());
        EXPECT_FALSE(Field(shown, "molecularWeight")->isVisible());
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
        EXPECT_FALSE(Field(shown, "flowRate")->isEnabled());
        EXPECT_FALSE(Field(shown, "detectionLimit")->isEnabled());
        EXPECT_TRUE(Field(shown, "minDetectableRate")->isEnabled());
        EXPECT_FALSE(Field(shown, "totalVolume")->isEnabled());
        EXPECT_FALSE(ButtonOf<QRadioButton>(shown, "Discrete Sampling")->isEnabled());

        Choose(shown, "Closed Loop System (CL)");
        EXPECT_FALSE(ButtonOf<QRadioButton>(shown, "Variable Flow Rate.")->isEnabled());
        EXPECT_FALSE(Field(shown, "minDetectableRate")->isEnabled());
        EXPECT_TRUE(Field(shown, "totalVolume")->isEnabled());
        EXPECT_FALSE(Field(shown, "volumeRemoved")->isEnabled());
        EXPECT_FALSE(Field(shown, "volumeReplaced")->isEnabled());
        Choose(shown, "Discrete Sampling");
        EXPECT_TRUE(Field(shown, "volumeRemoved")->isEnabled());
        EXPECT_FALSE(Field(shown, "volumeReplaced")->isEnabled());
        Choose(shown, "Sample Volume IS replaced, enter Volume Replaced (Vs in ASTM F 739)");
        EXPECT_FALSE(Field(shown, "volumeRemoved")->isEnabled());
        EXPECT_TRUE(Field(shown, "volumeReplaced")->isEnabled());
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
        Field(shown, "totalVolume")->setText(QStringLiteral("abc"));
        Field(shown, "minDetectableMass")->setText(QStringLiteral("-1"));
        PressNext(shown);
        EXPECT_TRUE(shown.isVisible());
        EXPECT_EQ(record.Settings.ConfirmedTimeFormat, TimeSpreadsheetSerial);
        EXPECT_EQ(record.Settings.TotalVolume, "");

        Field(shown, "minDetectableMass")->setText(QStringLiteral("0"));
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
        Field(shown, "minDetectableRate")->setText(QStringLiteral("0.1"));
        PressNext(shown);
        Field(shown, "equation")->setText(QStringLiteral("4x^2 - 2x + 1"));
        QTest::keyClick(Field(shown, "equation"), Qt::Key_Return); // Return is Next
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
        QPushButton *columns = ButtonOf<QPushButton>(shown, "Manually Select Data Columns");
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
        QLineEdit *removed = Field(shown, "volumeRemoved");
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
