#include "analyze_command.h"

#include "experiment_record.h"
#include "import_defaults.h"
#include "import_sequence.h"
#include "messages.h"
#include "results_json.h"
#include "results_text.h"
#include "settings_file.h"
#include "settings_file_entries.h"
#include "text_encoding.h"

#include <filesystem>
#include <fstream>
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

// As "Save As Text File" writes it: the text's own bytes and line ends, then one CR LF.
bool WriteTextFile(const std::string &path, const std::string &resultsText)
{
    std::ofstream file(path, std::ios::binary | std::ios::trunc);
    file << resultsText << "\r\n";
    file.close();
    return static_cast<bool>(file);
}

bool WriteJsonFile(const std::string &path, const ExperimentRecord &record, const std::string &resultsText)
{
    std::ofstream file(path, std::ios::binary | std::ios::trunc);
    WriteResultsJson(file, record, resultsText);
    file.close();
    return static_cast<bool>(file);
}

int WriteResults(const AnalyzeOptions &options, const ExperimentRecord &record,
    const std::string &resultsText, std::ostream &out, std::ostream &err)
{
    if (!options.TextPath.empty() && !WriteTextFile(options.TextPath, resultsText)) {
        err << "orvane-batch: cannot write " << options.TextPath << '\n';
        return Unusable;
    }
    if (!options.JsonPath.empty() && options.JsonPath != "-"
        && !WriteJsonFile(options.JsonPath, record, resultsText)) {
        err << "orvane-batch: cannot write " << options.JsonPath << '\n';
        return Unusable;
    }
    if (options.JsonPath == "-") {
        WriteResultsJson(out, record, resultsText);
    } else {
        out << WithLineFeeds(Encoding::Windows1252ToUtf8(resultsText)) << '\n';
    }
    return Success;
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
    if (!options.XlsPath.empty()) {
        err << "orvane-batch: --xls is not available yet: this version writes no Excel report\n";
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
    return WriteResults(options, *record, resultsText, out, err);
}
