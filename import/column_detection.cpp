#include "column_detection.h"

#include "column_letters.h"
#include "data_file.h"
#include "experiment_record.h"
#include "significant_figures.h"
#include "text_number.h"
#include "time_conversion.h"

#include <algorithm>
#include <array>

namespace {

enum class Category { Time, Analyzer, Concentration, Flow };

struct HeaderKeyword
{
    const char *Text;
    Category Selects;
};

// Matched exactly: "TIME" or "Time (min)" is no header.
constexpr std::array<HeaderKeyword, 18> HeaderKeywords {{
    {"Time", Category::Time},
    {"time", Category::Time},
    {"Timestamp", Category::Time},
    {"timestamp", Category::Time},
    {"Voltage", Category::Analyzer},
    {"voltage", Category::Analyzer},
    {"Volt", Category::Analyzer},
    {"volt", Category::Analyzer},
    {"Peak height", Category::Analyzer},
    {"GC peak height", Category::Analyzer},
    {"Peak area", Category::Analyzer},
    {"GC peak area", Category::Analyzer},
    {"Analyzer Output", Category::Analyzer},
    {"Analyzer output", Category::Analyzer},
    {"Concentration", Category::Concentration},
    {"concentration", Category::Concentration},
    {"flowrate", Category::Flow},
    {"flow rate", Category::Flow},
}};

class ColumnReader
{
public:
    explicit ColumnReader(const DataFile::Worksheet &sheet)
        : sheet(sheet)
    { }

    int Columns() const { return sheet.ColumnCount(); }

    // A cell's text when it has one, an empty cell the empty text, anything else its number
    // printed with six decimals. A position outside the sheet reads as an empty cell.
    std::string CellText(int row, int column) const
    {
        const DataFile::Cell cell = sheet.CellAt(row, column);
        if (cell.Kind == DataFile::CellKind::Empty) {
            return {};
        }
        if (auto text = cell.TextValue(MaxEntryLength)) {
            return *std::move(text);
        }
        return FormatPlain(cell.Number); // "%6lf" prints exactly as "%f"
    }

    std::string HeaderText(int column) const
    {
        return sheet.CellAt(0, column).TextValue(MaxEntryLength).value_or(std::string());
    }

    // Rows from `fromRow` on, while the list holds fewer than `limit` entries.
    void AppendRows(std::vector<std::string> &list, int column, int fromRow, std::size_t limit) const
    {
        for (int row = fromRow; row < sheet.RowCount() && list.size() < limit; ++row) {
            list.push_back(CellText(row, column));
        }
    }

private:
    const DataFile::Worksheet &sheet;
};

struct ColumnList
{
    std::vector<std::string> &Texts;
    int &Found;
};

ColumnList ListOf(ExperimentRecord &record, Category category)
{
    switch (category) {
    case Category::Time:
        return {record.TimeTexts, record.TimeColumnFound};
    case Category::Analyzer:
        return {record.AnalyzerTexts, record.AnalyzerColumnFound};
    case Category::Concentration:
        return {record.ConcentrationTexts, record.ConcentrationColumnFound};
    case Category::Flow:
        break;
    }
    return {record.FlowTexts, record.FlowColumnFound};
}

const HeaderKeyword *MatchingKeyword(const std::string &header)
{
    for (const HeaderKeyword &keyword : HeaderKeywords) {
        if (header == keyword.Text) {
            return &keyword;
        }
    }
    return nullptr;
}

// Every column whose header names the category, in column order, header included.
void MatchHeaders(ColumnList list, Category category, const ColumnReader &reader, std::size_t limit)
{
    for (int column = 0; column < reader.Columns(); ++column) {
        const std::string header = reader.HeaderText(column);
        const HeaderKeyword *keyword = MatchingKeyword(header);
        if (keyword && keyword->Selects == category) {
            list.Found = 1;
            if (list.Texts.size() < limit) {
                list.Texts.push_back(header);
            }
            reader.AppendRows(list.Texts, column, 1, limit);
        }
    }
}

// Without a header the whole column, row 0 included, is the list: time in A, readings in B,
// flow rates in C, which a sheet of two columns does not have.
void FillDefault(ColumnList list, Category category, const ColumnReader &reader, std::size_t limit)
{
    static constexpr std::array<int, 4> DefaultColumns {0, 1, 1, 2}; // by Category
    if (list.Found || (category == Category::Flow && reader.Columns() <= 2)) {
        return;
    }
    list.Found = 1;
    reader.AppendRows(list.Texts, DefaultColumns[static_cast<std::size_t>(category)], 0, limit);
}

// Column letters take precedence over headers and defaults; the found flags stay. One
// analyzer column serves every response format.
const std::string &ManualLetters(const ExperimentRecord &record, Category category)
{
    switch (category) {
    case Category::Time:
        return record.ManualTimeColumn;
    case Category::Analyzer:
    case Category::Concentration:
        return record.ManualAnalyzerColumn;
    case Category::Flow:
        break;
    }
    return record.ManualFlowColumn;
}

void FillCategory(ExperimentRecord &record, const ColumnReader &reader, Category category, std::size_t limit)
{
    const ColumnList list = ListOf(record, category);
    list.Texts.clear();
    list.Found = 0;
    MatchHeaders(list, category, reader, limit);
    FillDefault(list, category, reader, limit);
    if (const std::string &letters = ManualLetters(record, category); !letters.empty()) {
        list.Texts.clear();
        reader.AppendRows(list.Texts, ColumnIndexFromLetters(letters), 0, limit);
    }
}

Category ReadingCategory(const ExperimentRecord &record)
{
    return record.Settings.ResponseFormat == CalibratedAnalyzerOutput ? Category::Analyzer
                                                                      : Category::Concentration;
}

} // namespace

std::vector<std::string> DefaultHeaderKeywords()
{
    std::vector<std::string> keywords;
    for (const HeaderKeyword &keyword : HeaderKeywords) {
        keywords.emplace_back(keyword.Text);
    }
    return keywords;
}

const std::vector<std::string> &ReadingTexts(const ExperimentRecord &record)
{
    return record.Settings.ResponseFormat == CalibratedAnalyzerOutput ? record.AnalyzerTexts
                                                                      : record.ConcentrationTexts;
}

int FirstDataEntry(const ExperimentRecord &record)
{
    const auto &readings = ReadingTexts(record);
    const auto first = std::find_if(
        readings.begin(), readings.end(), [](const std::string &text) { return LeadingNumber(text) != 0; });
    if (first != readings.end()) {
        return static_cast<int>(first - readings.begin());
    }
    const int timed = FirstEntryHoldingTime(record.TimeTexts, record.Settings.TimeFormat);
    return std::min(timed, static_cast<int>(readings.size()));
}

void DetectColumns(ExperimentRecord &record, const DataFile::Worksheet &sheet)
{
    const ColumnReader reader(sheet);
    // The reading and time lists decide where the data start; no list needs a row past the
    // last point that can be read, plus one to tell that there were more.
    const Category reading = ReadingCategory(record);
    FillCategory(record, reader, reading, MaxListEntries);
    FillCategory(record, reader, Category::Time, MaxListEntries);
    const std::size_t limit = static_cast<std::size_t>(FirstDataEntry(record)) + MaxPoints + 1;
    for (Category category : {Category::Time, Category::Analyzer, Category::Concentration, Category::Flow}) {
        if (category == reading || category == Category::Time) {
            ListOf(record, category).Texts.resize(std::min(ListOf(record, category).Texts.size(), limit));
        } else {
            FillCategory(record, reader, category, limit);
        }
    }
}
