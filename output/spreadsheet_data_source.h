#pragma once

// What the spreadsheet writer asks of the place a workbook is kept: the operations of a
// database driver manager with a spreadsheet driver behind it. The writer speaks SQL to it
// and never touches a file; the workbook data source implements it over .xls files, tests
// over a recording fake. Every text is Windows-1252.

#include <optional>
#include <string>
#include <variant>
#include <vector>

// A driver's or the data source's reason for refusing an operation, as the operator may
// read it.
struct DataSourceFailure
{
    std::string Message;
};

// Everything a forward-only, read-only record set gives: its columns' names, then each
// record's fields as texts in column order. The empty fields at the end of a record may be
// left out: a sheet with one cell far out would otherwise cost a text per empty cell.
struct RecordSetContents
{
    std::vector<std::string> ColumnNames;
    std::vector<std::vector<std::string>> Records;
    // A record after those in Records could not be read; Records holds the ones before it.
    bool ReadFailed = false;
};

class SpreadsheetDataSource
{
public:
    virtual ~SpreadsheetDataSource() = default;

    // The names of the installed drivers in order; None when the list cannot be had.
    virtual std::optional<std::vector<std::string>> InstalledDrivers() = 0;
    // Opens the connection the text describes (no dialogs of the driver's own). None on
    // success.
    virtual std::optional<DataSourceFailure> OpenConnection(const std::string &connectionText) = 0;
    // Runs a query on the open connection.
    virtual std::variant<RecordSetContents, DataSourceFailure> OpenRecordSet(const std::string &query) = 0;
    // Executes a statement on the open connection. None on success.
    virtual std::optional<DataSourceFailure> Execute(const std::string &statement) = 0;
    // Closes the connection; what the statements changed is kept from then on. A no-op
    // without an open connection.
    virtual std::optional<DataSourceFailure> CloseConnection() = 0;
};
