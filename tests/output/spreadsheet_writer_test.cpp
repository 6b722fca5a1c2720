#include "row_text.h"
#include "spreadsheet_writer.h"

#include <functional>
#include <gtest/gtest.h>

namespace {

using Texts = std::vector<std::string>;

// Records every statement; refuses what the test tells it to.
class RecordingDataSource : public SpreadsheetDataSource
{
public:
    std::optional<Texts> Drivers = Texts {"SQL Server", "Orvane Excel Driver (*.xls)"};
    std::optional<RecordSetContents> Sheet; // None: the sheet cannot be selected
    std::function<bool(const std::string &)> Refuses = [](const std::string &) { return false; };
    std::optional<std::string> ConnectionRefusal;
    std::optional<std::string> CloseRefusal;

    std::vector<std::string> Connections;
    Texts Queries;
    Texts Statements;
    int OpenConnections = 0;

    std::optional<Texts> InstalledDrivers() override { return Drivers; }
    std::optional<DataSourceFailure> OpenConnection(const std::string &text) override
    {
        Connections.push_back(text);
        if (ConnectionRefusal) {
            return DataSourceFailure {*ConnectionRefusal};
        }
        ++OpenConnections;
        return std::nullopt;
    }
    std::variant<RecordSetContents, DataSourceFailure> OpenRecordSet(const std::string &query) override
    {
        Queries.push_back(query);
        if (!Sheet) {
            return DataSourceFailure {"no such sheet"};
        }
        return *Sheet;
    }
    std::optional<DataSourceFailure> Execute(const std::string &statement) override
    {
        Statements.push_back(statement);
        if (Refuses(statement)) {
            return DataSourceFailure {"refused: " + statement};
        }
        return std::nullopt;
    }
    std::optional<DataSourceFailure> CloseConnection() override
    {
        --OpenConnections;
        if (CloseRefusal) {
            return DataSourceFailure {*CloseRefusal};
        }
        return std::nullopt;
    }

