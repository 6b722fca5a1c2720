#include "column_select_dlg.h"

#include "experiment_record.h"
#include "scripted_windowing_services.h"
#include "when_shown.h"

#include <QDialogButtonBox>
#include <QLineEdit>
#include <QPushButton>

#include <gtest/gtest.h>

namespace {

void Type(QDialog &dialog, const char *edit, const char *text)
{
    dialog.findChild<QLineEdit *>(QString::fromLatin1(edit))->setText(QString::fromLatin1(text));
}

void Press(QDialog &dialog, QDialogButtonBox::StandardButton button)
{
    dialog.findChild<QDialogButtonBox *>()->button(button)->click();
}

void PressClear(QDialog &dialog)
{
    for (QPushButton *button : dialog.findChildren<QPushButton *>()) {
        if (button->text() == QStringLiteral("Clear")) {
            button->click();
        }
    }
}

struct ColumnSelectDlg : ::testing::Test
{
    ScriptedWindowingServices messages;
    CColumnSelectDlg dialog {messages, nullptr};
    ExperimentRecord record;
};

TEST_F(ColumnSelectDlg, OkStoresTheLettersAsTypedCancelAndClearOnlyChangeTheEdits)
{
    EXPECT_EQ(ManualColumnsCaption(record), "Manually Select Data Columns");

    WhenShown<QDialog>([](QDialog &shown) {
        Type(shown, "timeColumn", "B");
        Press(shown, QDialogButtonBox::Cancel);
    });
    EXPECT_EQ(dialog.Run(record), DialogResult::Cancel);
    EXPECT_EQ(record.ManualTimeColumn, "");
    EXPECT_EQ(ManualColumnsCaption(record), "Manually Select Data Columns");

    WhenShown<QDialog>([](QDialog &shown) {
        Type(shown, "analyzerColumn", "c");
        Type(shown, "flowColumn", "IV");
        Press(shown, QDialogButtonBox::Ok);
    });
    EXPECT_EQ(dialog.Run(record), DialogResult::Next);
    EXPECT_EQ(record.ManualAnalyzerColumn, "c");
    EXPECT_EQ(record.ManualTimeColumn, "");
    EXPECT_EQ(record.ManualFlowColumn, "IV");
    EXPECT_EQ(ManualColumnsCaption(record), "Manual Data Columns Selected");

    WhenShown<QDialog>([](QDialog &shown) {
        EXPECT_EQ(
            shown.findChild<QLineEdit *>(QStringLiteral("analyzerColumn"))->text(), QStringLiteral("c"));
        PressClear(shown);
        Press(shown, QDialogButtonBox::Cancel);
    });
    dialog.Run(record);
    EXPECT_EQ(record.ManualAnalyzerColumn, "c");

    WhenShown<QDialog>([](QDialog &shown) {
        PressClear(shown);
        Press(shown, QDialogButtonBox::Ok);
    });
    dialog.Run(record);
    EXPECT_EQ(ManualColumnsCaption(record), "Manually Select Data Columns");
    EXPECT_TRUE(messages.Messages.empty());
}

// Letters naming no worksheet column would read nothing, or past the sheet's last column.
TEST_F(ColumnSelectDlg, LettersNamingNoColumnAreRefusedAndTheDialogStaysOpen)
{
    for (const char *letters : {"IW", "ZZ", "ABC", "1", "B "}) {
        WhenShown<QDialog>([letters, this](QDialog &shown) {
            Type(shown, "timeColumn", letters);
            Press(shown, QDialogButtonBox::Ok);
            EXPECT_TRUE(shown.isVisible()) << letters;
            Type(shown, "timeColumn", "aa");
            Press(shown, QDialogButtonBox::Ok);
        });
        EXPECT_EQ(dialog.Run(record), DialogResult::Next);
        EXPECT_EQ(record.ManualTimeColumn, "aa");
        ASSERT_EQ(messages.Messages.size(), 1U) << letters;
        EXPECT_EQ(messages.Messages[0].Caption, "Invalid Entry");
        EXPECT_EQ(messages.Messages[0].Text, "Column letters must be one or two letters from A to IV.");
        messages.Messages.clear();
    }
}

} // namespace
