#include "qt_windowing_services.h"

#include "dialog_controls.h"
#include "experiment_record.h"
#include "when_shown.h"

#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>

#include <gtest/gtest.h>

namespace {

struct AdditionalDataInput : ::testing::Test
{
    DialogResult Run() { return services.RunSettingsDialog(SettingsDialog::AdditionalDataInput, record); }

    QtWindowingServices services {nullptr};
    ExperimentRecord record;
};

TEST_F(AdditionalDataInput, FinishCommitsEveryEntryInTheProgramsTexts)
{
    WhenShown<QDialog>([](QDialog &dialog) { ButtonCaptioned<QPushButton>(dialog, "Finish")->click(); });
    EXPECT_EQ(Run(), DialogResult::Next);
    EXPECT_EQ(record.Report.ReportTitle, "");

    WhenShown<QDialog>([](QDialog &dialog) {
        EXPECT_EQ(dialog.windowTitle(), QStringLiteral("Additional Data Input"));
        FieldLabelled<QLineEdit>(dialog, "Report Title:")->setText(QString::fromUtf8("Nitrile 5 µm"));
        FieldLabelled<QLineEdit>(dialog, "Date:")->setText(QStringLiteral("3/4/2026"));
        FieldLabelled<QLineEdit>(dialog, "Nominal Test Temperature:")->setText(QStringLiteral("23"));
        FieldLabelled<QPlainTextEdit>(dialog, "Instrument Settings:")
            ->setPlainText(QStringLiteral("gain 2\nrange 5"));
        ButtonCaptioned<QRadioButton>(dialog, "Gas")->click();
        ButtonCaptioned<QPushButton>(dialog, "Finish")->click();
    });
    EXPECT_EQ(Run(), DialogResult::Next);
    EXPECT_EQ(record.Report.ReportTitle, "Nitrile 5 \xB5m");
    EXPECT_EQ(record.Report.TestDate, "3/4/2026");
    EXPECT_EQ(record.Report.NominalTemperature, "23");
    EXPECT_EQ(record.Report.InstrumentSettings, "gain 2\r\nrange 5");
    EXPECT_EQ(record.Report.PhysicalState, 1);

    // The next visit shows what Finish committed, a text box with its own line breaks.
    WhenShown<QDialog>([](QDialog &dialog) {
        EXPECT_EQ(FieldLabelled<QPlainTextEdit>(dialog, "Instrument Settings:")->toPlainText(),
            QStringLiteral("gain 2\nrange 5"));
        EXPECT_TRUE(ButtonCaptioned<QRadioButton>(dialog, "Gas")->isChecked());
        ButtonCaptioned<QPushButton>(dialog, "Cancel")->click();
    });
    EXPECT_EQ(Run(), DialogResult::Cancel);
}

TEST_F(AdditionalDataInput, BackKeepsTheTextsAsTypedCancelKeepsNothing)
{
    WhenShown<QDialog>([](QDialog &dialog) {
        FieldLabelled<QPlainTextEdit>(dialog, "Comments:")->setPlainText(QStringLiteral("worn once"));
        ButtonCaptioned<QRadioButton>(dialog, "Gas")->click();
        ButtonCaptioned<QPushButton>(dialog, "Back")->click();
    });
    EXPECT_EQ(Run(), DialogResult::Back);
    EXPECT_EQ(record.Report.Comments, "worn once");
    EXPECT_EQ(record.Report.PhysicalState, 0);

    WhenShown<QDialog>([](QDialog &dialog) {
        EXPECT_EQ(FieldLabelled<QPlainTextEdit>(dialog, "Comments:")->toPlainText(), QStringLiteral("worn once"));
        FieldLabelled<QLineEdit>(dialog, "Operator:")->setText(QStringLiteral("JD"));
        QTest::keyClick(&dialog, Qt::Key_Escape);
    });
    EXPECT_EQ(Run(), DialogResult::Cancel);
    EXPECT_EQ(record.Report.Operator, "");
}

// Return finishes from a one-line field but starts a new line in the two text boxes.
TEST_F(AdditionalDataInput, ReturnFinishesExceptInsideTheTextBoxes)
{
    WhenShown<QDialog>([](QDialog &dialog) {
        auto *comments = FieldLabelled<QPlainTextEdit>(dialog, "Comments:");
        comments->setFocus();
        QTest::keyClicks(comments, QStringLiteral("one"));
        QTest::keyClick(comments, Qt::Key_Return);
        QTest::keyClicks(comments, QStringLiteral("two"));
        EXPECT_TRUE(dialog.isVisible());
        auto *title = FieldLabelled<QLineEdit>(dialog, "Report Title:");
        title->setFocus();
        QTest::keyClick(title, Qt::Key_Return);
    });
    EXPECT_EQ(Run(), DialogResult::Next);
    EXPECT_EQ(record.Report.Comments, "one\r\ntwo");
}

} // namespace
