#pragma once

// Writes one worksheet of a workbook by talking SQL to a spreadsheet data source. The sheet
// is read when the writer is made (and copied to a backup sheet when asked), rows are then
// added in memory, and a commit rewrites the whole sheet: drop it if it existed, create it
// with the header row as text columns, insert every other row. The Excel report is the
// only user. Texts are Windows-1252.

#include "spreadsheet_data_source.h"

#include <stdexcept>
#include <string>
#include <vector>

// The data source would not open the connection. It ends the construction or commit that
// met it; the caller tells the operator.
class SpreadsheetConnectionError : public std::runtime_error
{
public:
    explicit SpreadsheetConnectionError(const std::string &message)
        : std::runtime_error(message)
    { }
};

class CSpreadSheet
{
public:
    // Reads the sheet `sheetName` of `fileName` if it exists and, with `backup`, copies it to
    // the sheet "CSpreadSheetBackup". Throws SpreadsheetConnectionError.
    CSpreadSheet(SpreadsheetDataSource &dataSource, const std::string &fileName, const std::string &sheetName,
        bool backup);
    CSpreadSheet(const CSpreadSheet &) = delete;
    CSpreadSheet &operator=(const CSpreadSheet &) = delete;

    // Until the next commit, added rows are only held in memory.
    void BeginTransaction() { transaction = true; }
    // With `replace` clear and a sheet that exists, the names are appended to its header,
    // none of them may repeat an old one.
    bool AddHeaders(const std::vector<std::string> &names, bool replace);
    // `row` counts from 1, the header row. A row beyond the last is preceded by rows of
    // single blanks; an earlier one is replaced or inserted before the one of that number.
    // Commits unless a transaction is open; throws SpreadsheetConnectionError as Commit.
    bool AddRow(const std::vector<std::string> &values, int row, bool replace);
    bool ReadRow(std::vector<std::string> &values, int row);
    // Throws SpreadsheetConnectionError.
    bool Commit();

    // The message of the last failed operation.
    const std::string &LastError() const { return lastError; }
    bool SheetExists() const { return sheetExists; }
    bool Backup() const { return backup; }
    bool SpreadsheetMode() const { return spreadsheetMode; }
    int CurrentRow() const { return currentRow; }
    int TotalRows() const { return totalRows; }
    int TotalColumns() const { return totalColumns; }
    const std::string &ConnectionText() const { return connectionText; }

private:
    void OpenConnection();
    void ReadSheet();
    void StoreRecordSet(const RecordSetContents &contents);
    void MakeBackup();
    bool Send(const std::string &statement);
    void StoreRow(const std::string &text, int row, bool replace);
    std::string CreateStatement() const;
    std::string InsertStatement(const std::vector<std::string> &values, int lastRow) const;

    SpreadsheetDataSource &dataSource;
    bool sheetExists = false;
    bool backup = false;
    bool spreadsheetMode = false;
    bool transaction = false;
    // A record of the existing sheet could not be read: rewriting the sheet would lose it.
    bool readFailed = false;
    int currentRow = 1;
    int totalRows = 0;
    int totalColumns = 0;
    std::string connectionText;
    std::string sheetName;
    std::string lastError;
    std::vector<std::string> workList;
    std::vector<std::string> fieldNames;
    std::vector<std::string> rows;
};
