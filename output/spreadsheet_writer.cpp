#include "spreadsheet_writer.h"

#include "row_text.h"

#include <algorithm>
#include <unordered_set>

namespace {

constexpr const char *BackupSheetName = "CSpreadSheetBackup";
constexpr const char *WholeSheet = "$A1:IV65536";
// Row r is sent as INSERT number r - 1, and a sheet range ends at row 65536.
constexpr int LastRow = 65537;

bool HasXlsExtension(const std::string &fileName)
{
    if (fileName.size() < 4) {
        return false;
    }
    std::string extension = fileName.substr(fileName.size() - 4);
    std::transform(extension.begin(), extension.end(), extension.begin(), [](unsigned char character) {
        return character >= 'A' && character <= 'Z' ? character + 32 : character;
    });
    return extension == ".xls";
}

// A name between brackets; a closing bracket inside it is doubled so that the name cannot
// end the identifier early.
std::string Bracketed(const std::string &name)
{
    std::string text = "[";
    for (const char character : name) {
        text += character;
        if (character == ']') {
            text += ']';
        }
    }
    return text + "]";
}

std::string Quoted(const std::string &value)
{
    std::string text = "'";
    for (const char character : value) {
        text += character;
        if (character == '\'') {
            text += '\'';
        }
    }
    return text + "'";
}

std::string JoinedList(const std::vector<std::string> &items)
{
    std::string text;
    for (const std::string &item : items) {
        if (!text.empty()) {
            text += ", ";
        }
        text += item;
    }
    return text;
}

const std::string *FirstRepeated(const std::vector<std::string> &values)
{
    std::unordered_set<std::string> seen;
    for (const std::string &value : values) {
        if (!seen.insert(value).second) {
            return &value;
        }
    }
    return nullptr;
}

// The first installed driver whose name contains "Excel"; empty when there is none, and
// the connection then fails to open.
std::string SpreadsheetDriver(SpreadsheetDataSource &dataSource)
{
    const auto drivers = dataSource.InstalledDrivers();
    if (!drivers) {
        return {};
    }
    const auto found = std::ranges::find_if(
        *drivers, [](const std::string &name) { return name.find("Excel") != std::string::npos; });
    return found == drivers->end() ? std::string() : *found;
}

} // namespace

CSpreadSheet::CSpreadSheet(
    SpreadsheetDataSource &dataSource, const std::string &fileName, const std::string &sheetName, bool backup)
    : dataSource(dataSource)
    , backup(backup)
    , spreadsheetMode(HasXlsExtension(fileName))
    , connectionText("DRIVER={" + SpreadsheetDriver(dataSource)
          + "};DSN='';FIRSTROWHASNAMES=1;READONLY=FALSE;CREATE_DB=\"" + fileName + "\";DBQ=" + fileName)
    , sheetName(sheetName)
{
    ReadSheet();
    if (!readFailed && this->backup && sheetExists) {
        MakeBackup();
    }
}

void CSpreadSheet::OpenConnection()
{
    if (auto failure = dataSource.OpenConnection(connectionText)) {
        throw SpreadsheetConnectionError(failure->Message);
    }
}

// Nothing has been changed when the reading closes the connection, so the close has
// nothing to save and no failure to report.
void CSpreadSheet::ReadSheet()
{
    OpenConnection();
    const auto result = dataSource.OpenRecordSet("SELECT * FROM " + Bracketed(sheetName + WholeSheet));
    if (const auto *contents = std::get_if<RecordSetContents>(&result)) {
        StoreRecordSet(*contents);
    }
    dataSource.CloseConnection();
    currentRow = 1;
}

void CSpreadSheet::StoreRecordSet(const RecordSetContents &contents)
{
    if (contents.ColumnNames.empty()) {
        return;
    }
    rows.clear();
    sheetExists = true;
    totalRows = 1;
    // Without the column count of the header read, every row would be refused as coming
    // before any header whenever no backup commit (which sets it) succeeds.
    totalColumns = static_cast<int>(contents.ColumnNames.size());
    fieldNames = contents.ColumnNames;
    rows.push_back(RowText::Build(fieldNames));
    for (const std::vector<std::string> &record : contents.Records) {
        ++totalRows;
        rows.push_back(RowText::Build(record));
    }
    if (contents.ReadFailed) {
        lastError = "Error reading row\n";
        readFailed = true;
    }
}

void CSpreadSheet::MakeBackup()
{
    const std::string keptName = sheetName;
    sheetName = BackupSheetName;
    sheetExists = false;
    if (!Commit()) {
        backup = false;
    }
    sheetExists = true;
    sheetName = keptName;
    currentRow = 1;
}

