#pragma once

// An output that names an input would replace the workbook or the settings it is made
// from, and two outputs naming one file would leave only the second: both are refused
// before anything is read or written.

#include <optional>
#include <string>
#include <vector>

struct NamedPath
{
    std::string Name; // "the workbook", "--text", ...
    std::string Path;
};

// A message naming the first output that names an input or an earlier output, else none.
// Outputs with an empty path are not given.
std::optional<std::string> OutputNamingAnotherFile(
    const std::vector<NamedPath> &inputs, const std::vector<NamedPath> &outputs);
