#include "analyze_command.h"

#include "experiment_record.h"
#include "import_defaults.h"
#include "import_sequence.h"
#include "input_file.h"
#include "messages.h"
#include "output_paths.h"
#include "results_json.h"
#include "results_save.h"
#include "results_text.h"
#include "safe_file.h"
#include "settings_file.h"
#include "settings_file_entries.h"
#include "text_encoding.h"

#include <filesystem>
#include <memory>
#include <optional>

namespace {

enum ExitStatus { Success = 0, Unusable = 1, Refused = 2 };

struct AnalyzeOptions
{
    std::string Workbook;
    std::string Settings;
    std::string TextPath;
    std::string XlsPath;
    std::string JsonPath; // "-" for standard output
};

std::variant<AnalyzeOptions, std::string> ParseOptions(const std::vector<std::string> &arguments)
{
    AnalyzeOptions options;
    for (std::size_t i = 0; i < arguments.size(); ++i) {
        const std::string &argument = arguments[i];
        std::string *value = argument == "--settings" ? &options.Settings
            : argument == "--text"                    ? &options.TextPath
            : argument == "--xls"                     ? &options.XlsPath
            : argument == "--json"                    ? &options.JsonPath
                                                      : nullptr;
        if (value) {
            if (i + 1 == arguments.size()) {
                return argument + " needs a file name";
            }
            *value = arguments[++i];
        } else if (argument.starts_with("--") || !options.Workbook.empty()) {
            return "unexpected argument \"" + argument + "\"";
        } else {
            options.Workbook = argument;
        }
    }
    if (options.Workbook.empty()) {
        return "analyze needs a workbook";
    }
    if (options.Settings.empty()) {
        return "analyze needs --settings FILE.ini";
    }
    if (options.TextPath == "-") {
        return "--text needs a file name: the results text already goes to standard output";
    }
    return options;
}

// What the desktop program shows in a message box, on standard error.
class StandardErrorMessages : public MessageSink
{
public:
    explicit StandardErrorMessages(std::ostream &err)
        : err(err)
    { }

    void Show(const std::string &caption, const std::string &text) override
    {
        err << Encoding::Windows1252ToUtf8(caption) << ": " << Encoding::Windows1252ToUtf8(text) << '\n';
    }

private:
    std::ostream &err;
};

// The reports show the name as Windows-1252; a name it cannot hold keeps its own bytes.
std::string ReportedName(const std::string &path)
{
    const std::string name = std::filesystem::path(path).filename().string();
    return Encoding::Utf8ToWindows1252(name).value_or(name);
}

// One file, as the desktop imports it, with the settings file as the three dialogs.
int ImportAndAnalyse(ExperimentRecord &record, const AnalyzeOptions &options, const SettingsFile &settings,
    MessageSink &messages, std::string &resultsText)
{
    SettingsFileEntries entries(settings, messages);
    ResultsTextCollector results;
    const ImportOutcome outcome = ImportWorkbook(record, options.Workbook, ReportedName(options.Workbook),
        TodayAsTestDate(), entries, messages, results);
    switch (outcome) {
    case ImportOutcome::Analysed:
        resultsText = results.Text();
        return Success;
    case ImportOutcome::Unreadable:
        return Unusable;
    case ImportOutcome::Cancelled:
    case ImportOutcome::NoData:
    case ImportOutcome::CheckFailed:
        break;
    }
    return Refused;
}

std::string WithLineFeeds(std::string text)
{
    std::string result;
    result.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (!(text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n')) {
            result += text[i];
        }
    }
    return result;
}

std::optional<std::string> WriteJsonFile(
    const std::string &path, const ExperimentRecord &record, const std::string &resultsText)
{
    return SafeFile::WriteWholeFile(path, ResultsJson(record, resultsText));
}

// --text and --xls save as the desktop's Save does, and its failures read "Save Error: ...".
int WriteResults(const AnalyzeOptions &options, const ExperimentRecord &record,
    const std::string &resultsText, MessageSink &messages, std::ostream &out, std::ostream &err)
{
    if (!options.TextPath.empty()
        && !SaveResultsTextFile({options.TextPath, ReportedName(options.TextPath)}, resultsText, messages)) {
        return Unusable;
    }
    if (!options.XlsPath.empty()
        && !SaveExcelReportFile({options.XlsPath, ReportedName(options.XlsPath)}, record, messages)) {
        return Unusable;
    }
    if (!options.JsonPath.empty() && options.JsonPath != "-") {
        if (const auto problem = WriteJsonFile(options.JsonPath, record, resultsText)) {
            err << "orvane-batch: " << *problem << '\n';
            return Unusable;
        }
    }
    if (options.JsonPath == "-") {
        out << ResultsJson(record, resultsText);
    } else {
        out << WithLineFeeds(Encoding::Windows1252ToUtf8(resultsText)) << '\n';
    }
    return Success;
}

// Refused before anything is read: an output that would replace an input, and inputs
// that are not regular files.
std::optional<std::string> ProblemWithPaths(const AnalyzeOptions &options)
{
    std::vector<NamedPath> outputs;
    if (!options.TextPath.empty()) {
        outputs.push_back({"--text", options.TextPath});
    }
    if (!options.XlsPath.empty()) {
        outputs.push_back({"--xls", options.XlsPath});
    }
    if (!options.JsonPath.empty() && options.JsonPath != "-") {
        outputs.push_back({"--json", options.JsonPath});
    }
    const std::vector<NamedPath> inputs {
        {"the workbook", options.Workbook}, {"the settings file", options.Settings}};
    if (auto problem = OutputNamingAnotherFile(inputs, outputs)) {
        return problem;
    }
    if (IsNonRegularFile(options.Workbook)) {
        return "cannot read the workbook " + options.Workbook + ": not a regular file";
    }
    return std::nullopt;
}

} // namespace

int RunAnalyze(const std::vector<std::string> &arguments, std::ostream &out, std::ostream &err)
{
    const auto parsed = ParseOptions(arguments);
    if (const auto *problem = std::get_if<std::string>(&parsed)) {
        err << "orvane-batch: " << *problem << '\n';
        return Unusable;
    }
    const auto &options = std::get<AnalyzeOptions>(parsed);
    if (const auto problem = ProblemWithPaths(options)) {
        err << "orvane-batch: " << *problem << '\n';
        return Unusable;
    }
    const auto settings = SettingsFile::Read(options.Settings);
    if (const auto *problem = std::get_if<std::string>(&settings)) {
        err << "orvane-batch: " << *problem << '\n';
        return Unusable;
    }
    StandardErrorMessages messages(err);
    auto record = std::make_unique<ExperimentRecord>();
    std::string resultsText;
    const int status
        = ImportAndAnalyse(*record, options, std::get<SettingsFile>(settings), messages, resultsText);
    if (status != Success) {
        return status;
    }
    return WriteResults(options, *record, resultsText, messages, out, err);
}
