#include "orvane_dlg.h"
#include "program_pictures.h"

#include "about_dlg.h"

#include "example_import.h"
#include "graph_output_dialog.h"
#include "help_dlg.h"
#include "init_dlg.h"
#include "pdf_text.h"
#include "qt_text.h"
#include "results_text.h"
#include "scripted_windowing_services.h"

#include <QApplication>
#include <QDialogButtonBox>
#include <QFile>
#include <QLabel>
#include <QListWidget>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <unistd.h>

namespace {

QStringList Captions(const QList<QAction *> &actions)
{
    QStringList captions;
    for (const QAction *action : actions) {
        captions << (action->isSeparator() ? QStringLiteral("-") : action->text());
    }
    return captions;
}

QMenu *Menu(COrvaneDlg &window, const QString &caption)
{
    for (QAction *action : window.menuBar()->actions()) {
        if (action->text() == caption) {
            return action->menu();
        }
    }
    return nullptr;
}

QAction *ViewGraphAction(COrvaneDlg &window)
{
    for (QAction *action : Menu(window, QStringLiteral("&File"))->actions()) {
        if (action->text() == QStringLiteral("&View Results Graph")) {
            return action;
        }
    }
    return nullptr;
}

QPushButton *Button(COrvaneDlg &window, const QString &caption)
{
    for (QPushButton *button : window.centralWidget()->findChildren<QPushButton *>()) {
        if (button->text() == caption) {
            return button;
        }
    }
    return nullptr;
}

// The windows carry no meta-object of their own, so findChildren would take every dialog.
QList<CGraphOutputDialog *> GraphWindows(COrvaneDlg &window)
{
    QList<CGraphOutputDialog *> graphs;
    for (QDialog *dialog : window.findChildren<QDialog *>()) {
        if (auto *graph = dynamic_cast<CGraphOutputDialog *>(dialog)) {
            graphs << graph;
        }
    }
    return graphs;
}

class MainWindow : public ::testing::Test
{
protected:
    ScriptedWindowingServices services;
    COrvaneDlg window {services};
};

TEST_F(MainWindow, TitleButtonsAndMenus)
{
    EXPECT_EQ(window.windowTitle(), QStringLiteral("Orvane V.2.5.0"));
    // The icon's sizes come from the resources built into the program.
    EXPECT_EQ(ProgramIcon().availableSizes().size(), 7);
    EXPECT_FALSE(ProgramIcon().pixmap(16, 16).isNull());

    window.show();
    QList<QPushButton *> buttons = window.centralWidget()->findChildren<QPushButton *>();
    std::sort(buttons.begin(), buttons.end(), [](auto *a, auto *b) { return a->x() < b->x(); });
    QStringList captions;
    for (const QPushButton *button : buttons) {
        captions << button->text();
    }
    EXPECT_EQ(captions, (QStringList {"Import Data", "View Graph", "Modify Settings", "Save", "Print"}));
    for (const QPushButton *button : buttons) {
        EXPECT_LE(button->geometry().bottom(), 24)
            << button->text().toStdString() << " overlaps the results box";
    }

    EXPECT_EQ(Captions(window.menuBar()->actions()), (QStringList {"&File", "&Help"}));
    EXPECT_EQ(Captions(Menu(window, "&File")->actions()),
        (QStringList {"&Import Data", "&Modify Settings", "&View Results Graph", "-", "&Save", "&Print", "-",
            "E&xit"}));
    EXPECT_EQ(Captions(Menu(window, "&Help")->actions()),
        (QStringList {"&About...", "Help Topics", "-", "&About Orvane..."}));
}

TEST_F(MainWindow, ImportAndModifyRunTheirDialogsAndLaterCommandsSaySo)
{
    services.FilesToOpen.push_back({}); // the file choice cancelled
    services.Printers.push_back(std::nullopt); // the print dialog cancelled
    services.SaveForms.push_back(std::nullopt); // Save File As cancelled, silently
    for (const char *caption : {"Import Data", "Modify Settings", "Save", "Print"}) {
        Button(window, caption)->click();
    }
    EXPECT_TRUE(services.DialogsRun.empty()); // nothing imported, nothing to modify
    EXPECT_TRUE(Button(window, "View Graph")->isEnabled()); // an import run ended
    EXPECT_TRUE(services.SaveForms.empty());
    EXPECT_EQ(services.Messages.size(), 1u); // Save and Print cancelled silently
    ASSERT_EQ(services.PrintRequests.size(), 1u);
    EXPECT_FALSE(services.PrintRequests[0].PageRange);
}

PrinterChoice PdfFile(const QString &path)
{
    return {"", QFile::encodeName(path).toStdString()};
}

TEST_F(MainWindow, PrintPrintsTheBoxAsEditedAndKeepsIt)
{
    ImportExample("closed_loop_continuous", window.Record(), window);
    window.ResultsBox()->setPlainText(QString::fromUtf8("Edited by hand: 5 µg\n\tand tabbed"));
    QTemporaryDir folder;
    const QString pdf = folder.filePath("results.pdf");
    services.Printers.push_back(PdfFile(pdf));
    Button(window, "Print")->click();

    EXPECT_EQ(window.ResultsText(), "Edited by hand: 5 \xB5g\r\n\tand tabbed");
    EXPECT_EQ(
        PdfPageLines(pdf), (QList<QStringList> {{QString::fromUtf8("Edited by hand: 5 µg"), "and tabbed"}}));
    EXPECT_TRUE(services.Messages.empty());
}

// Save writes the text as built, whatever has been typed into the box since.
TEST_F(MainWindow, SaveAsTextWritesTheResultsTextAsBuilt)
{
    const std::string path = ::testing::TempDir() + "main_window_save_" + std::to_string(getpid()) + ".txt";
    services.SaveForms.push_back(SaveChoice::TextFile);
    services.FilesToSave.push_back(ChosenFile {path, "results.txt"});
    Button(window, "Save")->click(); // before any import: the file holds just the line end
    std::ifstream before(path, std::ios::binary);
    EXPECT_EQ(std::string(std::istreambuf_iterator<char>(before), {}), "\r\n");

    ImportExample("closed_loop_continuous", window.Record(), window);
    window.ResultsBox()->appendPlainText(QStringLiteral("typed"));
    services.SaveForms.push_back(SaveChoice::TextFile);
    services.FilesToSave.push_back(ChosenFile {path, "results.txt"});
    QMenu *file = Menu(window, "&File");
    for (QAction *action : file->actions()) {
        if (action->text() == QStringLiteral("&Save")) {
            action->trigger();
        }
    }
    std::ifstream after(path, std::ios::binary);
    EXPECT_EQ(std::string(std::istreambuf_iterator<char>(after), {}), BuildResultsText(window.Record()) + "\r\n");
    ASSERT_EQ(services.SaveDialogs.size(), 2u);
    EXPECT_EQ(services.SaveDialogs[0].Existing, ExistingFile::ReplaceSilently);
    EXPECT_EQ(services.SaveDialogs[0].Filter.Extensions, std::vector<std::string> {"txt"});
    EXPECT_TRUE(services.Messages.empty());
    std::remove(path.c_str());
}

TEST_F(MainWindow, ViewGraphEnablingRules)
{
    QPushButton *viewGraph = Button(window, "View Graph");
    QMenu *file = Menu(window, "&File");
    EXPECT_FALSE(viewGraph->isEnabled());
    emit file->aboutToShow();
    EXPECT_FALSE(ViewGraphAction(window)->isEnabled());

    // An import run that produced nothing: the button from now on, the menu item not.
    window.ImportRunEnded();
    emit file->aboutToShow();
    EXPECT_TRUE(viewGraph->isEnabled());
    EXPECT_FALSE(ViewGraphAction(window)->isEnabled());

    window.Record().ResultsAvailable = true;
    emit file->aboutToShow();
    EXPECT_TRUE(ViewGraphAction(window)->isEnabled());
    window.Record().ResultsAvailable = false;
    emit file->aboutToShow();
    EXPECT_FALSE(ViewGraphAction(window)->isEnabled());
    EXPECT_TRUE(viewGraph->isEnabled());
}

TEST_F(MainWindow, ResultsBoxFollowsTheClientArea)
{
    window.show();
    for (const QSize size : {QSize(900, 700), QSize(500, 300)}) {
        window.resize(size);
        QApplication::processEvents();
        const QRect client = window.centralWidget()->rect();
        EXPECT_EQ(window.ResultsBox()->geometry(), QRect(16, 24, client.width() - 32, client.height() - 36));
    }
}

TEST_F(MainWindow, EachGraphCommandOpensAnotherWindow)
{
    window.ImportRunEnded();
    window.Record().Settings.LoopType = OpenLoop;
    Button(window, "View Graph")->click();
    window.Record().Settings.LoopType = ClosedLoop;
    Button(window, "View Graph")->click();
    const QList<CGraphOutputDialog *> graphs = GraphWindows(window);
    ASSERT_EQ(graphs.size(), 2);
    EXPECT_TRUE(graphs[0]->isVisible() && graphs[1]->isVisible());
    EXPECT_FALSE(graphs[0]->isModal());
    EXPECT_EQ(graphs[0]->ChartTitle()->text(), QStringLiteral("PERMEATION RATE VS TIME"));
    EXPECT_EQ(graphs[0]->ValueAxisTitle()->text(), QString::fromUtf8("Permeation Rate (µg/(cm²*min))"));
    EXPECT_EQ(graphs[1]->ChartTitle()->text(), QStringLiteral("CUMULATIVE PERMEATION VS TIME"));
    EXPECT_EQ(graphs[1]->ValueAxisTitle()->text(), QString::fromUtf8("Cumulative Permeation (µg/cm²)"));
    EXPECT_EQ(graphs[1]->TimeAxisTitle()->text(), QStringLiteral("Time (Min)"));
}

TEST_F(MainWindow, ResultsTextShowsMicroAndSquaredSigns)
{
    ImportExample("closed_loop_continuous", window.Record(), window);
    const QString shown = window.ResultsBox()->toPlainText();
    EXPECT_TRUE(shown.contains(QString::fromUtf8("µg/cm²"))) << shown.toStdString();
    EXPECT_EQ(shown, QtMultiLineText(BuildResultsText(window.Record())));
    // Back through the converter, the box holds the results text byte for byte.
    EXPECT_EQ(ProgramText(QString(shown).replace(u'\n', QStringLiteral("\r\n"))),
        BuildResultsText(window.Record()));
}

// Counts the pixels of the graph's curve colour in a window area.
int RedPixels(QWidget *area)
{
    const QImage image = area->grab().toImage();
    int count = 0;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            count += image.pixelColor(x, y) == QColor(255, 0, 0);
        }
    }
    return count;
}

