// The spreadsheet writer over real workbook files: what a save leaves on disk, read back
// with the project's reader and once with a reference reader.

#include "basicexcel.h"
#include "spreadsheet_writer.h"
#include "workbook_data_source.h"

#include <csignal>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

namespace fs = std::filesystem;
using Texts = std::vector<std::string>;
using Table = std::vector<Texts>;

const fs::path CorpusRoot = fs::path(ORVANE_SOURCE_DIR) / ".." / "shared" / "xls-corpus";
const Texts ReportHeader {"Report", "-", "Results", "--", "Version 2-5-0"};

std::string FileBytes(const fs::path &path)
{
    std::ifstream file(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
}

std::string ConnectionTo(const fs::path &path)
{
    return "DRIVER={Orvane Excel Driver (*.xls)};DSN='';FIRSTROWHASNAMES=1;READONLY=FALSE;CREATE_DB=\""
        + path.string() + "\";DBQ=" + path.string();
}

struct SaveOutcome
{
    bool Committed = false;
    bool Backup = false;
    std::string LastError;
};

// A save as the Excel report makes it: header, then the rows numbered from 3.
SaveOutcome Save(
    const fs::path &path, const Texts &header, const Table &rows, const std::string &sheetName = "Results")
{
    WorkbookDataSource source;
    CSpreadSheet sheet(source, path, sheetName, true);
    sheet.BeginTransaction();
    sheet.AddHeaders(header, false);
    for (std::size_t index = 0; index < rows.size(); ++index) {
        sheet.AddRow(rows[index], static_cast<int>(index) + 3, false);
    }
    const bool committed = sheet.Commit();
    return {committed, sheet.Backup(), sheet.LastError()};
}

Texts SheetNames(const fs::path &path)
{
    YExcel::BasicExcel book;
    EXPECT_TRUE(book.OpenBook(path));
    Texts names;
    for (std::size_t index = 0; index < book.SheetCount(); ++index) {
        names.push_back(book.SheetName(index));
    }
    return names;
}

// Every cell as text (numbers with %g), trailing empty cells and rows left out.
Table SheetCells(const fs::path &path, const std::string &name)
{
    YExcel::BasicExcel book;
    EXPECT_TRUE(book.OpenBook(path));
    Table table;
    for (std::size_t index = 0; index < book.SheetCount(); ++index) {
        if (book.SheetName(index) != name) {
            continue;
        }
        YExcel::BasicExcelWorksheet &sheet = *book.SheetAt(index);
        for (int row = 0; row < sheet.RowCount(); ++row) {
            for (int column = 0; column < sheet.ColumnCount(); ++column) {
                const YExcel::BasicExcelCell &cell = *sheet.CellAt(row, column);
                if (cell.Kind() == YExcel::BasicExcelCell::Empty) {
                    continue;
                }
                char number[32];
                std::snprintf(number, sizeof number, "%g", cell.NumberValue());
                table.resize(std::max<std::size_t>(table.size(), row + 1));
                table[row].resize(column + 1);
                table[row][column] = cell.Text() ? cell.TextValue().value_or("") : number;
            }
        }
    }
    return table;
}

class WorkbookDataSourceTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        const auto *test = ::testing::UnitTest::GetInstance()->current_test_info();
        folder = fs::temp_directory_path()
            / ("orvane-workbook-" + std::to_string(getpid()) + "-" + test->name());
        fs::remove_all(folder);
        fs::create_directories(folder);
    }
    void TearDown() override { fs::remove_all(folder); }

    fs::path CorpusCopy(const std::string &relative)
    {
        const fs::path copy = folder / fs::path(relative).filename();
        fs::copy_file(CorpusRoot / relative, copy);
        fs::permissions(copy, fs::perms::owner_read | fs::perms::owner_write);
        return copy;
    }

    Texts FolderEntries() const
    {
        Texts names;
        for (const auto &entry : fs::directory_iterator(folder)) {
            names.push_back(entry.path().filename().string());
        }
        return names;
    }

    fs::path folder;
};

