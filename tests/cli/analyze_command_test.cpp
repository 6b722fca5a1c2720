#include "analyze_command.h"

#include "experiment_record.h"
#include "import_command.h"
#include "import_defaults.h"
#include "import_sequence.h"
#include "results_save.h"
#include "results_text.h"
#include "scripted_windowing_services.h"
#include "settings_file.h"
#include "settings_file_entries.h"
#include "text_encoding.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <memory>
#include <sstream>
#include <string>
#include <unistd.h>

using namespace std::string_literals;

namespace {

const std::string Examples = ORVANE_EXAMPLES;
const std::string Expected = ORVANE_CLI_EXPECTED;
const std::string Formats = ORVANE_FORMATS;

std::string FileBytes(const std::string &path)
{
    std::ifstream file(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
}

struct BatchRun
{
    int Status = -1;
    std::string Out;
    std::string Err;
};

BatchRun Analyze(std::vector<std::string> arguments)
{
    std::ostringstream out;
    std::ostringstream err;
    BatchRun run;
    run.Status = RunAnalyze(arguments, out, err);
    run.Out = out.str();
    run.Err = err.str();
    return run;
}

class AnalyzeCommand : public ::testing::Test
{
protected:
    std::string TemporaryPath(const std::string &name)
    {
        // CTest runs test processes side by side: the process id keeps their files apart.
        const auto path = std::filesystem::path(::testing::TempDir())
            / ("analyze_" + std::to_string(getpid()) + "_" + name);
        created.push_back(path);
        return path.string();
    }

    std::string TemporaryFile(const std::string &name, const std::string &bytes)
    {
        const std::string path = TemporaryPath(name);
        std::ofstream(path, std::ios::binary) << bytes;
        return path;
    }

    // The settings of an example with some lines added at the end of their sections.
    std::string ExampleSettingsWith(const std::string &example, const std::string &extra)
    {
        return TemporaryFile(example + ".ini", FileBytes(Examples + "/" + example + ".ini") + "\n" + extra);
    }

    BatchRun AnalyzeExample(const std::string &example, const std::string &settings)
    {
        return Analyze({Examples + "/" + example + ".xls", "--settings", settings});
    }

    void TearDown() override
    {
        for (const auto &path : created) {
            std::filesystem::remove(path);
        }
    }

    std::vector<std::filesystem::path> created;
};

class ExampleWorkbook : public AnalyzeCommand, public ::testing::WithParamInterface<const char *>
{
protected:
    std::string Workbook() const { return Examples + "/" + GetParam() + ".xls"; }
    std::string Settings() const { return Examples + "/" + GetParam() + ".ini"; }
};

TEST_P(ExampleWorkbook, PrintsTheResultsTextAndWritesItAsTheDesktopSavesIt)
{
    const std::string textPath = TemporaryPath(std::string(GetParam()) + ".txt");
    const BatchRun run = Analyze({Workbook(), "--settings", Settings(), "--text", textPath});
    ASSERT_EQ(run.Status, 0) << run.Err;
    EXPECT_EQ(run.Err, "");
    EXPECT_EQ(run.Out, FileBytes(Expected + "/" + GetParam() + ".txt"));

    // The file: the text's own Windows-1252 bytes and CR LF line ends, then one CR LF.
    std::string saved = Encoding::Utf8ToWindows1252(run.Out).value();
    for (std::size_t at = 0; (at = saved.find('\n', at)) != std::string::npos; at += 2) {
        saved.insert(at, 1, '\r');
    }
    EXPECT_EQ(FileBytes(textPath), saved);
    EXPECT_NE(saved.find("\xB5g/(cm\xB2*min)"), std::string::npos);
}

TEST_P(ExampleWorkbook, JsonHoldsTheDataTheResultsAndTheText)
{
    const BatchRun text = Analyze({Workbook(), "--settings", Settings()});
    const BatchRun run = Analyze({Workbook(), "--settings", Settings(), "--json", "-"});
    ASSERT_EQ(run.Status, 0) << run.Err;
    QJsonParseError error;
    const QJsonDocument document = QJsonDocument::fromJson(QByteArray::fromStdString(run.Out), &error);
    ASSERT_EQ(error.error, QJsonParseError::NoError) << error.errorString().toStdString();
    const QJsonObject root = document.object();

    const int pointCount = root["PointCount"].toInt();
    EXPECT_GT(pointCount, 10);
    EXPECT_EQ(root["Points"].toArray().size(), pointCount);
    EXPECT_EQ(root["Points"].toArray().last().toArray().at(0).toDouble(), root["LastTime"].toDouble());
    EXPECT_EQ(root["InputPrecision"].toArray().size(), 6);
    EXPECT_EQ(root["Results"].toObject()["TopIndices"].toArray().size(), 7);
    EXPECT_EQ(root["Results"].toObject()["PeakTimeTexts"].toArray().size(), 3);
    EXPECT_TRUE(root["Results"].toObject()["StandardizedBreakthroughTime"].isDouble());

    QString resultsText = root["ResultsText"].toString();
    EXPECT_TRUE(resultsText.contains("\r\n"));
    resultsText.replace("\r\n", "\n");
    EXPECT_EQ(resultsText.toStdString() + "\n", text.Out);
}

// The main window's part in an import: the results text it would show.
class ResultsTextView : public ImportCommandView
{
public:
    void ClearResults() override { Text.clear(); }
    void ImportRunEnded() override { }
    void ExposedAreaChanged(const ExperimentRecord &) override { }
    void AnalysisCompleted(ExperimentRecord &record) override { Text = BuildResultsText(record); }

    std::string Text;
};

// Each dialog answered with what the batch tool applies for it, checked as its Next checks.
void TypeIntoTheDialogs(ScriptedWindowingServices &services, SettingsFileEntries &entries)
{
    for (auto dialog : {&SettingsFileEntries::ChoiceOfVariable, &SettingsFileEntries::DataInput,
             &SettingsFileEntries::AdditionalDataInput}) {
        services.SettingsAnswers.push_back({DialogResult::Next, [&entries, dialog](ExperimentRecord &record) {
                                                EXPECT_EQ((entries.*dialog)(record), DialogResult::Next);
                                            }});
    }
}

TEST_P(ExampleWorkbook, DesktopImportWithTheSameEntriesGivesTheSameResultsText)
{
    const std::string textPath = TemporaryPath(std::string(GetParam()) + ".txt");
    const BatchRun batch = Analyze({Workbook(), "--settings", Settings(), "--text", textPath});
    ASSERT_EQ(batch.Status, 0) << batch.Err;

    const auto settings = SettingsFile::Read(Settings());
    ASSERT_TRUE(std::holds_alternative<SettingsFile>(settings));
    ScriptedWindowingServices services;
    SettingsFileEntries entries(std::get<SettingsFile>(settings), services);
    services.FilesToOpen.push_back({{Workbook(), std::string(GetParam()) + ".xls"}});
    TypeIntoTheDialogs(services, entries);
    ResultsTextView view;
    auto record = std::make_unique<ExperimentRecord>();
    RunImportData(*record, services, view);

    EXPECT_TRUE(services.Messages.empty());
    EXPECT_EQ(services.DialogsRun.size(), 3u);
    // The text file holds the results text and one CR LF.
    EXPECT_EQ(view.Text + "\r\n", FileBytes(textPath));
}

INSTANTIATE_TEST_SUITE_P(Examples, ExampleWorkbook,
    ::testing::Values("closed_loop_continuous", "open_loop_constant", "open_loop_variable"));

struct SavedLog
{
    const char *Name;
    std::string Folder; // of the .xls and its settings
};

// The same log saved as .xlsx and as .csv gives the results of the .xls, byte for byte
// but for the file name that the results report.
class SavedInEveryFormat : public AnalyzeCommand, public ::testing::WithParamInterface<SavedLog>
{ };

std::string Renamed(std::string text, const std::string &from, const std::string &to)
{
    for (std::size_t at = 0; (at = text.find(from, at)) != std::string::npos; at += to.size()) {
        text.replace(at, from.size(), to);
    }
    return text;
}

TEST_P(SavedInEveryFormat, GivesTheResultsOfTheExcel97Workbook)
{
    const std::string name = GetParam().Name;
    const std::string settings = GetParam().Folder + "/" + name + ".ini";
    const BatchRun reference = Analyze({GetParam().Folder + "/" + name + ".xls", "--settings", settings, "--json", "-"});
    ASSERT_EQ(reference.Status, 0) << reference.Err;
    for (const std::string extension : {".xlsx", ".csv"}) {
        const BatchRun run = Analyze({Formats + "/" + name + extension, "--settings", settings, "--json", "-"});
        EXPECT_EQ(run.Status, 0) << extension;
        EXPECT_EQ(run.Err, "") << extension;
        EXPECT_EQ(run.Out, Renamed(reference.Out, name + ".xls", name + extension)) << extension;
    }
}

INSTANTIATE_TEST_SUITE_P(Logs, SavedInEveryFormat,
    ::testing::Values(SavedLog {"closed_loop_continuous", Examples}, SavedLog {"open_loop_constant", Examples},
        SavedLog {"open_loop_variable", Examples}, SavedLog {"date_serial_log", Formats}),
    [](const ::testing::TestParamInfo<SavedLog> &info) { return std::string(info.param.Name); });

TEST_F(AnalyzeCommand, JsonFileLeavesTheResultsTextOnStandardOutput)
{
    const std::string jsonPath = TemporaryPath("results.json");
    const BatchRun run = Analyze({Examples + "/closed_loop_continuous.xls", "--json", jsonPath, "--settings",
        Examples + "/closed_loop_continuous.ini"});
    ASSERT_EQ(run.Status, 0) << run.Err;
    EXPECT_EQ(run.Out, FileBytes(Expected + "/closed_loop_continuous.txt"));
    EXPECT_FALSE(QJsonDocument::fromJson(QByteArray::fromStdString(FileBytes(jsonPath))).isNull());
}

struct RefusedSettings
{
    const char *Example;
    const char *Extra;
    const char *Message;
};

class RefusedEntry : public AnalyzeCommand, public ::testing::WithParamInterface<RefusedSettings>
{ };

TEST_P(RefusedEntry, IsReportedWithTheDialogsMessageAndStatusTwo)
{
    const BatchRun run
        = AnalyzeExample(GetParam().Example, ExampleSettingsWith(GetParam().Example, GetParam().Extra));
    EXPECT_EQ(run.Status, 2);
    EXPECT_EQ(run.Err, GetParam().Message);
    EXPECT_EQ(run.Out, "");
}

INSTANTIATE_TEST_SUITE_P(Settings, RefusedEntry,
    ::testing::Values(
        RefusedSettings {"closed_loop_continuous", "[TestSettings]\nTotalVolume = -0.15\n",
            "Invalid Entry: The value for System Dead Volume must be a positive numeric value.\n"},
        RefusedSettings {"closed_loop_continuous", "[TestSettings]\nMinDetectableMass =\nTotalVolume = -1\n",
            "Invalid Entry: The value for Minimum Mass Permeated must be a positive numeric value.\n"},
        RefusedSettings {"open_loop_constant", "[TestSettings]\nResponseFormat = 1\n",
            "Invalid Entry: The value for the Equation must be entered.\n"},
        RefusedSettings {"open_loop_constant", "[Columns]\nManualTimeColumn = IW\n",
            "Invalid Entry: Column letters must be one or two letters from A to IV.\n"},
        RefusedSettings {"closed_loop_continuous", "[SpecimenInputs]\nDiameterInchText = 0\n",
            "Invalid Entry: The value for Diameter must be a positive numeric value.\n"},
        RefusedSettings {"open_loop_constant", "[SpecimenInputs]\nAreaText = 0.0\n",
            "Invalid Entry: The value for Area must be a positive numeric value.\n"},
        RefusedSettings {"open_loop_constant", "[SpecimenInputs]\nCumulativeTimeText = 90.5\n",
            "Invalid Entry: The value for Cumulative Permeation Time must be a numeric value between "
            "the start and end time of the experiment data.\n"},
        RefusedSettings {"closed_loop_continuous", "[TestSettings]\nTotalVolume = 0.0\n",
            "Volume for Test Material Error: Cannot read the Volume given.\n"},
        RefusedSettings {"open_loop_constant", "[TestSettings]\nFlowRate = 0\n",
            "Flow Rate for Test Material Error: Cannot read the Flow Rate given.\n"},
        // A variable flow needs the flow column; this workbook has none.
        RefusedSettings {"closed_loop_continuous",
            "[TestSettings]\nLoopType = 1\nFlowType = 1\nMinDetectableRate = 0\n",
            "Flow Rate for Test Material Error: Cannot read the Flow Rate given.\n"},
        // The time-format warning does not stop the run; the times then all read 0.
        RefusedSettings {"closed_loop_continuous", "[TestSettings]\nTimeFormat = 1\n",
            "Error with time format: There was an error with time format. Please go back and check the "
            "time format.\nInvalid Entry: The value for Cumulative Permeation Time must be a numeric "
            "value between the start and end time of the experiment data.\n"}),
    [](const ::testing::TestParamInfo<RefusedSettings> &info) {
        return "Case" + std::to_string(info.index);
    });

TEST_F(AnalyzeCommand, WorkbooksThatCannotBeReadEndWithStatusOne)
{
    const std::string xlsx
        = TemporaryFile("results.xlsx", std::string("PK\x03\x04", 4) + std::string(100, 'x'));
    const std::string binary = TemporaryFile("log.bin", std::string("Time\0\0\x01\x02", 8));
    for (const std::string &path : {xlsx, binary}) {
        const BatchRun run = Analyze({path, "--settings", Examples + "/closed_loop_continuous.ini"});
        const std::string name = std::filesystem::path(path).filename().string();
        EXPECT_EQ(run.Status, 1);
        EXPECT_EQ(run.Err,
            "Import Error: The file " + name
                + " could not be read as a workbook (.xls, .xlsx) or a comma-separated file (.csv).\n");
        EXPECT_EQ(run.Out, "");
    }
}

TEST_F(AnalyzeCommand, SettingsFileProblemsNameTheirPlace)
{
    const struct
    {
        std::string Settings;
        std::string Message;
    } cases[] {
        {"[TestSettings]\nLoopType = 1\n[Colours]\n", "line 3: unknown section [Colours]"},
        {"[TestSettings]\nTotalVolumes = 1\n", "line 2: unknown key \"TotalVolumes\" in [TestSettings]"},
        {"[SpecimenInputs]\nFlowRate = 1\n", "line 2: unknown key \"FlowRate\" in [SpecimenInputs]"},
        {"[TestSettings]\nLoopType = 2\n", "line 2: LoopType must be 0 or 1, not \"2\""},
        {"[TestSettings]\nTimeFormat = one\n", "line 2: TimeFormat must be 0, 1 or 2, not \"one\""},
        {"[ReportInfo]\nComments = \xCE\xA9\n",
            "line 2: the value of Comments holds a character that Windows-1252 cannot represent"},
        {"[ReportInfo]\nComments = " + std::string(32768, 'x') + "\n",
            "line 2: the value of Comments is longer than 32767 characters"},
        {"[TestSettings]\nLoopType\n", "line 2: not a [section], a \"key = value\" line or a comment"},
        {"[ReportInfo]\r\nComments = a\0b\r\n"s, "line 2: holds a NUL byte"},
        // Reading stops at the first problem; the later one is never reached.
        {"[TestSettings]\rLoopType = 2\r[Colours]\r", "line 2: LoopType must be 0 or 1, not \"2\""},
    };
    for (const auto &c : cases) {
        const std::string settings = TemporaryFile("bad.ini", c.Settings);
        const BatchRun run = Analyze({Examples + "/closed_loop_continuous.xls", "--settings", settings});
        EXPECT_EQ(run.Status, 1) << c.Settings;
        EXPECT_EQ(run.Err, "orvane-batch: " + settings + ", " + c.Message + "\n") << c.Settings;
    }
}

TEST_F(AnalyzeCommand, SettingsTextsArriveAsWindows1252AndIndentedKeysStandAlone)
{
    const std::string settings = ExampleSettingsWith("closed_loop_continuous",
        "[ReportInfo]\n"
        "   Comments = 5 \xC2\xB5m film \xE2\x82\xAC\n"
        "   InstrumentType = GC ; an inline comment\n");
    const std::string textPath = TemporaryPath("comments.txt");
    const BatchRun run
        = Analyze({Examples + "/closed_loop_continuous.xls", "--settings", settings, "--text", textPath});
    ASSERT_EQ(run.Status, 0) << run.Err;
    EXPECT_NE(run.Out.find("Additional Comments: 5 \xC2\xB5m film \xE2\x82\xAC\n"), std::string::npos);
    EXPECT_NE(run.Out.find("Instrument Type: GC\n"), std::string::npos);
    EXPECT_NE(FileBytes(textPath).find("Additional Comments: 5 \xB5m film \x80\r\n"), std::string::npos);
}

// Until now a CR-only file lost every key after its first section header without a word.
TEST_F(AnalyzeCommand, SettingsLinesMayEndWithCrLfOrCrAndHoldLongTexts)
{
    const std::string title(1000, 'T');
    const std::string lines = FileBytes(Examples + "/open_loop_variable.ini")
        + "\n[ReportInfo]\nReportTitle = " + title + "\nOperator = last line without an end";
    std::string printed;
    for (const std::string lineEnd : {"\n", "\r\n", "\r"}) {
        std::string settings = lines;
        for (std::size_t at = 0; (at = settings.find('\n', at)) != std::string::npos; at += lineEnd.size()) {
            settings.replace(at, 1, lineEnd);
        }
        const BatchRun run = AnalyzeExample("open_loop_variable", TemporaryFile("line-ends.ini", settings));
        ASSERT_EQ(run.Status, 0) << run.Err;
        EXPECT_NE(run.Out.find("Report Title:\t" + title + "\n"), std::string::npos);
        EXPECT_NE(run.Out.find("last line without an end"), std::string::npos);
        if (printed.empty()) {
            printed = run.Out;
        }
        EXPECT_EQ(run.Out, printed) << "line end " << lineEnd.size();
    }
}

// The same import as the batch run, then the desktop's Save command on its record.
TEST_P(ExampleWorkbook, XlsIsTheWorkbookTheDesktopSaves)
{
    const std::string batchPath = TemporaryPath(std::string(GetParam()) + "-batch.xls");
    const BatchRun run = Analyze({Workbook(), "--settings", Settings(), "--xls", batchPath});
    ASSERT_EQ(run.Status, 0) << run.Err;

    auto settings = SettingsFile::Read(Settings());
    ASSERT_TRUE(std::holds_alternative<SettingsFile>(settings));
    ScriptedWindowingServices services;
    SettingsFileEntries entries(std::get<SettingsFile>(settings), services);
    auto record = std::make_unique<ExperimentRecord>();
    ResultsTextCollector results;
    ASSERT_EQ(ImportWorkbook(*record, Workbook(), std::string(GetParam()) + ".xls", TodayAsTestDate(), entries,
                  services, results),
        ImportOutcome::Analysed);
    const std::string desktopPath = TemporaryPath(std::string(GetParam()) + "-desktop.xls");
    services.SaveForms.push_back(SaveChoice::ExcelFile);
    services.FilesToSave.push_back(ChosenFile {desktopPath, "desktop.xls"});
    RunSaveCommand(services, *record, results.Text());
    ASSERT_TRUE(services.Messages.empty()) << services.Messages[0].Text;
    EXPECT_TRUE(FileBytes(batchPath) == FileBytes(desktopPath));
    EXPECT_GT(FileBytes(batchPath).size(), 1000u);
}

// The refusal comes before anything is read or written: every file keeps its bytes.
TEST_F(AnalyzeCommand, OutputNamingAnInputIsRefused)
{
    const std::string workbook
        = TemporaryFile("workbook.xls", FileBytes(Examples + "/closed_loop_continuous.xls"));
    const std::string settings
        = TemporaryFile("settings.ini", FileBytes(Examples + "/closed_loop_continuous.ini"));
    const std::string earlier = TemporaryFile("earlier.txt", "earlier results");
    const std::string link = TemporaryPath("link-to-workbook.xls");
    std::filesystem::create_symlink(workbook, link);
    const struct
    {
        std::vector<std::string> Outputs;
        std::string Message;
    } cases[] {
        {{"--text", workbook}, "--text " + workbook + " names the same file as the workbook"},
        {{"--json", link}, "--json " + link + " names the same file as the workbook"},
        {{"--xls", workbook}, "--xls " + workbook + " names the same file as the workbook"},
        {{"--json", settings}, "--json " + settings + " names the same file as the settings file"},
        {{"--text", earlier, "--json", earlier}, "--json " + earlier + " names the same file as --text"},
    };
    for (const auto &c : cases) {
        std::vector<std::string> arguments {workbook, "--settings", settings};
        arguments.insert(arguments.end(), c.Outputs.begin(), c.Outputs.end());
        const BatchRun run = Analyze(arguments);
        EXPECT_EQ(run.Status, 1);
        EXPECT_EQ(run.Err, "orvane-batch: " + c.Message + "; nothing was read or written\n");
        EXPECT_EQ(run.Out, "");
    }
    EXPECT_EQ(FileBytes(workbook), FileBytes(Examples + "/closed_loop_continuous.xls"));
    EXPECT_EQ(FileBytes(settings), FileBytes(Examples + "/closed_loop_continuous.ini"));
    EXPECT_EQ(FileBytes(earlier), "earlier results");
}

TEST_F(AnalyzeCommand, UsageErrorsEndWithStatusOne)
{
    const std::string workbook = Examples + "/closed_loop_continuous.xls";
    const std::string settings = Examples + "/closed_loop_continuous.ini";
    const std::string hugeSettings
        = TemporaryFile("huge.ini", FileBytes(settings) + "\n;" + std::string(1024 * 1024, ' ') + "\n");
    const struct
    {
        std::vector<std::string> Arguments;
        std::string Message;
    } cases[] {
        {{workbook}, "orvane-batch: analyze needs --settings FILE.ini\n"},
        {{"--settings", settings}, "orvane-batch: analyze needs a workbook\n"},
        {{workbook, "--settings"}, "orvane-batch: --settings needs a file name\n"},
        {{workbook, workbook, "--settings", settings},
            "orvane-batch: unexpected argument \"" + workbook + "\"\n"},
        {{workbook, "--settings", settings, "--pdf", "x"}, "orvane-batch: unexpected argument \"--pdf\"\n"},
        {{workbook, "--settings", settings, "--xls", "out.txt"}, "Save Error: The file name must end in .xls.\n"},
        {{workbook, "--settings", settings, "--text", "out.csv"}, "Save Error: The file name must end in .txt.\n"},
        {{workbook, "--settings", settings, "--text", "-"},
            "orvane-batch: --text needs a file name: the results text already goes to standard output\n"},
        {{workbook, "--settings", Examples + "/missing.ini"},
            "orvane-batch: cannot read the settings file " + Examples
                + "/missing.ini: No such file or directory\n"},
        {{workbook, "--settings", hugeSettings},
            "orvane-batch: cannot read the settings file " + hugeSettings + ": larger than 1048576 bytes\n"},
        {{workbook, "--settings", settings, "--text", "/nonexistent-folder/out.txt"},
            "Save Error: Cannot save out.txt: cannot write /nonexistent-folder/out.txt: No such file or "
            "directory\n"},
    };
    for (const auto &c : cases) {
        const BatchRun run = Analyze(c.Arguments);
        EXPECT_EQ(run.Status, 1) << c.Message;
        EXPECT_EQ(run.Err, c.Message);
        EXPECT_EQ(run.Out, "");
    }
}

} // namespace
