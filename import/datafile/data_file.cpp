#include "data_file.h"

#include "basicexcel.h"
#include "delimited_workbook.h"
#include "input_file.h"
#include "text_encoding.h"
#include "xlsx_workbook.h"

#include <algorithm>
#include <array>
#include <filesystem>
#include <variant>
#include <vector>

namespace DataFile {

namespace {

// Far beyond any log's size: a 65,536-row sheet of a few columns is a few megabytes in
// each format.
constexpr std::size_t MaxFileBytes = 256u << 20;

const char *const NoWorkbookFailure = "not an Excel 97-2003 workbook with at least one worksheet";

class XlsWorksheet final : public Worksheet
{
public:
    explicit XlsWorksheet(YExcel::BasicExcelWorksheet &sheet)
        : sheet(&sheet)
        , rows(sheet.RowCount())
        , columns(sheet.ColumnCount())
    { }

    int RowCount() const override { return rows; }
    int ColumnCount() const override { return columns; }
    Cell CellAt(int row, int column) const override
    {
        if (row < 0 || row >= rows || column < 0 || column >= columns) {
            return {};
        }
        const YExcel::BasicExcelCell *cell = sheet->CellAt(row, column);
        if (!cell) {
            return {};
        }
        return {static_cast<CellKind>(cell->Kind()), cell->NumberValue(), cell->Text()};
    }
    bool Damaged() const override { return sheet->Damaged(); }
    bool Truncated() const override { return false; } // the format has no larger sheet

private:
    YExcel::BasicExcelWorksheet *sheet; // the reader grows its counts on reads past them
    int rows;
    int columns;
};

class XlsWorkbook final : public Workbook
{
public:
    // The sheets' cells point into the reader's string pools: it must stay where it is.
    XlsWorkbook(const XlsWorkbook &) = delete;
    XlsWorkbook &operator=(const XlsWorkbook &) = delete;
    XlsWorkbook() = default;

    bool Open(const std::string &path) { return Opened(book.OpenBook(path)); }
    bool Open(std::span<const std::uint8_t> fileBytes)
    {
        bytes.assign(fileBytes.begin(), fileBytes.end());
        return Opened(book.OpenBookFromMemory(bytes));
    }

    std::size_t SheetCount() const override { return sheets.size(); }
    const Worksheet *SheetAt(std::size_t index) const override
    {
        return index < sheets.size() ? &sheets[index] : nullptr;
    }
    std::string SheetName(std::size_t index) const override
    {
        return Encoding::Windows1252ToUtf8(book.SheetName(index));
    }
    bool Uses1904Dates() const override { return book.Uses1904Dates(); }

private:
    bool Opened(bool opened)
    {
        for (std::size_t i = 0; opened && i < book.SheetCount(); ++i) {
            sheets.emplace_back(*book.SheetAt(i));
        }
        return opened;
    }

    std::vector<std::uint8_t> bytes; // the reader reads from memory only as it needs
    YExcel::BasicExcel book;
    std::vector<XlsWorksheet> sheets;
};

OpenResult Failed(std::string failure)
{
    return {nullptr, std::move(failure)};
}

// Only an Excel 97-2003 workbook is read from the file itself, as it needs.
OpenResult OpenLargeFile(const std::string &path, const std::string &tooLarge)
{
    auto book = std::make_unique<XlsWorkbook>();
    if (!book->Open(path)) {
        return Failed(tooLarge);
    }
    return {std::move(book), {}};
}

std::string StemOf(const std::string &fileName)
{
    return std::filesystem::path(fileName).stem().string();
}

} // namespace

std::optional<std::string> Cell::TextValue(std::size_t maxLength) const
{
    return Text ? YExcel::TextInWindows1252(*Text, maxLength) : std::nullopt;
}

Format FormatOf(std::span<const std::uint8_t> firstBytes)
{
    constexpr std::array<std::uint8_t, 8> CompoundFile {0xD0, 0xCF, 0x11, 0xE0, 0xA1, 0xB1, 0x1A, 0xE1};
    constexpr std::array<std::uint8_t, 4> Zip {'P', 'K', 3, 4};
    const auto startsWith = [firstBytes](std::span<const std::uint8_t> magic) {
        return firstBytes.size() >= magic.size() && std::equal(magic.begin(), magic.end(), firstBytes.begin());
    };
    if (startsWith(CompoundFile)) {
        return Format::Xls;
    }
    return startsWith(Zip) ? Format::Xlsx : Format::DelimitedText;
}

OpenResult ReadDataFile(std::span<const std::uint8_t> bytes, const std::string &fileName)
{
    switch (FormatOf(bytes)) {
    case Format::Xls: {
        auto book = std::make_unique<XlsWorkbook>();
        if (!book->Open(bytes)) {
            return Failed(NoWorkbookFailure);
        }
        return {std::move(book), {}};
    }
    case Format::Xlsx:
        return ReadXlsxWorkbook(bytes);
    case Format::DelimitedText:
        break;
    }
    const std::string_view text(reinterpret_cast<const char *>(bytes.data()), bytes.size());
    return ReadDelimitedWorkbook(text, StemOf(fileName));
}

OpenResult OpenDataFile(const std::string &path)
{
    auto read = ReadRegularFile(path, MaxFileBytes);
    if (const auto *problem = std::get_if<FileProblem>(&read)) {
        return problem->TooLarge ? OpenLargeFile(path, problem->Reason) : Failed(problem->Reason);
    }
    const std::string &bytes = std::get<std::string>(read);
    return ReadDataFile(
        std::span(reinterpret_cast<const std::uint8_t *>(bytes.data()), bytes.size()), path);
}

} // namespace DataFile
