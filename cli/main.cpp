// orvane-batch: the import, analysis and reports of the desktop program, without a window.

#include "analyze_command.h"
#include "inspect_command.h"

#include <iostream>
#include <new>
#include <string>
#include <vector>

namespace {

constexpr const char *Usage
    = "usage:\n"
      "  orvane-batch analyze WORKBOOK --settings FILE.ini [--text OUT.txt] [--xls OUT.xls] "
      "[--json OUT.json|-]\n"
      "  orvane-batch inspect WORKBOOK [--sheet N]\n"
      "  orvane-batch --help | --version\n";

constexpr const char *Details
    = "\n"
      "WORKBOOK is a data file: an Excel 97-2003 (.xls) or Excel (.xlsx) workbook, or a\n"
      "comma-separated file (.csv, also with semicolons, tabs or bars between the fields),\n"
      "told by its content, not its name. In a .csv file a field that is a complete decimal\n"
      "number (blanks around it trimmed) is a number; with semicolons or tabs between the\n"
      "fields a decimal comma is a decimal point (\"1,5\" is 1.5); \"MM/DD/YYYY HH:MM:SS\"\n"
      "(seconds optional, fractions allowed) is the date-time serial day number a spreadsheet\n"
      "program makes of it (1900 date system), which time format 2 reads; every other field,\n"
      "\"YYYY/MM/DD HH:MM:SS\" included, is text. At most 65536 rows and 256 columns of a\n"
      "sheet are read.\n"
      "\n"
      "analyze prints the results text to standard output; --text saves it to a file as the\n"
      "desktop program does (\"-\" is refused: the text already goes to standard output);\n"
      "--xls saves the Excel report into the sheet \"Results\" of a workbook, made or merged, as\n"
      "the desktop program does; --json - prints JSON instead of the text. An output is written\n"
      "to a temporary file and replaces the old one only when complete; an output naming an\n"
      "input is refused. A file that cannot be saved, or one not ending in .txt (--text) or\n"
      ".xls (--xls), is told as \"Save Error: ...\".\n"
      "\n"
      "The settings file (UTF-8, at most 1 MiB) has the sections [TestSettings], [Columns],\n"
      "[SpecimenInputs] and [ReportInfo], one \"key = value\" line per entry:\n"
      "  - lines end with LF, CR LF or CR; blanks around keys and values are dropped;\n"
      "  - an indented line is an entry of its own: a value never continues on the next line;\n"
      "  - ';' or '#' at the start of a line, or ';' after a blank, starts a comment;\n"
      "  - a value holds at most 32767 characters; a NUL byte is refused;\n"
      "  - a later line for the same key replaces the earlier one; the first error stops the run.\n"
      "\n"
      "Exit status: 0 done, 1 a usage error or a file that cannot be read or written, 2 an entry\n"
      "refused.\n";

std::string WhatTheCommandDoes(const std::string &command)
{
    return command == "analyze" || command == "inspect" ? command + " the workbook" : "run " + command;
}

int RunCommand(const std::string &command, const std::vector<std::string> &rest)
{
    if (command == "--help") {
        std::cout << Usage << Details;
        return 0;
    }
    if (command == "--version") {
        std::cout << "orvane-batch " << ORVANE_VERSION << '\n';
        return 0;
    }
    if (command == "inspect") {
        return RunInspect(rest, std::cout, std::cerr);
    }
    if (command == "analyze") {
        return RunAnalyze(rest, std::cout, std::cerr);
    }
    std::cerr << "orvane-batch: unknown command \"" << command << "\"\n" << Usage;
    return 1;
}

} // namespace

int main(int argc, char **argv)
{
    const std::vector<std::string> arguments(argv + 1, argv + argc);
    if (arguments.empty()) {
        std::cerr << Usage;
        return 1;
    }
    const std::string &command = arguments[0];
    int status = 1;
    try {
        status = RunCommand(command, std::vector<std::string>(arguments.begin() + 1, arguments.end()));
    } catch (const std::bad_alloc &) {
        std::cerr << "orvane-batch: not enough memory to " << WhatTheCommandDoes(command) << '\n';
        return 1;
    }
    // Output buffered until now may fail only here (a full disk, a closed pipe).
    if (!std::cout.flush()) {
        std::cerr << "orvane-batch: cannot write to standard output\n";
        return 1;
    }
    return status;
}
