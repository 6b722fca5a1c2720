// The two printouts written as PDF through a printer set to PDF output, read back with
// poppler's tools, and the Print commands' dialogs and messages.

#include "print_commands.h"
#include "printouts.h"

#include "example_import.h"
#include "pdf_text.h"
#include "qt_text.h"
#include "results_text.h"
#include "scripted_windowing_services.h"

#include <QFile>
#include <QPrinter>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

class Printouts : public ::testing::Test
{
protected:
    void SetUp() override { ASSERT_TRUE(folder.isValid()); }

    QString PdfPrinter(QPrinter &printer, const QString &name)
    {
        const QString path = folder.filePath(name);
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(path);
        return path;
    }

    QTemporaryDir folder;
    QPrinter printer {QPrinter::HighResolution};
};

QStringList ResultsLines(const std::string &text)
{
    QStringList lines;
    for (const QString &line : QtText(text).split(QStringLiteral("\r\n"))) {
        if (!line.trimmed().isEmpty()) {
            lines << line.simplified();
        }
    }
    return lines;
}

TEST_F(Printouts, ResultsTextPrintsItsLinesPageByPage)
{
    ExperimentRecord record;
    ResultsTextCollector results;
    ImportExample("closed_loop_continuous", record, results);
    const QString pdf = PdfPrinter(printer, "results.pdf");
    ASSERT_EQ(PrintResultsText(printer, results.Text()), PrintOutcome::Printed);

    QStringList printed;
    for (const QStringList &page : PdfPageLines(pdf)) {
        printed << page;
    }
    EXPECT_EQ(printed, ResultsLines(results.Text()));
    EXPECT_TRUE(printed.join(u'\n').contains(QString::fromUtf8("µg/cm²")));
}

TEST_F(Printouts, ManyLinesSpreadOverFullPagesAndARest)
{
    std::string text;
    for (int i = 1; i <= 130; ++i) {
        text += "Line " + std::to_string(i) + "\r\n";
    }
    const QString pdf = PdfPrinter(printer, "lines.pdf");
    ASSERT_EQ(PrintResultsText(printer, text), PrintOutcome::Printed);

    const QList<QStringList> pages = PdfPageLines(pdf);
    ASSERT_GE(pages.size(), 2);
    const qsizetype perPage = pages[0].size();
    EXPECT_EQ(pages.size(), (130 + perPage - 1) / perPage);
    EXPECT_EQ(PdfPageCount(pdf), pages.size());
    EXPECT_EQ(pages.constLast().size(), 130 - perPage * (pages.size() - 1));
    EXPECT_EQ(pages.constLast().constLast(), QStringLiteral("Line 130"));
    EXPECT_EQ(pages[1][0], QStringLiteral("Line %1").arg(perPage + 1));
}

TEST_F(Printouts, GraphSpreadsOverPagesByThePrinterToScreenRatio)
{
    ExperimentRecord record;
    ResultsTextCollector results;
    ImportExample("open_loop_variable", record, results);
    const QImage picture = GraphPrintPicture(record);
    ASSERT_EQ(picture.size(), QSize(700, 483));

    // Enlarged 12.5 times the picture fits an A4 or Letter page at 1200 dpi.
    const QString onePage = PdfPrinter(printer, "graph.pdf");
    EXPECT_EQ(GraphPageCount(printer, {96, 96}), 1);
    ASSERT_EQ(PrintGraphPicture(printer, picture, record.SourceName, {96, 96}), PrintOutcome::Printed);
    EXPECT_EQ(PdfPageCount(onePage), 1);
    EXPECT_EQ(PdfPageLines(onePage), (QList<QStringList> {{"open_loop_variable.xls Page:1 of 1"}}));

    // Enlarged 25 times it does not.
    const QString twoPages = PdfPrinter(printer, "graph-wide.pdf");
    EXPECT_EQ(GraphPageCount(printer, {48, 48}), 2);
    ASSERT_EQ(PrintGraphPicture(printer, picture, "\xB5-test.xls", {48, 48}), PrintOutcome::Printed);
    EXPECT_EQ(PdfPageCount(twoPages), 2);
    EXPECT_EQ(PdfPageLines(twoPages),
        (QList<QStringList> {
            {QString::fromUtf8("µ-test.xls Page:1 of 2")}, {QString::fromUtf8("µ-test.xls Page:2 of 2")}}));
}

TEST_F(Printouts, CommandsAskForTheirPagesAndSayWhenNothingCouldBePrinted)
{
    ScriptedWindowingServices services;
    ExperimentRecord record;
    ResultsTextCollector results;
    ImportExample("open_loop_constant", record, results);

    // Cancel prints nothing.
    services.Printers.push_back(std::nullopt);
    PrintResultsCommand(results.Text(), services, printer);
    ASSERT_EQ(services.PrintRequests.size(), 1u);
    EXPECT_FALSE(services.PrintRequests[0].PageRange);
    EXPECT_TRUE(services.Messages.empty());

    const QString pdf = folder.filePath("graph.pdf");
    services.Printers.push_back(PrinterChoice {"", QFile::encodeName(pdf).toStdString()});
    PrintGraphCommand(record, services, printer, {48, 48});
    ASSERT_EQ(services.PrintRequests.size(), 2u);
    EXPECT_TRUE(services.PrintRequests[1].PageRange);
    EXPECT_EQ(services.PrintRequests[1].FirstPage, 1);
    EXPECT_EQ(services.PrintRequests[1].LastPage, 2);
    EXPECT_EQ(PdfPageCount(pdf), 2);

    services.Printers.push_back(PrinterChoice {"", "/nonexistent-folder/results.pdf"});
    PrintResultsCommand(results.Text(), services, printer);
    EXPECT_EQ(services.Messages,
        (std::vector<ShownMessage> {{"", "Printing error occured. Unable to find printer."}}));
}

} // namespace
