#pragma once

// Runs the orvane-batch program as a child process, as scripts do.

#include <string>

struct BatchRun
{
    int Status = -1; // 124 when the time limit stopped it
    std::string Out;
    std::string Err;
};

// The arguments are shell-quoted by the caller. A run longer than ten seconds is stopped,
// so a program that blocks fails its test instead of hanging it.
BatchRun RunBatch(const std::string &arguments);

// The same with standard output sent to a file of the caller's (Out stays empty).
BatchRun RunBatchWithOutputTo(const std::string &arguments, const std::string &outputPath);

std::string Quoted(const std::string &path);

// A path in the test's temporary folder that no other test process uses.
std::string TemporaryPath(const std::string &name);