bool CSpreadSheet::AddHeaders(const std::vector<std::string> &names, bool replace)
{
    if (!sheetExists) {
        totalColumns = static_cast<int>(names.size());
        return AddRow(names, 1, true);
    }
    if (replace) {
        return AddRow(names, 1, true);
    }
    if (!ReadRow(workList, 1)) {
        return false;
    }
    for (const std::string &name : names) {
        if (std::find(workList.begin(), workList.end(), name) != workList.end()) {
            lastError = "Duplicate header row field:" + name + "\n";
            return false;
        }
    }
    // A copy: a commit inside AddRow reads rows into the work list.
    std::vector<std::string> header = workList;
    header.insert(header.end(), names.begin(), names.end());
    if (!AddRow(header, 1, true)) {
        lastError = "Problems with adding headers\n";
        return false;
    }
    totalColumns = std::max(totalColumns, static_cast<int>(header.size()));
    return true;
}

bool CSpreadSheet::AddRow(const std::vector<std::string> &values, int row, bool replace)
{
    if (row < 1 || row > LastRow) {
        lastError = "Row number out of range\n";
        return false;
    }
    if (row == 1) {
        if (const std::string *repeated = FirstRepeated(values)) {
            lastError = "Duplicate header row field:" + *repeated + "\n";
            return false;
        }
        if (values.size() < static_cast<std::size_t>(totalColumns)) {
            lastError = "Number of columns in new header row cannot be less than the number of columns in "
                        "previous header row";
            return false;
        }
        totalColumns = static_cast<int>(values.size());
        fieldNames = values;
    } else if (totalColumns == 0) {
        lastError = "No header row. Add header row first\n";
        return false;
    }
    if (values.size() > fieldNames.size()) {
        lastError = "Number of columns to be added cannot be greater than the number of fields\n";
        return false;
    }
    StoreRow(RowText::Build(values), row, replace);
    if (!transaction) {
        Commit();
    }
    return true;
}

void CSpreadSheet::StoreRow(const std::string &text, int row, bool replace)
{
    if (row <= totalRows) {
        if (replace) {
            rows[row - 1] = text;
        } else {
            rows.insert(rows.begin() + (row - 1), text);
            ++totalRows;
        }
        return;
    }
    currentRow = totalRows;
    const std::string filler = RowText::Build(std::vector<std::string>(totalColumns, " "));
    for (int number = totalRows + 1; number < row; ++number) {
        rows.push_back(filler);
        ++currentRow;
    }
    ++currentRow;
    rows.push_back(text);
    totalRows = row;
}

bool CSpreadSheet::ReadRow(std::vector<std::string> &values, int row)
{
    if (row < 1) {
        lastError = "Row number out of range\n";
        return false;
    }
    if (static_cast<std::size_t>(row) > rows.size()) {
        lastError = "Desired row is greater than total number of rows in spreadsheet\n";
        return false;
    }
    values = RowText::Split(rows[row - 1]);
    currentRow = row + 1;
    return true;
}

bool CSpreadSheet::Commit()
{
    // Dropping a sheet that was not read whole would lose the records that could not be read.
    if (readFailed) {
        lastError = "Error reading row\n";
        return false;
    }
    OpenConnection();
    if (sheetExists && !Send("DROP TABLE " + Bracketed(sheetName + WholeSheet))) {
        return false;
    }
    if (!Send(CreateStatement())) {
        return false;
    }
    if (!sheetExists) {
        totalColumns = static_cast<int>(fieldNames.size());
        sheetExists = true;
    }
    for (int index = 1; index < totalRows; ++index) {
        ReadRow(workList, index + 1);
        if (!Send(InsertStatement(workList, index))) {
            return false;
        }
    }
    if (auto failure = dataSource.CloseConnection()) {
        lastError = failure->Message;
        return false;
    }
    transaction = false;
    return true;
}

// The connection is closed after a refused statement, without regard to what the close
// reports: the refusal is the error to keep.
bool CSpreadSheet::Send(const std::string &statement)
{
    if (auto failure = dataSource.Execute(statement)) {
        lastError = failure->Message;
        dataSource.CloseConnection();
        return false;
    }
    return true;
}

std::string CSpreadSheet::CreateStatement() const
{
    std::vector<std::string> columns;
    for (const std::string &name : fieldNames) {
        columns.push_back(Bracketed(name) + " char(255)");
    }
    const std::string table = Bracketed(sheetExists ? sheetName + WholeSheet : sheetName);
    return "CREATE TABLE " + table + " (" + JoinedList(columns) + ")";
}

// A row shorter than the header names only its first columns; the data source leaves the
// others empty.
std::string CSpreadSheet::InsertStatement(const std::vector<std::string> &values, int lastRow) const
{
    const std::size_t count = std::min(values.size(), fieldNames.size());
    std::vector<std::string> columns;
    std::vector<std::string> quotedValues;
    for (std::size_t index = 0; index < count; ++index) {
        columns.push_back(Bracketed(fieldNames[index]));
        quotedValues.push_back(Quoted(values[index]));
    }
    return "INSERT INTO " + Bracketed(sheetName + "$A1:IV" + std::to_string(lastRow)) + " ("
        + JoinedList(columns) + ") VALUES (" + JoinedList(quotedValues) + ")";
}
