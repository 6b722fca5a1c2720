#include "workbook_data_source.h"

#include "basicexcel.h"
#include "safe_file.h"
#include "sql_statement.h"
#include "workbook_writer.h"

#include <algorithm>
#include <cerrno>
#include <charconv>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <filesystem>

namespace {

// Cells as the file holds them, so that numbers stay numbers when a sheet is rewritten.
using Cell = YExcel::WrittenCell;
using Table = std::vector<std::vector<Cell>>;

constexpr std::size_t SheetRows = 65536;
constexpr std::size_t SheetColumns = 256;
constexpr std::size_t MaxCellText = 32767;

struct SheetState
{
    std::string Name;
    // The worksheet of the file this sheet is; None for one created on this connection.
    std::optional<std::size_t> BookIndex = std::nullopt;
    bool Loaded = false;
    // A cell could not be read without loss (or the worksheet is damaged): Rows holds the
    // rows before it, and the sheet must not be rewritten from them.
    bool Unreadable = false;
    bool Touched = false;
    Table Rows {};
    // ColumnNames(Rows), kept: an INSERT changes neither, and a sheet of many rows must not
    // be scanned once per row inserted.
    std::vector<std::string> Columns {};
};

struct ConnectionTarget
{
    std::string Driver;
    std::string Path;
};

// The writer's text is "DRIVER={d};DSN='';FIRSTROWHASNAMES=1;READONLY=FALSE;CREATE_DB="p";DBQ=p"
// with the same path twice. Matching that template, rather than splitting at ';', lets a
// path hold any character, quotes and semicolons included.
std::optional<ConnectionTarget> ParseConnectionText(std::string_view text)
{
    constexpr std::string_view start = "DRIVER={";
    constexpr std::string_view options = "};DSN='';FIRSTROWHASNAMES=1;READONLY=FALSE;CREATE_DB=\"";
    constexpr std::string_view between = "\";DBQ=";
    if (!text.starts_with(start)) {
        return std::nullopt;
    }
    const std::size_t driverEnd = text.find(options);
    if (driverEnd == std::string_view::npos) {
        return std::nullopt;
    }
    const std::string_view driver = text.substr(start.size(), driverEnd - start.size());
    const std::string_view paths = text.substr(driverEnd + options.size());
    if (paths.size() < between.size() || (paths.size() - between.size()) % 2 != 0) {
        return std::nullopt;
    }
    const std::size_t pathLength = (paths.size() - between.size()) / 2;
    const std::string_view createPath = paths.substr(0, pathLength);
    const std::string_view path = paths.substr(pathLength + between.size());
    if (paths.substr(pathLength, between.size()) != between || createPath != path || path.empty()) {
        return std::nullopt;
    }
    return ConnectionTarget {std::string(driver), std::string(path)};
}

bool IsBlank(const std::string &text)
{
    return text.find_first_not_of(' ') == std::string::npos;
}

// Nothing, or a text of blanks only: such a cell is written empty.
bool IsBlank(const Cell &cell)
{
    const auto *text = std::get_if<std::string>(&cell);
    return std::holds_alternative<std::monostate>(cell) || (text && IsBlank(*text));
}

bool HasContent(const std::vector<Cell> &row)
{
    return !std::ranges::all_of(row, [](const Cell &cell) { return IsBlank(cell); });
}

// The number of rows up to the last one holding a non-blank cell.
std::size_t UsedRows(const Table &rows)
{
    std::size_t used = rows.size();
    while (used > 0 && !HasContent(rows[used - 1])) {
        --used;
    }
    return used;
}

std::size_t UsedColumns(const Table &rows)
{
    std::size_t used = 0;
    for (const auto &row : rows) {
        for (std::size_t column = used; column < row.size(); ++column) {
            if (!IsBlank(row[column])) {
                used = column + 1;
            }
        }
    }
    return used;
}

// The shortest text that reads back as the same number.
std::string NumberText(double value)
{
    char buffer[32];
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, value);
    return std::string(buffer, result.ptr);
}

std::string FieldText(const Cell &cell)
{
    if (const auto *number = std::get_if<double>(&cell)) {
        return NumberText(*number);
    }
    const auto *text = std::get_if<std::string>(&cell);
    return text ? *text : std::string();
}

// As the ODBC spreadsheet driver names them: the header text, or F and the column's number
// for a blank header cell.
std::vector<std::string> ColumnNames(const Table &rows)
{
    std::vector<std::string> names;
    const std::size_t used = UsedColumns(rows);
    for (std::size_t column = 0; column < used; ++column) {
        const std::string header = rows.empty() || column >= rows[0].size() ? "" : FieldText(rows[0][column]);
        names.push_back(IsBlank(header) ? "F" + std::to_string(column + 1) : header);
    }
    return names;
}

