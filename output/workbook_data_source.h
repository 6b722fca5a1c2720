#pragma once

// The spreadsheet data source over Excel 97-2003 workbook files: what the Excel ODBC driver
// does for the spreadsheet writer, over the statements the writer sends (sql_statement.h).
//
// Layout: a sheet is a table whose first row holds the column names. An INSERT appends one
// row under the last row that holds a non-blank cell (never into the header row), and a
// cell whose text is only blanks is written empty. So a row of single blanks takes no
// sheet row: the writer's row r, after its filler row 2, lands on sheet row r - 1.
//
// A changed sheet is rewritten whole from its values, texts of up to 32767 characters (the
// declared char(255) is not enforced) and numbers; its formatting and formulas are not
// kept, every other sheet is. A sheet holding a text Windows-1252 lacks, or cut short by
// damage, is read up to there and refuses every change but DROP TABLE.
//
// Changes are held in memory and written when the connection closes, through a temporary
// file that replaces the old one only when complete. A connection on which a statement was
// refused writes nothing. Texts are Windows-1252.

#include "spreadsheet_data_source.h"

#include <memory>
#include <string>

class WorkbookDataSource : public SpreadsheetDataSource
{
public:
    static constexpr const char *DriverName = "Orvane Excel Driver (*.xls)";

    WorkbookDataSource();
    ~WorkbookDataSource() override;

    std::optional<std::vector<std::string>> InstalledDrivers() override;
    // Accepts only the connection text of the spreadsheet writer for this driver. A file
    // that does not exist yet is created at close; one that exists must be a workbook.
    std::optional<DataSourceFailure> OpenConnection(const std::string &connectionText) override;
    std::variant<RecordSetContents, DataSourceFailure> OpenRecordSet(const std::string &query) override;
    std::optional<DataSourceFailure> Execute(const std::string &statement) override;
    std::optional<DataSourceFailure> CloseConnection() override;

private:
    struct Connection;
    std::unique_ptr<Connection> connection;
};
