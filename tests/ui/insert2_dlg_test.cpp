#include "qt_windowing_services.h"

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

template<typename Field>
Field *FieldOf(QDialog &dialog, const char *caption)
{
    for (QLabel *label : dialog.findChildren<QLabel *>()) {
        if (label->text() == QString::fromUtf8(caption)) {
            return qobject_cast<Field *>(label->buddy());
        }
    }
    return nullptr;
}

QPushButton *ButtonOf(QDialog &dialog, const char *caption)
{
    for (QPushButton *button : dialog.findChildren<QPushButton *>()) {
        if (button->text() == QString::fromLatin1(caption)) {
            return button;
        }
    }
    return nullptr;
}

QRadioButton *RadioOf(QDialog &dialog, const char *caption)
{
    for (QRadioButton *radio : dialog.findChildren<QRadioButton *>()) {
        if (radio->text() == QString::fromLatin1(caption)) {
            return radio;
        }
    }
    return nullptr;
}

struct AdditionalDataInput : ::testing::Test
{
    DialogResult Run() { return services.RunSettingsDialog(SettingsDialog::AdditionalDataInput, record); }

    QtWindowingServices services {nullptr};
    ExperimentRecord record;
};

TEST_F(AdditionalDataInput, FinishCommitsEveryEntryInTheProgramsTexts)
{
    WhenShown<QDialog>([](QDialog &dialog) { ButtonOf(dialog, "Finish")->click(); });
    EXPECT_EQ(Run(), DialogResult::Next);
    EXPECT_EQ(record.Report.ReportTitle, "");

    WhenShown<QDialog>([](QDialog &dialog) {
        EXPECT_EQ(dialog.windowTitle(), QStringLiteral("Additional Data Input"));
        FieldOf<QLineEdit>(dialog, "Report Title:")->setText(QString::fromUtf8("Nitrile 5 µm"));
        FieldOf<QLineEdit>(dialog, "Date:")->setText(QStringLiteral("3/4/2026"));
        FieldOf<QLineEdit>(dialog, "Nominal Test Temperature:")->setText(QStringLiteral("23"));
        FieldOf<QPlainTextEdit>(dialog, "Instrument Settings:")
            ->setPlainText(QStringLiteral("gain 2\nrange 5"));
        RadioOf(dialog, "Gas")->click();
        ButtonOf(dialog, "Finish")->click();
    });
    EXPECT_EQ(Run(), DialogResult::Next);
    EXPECT_EQ(record.Report.ReportTitle, "Nitrile 5 \xB5m");
    EXPECT_EQ(record.Report.TestDate, "3/4/2026");
    EXPECT_EQ(record.Report.NominalTemperature, "23");
    EXPECT_EQ(record.Report.InstrumentSettings, "gain 2\r\nrange 5");
    EXPECT_EQ(record.Report.PhysicalState, 1);

    // The next visit shows what Finish committed, a text box with its own line breaks.
    WhenShown<QDialog>([](QDialog &dialog) {
        EXPECT_EQ(FieldOf<QPlainTextEdit>(dialog, "Instrument Settings:")->toPlainText(),
            QStringLiteral("gain 2\nrange 5"));
        EXPECT_TRUE(RadioOf(dialog, "Gas")->isChecked());
        ButtonOf(dialog, "Cancel")->click();
    });
    EXPECT_EQ(Run(), DialogResult::Cancel);
}

TEST_F(AdditionalDataInput, BackKeepsTheTextsAsTypedCancelKeepsNothing)
{
    WhenShown<QDialog>([](QDialog &dialog) {
        FieldOf<QPlainTextEdit>(dialog, "Comments:")->setPlainText(QStringLiteral("worn once"));
        RadioOf(dialog, "Gas")->click();
        ButtonOf(dialog, "Back")->click();
    });
    EXPECT_EQ(Run(), DialogResult::Back);
    EXPECT_EQ(record.Report.Comments, "worn once");
    EXPECT_EQ(record.Report.PhysicalState, 0);

    WhenShown<QDialog>([](QDialog &dialog) {
        EXPECT_EQ(FieldOf<QPlainTextEdit>(dialog, "Comments:")->toPlainText(), QStringLiteral("worn once"));
        FieldOf<QLineEdit>(dialog, "Operator:")->setText(QStringLiteral("JD"));
        QTest::keyClick(&dialog, Qt::Key_Escape);
    });
    EXPECT_EQ(Run(), DialogResult::Cancel);
    EXPECT_EQ(record.Report.Operator, "");
}

// Return finishes from a one-line field but starts a new line in the two text boxes.
TEST_F(AdditionalDataInput, ReturnFinishesExceptInsideTheTextBoxes)
{
    WhenShown<QDialog>([](QDialog &dialog) {
        auto *comments = FieldOf<QPlainTextEdit>(dialog, "Comments:");
        comments->setFocus();
        QTest::keyClicks(comments, QStringLiteral("one"));
        QTest::keyClick(comments, Qt::Key_Return);
        QTest::keyClicks(comments, QStringLiteral("two"));
        EXPECT_TRUE(dialog.isVisible());
        auto *title = FieldOf<QLineEdit>(dialog, "Report Title:");
        title->setFocus();
        QTest::keyClick(title, Qt::Key_Return);
    });
    EXPECT_EQ(Run(), DialogResult::Next);
    EXPECT_EQ(record.Report.Comments, "one\r\ntwo");
}

} // namespace
