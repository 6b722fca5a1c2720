#include "settings_file.h"

#include "experiment_record.h"
#include "input_file.h"
#include "text_encoding.h"

#include <charconv>
#include <optional>
#include <string_view>

namespace {

// One key of a section: a text member, or a choice member with its highest value.
struct Key
{
    const char *Name;
    std::string *(*Text)(ExperimentRecord &) = nullptr;
    int *(*Choice)(ExperimentRecord &) = nullptr;
    int HighestChoice = 0;
};

// The key is the member's own name.
// clang-format off
#define TEXT_KEY(group, member) {#member, [](ExperimentRecord &r) { return &r.group.member; }, nullptr, 0}
#define CHOICE_KEY(group, member, highest) {#member, nullptr, [](ExperimentRecord &r) { return &r.group.member; }, highest}
#define RECORD_TEXT_KEY(member) {#member, [](ExperimentRecord &r) { return &r.member; }, nullptr, 0}
// clang-format on

const std::vector<Key> TestSettingsKeys {
    CHOICE_KEY(Settings, ResponseFormat, 2),
    CHOICE_KEY(Settings, TimeFormat, 2),
    TEXT_KEY(Settings, CalibrationEquation),
    TEXT_KEY(Settings, MolecularWeight),
    CHOICE_KEY(Settings, LoopType, 1),
    CHOICE_KEY(Settings, FlowType, 1),
    CHOICE_KEY(Settings, Sampling, 1),
    CHOICE_KEY(Settings, VolumeHandling, 1),
    TEXT_KEY(Settings, FlowRate),
    TEXT_KEY(Settings, TotalVolume),
    TEXT_KEY(Settings, VolumeRemoved),
    TEXT_KEY(Settings, VolumeReplaced),
    TEXT_KEY(Settings, MinDetectableRate),
    TEXT_KEY(Settings, MinDetectableMass),
    TEXT_KEY(Settings, MethodDetectionLimit),
};

const std::vector<Key> SpecimenInputsKeys {
    CHOICE_KEY(Specimen, AreaMode, 1),
    CHOICE_KEY(Specimen, DiameterUnit, 1),
    CHOICE_KEY(Specimen, WeightUnit, 1),
    TEXT_KEY(Specimen, AreaText),
    TEXT_KEY(Specimen, DiameterInchText),
    TEXT_KEY(Specimen, DiameterCmText),
    TEXT_KEY(Specimen, CumulativeTimeText),
    TEXT_KEY(Specimen, TargetMassText),
    TEXT_KEY(Specimen, AverageStartText),
    TEXT_KEY(Specimen, AverageEndText),
    TEXT_KEY(Specimen, SpecimenWeightText),
    CHOICE_KEY(Specimen, SteadyStateNotEstablished, 1),
};

const std::vector<Key> ReportInfoKeys {
    TEXT_KEY(Report, ReportTitle),
    TEXT_KEY(Report, ProjectNumber),
    TEXT_KEY(Report, TestDate),
    TEXT_KEY(Report, Operator),
    TEXT_KEY(Report, MaterialProduct),
    TEXT_KEY(Report, AverageThickness),
    TEXT_KEY(Report, TestChemical),
    CHOICE_KEY(Report, PhysicalState, 1),
    TEXT_KEY(Report, CasNumber),
    TEXT_KEY(Report, ChemicalManufacturer),
    TEXT_KEY(Report, LotNumber),
    TEXT_KEY(Report, ExpirationDate),
    TEXT_KEY(Report, InstrumentType),
    TEXT_KEY(Report, InstrumentSettings),
    TEXT_KEY(Report, InstrumentId),
    TEXT_KEY(Report, PumpId),
    TEXT_KEY(Report, CollectionMedium),
    TEXT_KEY(Report, SamplingInterval),
    TEXT_KEY(Report, NominalTemperature),
    TEXT_KEY(Report, TemperatureRange),
    TEXT_KEY(Report, Comments),
};

const std::vector<Key> ColumnsKeys {
    RECORD_TEXT_KEY(ManualAnalyzerColumn),
    RECORD_TEXT_KEY(ManualTimeColumn),
    RECORD_TEXT_KEY(ManualFlowColumn),
};

#undef TEXT_KEY
#undef CHOICE_KEY
#undef RECORD_TEXT_KEY

struct SectionKeys
{
    const char *Name;
    SettingsSection Section;
    const std::vector<Key> &Keys;
};

const SectionKeys Sections[] {
    {"TestSettings", SettingsSection::TestSettings, TestSettingsKeys},
    {"Columns", SettingsSection::Columns, ColumnsKeys},
    {"SpecimenInputs", SettingsSection::SpecimenInputs, SpecimenInputsKeys},
    {"ReportInfo", SettingsSection::ReportInfo, ReportInfoKeys},
};

// The dialogs' edit boxes take this many characters; a settings file may give as many.
constexpr std::size_t MaxValueCharacters = 32767;
constexpr std::size_t MaxFileBytes = 1024 * 1024;

std::optional<int> ParseChoice(std::string_view text, int highest)
{
    int value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (error != std::errc() || end != text.data() + text.size() || value < 0 || value > highest) {
        return std::nullopt;
    }
    return value;
}

std::string ChoiceRange(int highest)
{
    return highest == 1 ? "0 or 1" : "0, 1 or 2";
}

} // namespace

// Takes the file line by line; the first problem found ends the reading and is the one reported.
struct SettingsFileParser
{
    SettingsFile settings;
    std::string section;
    std::string error;

