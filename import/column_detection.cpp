#include "column_detection.h"

#include "basicexcel.h"
#include "column_letters.h"
#include "experiment_record.h"
#include "significant_figures.h"

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
    explicit ColumnReader(YExcel::BasicExcelWorksheet &sheet)
        : sheet(sheet)
        , rows(sheet.RowCount())
        , columns(sheet.ColumnCount())
    { }

    int Columns() const { return columns; }

    // A cell's text when it has one, an empty cell the empty text, anything else its number
    // printed with six decimals. A position outside the sheet reads as an empty cell.
    std::string CellText(int row, int column) const
    {
        const YExcel::BasicExcelCell *cell = Cell(row, column);
        if (!cell || cell->Kind() == YExcel::BasicExcelCell::Empty) {
            return {};
        }
        if (auto text = cell->TextValue()) {
            return *std::move(text);
        }
        return FormatPlain(cell->NumberValue()); // "%6lf" prints exactly as "%f"
    }

    std::string HeaderText(int column) const
    {
        const YExcel::BasicExcelCell *cell = Cell(0, column);
        return cell ? cell->TextValue().value_or(std::string()) : std::string();
    }

    void AppendRows(std::vector<std::string> &list, int column, int fromRow) const
    {
        for (int row = fromRow; row < rows; ++row) {
            list.push_back(CellText(row, column));
        }
    }

private:
    const YExcel::BasicExcelCell *Cell(int row, int column) const
    {
        if (row < 0 || row >= rows || column < 0 || column >= columns) {
            return nullptr;
        }
        return sheet.CellAt(row, column);
    }

    YExcel::BasicExcelWorksheet &sheet;
    int rows;
    int columns;
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

void MatchHeaders(ExperimentRecord &record, const ColumnReader &reader)
{
    for (int column = 0; column < reader.Columns(); ++column) {
        const std::string header = reader.HeaderText(column);
        for (const HeaderKeyword &keyword : HeaderKeywords) {
            if (header == keyword.Text) {
                ColumnList list = ListOf(record, keyword.Selects);
                list.Found = 1;
                list.Texts.push_back(header);
                reader.AppendRows(list.Texts, column, 1);
                break;
            }
        }
    }
}

// Without a header the whole column, row 0 included, is the list.
void FillDefault(ColumnList list, const ColumnReader &reader, int column)
{
    if (!list.Found) {
        list.Found = 1;
        reader.AppendRows(list.Texts, column, 0);
    }
}

// Column letters take precedence over headers and defaults; the found flags stay.
void FillManual(std::vector<std::string> &texts, const ColumnReader &reader, const std::string &letters)
{
    if (!letters.empty()) {
        texts.clear();
        reader.AppendRows(texts, ColumnIndexFromLetters(letters), 0);
    }
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

void DetectColumns(ExperimentRecord &record, YExcel::BasicExcelWorksheet &sheet)
{
    for (Category category : {Category::Time, Category::Analyzer, Category::Concentration, Category::Flow}) {
        ColumnList list = ListOf(record, category);
        list.Texts.clear();
        list.Found = 0;
    }
    const ColumnReader reader(sheet);
    MatchHeaders(record, reader);
    FillDefault(ListOf(record, Category::Time), reader, 0);
    FillDefault(ListOf(record, Category::Concentration), reader, 1);
    FillDefault(ListOf(record, Category::Analyzer), reader, 1);
    if (reader.Columns() > 2) {
        FillDefault(ListOf(record, Category::Flow), reader, 2);
    }
    // One analyzer column serves every response format.
    FillManual(record.ConcentrationTexts, reader, record.ManualAnalyzerColumn);
    FillManual(record.AnalyzerTexts, reader, record.ManualAnalyzerColumn);
    FillManual(record.TimeTexts, reader, record.ManualTimeColumn);
    FillManual(record.FlowTexts, reader, record.ManualFlowColumn);
}