// None for a 16-bit text with a character Windows-1252 lacks.
std::optional<Cell> CellValue(const YExcel::BasicExcelCell &cell)
{
    std::optional<Cell> value(std::in_place);
    if (const YExcel::LargeString *text = cell.Text()) {
        if (text->Empty()) {
            return value;
        }
        auto converted = cell.TextValue();
        if (!converted) {
            return std::nullopt;
        }
        value->emplace<std::string>(std::move(*converted));
    } else if (cell.Kind() != YExcel::BasicExcelCell::Empty) {
        value->emplace<double>(cell.NumberValue());
    }
    return value;
}

void LoadWorksheet(YExcel::BasicExcelWorksheet &worksheet, SheetState &sheet)
{
    for (int row = 0; row < worksheet.RowCount(); ++row) {
        std::vector<Cell> cells;
        for (int column = 0; column < worksheet.ColumnCount(); ++column) {
            const YExcel::BasicExcelCell *cell = worksheet.CellAt(row, column);
            if (!cell) {
                continue;
            }
            auto value = CellValue(*cell);
            if (!value) {
                sheet.Unreadable = true;
                return;
            }
            // Only what a row holds is kept: one cell far out must not cost a full table.
            if (!IsBlank(*value)) {
                cells.resize(column + 1);
                cells[column] = std::move(*value);
            }
        }
        sheet.Rows.push_back(std::move(cells));
    }
    sheet.Unreadable = worksheet.Damaged();
}

YExcel::WrittenSheet WrittenFrom(const SheetState &sheet)
{
    YExcel::WrittenSheet written {sheet.Name, {}};
    for (const auto &row : sheet.Rows) {
        auto &cells = written.Rows.emplace_back();
        for (const Cell &cell : row) {
            cells.push_back(IsBlank(cell) ? Cell() : cell);
        }
    }
    return written;
}

// The whole file, or the reason it cannot be read.
std::variant<std::vector<std::uint8_t>, std::string> WholeFile(const std::string &path)
{
    std::error_code error;
    if (!std::filesystem::is_regular_file(path, error)) {
        return error ? error.message() : "not a file";
    }
    std::FILE *file = std::fopen(path.c_str(), "rb");
    if (!file) {
        return std::string(std::strerror(errno));
    }
    std::vector<std::uint8_t> bytes;
    std::uint8_t buffer[65536];
    std::size_t count = 0;
    while ((count = std::fread(buffer, 1, sizeof buffer, file)) > 0) {
        bytes.insert(bytes.end(), buffer, buffer + count);
    }
    const bool failed = std::ferror(file) != 0;
    const int reason = errno;
    std::fclose(file);
    if (failed) {
        return std::string(std::strerror(reason));
    }
    return bytes;
}

std::optional<DataSourceFailure> Failure(const std::string &message)
{
    return DataSourceFailure {message};
}

std::string Quoted(const std::string &name)
{
    return "\"" + name + "\"";
}

std::optional<DataSourceFailure> UnkeptCells(const SheetState &sheet)
{
    return Failure("Sheet " + Quoted(sheet.Name) + " holds cells that cannot be kept when it is rewritten");
}

} // namespace

struct WorkbookDataSource::Connection
{
    std::string Path;
    // The file's bytes; None for a workbook that does not exist yet. Book reads from them.
    std::optional<std::vector<std::uint8_t>> Existing;
    YExcel::BasicExcel Book;
    std::vector<SheetState> Sheets;
    // A statement was refused: what came before it is not saved either.
    bool Refused = false;

    std::optional<DataSourceFailure> ReadBook(std::vector<std::uint8_t> bytes);
    SheetState *Find(const std::string &name);
    SheetState &Loaded(SheetState &sheet);
    std::optional<DataSourceFailure> Drop(const Sql::DropTable &statement);
    std::optional<DataSourceFailure> Create(const Sql::CreateTable &statement);
    std::optional<DataSourceFailure> Insert(const Sql::Insert &statement);
};

// A worksheet no BOUNDSHEET names cannot be reached by a statement and is left out; two of
// the same name would make a statement's sheet and the one rewritten differ.
std::optional<DataSourceFailure> WorkbookDataSource::Connection::ReadBook(std::vector<std::uint8_t> bytes)
{
    Existing = std::move(bytes);
    if (!Book.OpenBookFromMemory(*Existing)) {
        return Failure(Path + " is not an Excel 97-2003 workbook");
    }
    for (std::size_t index = 0; index < Book.SheetCount(); ++index) {
        const std::string &name = Book.SheetName(index);
        if (name.empty()) {
            continue;
        }
        if (Find(name)) {
            return Failure(Path + " has two sheets named " + Quoted(name));
        }
        Sheets.push_back(SheetState {.Name = name, .BookIndex = index});
    }
    return std::nullopt;
}

