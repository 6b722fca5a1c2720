#include "orvane_dlg.h"

#include "about_dlg.h"
#include "graph_output_dialog.h"
#include "print_commands.h"
#include "help_dlg.h"
#include "qt_text.h"
#include "qt_windowing_services.h"
#include "results_save.h"
#include "results_text.h"

#include <QHBoxLayout>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QPrinter>
#include <QPushButton>
#include <QShortcut>
#include <QVBoxLayout>

namespace {

// Where the results box sits in the client area, whatever its size.
constexpr int ResultsLeft = 16;
constexpr int ResultsTop = 24;
constexpr int ResultsNarrower = 32;
constexpr int ResultsShorter = 36;

// The button row lives in the strip above the results box.
constexpr int ButtonHeight = 22;

} // namespace

COrvaneDlg::COrvaneDlg()
    : ownServices(std::make_unique<QtWindowingServices>(this))
    , services(*ownServices)
{
    BuildWindow();
}

COrvaneDlg::COrvaneDlg(WindowingServices &services)
    : services(services)
{
    BuildWindow();
}

void COrvaneDlg::BuildWindow()
{
    setWindowTitle(QStringLiteral("Orvane V.2.5.0"));
    client = new QWidget(this);
    setCentralWidget(client);
    resultsBox = new QPlainTextEdit(client);
    resultsBox->setLineWrapMode(QPlainTextEdit::NoWrap);
    resultsBox->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    helpWindow = new CHelpDialog(this);
    BuildButtonRow();
    BuildMenus();
    auto *escape = new QShortcut(QKeySequence(Qt::Key_Escape), this);
    connect(escape, &QShortcut::activated, this, &QWidget::close);
    resize(640, 480);
}

COrvaneDlg::~COrvaneDlg() = default;

void COrvaneDlg::BuildButtonRow()
{
    auto *row = new QHBoxLayout;
    row->setContentsMargins(ResultsLeft, 1, ResultsLeft, 0);
    const auto addButton = [&](const char *caption, auto slot) {
        auto *button = new QPushButton(QString::fromLatin1(caption), client);
        button->setFixedHeight(ButtonHeight);
        button->setAutoDefault(false);
        connect(button, &QPushButton::clicked, this, slot);
        row->addWidget(button);
        return button;
    };
    addButton("Import Data", [this] { RunImportData(record, services, *this); });
    viewGraphButton = addButton("View Graph", [this] { OpenGraphWindow(); });
    addButton("Modify Settings", [this] { RunModifySettings(record, services, *this); });
    addButton("Save", [this] { RunSaveCommand(services, record, resultsText); });
    addButton("Print", [this] { OnPrint(); });
    row->addStretch();
    viewGraphButton->setEnabled(false);

    // The results box is not in the layout: its place follows the client area's size.
    auto *column = new QVBoxLayout(client);
    column->setContentsMargins(0, 0, 0, 0);
    column->addLayout(row);
    column->addStretch();
    client->setMinimumSize(row->sizeHint().width(), ResultsTop + ResultsShorter + 40);
}

void COrvaneDlg::BuildMenus()
{
    QMenu *file = menuBar()->addMenu(QStringLiteral("&File"));
    file->addAction(QStringLiteral("&Import Data"), this, [this] { RunImportData(record, services, *this); });
    file->addAction(
        QStringLiteral("&Modify Settings"), this, [this] { RunModifySettings(record, services, *this); });
    viewGraphAction
        = file->addAction(QStringLiteral("&View Results Graph"), this, [this] { OpenGraphWindow(); });
    file->addSeparator();
    file->addAction(QStringLiteral("&Save"), this, [this] { RunSaveCommand(services, record, resultsText); });
    file->addAction(QStringLiteral("&Print"), this, [this] { OnPrint(); });
    file->addSeparator();
    file->addAction(QStringLiteral("E&xit"), this, &QWidget::close);
    // Enabled only while there are results, checked each time the menu opens.
    viewGraphAction->setEnabled(false);
    connect(
        file, &QMenu::aboutToShow, this, [this] { viewGraphAction->setEnabled(record.ResultsAvailable); });

    QMenu *help = menuBar()->addMenu(QStringLiteral("&Help"));
    help->addAction(QStringLiteral("&About..."), this, [this] { ShowAbout(); });
    help->addAction(QStringLiteral("Help Topics"), this, [this] { helpWindow->ShowTopics(); });
    // Where other desktops append "About" to the window's system menu.
    help->addSeparator();
    help->addAction(QStringLiteral("&About Orvane..."), this, [this] { ShowAbout(); });
}

void COrvaneDlg::resizeEvent(QResizeEvent *event)
{
    QMainWindow::resizeEvent(event);
    PlaceResultsBox();
}

void COrvaneDlg::PlaceResultsBox()
{
    resultsBox->setGeometry(
        ResultsLeft, ResultsTop, client->width() - ResultsNarrower, client->height() - ResultsShorter);
}

void COrvaneDlg::ImportRunEnded()
{
    viewGraphButton->setEnabled(true);
    viewGraphAction->setEnabled(record.ResultsAvailable);
}

void COrvaneDlg::ClearResults()
{
    resultsBox->clear();
    resultsText.clear();
}

void COrvaneDlg::AnalysisCompleted(ExperimentRecord &analysed)
{
    resultsText = BuildResultsText(analysed);
    resultsBox->setPlainText(QtMultiLineText(resultsText));
}

void COrvaneDlg::OpenGraphWindow()
{
    auto *window = new CGraphOutputDialog(
        record, services, [this]() -> QPrinter & { return Printer(); }, this);
    window->show();
}

void COrvaneDlg::ImportFiles(const std::vector<ChosenFile> &files)
{
    RunImportFiles(record, files, services, *this);
}

void COrvaneDlg::OnPrint()
{
    // Edits made in the box are printed, and kept as the results text.
    resultsText = ProgramMultiLineText(resultsBox->toPlainText());
    PrintResultsCommand(resultsText, services, Printer());
}

QPrinter &COrvaneDlg::Printer()
{
    if (ownServices) {
        return ownServices->Printer();
    }
    if (!printer) {
        printer = std::make_unique<QPrinter>(QPrinter::HighResolution);
    }
    return *printer;
}

void COrvaneDlg::ShowAbout()
{
    CAboutDlg about(this);
    about.exec();
}
