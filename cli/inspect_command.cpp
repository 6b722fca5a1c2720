#include "inspect_command.h"

#include "data_file.h"
#include "input_file.h"
#include "text_encoding.h"

#include <charconv>
#include <cstdio>
#include <optional>

namespace {

struct InspectOptions
{
    std::string workbook;
    std::size_t sheet = 0;
};

std::optional<std::size_t> ParseIndex(const std::string &text)
{
    std::size_t value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (error != std::errc() || end != text.data() + text.size()) {
        return std::nullopt;
    }
    return value;
}

std::optional<InspectOptions> ParseOptions(const std::vector<std::string> &arguments, std::ostream &err)
{
    InspectOptions options;
    bool haveWorkbook = false;
    for (std::size_t i = 0; i < arguments.size(); ++i) {
        if (arguments[i] == "--sheet" && i + 1 < arguments.size()) {
            const auto index = ParseIndex(arguments[++i]);
            if (!index) {
                err << "orvane-batch: --sheet needs a worksheet index (0, 1, ...), not \"" << arguments[i]
                    << "\"\n";
                return std::nullopt;
            }
            options.sheet = *index;
        } else if (!haveWorkbook && !arguments[i].starts_with("--")) {
            options.workbook = arguments[i];
            haveWorkbook = true;
        } else {
            err << "orvane-batch: unexpected argument \"" << arguments[i] << "\"\n";
            return std::nullopt;
        }
    }
    if (!haveWorkbook) {
        err << "orvane-batch: inspect needs a workbook (orvane-batch inspect WORKBOOK [--sheet N])\n";
        return std::nullopt;
    }
    return options;
}

std::string FormatNumber(double value)
{
    char text[32];
    std::snprintf(text, sizeof text, "%.17g", value);
    return text;
}

std::string Escaped(const std::string &utf8)
{
    std::string out;
    out.reserve(utf8.size());
    for (char c : utf8) {
        switch (c) {
        case '\\':
            out += "\\\\";
            break;
        case '\t':
            out += "\\t";
            break;
        case '\r':
            out += "\\r";
            break;
        case '\n':
            out += "\\n";
            break;
        default:
            out += c;
        }
    }
    return out;
}

std::string TextInUtf8(const YExcel::LargeString &text)
{
    return text.Wide ? Encoding::Utf16ToUtf8(text.WideText) : Encoding::Windows1252ToUtf8(text.Narrow);
}

const char *KindName(DataFile::CellKind kind)
{
    switch (kind) {
    case DataFile::CellKind::Integer:
        return "Integer";
    case DataFile::CellKind::Real:
        return "Real";
    case DataFile::CellKind::Text8:
        return "Text8";
    case DataFile::CellKind::Text16:
        return "Text16";
    default:
        return "FormulaResult";
    }
}

// A formula prints its text result when it has one, else its number.
std::string CellValueText(const DataFile::Cell &cell)
{
    if (cell.Text) {
        return Escaped(TextInUtf8(*cell.Text));
    }
    return FormatNumber(cell.Number);
}

void PrintSheet(const DataFile::Worksheet &sheet, std::ostream &out)
{
    const int rowCount = sheet.RowCount();
    const int columnCount = sheet.ColumnCount();
    out << "rows\t" << rowCount << "\tcolumns\t" << columnCount << '\n';
    for (int row = 0; row < rowCount; ++row) {
        for (int column = 0; column < columnCount; ++column) {
            const DataFile::Cell cell = sheet.CellAt(row, column);
            if (cell.Kind != DataFile::CellKind::Empty) {
                out << row << '\t' << column << '\t' << KindName(cell.Kind) << '\t' << CellValueText(cell)
                    << '\n';
            }
        }
    }
}

} // namespace

int RunInspect(const std::vector<std::string> &arguments, std::ostream &out, std::ostream &err)
{
    const auto options = ParseOptions(arguments, err);
    if (!options) {
        return 1;
    }
    if (IsNonRegularFile(options->workbook)) {
        err << "orvane-batch: cannot read the workbook " << options->workbook << ": not a regular file\n";
        return 1;
    }
    const DataFile::OpenResult opened = DataFile::OpenDataFile(options->workbook);
    if (!opened.Book) {
        err << "orvane-batch: cannot read \"" << options->workbook
            << "\" as a workbook (.xls, .xlsx) or a comma-separated file (.csv): " << opened.Failure << '\n';
        return 1;
    }
    const DataFile::Workbook &book = *opened.Book;
    if (options->sheet >= book.SheetCount()) {
        err << "orvane-batch: the workbook has " << book.SheetCount() << " worksheet(s); there is no sheet "
            << options->sheet << '\n';
        return 1;
    }
    out << "sheets\t" << book.SheetCount() << '\n';
    const DataFile::Worksheet &sheet = *book.SheetAt(options->sheet);
    PrintSheet(sheet, out);
    if (sheet.Truncated()) {
        err << "orvane-batch: the sheet goes on beyond " << DataFile::MaxRows << " rows or " << DataFile::MaxColumns
            << " columns; only those were read\n";
    }
    return 0;
}