// With the workbook writer's comparison: a sheet it takes for this one is this one.
SheetState *WorkbookDataSource::Connection::Find(const std::string &name)
{
    const auto found = std::ranges::find_if(
        Sheets, [&](const SheetState &sheet) { return YExcel::SameSheetName(sheet.Name, name); });
    return found == Sheets.end() ? nullptr : &*found;
}

SheetState &WorkbookDataSource::Connection::Loaded(SheetState &sheet)
{
    if (!sheet.Loaded && sheet.BookIndex) {
        if (YExcel::BasicExcelWorksheet *worksheet = Book.SheetAt(*sheet.BookIndex)) {
            LoadWorksheet(*worksheet, sheet);
            sheet.Columns = ColumnNames(sheet.Rows);
        }
    }
    sheet.Loaded = true;
    return sheet;
}

// As the spreadsheet driver does, a dropped sheet stays in the workbook, emptied.
std::optional<DataSourceFailure> WorkbookDataSource::Connection::Drop(const Sql::DropTable &statement)
{
    SheetState *sheet = Find(statement.Table.Sheet);
    if (!sheet) {
        return Failure("Sheet " + Quoted(statement.Table.Sheet) + " does not exist");
    }
    sheet->Rows.clear();
    sheet->Columns.clear();
    sheet->Loaded = true;
    sheet->Unreadable = false;
    sheet->Touched = true;
    return std::nullopt;
}

// A sheet of that name may exist only without a non-blank cell; the bare name creates a
// missing one, the range form needs it to exist.
std::optional<DataSourceFailure> WorkbookDataSource::Connection::Create(const Sql::CreateTable &statement)
{
    const std::string &name = statement.Table.Sheet;
    if (statement.Columns.size() > SheetColumns) {
        return Failure("Sheet " + Quoted(name) + " cannot have more than 256 columns");
    }
    for (const std::string &column : statement.Columns) {
        if (column.empty() || column.size() > MaxCellText || std::ranges::count(statement.Columns, column) > 1) {
            return Failure("Column name " + Quoted(column.substr(0, 40)) + " is empty, repeated or too long");
        }
    }
    SheetState *sheet = Find(name);
    if (sheet) {
        Loaded(*sheet);
        if (sheet->Unreadable) {
            return UnkeptCells(*sheet);
        }
        if (UsedRows(sheet->Rows) > 0) {
            return Failure("Sheet " + Quoted(sheet->Name) + " exists already");
        }
    } else if (statement.Table.LastRow) {
        return Failure("Sheet " + Quoted(name) + " does not exist");
    } else if (!YExcel::ValidSheetName(name)) {
        return Failure(Quoted(name) + " is not a valid sheet name");
    } else {
        sheet = &Sheets.emplace_back(SheetState {.Name = name, .Loaded = true});
    }
    sheet->Rows = {std::vector<Cell>(statement.Columns.begin(), statement.Columns.end())};
    // As declared, even a name of blanks, which is written as an empty cell.
    sheet->Columns = statement.Columns;
    sheet->Touched = true;
    return std::nullopt;
}

std::optional<DataSourceFailure> WorkbookDataSource::Connection::Insert(const Sql::Insert &statement)
{
    SheetState *sheet = Find(statement.Table.Sheet);
    if (!sheet) {
        return Failure("Sheet " + Quoted(statement.Table.Sheet) + " does not exist");
    }
    Loaded(*sheet);
    if (sheet->Unreadable) {
        return UnkeptCells(*sheet);
    }
    const std::vector<std::string> &names = sheet->Columns;
    std::vector<bool> named(names.size());
    std::vector<Cell> row;
    for (std::size_t index = 0; index < statement.Columns.size(); ++index) {
        const std::string &name = statement.Columns[index];
        const auto column = static_cast<std::size_t>(std::ranges::find(names, name) - names.begin());
        if (column == names.size() || named[column]) {
            return Failure("Sheet " + Quoted(sheet->Name) + " has no column " + Quoted(name)
                + " or it is named twice");
        }
        if (statement.Values[index].size() > MaxCellText) {
            return Failure("A text for sheet " + Quoted(sheet->Name) + " is longer than 32767 characters");
        }
        named[column] = true;
        row.resize(std::max(row.size(), column + 1));
        row[column] = statement.Values[index];
    }
    // The header row stays the header even when all of its names are blank.
    const std::size_t target = std::max<std::size_t>(UsedRows(sheet->Rows), 1);
    if (target >= SheetRows) {
        return Failure("Sheet " + Quoted(sheet->Name) + " is full");
    }
    sheet->Rows.resize(target);
    sheet->Rows.push_back(std::move(row));
    sheet->Touched = true;
    return std::nullopt;
}