TEST_F(MainWindow, ShowGraphDrawsTheDataGraphOnlyWithAnArea)
{
    window.ImportRunEnded();
    Button(window, "View Graph")->click();
    CGraphOutputDialog *empty = GraphWindows(window).constLast();
    empty->ShowGraphButton()->click();
    EXPECT_TRUE(empty->ChartTitle()->isVisible());
    QWidget *emptyArea = empty->findChild<GraphArea *>();
    EXPECT_EQ(RedPixels(emptyArea), 0); // no area entered: nothing drawn

    ImportExample("open_loop_constant", window.Record(), window);
    Button(window, "View Graph")->click();
    CGraphOutputDialog *graph = GraphWindows(window).constLast();
    QWidget *area = graph->findChild<GraphArea *>();
    EXPECT_EQ(RedPixels(area), 0); // nothing before Show Graph
    graph->ShowGraphButton()->click();
    const int drawn = RedPixels(area);
    EXPECT_GT(drawn, 100);

    // A later import does not redraw the shown graph under its titles.
    window.Record().Settings.LoopType = ClosedLoop;
    window.Record().Specimen.AreaText.clear();
    area->repaint();
    EXPECT_EQ(RedPixels(area), drawn);
    EXPECT_EQ(graph->ChartTitle()->text(), QStringLiteral("PERMEATION RATE VS TIME"));

    // The graph on paper is the one shown, with the file it came from in the footer.
    QTemporaryDir folder;
    const QString pdf = folder.filePath("graph.pdf");
    services.Printers.push_back(PdfFile(pdf));
    graph->PrintGraphButton()->click();
    ASSERT_EQ(services.PrintRequests.size(), 1u);
    const int pages = services.PrintRequests[0].LastPage;
    EXPECT_EQ(PdfPageCount(pdf), pages);
    EXPECT_EQ(PdfPageLines(pdf).constLast(),
        QStringList {QStringLiteral("open_loop_constant.xls Page:%1 of %1").arg(pages)});
}

