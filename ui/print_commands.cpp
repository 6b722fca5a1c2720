#include "print_commands.h"

#include "experiment_record.h"
#include "qt_text.h"
#include "windowing_services.h"

#include <QFile>
#include <QPrinter>

namespace {

void ShowIfNotStarted(PrintOutcome outcome, WindowingServices &services)
{
    if (outcome == PrintOutcome::NotStarted) {
        services.Show("", "Printing error occured. Unable to find printer.");
    }
}

} // namespace

void UsePrinterChoice(QPrinter &printer, const PrinterChoice &choice)
{
    if (!choice.OutputFile.empty()) {
        const QString file = QFile::decodeName(QByteArray::fromStdString(choice.OutputFile));
        if (printer.outputFormat() != QPrinter::PdfFormat) {
            printer.setOutputFormat(QPrinter::PdfFormat);
        }
        if (printer.outputFileName() != file) {
            printer.setOutputFileName(file);
        }
        return;
    }
    // Compared as the choice was written, so a name beyond Windows-1252 still matches.
    if (printer.outputFormat() != QPrinter::NativeFormat
        || ProgramText(printer.printerName()) != choice.PrinterName) {
        printer.setOutputFormat(QPrinter::NativeFormat);
        printer.setPrinterName(QtText(choice.PrinterName));
    }
}

void PrintResultsCommand(const std::string &resultsText, WindowingServices &services, QPrinter &printer)
{
    const std::optional<PrinterChoice> choice = services.ChoosePrinter(PrintRequest {});
    if (!choice) {
        return;
    }
    UsePrinterChoice(printer, *choice);
    ShowIfNotStarted(PrintResultsText(printer, resultsText), services);
}

void PrintGraphCommand(
    const ExperimentRecord &record, WindowingServices &services, QPrinter &printer, ScreenResolution screen)
{
    if (!printer.isValid()) {
        services.Show("", "Can not find printer. Please check installed/default printers.");
        return;
    }
    const QImage picture = GraphPrintPicture(record);
    if (picture.isNull()) {
        services.Show("",
            "Not enough resource for the bitmap. Either reduce the bitmap dimension or switch to "
            "lower screen setting (e.g. 256-color mode), and try again.");
        return;
    }
    const int pages = GraphPageCount(printer, screen);
    const std::optional<PrinterChoice> choice = services.ChoosePrinter({true, 1, pages > 0 ? pages : 1});
    if (!choice) {
        return;
    }
    UsePrinterChoice(printer, *choice);
    // Counted again on the printer and paper actually chosen.
    ShowIfNotStarted(PrintGraphPicture(printer, picture, record.SourceName, screen), services);
}