TEST_F(WorkbookDataSourceTest, NewWorkbookHoldsTheHeaderAndTheRowsWithoutTheFillerRow)
{
    const fs::path path = folder / "report.xls";
    const Table rows {{"Project Number:", "17"}, {"", "", "Rate:", "0.5", "\xB5g/(cm\xB2\xB7min)"}};
    const SaveOutcome outcome = Save(path, ReportHeader, rows);
    ASSERT_TRUE(outcome.Committed) << outcome.LastError;
    EXPECT_TRUE(outcome.Backup) << "nothing to back up, nothing refused";

    EXPECT_EQ(SheetNames(path), Texts {"Results"});
    EXPECT_EQ(SheetCells(path, "Results"), (Table {ReportHeader, rows[0], rows[1]}));

    WorkbookDataSource source;
    ASSERT_EQ(source.OpenConnection(ConnectionTo(path)), std::nullopt);
    const auto result = source.OpenRecordSet("SELECT * FROM [results$A1:IV65536]");
    ASSERT_TRUE(std::holds_alternative<RecordSetContents>(result));
    const auto &contents = std::get<RecordSetContents>(result);
    EXPECT_EQ(contents.ColumnNames, ReportHeader);
    EXPECT_EQ(contents.Records, rows) << "empty fields at a record's end left out";
    EXPECT_FALSE(contents.ReadFailed);
    EXPECT_EQ(source.CloseConnection(), std::nullopt);
}

TEST_F(WorkbookDataSourceTest, ExistingResultsSheetIsBackedUpOnceAndMergedFromRowThree)
{
    const fs::path path = folder / "report.xls";
    ASSERT_TRUE(Save(path, ReportHeader, {{"old A"}, {"old B"}}).Committed);
    const SaveOutcome second = Save(path, ReportHeader, {{"new A"}});
    ASSERT_TRUE(second.Committed) << second.LastError;
    EXPECT_TRUE(second.Backup);
    EXPECT_EQ(SheetNames(path), (Texts {"Results", "CSpreadSheetBackup"}));
    EXPECT_EQ(SheetCells(path, "CSpreadSheetBackup"), (Table {ReportHeader, {"old A"}, {"old B"}}));
    // The first save's filler row took no sheet row, so its first row is row 2 when read back.
    EXPECT_EQ(SheetCells(path, "Results"), (Table {ReportHeader, {"old A"}, {"new A"}, {"old B"}}));

    const SaveOutcome third = Save(path, ReportHeader, {{"newer"}});
    ASSERT_TRUE(third.Committed) << third.LastError;
    EXPECT_FALSE(third.Backup) << "the backup sheet exists already";
    EXPECT_EQ(SheetCells(path, "CSpreadSheetBackup"), (Table {ReportHeader, {"old A"}, {"old B"}}));
    EXPECT_EQ(
        SheetCells(path, "Results"), (Table {ReportHeader, {"old A"}, {"newer"}, {"new A"}, {"old B"}}));
}

TEST_F(WorkbookDataSourceTest, OtherSheetsOfAnExistingWorkbookAreKept)
{
    const fs::path path = CorpusCopy("generated/gen__blanks_and_types.xls");
    const Texts before = SheetNames(path);
    Table types = SheetCells(path, "Types");
    ASSERT_TRUE(Save(path, ReportHeader, {{"Project Number:", "17"}}).Committed);
    Texts after = before;
    after.push_back("Results");
    EXPECT_EQ(SheetNames(path), after);
    EXPECT_EQ(SheetCells(path, "Types"), types);
    EXPECT_EQ(SheetCells(path, "Results"), (Table {ReportHeader, {"Project Number:", "17"}}));

    // A sheet without cells counts as new: no backup, the table is made in it.
    ASSERT_TRUE(Save(path, ReportHeader, {{"x"}}, "Empty").Committed);
    EXPECT_EQ(SheetNames(path), after);
    EXPECT_EQ(SheetCells(path, "Empty"), (Table {ReportHeader, {"x"}}));
}

