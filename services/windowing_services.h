#pragma once

// Every dialog the import workflow, the save commands and the printouts need from the
// windowing toolkit, behind one interface. The desktop program implements it with Qt; the
// tests with a script of answers, so those workflows run without a window. Captions and
// texts are Windows-1252, as every text of the program.

#include "messages.h"

#include <optional>
#include <string>
#include <vector>

struct ExperimentRecord;

// How a modal dialog was closed: Next also stands for Finish and OK (and Return), Cancel
// for the Escape key and the close box.
enum class DialogResult { Next, Back, Cancel };

enum class SettingsDialog { ChoiceOfVariable, DataInput, AdditionalDataInput };

// A file the operator chose. The path is the file system's own bytes, so the file opens
// whatever characters its name holds; the name (without folder) is Windows-1252 for
// captions and reports.
struct ChosenFile
{
    std::string Path;
    std::string Name;
};

// "Text Files (*.txt)|*.txt|" style filters are the toolkit's business; the callers pass a
// description and the extensions it covers.
struct FileFilter
{
    std::string Description; // e.g. "Excel Files"
    std::vector<std::string> Extensions; // without the dot, e.g. {"xls"}
};

// Whether choosing a file that exists asks the operator to confirm before it is replaced.
enum class ExistingFile { AskFirst, ReplaceSilently };

// The two forms Save writes the results in.
enum class SaveChoice { ExcelFile = 0, TextFile = 1 };

struct PrintRequest
{
    // A page range preset from FirstPage to LastPage; otherwise all pages.
    bool PageRange = false;
    int FirstPage = 1;
    int LastPage = 1;
};

// A printer, or a PDF file where no printer is wanted or none is set up.
struct PrinterChoice
{
    std::string PrinterName; // Windows-1252
    std::string OutputFile; // the file system's own bytes; empty when printing on the printer
};

class WindowingServices : public MessageSink
{
public:
    // Runs one of the three settings dialogs modally on the record's entries; the dialog
    // changes the record only through what the operator typed.
    virtual DialogResult RunSettingsDialog(SettingsDialog dialog, ExperimentRecord &record) = 0;

    // Several files may be chosen; none means Cancel. The first filter is the one in force.
    virtual std::vector<ChosenFile> ChooseFilesToOpen(const std::vector<FileFilter> &filters) = 0;

    // The name gets the filter's first extension when it has none. None means Cancel.
    virtual std::optional<ChosenFile> ChooseFileToSave(const FileFilter &filter, ExistingFile existing) = 0;

    // "Save File As": Excel file or text file. It opens with the choice made the last time.
    // None means Cancel.
    virtual std::optional<SaveChoice> ChooseSaveForm() = 0;

    // Printing to a PDF file is offered beside the printers. None means Cancel.
    virtual std::optional<PrinterChoice> ChoosePrinter(const PrintRequest &request) = 0;
};
