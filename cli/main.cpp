// orvane-batch: the import, analysis and reports of the desktop program, without a window.

#include "analyze_command.h"
#include "inspect_command.h"

#include <iostream>
#include <string>
#include <vector>

namespace {

constexpr const char *Usage
    = "usage:\n"
      "  orvane-batch analyze WORKBOOK --settings FILE.ini [--text OUT.txt] [--xls OUT.xls] "
      "[--json OUT.json|-]\n"
      "  orvane-batch inspect WORKBOOK [--sheet N]\n"
      "  orvane-batch --help | --version\n";

} // namespace

int main(int argc, char **argv)
{
    const std::vector<std::string> arguments(argv + 1, argv + argc);
    if (arguments.empty()) {
        std::cerr << Usage;
        return 1;
    }
    const std::string &command = arguments[0];
    const std::vector<std::string> rest(arguments.begin() + 1, arguments.end());

    if (command == "--help") {
        std::cout << Usage;
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
