#include "settings_file.h"

#include "experiment_record.h"
#include "text_encoding.h"

#include <ini.h>

#include <charconv>
#include <cstdio>
#include <cstring>
#include <memory>
#include <optional>

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

// Collects the entries while inih walks the file; the first problem found is the one reported.
struct SettingsFileParser
{
    SettingsFile settings;
    std::string error;
    int currentLine = 0;
    int errorLine = 0;

    bool Add(const std::string &sectionName, const std::string &keyName, const std::string &utf8Value)
    {
        if (errorLine != 0) {
            return false; // inih reads on after a refused line; the first problem is the one to report
        }
        const SectionKeys *section = FindSection(sectionName);
        if (!section) {
            return Fail("unknown section [" + sectionName + "]");
        }
        const Key *key = FindKey(*section, keyName);
        if (!key) {
            return Fail("unknown key \"" + keyName + "\" in [" + sectionName + "]");
        }
        auto text = Encoding::Utf8ToWindows1252(utf8Value);
        if (!text) {
            return Fail("the value of " + keyName + " holds a character that Windows-1252 cannot represent");
        }
        if (key->Choice) {
            const auto choice = ParseChoice(*text, key->HighestChoice);
            if (!choice) {
                return Fail(
                    keyName + " must be " + ChoiceRange(key->HighestChoice) + ", not \"" + utf8Value + "\"");
            }
            Store(section->Section, keyName,
                [member = key->Choice, c = *choice](ExperimentRecord &r) { *member(r) = c; });
        } else {
            Store(section->Section, keyName,
                [member = key->Text, t = *text](ExperimentRecord &r) { *member(r) = t; });
        }
        return true;
    }

    // inih names a section only with its first key; an unknown one must fail even when empty.
    void CheckSectionHeader(std::string_view line)
    {
        const std::size_t close = line.find(']');
        if (errorLine == 0 && line.starts_with('[') && close != std::string_view::npos) {
            const std::string name(line.substr(1, close - 1));
            if (!FindSection(name)) {
                Fail("unknown section [" + name + "]");
            }
        }
    }

private:
    static const SectionKeys *FindSection(const std::string &name)
    {
        for (const SectionKeys &section : Sections) {
            if (name == section.Name) {
                return &section;
            }
        }
        return nullptr;
    }

    static const Key *FindKey(const SectionKeys &section, const std::string &name)
    {
        for (const Key &key : section.Keys) {
            if (name == key.Name) {
                return &key;
            }
        }
        return nullptr;
    }

    // A later line for the same key replaces the earlier entry.
    void Store(
        SettingsSection section, const std::string &key, std::function<void(ExperimentRecord &)> assign)
    {
        std::erase_if(settings.entries,
            [&](const auto &entry) { return entry.Section == section && entry.Key == key; });
        settings.entries.push_back({section, key, std::move(assign)});
    }

    bool Fail(std::string message)
    {
        error = std::move(message);
        errorLine = currentLine;
        return false;
    }
};

namespace {

struct LineSource
{
    std::FILE *File;
    SettingsFileParser &Parser;
};

// Hands inih one line at a time. Leading blanks are dropped, so an indented line is an
// entry of its own and never the continuation of the value above it; a line too long for
// inih's buffer is refused rather than cut.
char *ReadLine(char *buffer, int size, void *stream)
{
    auto &source = *static_cast<LineSource *>(stream);
    if (!std::fgets(buffer, size, source.File)) {
        return nullptr;
    }
    ++source.Parser.currentLine;
    const std::size_t length = std::strlen(buffer);
    if (length + 1 == static_cast<std::size_t>(size) && buffer[length - 1] != '\n' && !std::feof(source.File)
        && source.Parser.errorLine == 0) {
        source.Parser.error = "longer than " + std::to_string(size - 2) + " characters";
        source.Parser.errorLine = source.Parser.currentLine;
    }
    const std::size_t blanks = std::strspn(buffer, " \t");
    std::memmove(buffer, buffer + blanks, length - blanks + 1);
    source.Parser.CheckSectionHeader(buffer);
    return buffer;
}

} // namespace

std::variant<SettingsFile, std::string> SettingsFile::Read(const std::string &path)
{
    SettingsFileParser parser;
    const auto handler = [](void *user, const char *section, const char *name, const char *value) -> int {
        return static_cast<SettingsFileParser *>(user)->Add(section, name, value) ? 1 : 0;
    };
    std::unique_ptr<std::FILE, int (*)(std::FILE *)> file(std::fopen(path.c_str(), "rb"), std::fclose);
    if (!file) {
        return "cannot open the settings file " + path;
    }
    LineSource source {file.get(), parser};
    const int firstError = ini_parse_stream(ReadLine, &source, handler, &parser);
    if (parser.errorLine != 0 && (firstError == 0 || parser.errorLine <= firstError)) {
        return path + ", line " + std::to_string(parser.errorLine) + ": " + parser.error;
    }
    if (firstError != 0) {
        return path + ", line " + std::to_string(firstError)
            + ": not a [section], a \"key = value\" line or a comment";
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
