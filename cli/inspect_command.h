#pragma once

#include <ostream>
#include <string>
#include <vector>

// `orvane-batch inspect WORKBOOK [--sheet N]`: prints what the workbook reader sees, in the
// layout scripts and tests read. Returns the exit status.
int RunInspect(const std::vector<std::string> &arguments, std::ostream &out, std::ostream &err);
