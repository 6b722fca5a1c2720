#include "qt_windowing_services.h"

#include "when_shown.h"

#include <QDir>
#include <QFile>
#include <QFileDialog>
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
        dialog.setDirectory(folder.path());
        dialog.selectFile(path);
        static_cast<QDialog &>(dialog).accept(); // QFileDialog's own accept, which is protected
    });
    const std::vector<ChosenFile> chosen = services.ChooseFilesToOpen({"Excel Files", {"xls"}});
    ASSERT_EQ(chosen.size(), 1u);
    EXPECT_EQ(chosen[0].Path, QFile::encodeName(path).toStdString());
    EXPECT_EQ(chosen[0].Name, "\xB5-test.xls");

    WhenShown<QFileDialog>([](QFileDialog &dialog) { dialog.reject(); });
    EXPECT_TRUE(services.ChooseFilesToOpen({"Excel Files", {"xls"}}).empty());
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

} // namespace
