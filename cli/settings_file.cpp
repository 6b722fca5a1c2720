#include "settings_file.h"

#include "experiment_record.h"
#include "input_file.h"
#include "text_encoding.h"

#include <ini.h>

#include <algorithm>
#include <charconv>
#include <new>
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

// Collects the entries while inih walks the file; the first problem found ends the reading
// and is the one reported.
struct SettingsFileParser
{
    SettingsFile settings;
    std::string error;
    int errorLine = 0; // 0 while inih reports the line itself

    bool Add(const std::string &sectionName, const std::string &keyName, const std::string &utf8Value)
    {
        const SectionKeys *keys = FindSection(sectionName);
        if (!keys) {
            return Fail("unknown section [" + sectionName + "]");
        }
        const Key *key = FindKey(*keys, keyName);
        if (!key) {
            return Fail("unknown key \"" + keyName + "\" in [" + sectionName + "]");
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

    // inih names a section only with its first key; an unknown one must fail even when empty.
    bool CheckSectionHeader(std::string_view line, int lineNumber)
    {
        const std::size_t first = line.find_first_not_of(" \t");
        if (first == std::string_view::npos || line[first] != '[') {
            return true;
        }
        const std::size_t close = line.find(']', first);
        if (close == std::string_view::npos) {
            return true; // inih refuses the line itself
        }
        const std::string name(line.substr(first + 1, close - first - 1));
        if (FindSection(name)) {
            return true;
        }
        Fail("unknown section [" + name + "]");
        errorLine = lineNumber;
        return false;
    }

private:
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

// The file's lines with LF ends, whatever ended them (LF, CR LF or a lone CR).
std::string WithLineFeeds(std::string_view text)
{
    std::string lines;
    lines.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\r') {
            lines += '\n';
            if (i + 1 < text.size() && text[i + 1] == '\n') {
                ++i;
            }
        } else {
            lines += text[i];
        }
    }
    return lines;
}

int LineOf(std::string_view text, std::size_t position)
{
    return 1 + static_cast<int>(std::count(text.begin(), text.begin() + static_cast<std::ptrdiff_t>(position), '\n'));
}

// Hands inih the lines as fgets would, a long line in several pieces; a line is looked at
// when it starts.
struct LineSource
{
    std::string_view Rest;
    int LineNumber = 0;
    bool AtLineStart = true;
    SettingsFileParser &Parser;
};

char *ReadLine(char *buffer, int size, void *stream)
{
    auto &source = *static_cast<LineSource *>(stream);
    if (source.Rest.empty() || size < 2) {
        return nullptr;
    }
    if (source.AtLineStart) {
        ++source.LineNumber;
        const std::string_view line = source.Rest.substr(0, source.Rest.find('\n'));
        if (!source.Parser.CheckSectionHeader(line, source.LineNumber)) {
            return nullptr;
        }
    }
    const std::size_t lineEnd = source.Rest.find('\n');
    const std::size_t wanted = lineEnd == std::string_view::npos ? source.Rest.size() : lineEnd + 1;
    const std::size_t taken = std::min(wanted, static_cast<std::size_t>(size - 1));
    std::copy_n(source.Rest.data(), taken, buffer);
    buffer[taken] = '\0';
    source.AtLineStart = taken == wanted;
    source.Rest.remove_prefix(taken);
    return buffer;
}

// inih reads the line buffer from the heap, grown as a long line needs: a value of
// MaxValueCharacters may take up to three UTF-8 bytes a character.
void ConfigureInih()
{
    ini_use_stack = false;
    ini_allow_realloc = true;
    ini_max_line = static_cast<int>(3 * MaxValueCharacters + 1024);
    ini_stop_on_first_error = true;
    ini_allow_multiline = false; // an indented line is an entry of its own
}

} // namespace

std::variant<SettingsFile, std::string> SettingsFile::Read(const std::string &path)
{
    const auto bytes = ReadRegularFile(path, MaxFileBytes);
    if (const auto *problem = std::get_if<FileProblem>(&bytes)) {
        return "cannot read the settings file " + path + ": " + problem->Reason;
    }
    const std::string lines = WithLineFeeds(std::get<std::string>(bytes));
    if (const std::size_t nul = lines.find('\0'); nul != std::string::npos) {
        return path + ", line " + std::to_string(LineOf(lines, nul)) + ": holds a NUL byte";
    }
    ConfigureInih();
    SettingsFileParser parser;
    LineSource source {lines, 0, true, parser};
    const auto handler = [](void *user, const char *section, const char *name, const char *value) -> int {
        return static_cast<SettingsFileParser *>(user)->Add(section, name, value) ? 1 : 0;
    };
    const int firstError = ini_parse_stream(ReadLine, &source, handler, &parser);
    if (parser.errorLine != 0) {
        return path + ", line " + std::to_string(parser.errorLine) + ": " + parser.error;
    }
    if (firstError > 0) {
        const std::string problem
            = parser.error.empty() ? "not a [section], a \"key = value\" line or a comment" : parser.error;
        return path + ", line " + std::to_string(firstError) + ": " + problem;
    }
    if (firstError < 0) {
        throw std::bad_alloc(); // inih could not allocate its line buffer
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