    // False, with the error set, when the line is refused.
    bool TakeLine(std::string_view line)
    {
        if (line.find('\0') != std::string_view::npos) {
            return Fail("holds a NUL byte");
        }
        line = Trimmed(line);
        if (line.empty() || line.front() == ';' || line.front() == '#') {
            return true;
        }
        if (line.front() == '[') {
            return TakeSectionHeader(line);
        }
        const std::size_t separator = line.find_first_of("=:");
        if (separator == std::string_view::npos || separator > InlineCommentStart(line)) {
            return Fail(NotALine);
        }
        std::string_view value = line.substr(separator + 1);
        value = Trimmed(value.substr(0, InlineCommentStart(value)));
        return Add(std::string(Trimmed(line.substr(0, separator))), std::string(value));
    }

private:
    static constexpr const char *NotALine = "not a [section], a \"key = value\" line or a comment";
    static constexpr const char *Blanks = " \t\v\f";

    static std::string_view Trimmed(std::string_view text)
    {
        const std::size_t first = text.find_first_not_of(Blanks);
        if (first == std::string_view::npos) {
            return {};
        }
        return text.substr(first, text.find_last_not_of(Blanks) - first + 1);
    }

    // A ';' after a blank starts a comment; elsewhere it belongs to the text.
    static std::size_t InlineCommentStart(std::string_view text)
    {
        for (std::size_t i = 1; i < text.size(); ++i) {
            if (text[i] == ';' && std::string_view(Blanks).find(text[i - 1]) != std::string_view::npos) {
                return i;
            }
        }
        return text.size();
    }

    // An unknown section is refused at its header, even when no key follows it.
    bool TakeSectionHeader(std::string_view line)
    {
        const std::size_t close = line.find(']');
        if (close == std::string_view::npos || close > InlineCommentStart(line)) {
            return Fail(NotALine);
        }
        section = line.substr(1, close - 1);
        if (!FindSection(section)) {
            return Fail("unknown section [" + section + "]");
        }
        return true;
    }

    bool Add(const std::string &keyName, const std::string &utf8Value)
    {
        const SectionKeys *keys = FindSection(section);
        if (!keys) {
            return Fail("unknown section [" + section + "]");
        }
        const Key *key = FindKey(*keys, keyName);
        if (!key) {
            return Fail("unknown key \"" + keyName + "\" in [" + section + "]");
        }
        auto text = Encoding::Utf8ToWindows1252(utf8Value);
        if (!text) {
            return Fail("the value of " + keyName + " holds a character that Windows-1252 cannot represent");
        }
        if (text->size() > MaxValueCharacters) {
            return Fail("the value of " + keyName + " is longer than " + std::to_string(MaxValueCharacters)
                + " characters");
        }
        if (key->Choice) {
            const auto choice = ParseChoice(*text, key->HighestChoice);
            if (!choice) {
                return Fail(
                    keyName + " must be " + ChoiceRange(key->HighestChoice) + ", not \"" + utf8Value + "\"");
            }
            Store(keys->Section, keyName,
                [member = key->Choice, c = *choice](ExperimentRecord &r) { *member(r) = c; });
        } else {
            Store(keys->Section, keyName,
                [member = key->Text, t = std::move(*text)](ExperimentRecord &r) { *member(r) = t; });
        }
        return true;
    }

    static const SectionKeys *FindSection(const std::string &name)
    {
        for (const SectionKeys &candidate : Sections) {
            if (name == candidate.Name) {
                return &candidate;
            }
        }
        return nullptr;
    }

    static const Key *FindKey(const SectionKeys &keys, const std::string &name)
    {
        for (const Key &key : keys.Keys) {
            if (name == key.Name) {
                return &key;
            }
        }
        return nullptr;
    }

    // A later line for the same key replaces the earlier entry.
    void Store(SettingsSection where, const std::string &key, std::function<void(ExperimentRecord &)> assign)
    {
        std::erase_if(
            settings.entries, [&](const auto &entry) { return entry.Section == where && entry.Key == key; });
        settings.entries.push_back({where, key, std::move(assign)});
    }

    bool Fail(std::string message)
    {
        error = std::move(message);
        return false;
    }
};

namespace {

// The next line and what follows it; LF, CR LF and a lone CR all end a line.
std::pair<std::string_view, std::string_view> SplitFirstLine(std::string_view text)
{
    const std::size_t end = text.find_first_of("\r\n");
    if (end == std::string_view::npos) {
        return {text, {}};
    }
    const std::size_t next = text.compare(end, 2, "\r\n") == 0 ? end + 2 : end + 1;
    return {text.substr(0, end), text.substr(next)};
}

std::string_view WithoutByteOrderMark(std::string_view text)
{
    return text.starts_with("\xEF\xBB\xBF") ? text.substr(3) : text;
}

} // namespace

std::variant<SettingsFile, std::string> SettingsFile::Read(const std::string &path)
{
    const auto bytes = ReadRegularFile(path, MaxFileBytes);
    if (const auto *problem = std::get_if<FileProblem>(&bytes)) {
        return "cannot read the settings file " + path + ": " + problem->Reason;
    }
    SettingsFileParser parser;
    std::string_view rest = WithoutByteOrderMark(std::get<std::string>(bytes));
    for (int lineNumber = 1; !rest.empty(); ++lineNumber) {
        const auto [line, after] = SplitFirstLine(rest);
        if (!parser.TakeLine(line)) {
            return path + ", line " + std::to_string(lineNumber) + ": " + parser.error;
        }
        rest = after;
    }
    return std::move(parser.settings);
}

void SettingsFile::Apply(SettingsSection section, ExperimentRecord &record) const
{
    for (const Entry &entry : entries) {
        if (entry.Section == section) {
            entry.Assign(record);
        }
    }
}