WorkbookDataSource::WorkbookDataSource() = default;
WorkbookDataSource::~WorkbookDataSource() = default;

std::optional<std::vector<std::string>> WorkbookDataSource::InstalledDrivers()
{
    return std::vector<std::string> {DriverName};
}

// A connection left open is given up with its changes: only a close saves.
std::optional<DataSourceFailure> WorkbookDataSource::OpenConnection(const std::string &connectionText)
{
    connection.reset();
    const auto target = ParseConnectionText(connectionText);
    if (!target) {
        return Failure("The connection text is not understood: " + connectionText);
    }
    if (target->Driver != DriverName) {
        return Failure("No driver named " + Quoted(target->Driver) + " is installed");
    }
    auto opened = std::make_unique<Connection>();
    opened->Path = target->Path;
    std::error_code error;
    if (std::filesystem::exists(target->Path, error)) {
        auto bytes = WholeFile(target->Path);
        if (const auto *reason = std::get_if<std::string>(&bytes)) {
            return Failure("Cannot read " + target->Path + ": " + *reason);
        }
        if (auto failure = opened->ReadBook(std::move(std::get<std::vector<std::uint8_t>>(bytes)))) {
            return failure;
        }
    } else if (error) {
        return Failure("Cannot read " + target->Path + ": " + error.message());
    }
    connection = std::move(opened);
    return std::nullopt;
}

std::variant<RecordSetContents, DataSourceFailure> WorkbookDataSource::OpenRecordSet(const std::string &query)
{
    if (!connection) {
        return DataSourceFailure {"No connection is open"};
    }
    const auto statement = Sql::Parse(query);
    const auto *select = statement ? std::get_if<Sql::Select>(&*statement) : nullptr;
    if (!select) {
        return DataSourceFailure {"The query is not understood: " + query};
    }
    SheetState *sheet = connection->Find(select->Table.Sheet);
    if (!sheet) {
        return DataSourceFailure {"Sheet " + Quoted(select->Table.Sheet) + " does not exist"};
    }
    const Table &rows = connection->Loaded(*sheet).Rows;
    RecordSetContents contents;
    contents.ColumnNames = sheet->Columns;
    const std::size_t used = UsedRows(rows);
    for (std::size_t row = 1; row < used; ++row) {
        std::vector<std::string> &record = contents.Records.emplace_back();
        for (std::size_t column = 0; column < rows[row].size() && column < contents.ColumnNames.size(); ++column) {
            record.push_back(FieldText(rows[row][column]));
        }
    }
    contents.ReadFailed = sheet->Unreadable;
    return contents;
}

std::optional<DataSourceFailure> WorkbookDataSource::Execute(const std::string &statement)
{
    if (!connection) {
        return Failure("No connection is open");
    }
    const auto parsed = Sql::Parse(statement);
    std::optional<DataSourceFailure> failure;
    if (!parsed || std::holds_alternative<Sql::Select>(*parsed)) {
        failure = Failure("The statement is not understood: " + statement);
    } else if (const auto *drop = std::get_if<Sql::DropTable>(&*parsed)) {
        failure = connection->Drop(*drop);
    } else if (const auto *create = std::get_if<Sql::CreateTable>(&*parsed)) {
        failure = connection->Create(*create);
    } else {
        failure = connection->Insert(std::get<Sql::Insert>(*parsed));
    }
    connection->Refused = connection->Refused || failure.has_value();
    return failure;
}

std::optional<DataSourceFailure> WorkbookDataSource::CloseConnection()
{
    const std::unique_ptr<Connection> closing = std::move(connection);
    if (!closing || closing->Refused) {
        return std::nullopt;
    }
    std::vector<YExcel::WrittenSheet> written;
    for (const SheetState &sheet : closing->Sheets) {
        if (sheet.Touched) {
            written.push_back(WrittenFrom(sheet));
        }
    }
    if (written.empty()) {
        return std::nullopt;
    }
    auto bytes = closing->Existing ? YExcel::RewriteWorkbook(*closing->Existing, written)
                                   : YExcel::WriteNewWorkbook(written);
    if (const auto *refusal = std::get_if<YExcel::WorkbookRefusal>(&bytes)) {
        return Failure("Cannot write " + closing->Path + ": " + refusal->Reason);
    }
    if (auto failure = SafeFile::WriteWholeFile(closing->Path, std::get<std::string>(bytes))) {
        return Failure(*failure);
    }
    return std::nullopt;
}
