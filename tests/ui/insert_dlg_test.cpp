#include "insert_dlg.h"

#include "experiment_record.h"
#include "scripted_windowing_services.h"
#include "when_shown.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>

#include <gtest/gtest.h>

namespace {

QLineEdit *Field(QDialog &dialog, const char *name)
{
    return dialog.findChild<QLineEdit *>(QString::fromLatin1(name));
}

template<typename Button>
Button *ButtonOf(QDialog &dialog, const char *caption)
{
    for (Button *button : dialog.findChildren<Button *>()) {
        if (button->text() == QString::fromUtf8(caption)) {
            return button;
        }
    }
    return nullptr;
}

bool Shows(QDialog &dialog, const char *utf8Text)
{
    for (QLabel *label : dialog.findChildren<QLabel *>()) {
        if (label->text() == QString::fromUtf8(utf8Text) && label->isVisible()) {
            return true;
        }
    }
    return false;
}

struct DataInput : ::testing::Test
{
    DataInput()
    {
        record.LastTime = 479.996;
        record.Specimen.AverageStartText = "0.00";
        record.Specimen.AverageEndText = "479.99";
        record.Specimen.CumulativeTimeText = "0";
        record.Specimen.DiameterCopy = "1";
        record.Specimen.SpecimenWeightText = "2";
        record.Specimen.TargetMassText = "0.5";
    }

    ScriptedWindowingServices messages;
    CInsertDlg dialog {messages, nullptr};
    ExperimentRecord record;
};

// The end is compared unrounded at Next: 480.00 lies beyond data that end at 479.996.
TEST_F(DataInput, NextRefusesATimeBeyondTheDataAndStaysOpen)
{
    WhenShown<QDialog>([](QDialog &shown) {
        EXPECT_TRUE(Shows(shown, "Cumulative Permeation vs Time"));
        EXPECT_NE(ButtonOf<QPushButton>(shown, "View Data Graph"), nullptr);
        Field(shown, "averageEnd")->setText(QStringLiteral("480.00"));
        ButtonOf<QPushButton>(shown, "Next")->click();
        EXPECT_TRUE(shown.isVisible());
        Field(shown, "averageEnd")->setText(QStringLiteral("479.99"));
        QTest::keyClick(Field(shown, "averageEnd"), Qt::Key_Return); // Return is Next
    });
    EXPECT_EQ(dialog.Run(record), DialogResult::Next);
    ASSERT_EQ(messages.Messages.size(), 1U);
    EXPECT_EQ(messages.Messages[0].Caption, "Invalid Entry");
    EXPECT_EQ(messages.Messages[0].Text,
        "The value for Average Permeation End Time must be a numeric value between the "
        "start and end time of the experiment data.");
    EXPECT_EQ(record.Specimen.AverageEndText, "479.99");
}

// A time the data no longer reach, after a change of time format, is brought back inside.
TEST_F(DataInput, OpeningBringsTimesBackWithinTheData)
{
    record.Specimen.AverageEndText = "600";
    record.Specimen.CumulativeTimeText = "-5";
    WhenShown<QDialog>([](QDialog &shown) {
        EXPECT_EQ(Field(shown, "averageEnd")->text(), QStringLiteral("479.99"));
        EXPECT_EQ(Field(shown, "cumulativeTime")->text(), QStringLiteral("479.99"));
        ButtonOf<QPushButton>(shown, "Back")->click();
    });
    EXPECT_EQ(dialog.Run(record), DialogResult::Back);
    EXPECT_EQ(record.Specimen.AverageEndText, "600");
}

TEST_F(DataInput, AreaModeAsksForTheAreaOnly)
{
    WhenShown<QDialog>([](QDialog &shown) {
        EXPECT_FALSE(Field(shown, "area")->isEnabled());
        ButtonOf<QRadioButton>(shown, "Area:")->click();
        EXPECT_TRUE(Field(shown, "area")->isEnabled());
        EXPECT_FALSE(Field(shown, "diameter")->isEnabled());
        EXPECT_FALSE(ButtonOf<QRadioButton>(shown, "cm")->isEnabled());
        Field(shown, "diameter")->clear();
        Field(shown, "area")->setText(QStringLiteral("20"));
        ButtonOf<QPushButton>(shown, "Next")->click();
    });
    EXPECT_EQ(dialog.Run(record), DialogResult::Next);
    EXPECT_TRUE(messages.Messages.empty());
    EXPECT_EQ(record.Specimen.AreaMode, 0);
    EXPECT_EQ(record.Specimen.AreaText, "20");
}

// The calculations read the diameter of the chosen unit, so a diameter typed after the
// preview was drawn must reach it too.
TEST_F(DataInput, NextStoresTheDiameterInTheChosenUnit)
{
    record.Specimen.DiameterUnit = 1;
    WhenShown<QDialog>([](QDialog &shown) {
        Field(shown, "diameter")->setText(QStringLiteral("2.5"));
        ButtonOf<QPushButton>(shown, "Next")->click();
    });
    EXPECT_EQ(dialog.Run(record), DialogResult::Next);
    EXPECT_EQ(record.Specimen.DiameterCmText, "2.5");
    EXPECT_EQ(record.Specimen.DiameterCopy, "2.5");
}

TEST(DataInputWarnings, EndPastTheShownEndAndNegativeStart)
{
    EXPECT_FALSE(EndTimeWarning("480.00", 479.996));
    const std::optional<Refusal> late = EndTimeWarning("480.01", 479.996);
    ASSERT_TRUE(late);
    EXPECT_EQ(late->Caption, "Attention:");
    EXPECT_EQ(late->Text,
        "The time you have entered is beyond the experiment data's ending time of 480.00 minutes.");
    EXPECT_FALSE(StartTimeWarning("0"));
    ASSERT_TRUE(StartTimeWarning("-1"));
    EXPECT_EQ(StartTimeWarning("-1")->Text,
        "You have entered a negative start time for calculating average permeation.");
}

} // namespace
