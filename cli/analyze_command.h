#pragma once

#include <ostream>
#include <string>
#include <vector>

// `orvane-batch analyze WORKBOOK --settings FILE.ini [--text OUT.txt] [--xls OUT.xls]
// [--json OUT.json|-]`: the desktop import of one workbook with the settings file's
// entries, the analysis, and the results. Returns the exit status: 0 done, 1 a usage error
// or a file that cannot be read or written, 2 an entry refused.
int RunAnalyze(const std::vector<std::string> &arguments, std::ostream &out, std::ostream &err);