TEST(TitleScreen, ClickHereGoesOnAndEscapeEnds)
{
    CInitDlg clicked;
    QTimer::singleShot(0, &clicked, [&] { clicked.ClickHereButton()->click(); });
    EXPECT_EQ(clicked.exec(), QDialog::Accepted);

    CInitDlg escaped;
    QTimer::singleShot(0, &escaped, [&] { QTest::keyClick(&escaped, Qt::Key_Escape); });
    EXPECT_EQ(escaped.exec(), QDialog::Rejected);
    EXPECT_TRUE(escaped.windowFlags() & Qt::FramelessWindowHint);
}

} // namespace

// The help window is made once with the main window: showing it again finds the topic and
// the place in the list the operator left.
TEST_F(MainWindow, HelpTopicsShowsTheSameHelpWindowAgain)
{
    CHelpDialog *help = window.HelpWindow();
    ASSERT_NE(help, nullptr);
    EXPECT_FALSE(help->isVisible());
    EXPECT_EQ(help->windowTitle(), QStringLiteral("Help Menu"));
    EXPECT_EQ(help->TopicList()->count(), 96);
    EXPECT_TRUE(help->HelpText()->toPlainText().isEmpty());

    Menu(window, QStringLiteral("&Help"))->actions().at(1)->trigger();
    ASSERT_TRUE(help->isVisible());
    EXPECT_FALSE(help->isModal());
    const auto headers = help->TopicList()->findItems(QStringLiteral("Headers"), Qt::MatchExactly);
    ASSERT_EQ(headers.size(), 1);
    help->TopicList()->setCurrentItem(headers.front());
    EXPECT_EQ(help->HelpText()->toPlainText(), QStringLiteral("See Column Headers"));
    const int scrolled = help->TopicList()->verticalScrollBar()->value();
    EXPECT_GT(scrolled, 0);

    help->findChild<QDialogButtonBox *>()->button(QDialogButtonBox::Ok)->click();
    EXPECT_FALSE(help->isVisible());
    Menu(window, QStringLiteral("&Help"))->actions().at(1)->trigger();
    EXPECT_TRUE(help->isVisible());
    EXPECT_EQ(help->TopicList()->currentItem(), headers.front());
    EXPECT_EQ(help->TopicList()->verticalScrollBar()->value(), scrolled);
    EXPECT_EQ(help->HelpText()->toPlainText(), QStringLiteral("See Column Headers"));
}

TEST_F(MainWindow, AboutBoxTexts)
{
    CAboutDlg about(&window);
    EXPECT_EQ(about.windowTitle(), QStringLiteral("About Orvane"));
    QStringList texts;
    for (const QLabel *label : about.findChildren<QLabel *>()) {
        texts << label->text();
    }
    EXPECT_TRUE(texts.contains(QStringLiteral("Orvane Version 2.5.0")));
    EXPECT_TRUE(texts.contains(QStringLiteral(
        "This program calculates breakthrough detection time, standardized breakthrough times (ASTM F739), "
        "minimum breakthrough detection time (ASTM D 6978), normalized breakthrough times (ISO 6529), "
        "steady-state permeation rate, and cumulative permeation for the data collected from an open or a "
        "closed loop permeation test.")));
    const auto *ok = about.findChild<QDialogButtonBox *>()->button(QDialogButtonBox::Ok);
    EXPECT_EQ(ok->text().remove(QLatin1Char('&')), QStringLiteral("OK"));
}
