// orvane-batch inspect on every file of the shared .xlsx and .csv corpora, compared with
// the listings under the corpora's rules: what a script sees is what the readers read.

#include "batch_run.h"
#include "corpus_listing.h"
#include "delimited_text.h"

#include <fstream>
#include <gtest/gtest.h>
#include <map>
#include <sstream>

namespace {

using namespace CorpusListing;

struct CorpusFile
{
    std::string Corpus;
    std::string Name; // empty when the corpus is absent
};

std::vector<CorpusFile> CorpusFiles()
{
    std::vector<CorpusFile> files;
    for (const std::string corpus : {"xlsx-corpus", "csv-corpus"}) {
        for (const std::string &name : ListedFiles(corpus)) {
            files.push_back({corpus, name});
        }
    }
    return files;
}

DataFile::CellKind KindNamed(const std::string &name)
{
    using DataFile::CellKind;
    const std::map<std::string, CellKind> kinds {{"Integer", CellKind::Integer}, {"Real", CellKind::Real},
        {"Text8", CellKind::Text8}, {"Text16", CellKind::Text16}, {"FormulaResult", CellKind::FormulaResult}};
    return kinds.at(name);
}

// A printed value is a number or a text; a formula's result may be either.
SeenCell SeenInLine(const std::string &kindName, const std::string &value)
{
    SeenCell cell;
    cell.Kind = KindNamed(kindName);
    if (cell.Kind != DataFile::CellKind::Text8 && cell.Kind != DataFile::CellKind::Text16) {
        char *end = nullptr;
        cell.Number = std::strtod(value.c_str(), &end);
    }
    if (cell.Kind != DataFile::CellKind::Integer && cell.Kind != DataFile::CellKind::Real) {
        cell.Text = Unescaped(value);
    }
    return cell;
}

// The delimiter each file of the .csv corpus has: decimal commas are numbers only where
// the comma is not the delimiter.
char CsvDelimiter(const std::string &name)
{
    static const std::map<std::string, char> delimiters = [] {
        const std::map<std::string, char> named {{"comma", ','}, {"semicolon", ';'}, {"tab", '\t'}, {"pipe", '|'}};
        std::map<std::string, char> byFile;
        std::ifstream in(Root("csv-corpus") / "SOURCES.tsv");
        std::string line;
        std::getline(in, line); // the header
        while (std::getline(in, line)) {
            std::vector<std::string> fields;
            std::stringstream stream(line);
            for (std::string field; std::getline(stream, field, '\t');) {
                fields.push_back(field);
            }
            byFile[fields.at(0).substr(fields.at(0).find('/') + 1)] = named.at(fields.at(9));
        }
        return byFile;
    }();
    return delimiters.at(name);
}

std::optional<double> CsvFieldNumber(const std::string &text, char delimiter)
{
    return DelimitedText::FieldNumber(text, delimiter);
}

// The readers keep a sheet within DataFile::MaxRows x MaxColumns: a listed cell beyond
// (tidyxl__xfd1048576.xlsx) is cut with the rest of the sheet.
ExpectedSheet WithinSheetLimits(const ExpectedSheet &listed)
{
    ExpectedSheet kept {listed.Name, {}, -1, -1};
    for (const auto &[at, cell] : listed.Cells) {
        if (at.first >= DataFile::MaxRows || at.second >= DataFile::MaxColumns) {
            continue;
        }
        kept.Cells[at] = cell;
        if (cell.Type != "text" || !cell.Value.empty()) {
            kept.LastRow = std::max(kept.LastRow, at.first);
            kept.LastColumn = std::max(kept.LastColumn, at.second);
        }
    }
    return kept;
}

void CheckSheet(const CorpusFile &file, std::size_t index, const ExpectedSheet &listed, std::size_t sheetCount)
{
    const ExpectedSheet listing = WithinSheetLimits(listed);
    const BatchRun run = RunBatch(
        "inspect " + Quoted((Root(file.Corpus) / "files" / file.Name).string()) + " --sheet " + std::to_string(index));
    ASSERT_EQ(run.Status, 0) << run.Err;
    // A sheet cut at the limits is told, on standard error so that the listing stays as it is.
    EXPECT_EQ(run.Err.empty(), listing.Cells.size() == listed.Cells.size()) << run.Err;
    std::istringstream out(run.Out);
    std::string line;
    std::getline(out, line);
    EXPECT_EQ(line, "sheets\t" + std::to_string(sheetCount));
    int rows = 0;
    int columns = 0;
    std::getline(out, line);
    ASSERT_EQ(std::sscanf(line.c_str(), "rows\t%d\tcolumns\t%d", &rows, &columns), 2) << line;
    EXPECT_GE(rows, listing.LastRow + 1);
    EXPECT_GE(columns, listing.LastColumn + 1);
    Rules rules;
    if (file.Corpus == "csv-corpus") {
        rules = {CsvFieldNumber, CsvDelimiter(file.Name)};
    }
    std::map<std::pair<int, int>, SeenCell> seen;
    while (std::getline(out, line)) {
        std::istringstream fields(line);
        std::string row, column, kind, value;
        std::getline(fields, row, '\t');
        std::getline(fields, column, '\t');
        std::getline(fields, kind, '\t');
        std::getline(fields, value);
        seen[{std::stoi(row), std::stoi(column)}] = SeenInLine(kind, value);
    }
    int differences = 0;
    const auto report = [&](std::pair<int, int> at, const std::string &difference) {
        if (!difference.empty() && ++differences <= 10) {
            ADD_FAILURE() << "sheet " << index << " cell (" << at.first << ", " << at.second << "): " << difference;
        }
    };
    for (const auto &[at, cell] : seen) {
        const auto expected = listing.Cells.find(at);
        report(at, Difference(cell, expected == listing.Cells.end() ? nullptr : &expected->second, rules));
    }
    for (const auto &[at, expected] : listing.Cells) {
        if (!seen.contains(at)) {
            report(at, Difference(SeenCell {}, &expected, rules));
        }
    }
}

} // namespace

class InspectCorpus : public testing::TestWithParam<CorpusFile>
{ };

TEST_P(InspectCorpus, PrintsWhatTheListingHolds)
{
    const CorpusFile &file = GetParam();
    if (file.Name.empty()) {
        GTEST_SKIP() << "the shared corpus " << file.Corpus << " is absent";
    }
    const auto listing = ReadListing(Root(file.Corpus) / "expected" / (file.Name + ".tsv"));
    for (std::size_t index = 0; index < listing.size(); ++index) {
        CheckSheet(file, index, listing[index], listing.size());
    }
}

INSTANTIATE_TEST_SUITE_P(Shared, InspectCorpus, testing::ValuesIn(CorpusFiles()),
    [](const testing::TestParamInfo<CorpusFile> &info) {
        return TestName(info.param.Corpus + "_" + info.param.Name);
    });
