#include "qt_windowing_services.h"

#include "import_command.h"
#include "save_dlg.h"
#include "when_shown.h"

#include <QAbstractButton>
#include <QButtonGroup>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QGroupBox>
#include <QMessageBox>
#include <QPrintDialog>
#include <QPrinter>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

struct SeenMessage
{
    QString Caption;
    QString Text;
    QMessageBox::Icon Icon = QMessageBox::NoIcon;
};

SeenMessage Answered(QMessageBox &box)
{
    SeenMessage seen {box.windowTitle(), box.text(), box.icon()};
    box.accept();
    return seen;
}

TEST(QtWindowingServices, MessagesShowWindows1252TextsAndTheirIcon)
{
    QtWindowingServices services(nullptr);
    SeenMessage seen;
    WhenShown<QMessageBox>([&](QMessageBox &box) { seen = Answered(box); });
    services.ShowExclamation("Area (cm\xB2)", "5 \xB5g");
    EXPECT_EQ(seen.Caption, QString::fromUtf8("Area (cm²)"));
    EXPECT_EQ(seen.Text, QString::fromUtf8("5 µg"));
    EXPECT_EQ(seen.Icon, QMessageBox::Warning);

    WhenShown<QMessageBox>([&](QMessageBox &box) { seen = Answered(box); });
    services.Show("", "plain");
    EXPECT_EQ(seen.Icon, QMessageBox::NoIcon);
}

TEST(QtWindowingServices, ChosenFileKeepsItsPathBytesAndAWindows1252Name)
{
    QTemporaryDir folder;
    const QString path = folder.filePath(QString::fromUtf8("µ-test.xls"));
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.close();

    QtWindowingServices services(nullptr);
    WhenShown<QFileDialog>([&](QFileDialog &dialog) {
        EXPECT_EQ(dialog.nameFilters(),
            QStringList({"Data Files (*.xls *.xlsx *.csv)", "Excel 97-2003 Workbooks (*.xls)", "Excel Workbooks (*.xlsx)",
                "Comma-Separated Files (*.csv)", "All Files (*.*)"}));
        dialog.setDirectory(folder.path());
        dialog.selectFile(path);
        static_cast<QDialog &>(dialog).accept(); // QFileDialog's own accept, which is protected
    });
    const std::vector<ChosenFile> chosen = services.ChooseFilesToOpen(InputFileFilters());
    ASSERT_EQ(chosen.size(), 1u);
    EXPECT_EQ(chosen[0].Path, QFile::encodeName(path).toStdString());
    EXPECT_EQ(chosen[0].Name, "\xB5-test.xls");

    WhenShown<QFileDialog>([](QFileDialog &dialog) { dialog.reject(); });
    EXPECT_TRUE(services.ChooseFilesToOpen(InputFileFilters()).empty());
}

TEST(QtWindowingServices, PrintDialogOffersPdfAndPresetsTheGraphsPages)
{
    QtWindowingServices services(nullptr);
    bool toFileOffered = false;
    QAbstractPrintDialog::PrintRange range = QAbstractPrintDialog::AllPages;
    WhenShown<QPrintDialog>([&](QPrintDialog &dialog) {
        toFileOffered = dialog.testOption(QAbstractPrintDialog::PrintToFile);
        range = dialog.printRange();
        EXPECT_EQ(dialog.fromPage(), 1);
        EXPECT_EQ(dialog.toPage(), 3);
        dialog.reject();
    });
    EXPECT_FALSE(services.ChoosePrinter({true, 1, 3}));
    EXPECT_TRUE(toFileOffered);
    EXPECT_EQ(range, QAbstractPrintDialog::PageRange);

    // Printing to a file comes back as the PDF file's name.
    QTemporaryDir folder;
    const QString pdf = folder.filePath(QStringLiteral("results.pdf"));
    services.Printer().setOutputFileName(pdf);
    WhenShown<QPrintDialog>([&](QPrintDialog &dialog) {
        EXPECT_FALSE(dialog.testOption(QAbstractPrintDialog::PrintPageRange));
        EXPECT_EQ(dialog.printRange(), QAbstractPrintDialog::AllPages);
        dialog.accept();
    });
    const std::optional<PrinterChoice> choice = services.ChoosePrinter({});
    ASSERT_TRUE(choice);
    EXPECT_EQ(choice->OutputFile, QFile::encodeName(pdf).toStdString());
}

// One dialog for the main window's life: it opens with the choice last confirmed.
TEST(QtWindowingServices, SaveFileAsOpensWithTheLastChoice)
{
    QtWindowingServices services(nullptr);
    std::vector<int> shownChoices;
    const auto answer = [&](SaveChoice pick, bool confirm) {
        WhenShown<QDialog>([&shownChoices, pick, confirm](QDialog &dialog) {
            auto *save = dynamic_cast<CSaveDlg *>(&dialog);
            ASSERT_NE(save, nullptr);
            EXPECT_EQ(dialog.windowTitle(), QStringLiteral("Save File As"));
            EXPECT_EQ(dialog.findChild<QGroupBox *>()->title(), QStringLiteral("Save"));
            shownChoices.push_back(save->Choices()->checkedId());
            QAbstractButton *radio = save->Choices()->button(static_cast<int>(pick));
            EXPECT_EQ(radio->text(),
                pick == SaveChoice::TextFile ? QStringLiteral("Save As Text File")
                                             : QStringLiteral("Save As an Excel File"));
            radio->click();
            confirm ? dialog.accept() : dialog.reject();
        });
    };
    answer(SaveChoice::TextFile, true);
    EXPECT_EQ(services.ChooseSaveForm(), SaveChoice::TextFile);
    answer(SaveChoice::ExcelFile, false);
    EXPECT_EQ(services.ChooseSaveForm(), std::nullopt);
    answer(SaveChoice::ExcelFile, true);
    EXPECT_EQ(services.ChooseSaveForm(), SaveChoice::ExcelFile);
    EXPECT_EQ(shownChoices, (std::vector<int> {0, 1, 1}));
}

TEST(QtWindowingServices, SaveDialogAsksBeforeReplacingOnlyWhenTold)
{
    QtWindowingServices services(nullptr);
    for (const ExistingFile existing : {ExistingFile::AskFirst, ExistingFile::ReplaceSilently}) {
        bool asks = false;
        WhenShown<QFileDialog>([&asks](QFileDialog &dialog) {
            asks = !dialog.testOption(QFileDialog::DontConfirmOverwrite);
            EXPECT_EQ(dialog.defaultSuffix(), QStringLiteral("txt"));
            dialog.reject();
        });
        EXPECT_FALSE(services.ChooseFileToSave({"Text Files", {"txt"}}, existing).has_value());
        EXPECT_EQ(asks, existing == ExistingFile::AskFirst);
    }
}

} // namespace