TEST_F(WorkbookDataSourceTest, SixteenBitTextsAndNumbersOfAnExistingSheetSurviveItsRewrite)
{
    const fs::path path = CorpusCopy("generated/gen__header_16bit.xls");
    const Table before = SheetCells(path, "Wide headers");
    ASSERT_EQ(before.at(0).at(4), "Cost (\x80)");
    ASSERT_TRUE(Save(path, {"Note"}, {{"", "", "", "", "\x80 5", "\x85"}}, "Wide headers").Committed);

    const Table after = SheetCells(path, "Wide headers");
    Texts header = before[0];
    header.push_back("Note");
    EXPECT_EQ(after.at(0), header);
    EXPECT_EQ(after.at(1), (Texts {"0", "0.125", "101", "20.26", "n/a"}));
    EXPECT_EQ(after.at(2), (Texts {"", "", "", "", "\x80 5", "\x85"}));
    EXPECT_EQ(after.size(), before.size() + 1);
    EXPECT_EQ(SheetCells(path, "CSpreadSheetBackup").at(0), before[0]);
}

TEST_F(WorkbookDataSourceTest, SheetWithTextsOutsideWindows1252IsLeftAlone)
{
    const fs::path path = CorpusCopy("files/poi__chinese-provinces.xls");
    const std::string bytes = FileBytes(path);
    const SaveOutcome outcome = Save(path, ReportHeader, {{"x"}}, "provinces");
    EXPECT_FALSE(outcome.Committed);
    EXPECT_EQ(outcome.LastError, "Error reading row\n");
    EXPECT_EQ(FileBytes(path), bytes);
}

TEST_F(WorkbookDataSourceTest, QuotesBracketsAndTheRowSeparatorArriveUnchanged)
{
    const fs::path path = folder / "quotes.xls";
    const Texts header {"Report", "Odd]Name", "it's"};
    const Table rows {{"O'Neil \"Q\"", "a\",;.?\"b", "''"}};
    ASSERT_TRUE(Save(path, header, rows).Committed);
    EXPECT_EQ(SheetCells(path, "Results"), (Table {header, rows[0]}));
}

// The child's file size limit makes the write fail part way, as a full disk would; a
// read-only folder stops only a test not run as root.
TEST_F(WorkbookDataSourceTest, AFailedWriteLeavesTheOldWorkbookAndNoTemporaryFile)
{
    const fs::path path = folder / "report.xls";
    ASSERT_TRUE(Save(path, ReportHeader, {{"old"}}).Committed);
    const std::string bytes = FileBytes(path);
    std::fflush(nullptr);
    const pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        std::signal(SIGXFSZ, SIG_IGN);
        const rlimit limit {1024, 1024};
        setrlimit(RLIMIT_FSIZE, &limit);
        const SaveOutcome outcome = Save(path, ReportHeader, Table(200, Texts {std::string(100, 'x')}));
        _exit(!outcome.Committed && outcome.LastError.starts_with("cannot write " + path.string()) ? 0 : 1);
    }
    int status = 0;
    waitpid(child, &status, 0);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
    EXPECT_EQ(FileBytes(path), bytes);
    EXPECT_EQ(FolderEntries(), Texts {"report.xls"});

    if (geteuid() != 0) {
        fs::permissions(folder, fs::perms::owner_read | fs::perms::owner_exec);
        const SaveOutcome outcome = Save(path, ReportHeader, {{"new"}});
        fs::permissions(folder, fs::perms::owner_all);
        EXPECT_FALSE(outcome.Committed);
        EXPECT_TRUE(outcome.LastError.starts_with("cannot write " + path.string())) << outcome.LastError;
        EXPECT_EQ(FileBytes(path), bytes);
    }
}

