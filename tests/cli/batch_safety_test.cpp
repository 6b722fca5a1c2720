// orvane-batch run as a program where scripts meet trouble: a full disk on standard
// output, inputs that are pipes or devices.

#include "batch_run.h"

#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <sys/stat.h>

namespace {

const std::string Examples = ORVANE_EXAMPLES;

std::string FileBytes(const std::string &path)
{
    std::ifstream file(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
}

std::string AnalyzeArguments(const std::string &workbook, const std::string &settings)
{
    return "analyze " + Quoted(workbook) + " --settings " + Quoted(settings);
}

const std::string ExampleWorkbook = Examples + "/open_loop_variable.xls";
const std::string ExampleSettings = Examples + "/open_loop_variable.ini";

} // namespace

TEST(BatchProgram, PrintsTheExamplesResultsText)
{
    const BatchRun run = RunBatch(AnalyzeArguments(ExampleWorkbook, ExampleSettings));
    EXPECT_EQ(run.Status, 0) << run.Err;
    EXPECT_EQ(run.Err, "");
    EXPECT_EQ(run.Out, FileBytes(std::string(ORVANE_CLI_EXPECTED) + "/open_loop_variable.txt"));
}

TEST(BatchProgram, FullStandardOutputIsAnError)
{
    for (const std::string &arguments : {AnalyzeArguments(ExampleWorkbook, ExampleSettings),
             AnalyzeArguments(ExampleWorkbook, ExampleSettings) + " --json -",
             "inspect " + Quoted(ExampleWorkbook)}) {
        const BatchRun run = RunBatchWithOutputTo(arguments, "/dev/full");
        EXPECT_EQ(run.Status, 1) << arguments;
        EXPECT_EQ(run.Err, "orvane-batch: cannot write to standard output\n") << arguments;
    }
}

TEST(BatchProgram, InputsThatAreNotRegularFilesAreRefusedAtOnce)
{
    const std::string fifo = TemporaryPath("input.fifo");
    ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
    const std::string folder = std::filesystem::temp_directory_path().string();
    for (const std::string &input : {fifo, std::string("/dev/zero"), folder}) {
        const BatchRun settings = RunBatch(AnalyzeArguments(ExampleWorkbook, input));
        EXPECT_EQ(settings.Status, 1) << input;
        EXPECT_EQ(
            settings.Err, "orvane-batch: cannot read the settings file " + input + ": not a regular file\n");

        const std::string workbookMessage
            = "orvane-batch: cannot read the workbook " + input + ": not a regular file\n";
        const BatchRun analyze = RunBatch(AnalyzeArguments(input, ExampleSettings));
        EXPECT_EQ(analyze.Status, 1) << input;
        EXPECT_EQ(analyze.Err, workbookMessage);
        const BatchRun inspect = RunBatch("inspect " + Quoted(input));
        EXPECT_EQ(inspect.Status, 1) << input;
        EXPECT_EQ(inspect.Err, workbookMessage);
    }
    std::filesystem::remove(fifo);
}