    Texts StatementsStartingWith(const std::string &prefix) const
    {
        Texts found;
        for (const std::string &statement : Statements) {
            if (statement.starts_with(prefix)) {
                found.push_back(statement);
            }
        }
        return found;
    }
};

RecordingDataSource ExistingSheet(int rowCount)
{
    RecordingDataSource source;
    source.Sheet = RecordSetContents {{"Report", "-", "Old"}, {}, false};
    for (int row = 2; row <= rowCount; ++row) {
        source.Sheet->Records.push_back({"old " + std::to_string(row), "b", "c"});
    }
    return source;
}

const Texts FiveNames {"A", "B", "C", "D", "E"};

TEST(RowTextTest, KeepsThePlainFormatAndCarriesQuotesAndTheSeparator)
{
    EXPECT_EQ(RowText::Build({"a", "b", "c"}), "\"a\",;.?\"b\",;.?\"c\"");
    EXPECT_EQ(RowText::Build({"x"}), "\"x\"");
    EXPECT_EQ(RowText::Split("\"x\""), Texts {"x"});
    EXPECT_EQ(RowText::Split("plain"), Texts {"plain"});

    const std::vector<Texts> rows {
        {""}, {"", ""}, {"\""}, {"a\",;.?\"b", "c"}, {",;.?", "\"\""}, {"x\"", "\"y"}, {"O'Neil", " "}};
    for (const Texts &row : rows) {
        EXPECT_EQ(RowText::Split(RowText::Build(row)), row) << RowText::Build(row);
    }
}

TEST(SpreadsheetWriterTest, NewSheetSendsTheStatementsOfTheReportExample)
{
    RecordingDataSource source;
    CSpreadSheet sheet(source, "/data/report.xls", "Results", true);
    EXPECT_EQ(source.Connections.at(0),
        "DRIVER={Orvane Excel Driver (*.xls)};DSN='';FIRSTROWHASNAMES=1;READONLY=FALSE;"
        "CREATE_DB=\"/data/report.xls\";DBQ=/data/report.xls");
    EXPECT_EQ(source.Queries, Texts {"SELECT * FROM [Results$A1:IV65536]"});
    EXPECT_FALSE(sheet.SheetExists());
    EXPECT_TRUE(source.Statements.empty()) << "no backup of a sheet that does not exist";

    sheet.BeginTransaction();
    ASSERT_TRUE(sheet.AddHeaders({"Report", "-", "Version 2-5-0"}, false));
    ASSERT_TRUE(sheet.AddRow({"Project Number:", "17"}, 3, false));
    EXPECT_TRUE(source.Statements.empty()) << "a transaction holds the rows";
    ASSERT_TRUE(sheet.Commit());

    EXPECT_EQ(source.Statements,
        (Texts {"CREATE TABLE [Results] ([Report] char(255), [-] char(255), [Version 2-5-0] char(255))",
            "INSERT INTO [Results$A1:IV1] ([Report], [-], [Version 2-5-0]) VALUES (' ', ' ', ' ')",
            "INSERT INTO [Results$A1:IV2] ([Report], [-]) VALUES ('Project Number:', '17')"}));
    EXPECT_EQ(source.OpenConnections, 0);
    EXPECT_TRUE(sheet.SheetExists());
}

TEST(SpreadsheetWriterTest, RowsThreeToTenOfANewSheetGiveOneCreateAndNineInserts)
{
    RecordingDataSource source;
    CSpreadSheet sheet(source, "r.xls", "Results", false);
    sheet.BeginTransaction();
    ASSERT_TRUE(sheet.AddHeaders(FiveNames, false));
    for (int row = 3; row <= 10; ++row) {
        ASSERT_TRUE(sheet.AddRow({"v" + std::to_string(row)}, row, false));
    }
    EXPECT_EQ(sheet.TotalRows(), 10);
    Texts filler;
    ASSERT_TRUE(sheet.ReadRow(filler, 2));
    EXPECT_EQ(filler, Texts(5, " "));
    ASSERT_TRUE(sheet.Commit());

    EXPECT_EQ(source.StatementsStartingWith("CREATE TABLE [Results] (").size(), 1u);
    const Texts inserts = source.StatementsStartingWith("INSERT INTO ");
    ASSERT_EQ(inserts.size(), 9u);
    for (int number = 1; number <= 9; ++number) {
        EXPECT_TRUE(
            inserts[number - 1].starts_with("INSERT INTO [Results$A1:IV" + std::to_string(number) + "] ("))
            << inserts[number - 1];
    }
    EXPECT_EQ(inserts[8], "INSERT INTO [Results$A1:IV9] ([A]) VALUES ('v10')");
}

TEST(SpreadsheetWriterTest, ExistingSheetIsBackedUpAndARowIsInsertedBeforeOldRowThree)
{
    RecordingDataSource source = ExistingSheet(12);
    CSpreadSheet sheet(source, "r.xls", "Results", true);
    EXPECT_TRUE(sheet.SheetExists());
    EXPECT_TRUE(sheet.Backup());
    EXPECT_EQ(sheet.TotalRows(), 12);
    EXPECT_EQ(sheet.CurrentRow(), 1);
    ASSERT_EQ(source.Statements.size(), 12u);
    EXPECT_EQ(source.Statements[0],
        "CREATE TABLE [CSpreadSheetBackup] ([Report] char(255), [-] char(255), [Old] char(255))");
    EXPECT_EQ(source.Statements[1],
        "INSERT INTO [CSpreadSheetBackup$A1:IV1] ([Report], [-], [Old]) VALUES ('old 2', 'b', 'c')");

    source.Statements.clear();
    sheet.BeginTransaction();
    EXPECT_FALSE(sheet.AddHeaders({"Report", "New"}, false)) << "the old header stays";
    ASSERT_TRUE(sheet.AddRow({"new"}, 3, false));
    EXPECT_EQ(sheet.TotalRows(), 13);
    Texts values;
    ASSERT_TRUE(sheet.ReadRow(values, 3));
    EXPECT_EQ(values, Texts {"new"});
    ASSERT_TRUE(sheet.ReadRow(values, 4));
    EXPECT_EQ(values, (Texts {"old 3", "b", "c"}));
    ASSERT_TRUE(sheet.ReadRow(values, 13));
    EXPECT_EQ(values, (Texts {"old 12", "b", "c"}));
    EXPECT_EQ(sheet.CurrentRow(), 14);

    ASSERT_TRUE(sheet.Commit());
    ASSERT_EQ(source.Statements.size(), 14u);
    EXPECT_EQ(source.Statements[0], "DROP TABLE [Results$A1:IV65536]");
    EXPECT_EQ(source.Statements[1],
        "CREATE TABLE [Results$A1:IV65536] ([Report] char(255), [-] char(255), [Old] char(255))");
    EXPECT_EQ(source.Statements[3], "INSERT INTO [Results$A1:IV2] ([Report]) VALUES ('new')");
}

TEST(SpreadsheetWriterTest, RefusedBackupClearsTheFlagAndConstructionGoesOn)
{
    RecordingDataSource source = ExistingSheet(3);
    source.Refuses = [](const std::string &statement) {
        return statement.starts_with("CREATE TABLE [CSpreadSheetBackup]");
    };
    CSpreadSheet sheet(source, "r.xls", "Results", true);
    EXPECT_FALSE(sheet.Backup());
    EXPECT_TRUE(sheet.SheetExists());
    EXPECT_EQ(source.Statements.size(), 1u) << "nothing sent after the refusal";
    EXPECT_EQ(source.OpenConnections, 0);
    EXPECT_EQ(sheet.TotalRows(), 3);
    EXPECT_EQ(sheet.LastError(),
        "refused: CREATE TABLE [CSpreadSheetBackup] ([Report] char(255), [-] char(255), [Old] char(255))");
    sheet.BeginTransaction();
    EXPECT_TRUE(sheet.AddRow({"new"}, 3, false)) << "the header read still counts";
}

TEST(SpreadsheetWriterTest, HeaderNamesAreComparedWithCase)
{
    RecordingDataSource source;
    CSpreadSheet sheet(source, "r.xls", "Results", false);
    sheet.BeginTransaction();
    EXPECT_TRUE(sheet.AddHeaders({"Time", "time"}, false));
    EXPECT_FALSE(sheet.AddHeaders({"Time", "x", "Time"}, true));
    EXPECT_EQ(sheet.LastError(), "Duplicate header row field:Time\n");

    RecordingDataSource existing = ExistingSheet(2);
    CSpreadSheet old(existing, "r.xls", "Results", false);
    EXPECT_FALSE(old.AddHeaders({"New", "Old"}, false));
    EXPECT_EQ(old.LastError(), "Duplicate header row field:Old\n");
    old.BeginTransaction();
    EXPECT_TRUE(old.AddHeaders({"old", "New"}, false));
    EXPECT_EQ(old.TotalColumns(), 5);
    EXPECT_FALSE(old.AddHeaders({"X", "X"}, false));
    EXPECT_EQ(old.LastError(), "Problems with adding headers\n");
}

TEST(SpreadsheetWriterTest, ShortRowNamesOnlyItsColumnsAndQuotesAreEscaped)
{
    RecordingDataSource source;
    CSpreadSheet sheet(source, "r.xls", "Results", false);
    sheet.BeginTransaction();
    ASSERT_TRUE(sheet.AddHeaders({"A", "B", "C", "D", "Odd]Name"}, false));
    ASSERT_TRUE(sheet.AddRow({"it's", "x\",;.?\"y"}, 2, false));
    ASSERT_TRUE(sheet.Commit());
    EXPECT_EQ(source.Statements.at(0),
        "CREATE TABLE [Results] ([A] char(255), [B] char(255), [C] char(255), [D] char(255), [Odd]]Name] "
        "char(255))");
    EXPECT_EQ(
        source.Statements.at(1), "INSERT INTO [Results$A1:IV1] ([A], [B]) VALUES ('it''s', 'x\",;.?\"y')");
}

TEST(SpreadsheetWriterTest, AddingARowWithoutATransactionCommits)
{
    RecordingDataSource source;
    CSpreadSheet sheet(source, "r.xls", "Results", false);
    ASSERT_TRUE(sheet.AddHeaders({"A"}, false));
    EXPECT_EQ(source.Statements, Texts {"CREATE TABLE [Results] ([A] char(255))"});
    source.Statements.clear();
    ASSERT_TRUE(sheet.AddRow({"1"}, 2, false));
    EXPECT_EQ(source.Statements,
        (Texts {"DROP TABLE [Results$A1:IV65536]", "CREATE TABLE [Results$A1:IV65536] ([A] char(255))",
            "INSERT INTO [Results$A1:IV1] ([A]) VALUES ('1')"}));
}

TEST(SpreadsheetWriterTest, RefusedOperationsLeaveTheirMessage)
{
    RecordingDataSource source;
    CSpreadSheet sheet(source, "r.xls", "Results", false);
    sheet.BeginTransaction();
    Texts values;
    EXPECT_FALSE(sheet.AddRow({"a"}, 2, false));
    EXPECT_EQ(sheet.LastError(), "No header row. Add header row first\n");
    ASSERT_TRUE(sheet.AddHeaders({"A", "B"}, false));
    EXPECT_FALSE(sheet.AddRow({"a", "b", "c"}, 2, false));
    EXPECT_EQ(
        sheet.LastError(), "Number of columns to be added cannot be greater than the number of fields\n");
    EXPECT_FALSE(sheet.AddRow({"A"}, 1, true));
    EXPECT_EQ(sheet.LastError(),
        "Number of columns in new header row cannot be less than the number of columns in previous header "
        "row");
    EXPECT_FALSE(sheet.ReadRow(values, 2));
    EXPECT_EQ(sheet.LastError(), "Desired row is greater than total number of rows in spreadsheet\n");
    EXPECT_FALSE(sheet.ReadRow(values, 0));
    EXPECT_FALSE(sheet.AddRow({"a"}, 0, false));
    EXPECT_FALSE(sheet.AddRow({"a"}, 65538, false));
    EXPECT_EQ(sheet.LastError(), "Row number out of range\n");
    EXPECT_EQ(sheet.TotalRows(), 1);

    ASSERT_TRUE(sheet.AddRow({"a"}, 2, false));
    ASSERT_TRUE(sheet.AddRow({"b"}, 3, false));
    source.Refuses = [](const std::string &statement) { return statement.find("'a'") != std::string::npos; };
    EXPECT_FALSE(sheet.Commit());
    EXPECT_EQ(sheet.LastError(), "refused: INSERT INTO [Results$A1:IV1] ([A]) VALUES ('a')");
    EXPECT_EQ(source.Statements.back(), "INSERT INTO [Results$A1:IV1] ([A]) VALUES ('a')")
        << "later rows not sent";
    EXPECT_EQ(source.OpenConnections, 0);

    source.Refuses = [](const std::string &) { return false; };
    source.CloseRefusal = "cannot save r.xls: disk full";
    EXPECT_FALSE(sheet.Commit());
    EXPECT_EQ(sheet.LastError(), "cannot save r.xls: disk full");
}

TEST(SpreadsheetWriterTest, ConnectionRefusalReachesTheCaller)
{
    RecordingDataSource source;
    source.Drivers = std::nullopt;
    source.ConnectionRefusal = "no driver";
    try {
        CSpreadSheet sheet(source, "r.xls", "Results", false);
        FAIL() << "constructed without a connection";
    } catch (const SpreadsheetConnectionError &error) {
        EXPECT_STREQ(error.what(), "no driver");
    }
    EXPECT_EQ(source.Connections.at(0),
        "DRIVER={};DSN='';FIRSTROWHASNAMES=1;READONLY=FALSE;CREATE_DB=\"r.xls\";DBQ=r.xls");

    RecordingDataSource later;
    later.Drivers = Texts {"SQL Server"};
    CSpreadSheet sheet(later, "r.XLS", "Results", false);
    EXPECT_TRUE(sheet.ConnectionText().starts_with("DRIVER={};"));
    EXPECT_TRUE(sheet.SpreadsheetMode());
    later.ConnectionRefusal = "gone";
    sheet.BeginTransaction();
    ASSERT_TRUE(sheet.AddHeaders({"A"}, false));
    EXPECT_THROW(sheet.Commit(), SpreadsheetConnectionError);
    RecordingDataSource text;
    EXPECT_FALSE(CSpreadSheet(text, "r.txt", "Results", false).SpreadsheetMode());
}

TEST(SpreadsheetWriterTest, SheetReadOnlyInPartIsNeitherBackedUpNorRewritten)
{
    RecordingDataSource source = ExistingSheet(4);
    source.Sheet->ReadFailed = true;
    CSpreadSheet sheet(source, "r.xls", "Results", true);
    EXPECT_EQ(sheet.LastError(), "Error reading row\n");
    EXPECT_EQ(sheet.TotalRows(), 4);
    EXPECT_TRUE(source.Statements.empty());
    sheet.BeginTransaction();
    ASSERT_TRUE(sheet.AddHeaders({"Extra"}, false));
    ASSERT_TRUE(sheet.AddRow({"new"}, 3, false));
    EXPECT_FALSE(sheet.Commit());
    EXPECT_EQ(sheet.LastError(), "Error reading row\n");
    EXPECT_TRUE(source.Statements.empty());
}

} // namespace