TEST_F(WorkbookDataSourceTest, StatementsAreCheckedAndARefusalSavesNothing)
{
    const fs::path path = folder / "direct.xls";
    WorkbookDataSource source;
    EXPECT_EQ(source.InstalledDrivers(), Texts {"Orvane Excel Driver (*.xls)"});
    EXPECT_TRUE(source.OpenConnection(
        "DRIVER={Other};DSN='';FIRSTROWHASNAMES=1;READONLY=FALSE;CREATE_DB=\"a.xls\";DBQ=a.xls"));
    EXPECT_TRUE(source.OpenConnection("DBQ=" + path.string()));

    ASSERT_EQ(source.OpenConnection(ConnectionTo(path)), std::nullopt);
    EXPECT_TRUE(
        std::holds_alternative<DataSourceFailure>(source.OpenRecordSet("SELECT * FROM [S$A1:IV65536]")));
    EXPECT_EQ(source.Execute("DELETE FROM [S$A1:IV65536]")->Message,
        "The statement is not understood: DELETE FROM [S$A1:IV65536]");
    EXPECT_EQ(source.CloseConnection(), std::nullopt);
    EXPECT_FALSE(fs::exists(path)) << "the refusal saved nothing";

    ASSERT_EQ(source.OpenConnection(ConnectionTo(path)), std::nullopt);
    EXPECT_EQ(source.Execute("CREATE TABLE [S] ([A] char(255), [B] char(255))"), std::nullopt);
    EXPECT_TRUE(source.Execute("CREATE TABLE [Bad:Name] ([A] char(255))"));
    EXPECT_EQ(source.CloseConnection(), std::nullopt);
    EXPECT_FALSE(fs::exists(path));

    // Blank-only cells are written empty; rows go under the last row holding something.
    ASSERT_EQ(source.OpenConnection(ConnectionTo(path)), std::nullopt);
    EXPECT_EQ(source.Execute("CREATE TABLE [S] ([A] char(255), [B] char(255))"), std::nullopt);
    EXPECT_EQ(source.Execute("INSERT INTO [S$A1:IV1] ([A], [B]) VALUES (' ', ' ')"), std::nullopt);
    EXPECT_EQ(source.Execute("INSERT INTO [S$A1:IV2] ([B]) VALUES ('y')"), std::nullopt);
    EXPECT_EQ(source.Execute("INSERT INTO [S$A1:IV3] ([B], [A]) VALUES ('  ', 'z')"), std::nullopt);
    EXPECT_EQ(source.CloseConnection(), std::nullopt);
    EXPECT_EQ(SheetCells(path, "S"), (Table {{"A", "B"}, {"", "y"}, {"z"}}));

    ASSERT_EQ(source.OpenConnection(ConnectionTo(path)), std::nullopt);
    EXPECT_EQ(source.Execute("CREATE TABLE [s] ([A] char(255))")->Message, "Sheet \"S\" exists already");
    EXPECT_EQ(source.Execute("CREATE TABLE [\x8A] ([A] char(255))"), std::nullopt);
    EXPECT_TRUE(source.Execute("CREATE TABLE [\x9A] ([A] char(255))")) << "a small and a capital S with caron";
    EXPECT_TRUE(source.Execute("INSERT INTO [S$A1:IV3] ([C]) VALUES ('x')"));
    EXPECT_TRUE(source.Execute("DROP TABLE [T$A1:IV65536]"));
    EXPECT_EQ(source.CloseConnection(), std::nullopt);

    ASSERT_EQ(source.OpenConnection(ConnectionTo(path)), std::nullopt);
    EXPECT_EQ(source.Execute("DROP TABLE [S$A1:IV65536]"), std::nullopt);
    EXPECT_EQ(source.Execute("CREATE TABLE [S$A1:IV65536] ([C] char(255))"), std::nullopt);
    EXPECT_EQ(source.Execute("INSERT INTO [S$A1:IV1] ([C]) VALUES ('c')"), std::nullopt);
    EXPECT_EQ(source.CloseConnection(), std::nullopt);
    EXPECT_EQ(SheetCells(path, "S"), (Table {{"C"}, {"c"}}));

    const fs::path odd = folder / "a\";DBQ=b;.xls";
    ASSERT_EQ(source.OpenConnection(ConnectionTo(odd)), std::nullopt);
    EXPECT_EQ(source.Execute("CREATE TABLE [S] ([A] char(255))"), std::nullopt);
    EXPECT_EQ(source.CloseConnection(), std::nullopt);
    EXPECT_EQ(SheetCells(odd, "S"), Table {{"A"}});

    std::ofstream(folder / "notes.xls") << "not a workbook";
    const auto refusal = source.OpenConnection(ConnectionTo(folder / "notes.xls"));
    ASSERT_TRUE(refusal);
    EXPECT_EQ(refusal->Message, (folder / "notes.xls").string() + " is not an Excel 97-2003 workbook");
}

