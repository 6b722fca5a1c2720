// Writes the two printouts of an example workbook as PDF files, for a person to look at:
//     print_examples BASE OUT_PREFIX [SCREEN_DPI]
// reads BASE.xls with the settings of BASE.ini and writes OUT_PREFIX-results.pdf and
// OUT_PREFIX-graph.pdf. SCREEN_DPI stands in for the screen's resolution, which sets how
// far the graph's picture is enlarged and so over how many pages it spreads.

#include "example_workbook.h"
#include "printouts.h"
#include "results_text.h"
#include "text_encoding.h"

#include <QApplication>
#include <QPrinter>

#include <cstdio>
#include <cstdlib>
#include <functional>
#include <string>

namespace {

class PrintedMessages : public MessageSink
{
public:
    void Show(const std::string &caption, const std::string &text) override
    {
        std::fprintf(stderr, "%s: %s\n", Encoding::Windows1252ToUtf8(caption).c_str(),
            Encoding::Windows1252ToUtf8(text).c_str());
    }
};

bool PrintToPdf(const std::string &path, const std::function<PrintOutcome(QPrinter &)> &print)
{
    QPrinter printer(QPrinter::HighResolution);
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(QString::fromLocal8Bit(path));
    if (print(printer) != PrintOutcome::Printed) {
        std::fprintf(stderr, "could not write %s\n", path.c_str());
        return false;
    }
    std::printf("%s\n", path.c_str());
    return true;
}

} // namespace

int main(int argc, char *argv[])
{
    if (argc < 3 || argc > 4) {
        std::fprintf(stderr, "usage: print_examples BASE OUT_PREFIX [SCREEN_DPI]\n");
        return 1;
    }
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    QApplication application(argc, argv);
    const double dpi = argc == 4 ? std::atof(argv[3]) : 96;
    if (!(dpi > 0)) {
        std::fprintf(stderr, "SCREEN_DPI must be a positive number\n");
        return 1;
    }

    ExperimentRecord record;
    ResultsTextCollector results;
    PrintedMessages messages;
    if (!ReadExampleWorkbook(argv[1], record, messages, results)) {
        std::fprintf(stderr, "could not analyse %s.xls with %s.ini\n", argv[1], argv[1]);
        return 1;
    }
    const std::string prefix = argv[2];
    const bool resultsPrinted = PrintToPdf(prefix + "-results.pdf",
        [&](QPrinter &printer) { return PrintResultsText(printer, results.Text()); });
    const bool graphPrinted = PrintToPdf(prefix + "-graph.pdf", [&](QPrinter &printer) {
        return PrintGraphPicture(printer, GraphPrintPicture(record), record.SourceName, {dpi, dpi});
    });
    return resultsPrinted && graphPrinted ? 0 : 1;
}
