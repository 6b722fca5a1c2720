#include "batch_run.h"

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

std::string FileBytes(const std::string &path)
{
    std::ifstream file(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
}

BatchRun Run(const std::string &arguments, const std::string &outputPath)
{
    const std::string errorPath = TemporaryPath("stderr.txt");
    const std::string command = "timeout 10 " + Quoted(ORVANE_BATCH) + " " + arguments + " >"
        + Quoted(outputPath) + " 2>" + Quoted(errorPath);
    const int status = std::system(command.c_str());
    BatchRun run;
    run.Status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    run.Err = FileBytes(errorPath);
    std::filesystem::remove(errorPath);
    return run;
}

} // namespace

BatchRun RunBatch(const std::string &arguments)
{
    const std::string outputPath = TemporaryPath("stdout.txt");
    BatchRun run = Run(arguments, outputPath);
    run.Out = FileBytes(outputPath);
    std::filesystem::remove(outputPath);
    return run;
}

BatchRun RunBatchWithOutputTo(const std::string &arguments, const std::string &outputPath)
{
    return Run(arguments, outputPath);
}

std::string Quoted(const std::string &path)
{
    return "'" + path + "'";
}

std::string TemporaryPath(const std::string &name)
{
    // CTest runs test processes side by side: the process id keeps their files apart.
    return (std::filesystem::path(::testing::TempDir()) / ("batch_" + std::to_string(getpid()) + "_" + name))
        .string();
}