// Once against a reader the project did not write.
TEST_F(WorkbookDataSourceTest, ReferenceReaderSeesTheSavedSheet)
{
    const fs::path path = folder / "report.xls";
    ASSERT_TRUE(Save(path, ReportHeader, {{"Rate:", "0.5", "\xB5g/(cm\xB2\xB7min)", "\x80"}}).Committed);
    const std::string command = "PYTHONIOENCODING=utf-8 /usr/bin/python3 -c \"import sys, xlrd\n"
                                "book = xlrd.open_workbook(sys.argv[1])\n"
                                "for sheet in book.sheets():\n"
                                "    print(sheet.name)\n"
                                "    for row in range(sheet.nrows):\n"
                                "        print('|'.join(str(value) for value in sheet.row_values(row)))\n"
                                "\" "
        + path.string();
    FILE *pipe = popen(command.c_str(), "r");
    ASSERT_NE(pipe, nullptr);
    std::string output;
    char buffer[256];
    while (std::fgets(buffer, sizeof buffer, pipe)) {
        output += buffer;
    }
    ASSERT_EQ(pclose(pipe), 0) << output;
    EXPECT_EQ(output,
        "Results\n"
        "Report|-|Results|--|Version 2-5-0\n"
        "Rate:|0.5|\xC2\xB5g/(cm\xC2\xB2\xC2\xB7min)|\xE2\x82\xAC|\n");
}

TEST_F(WorkbookDataSourceTest, RefusedStatementLeavesTheWorkbookAsItWas)
{
    const fs::path path = folder / "report.xls";
    ASSERT_TRUE(Save(path, ReportHeader, {{"old"}}).Committed);
    const std::string bytes = FileBytes(path);
    WorkbookDataSource source;
    ASSERT_EQ(source.OpenConnection(ConnectionTo(path)), std::nullopt);
    EXPECT_EQ(source.Execute("DROP TABLE [Results$A1:IV65536]"), std::nullopt);
    EXPECT_EQ(source.Execute("CREATE TABLE [Results$A1:IV65536] ([A] char(255))"), std::nullopt);
    EXPECT_EQ(source.Execute("INSERT INTO [Results$A1:IV1] ([A], [A]) VALUES ('x', 'y')")->Message,
        "Sheet \"Results\" has no column \"A\" or it is named twice");
    EXPECT_EQ(source.CloseConnection(), std::nullopt);
    EXPECT_TRUE(FileBytes(path) == bytes);
}

// Damaged files, and real ones written by many programs: a save lands whole, keeping the
// other sheets, or fails with a message and leaves the file as it was.
TEST_F(WorkbookDataSourceTest, AnyWorkbookIsSavedWholeOrNotAtAll)
{
    std::vector<fs::path> sources;
    for (const char *folderName : {"tests/data/malformed", "../shared/xls-corpus/files"}) {
        for (const auto &entry : fs::directory_iterator(fs::path(ORVANE_SOURCE_DIR) / folderName)) {
            sources.push_back(entry.path());
        }
    }
    const Table report {ReportHeader, {"Project Number:", "17"}};
    for (const fs::path &source : sources) {
        SCOPED_TRACE(source.filename().string());
        const fs::path path = folder / source.filename();
        fs::copy_file(source, path);
        fs::permissions(path, fs::perms::owner_read | fs::perms::owner_write);
        const std::string bytes = FileBytes(path);
        SaveOutcome outcome;
        try {
            outcome = Save(path, ReportHeader, {report[1]});
        } catch (const SpreadsheetConnectionError &error) {
            outcome.LastError = error.what();
        }
        if (!outcome.Committed) {
            EXPECT_NE(outcome.LastError, "");
            EXPECT_TRUE(FileBytes(path) == bytes);
            continue;
        }
        EXPECT_EQ(SheetCells(path, "Results"), report);
        fs::copy_file(source, folder / "original.xls", fs::copy_options::overwrite_existing);
        const std::string first = SheetNames(folder / "original.xls").at(0);
        EXPECT_EQ(SheetCells(path, first), SheetCells(folder / "original.xls", first));
        fs::remove(path);
    }
}

} // namespace
