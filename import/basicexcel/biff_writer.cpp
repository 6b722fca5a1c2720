#include "biff_writer.h"

#include "text_encoding.h"

#include <algorithm>
#include <bit>
#include <cmath>

namespace YExcel {

namespace {

constexpr std::size_t MaxRecordBody = 8224; // [MS-XLS] 2.1.4
constexpr std::size_t RowsPerBlock = 32;
constexpr std::size_t RowRecordSize = 20;

namespace Code {
constexpr std::uint16_t DefColWidth = 0x0055;
constexpr std::uint16_t DbCell = 0x00D7;
constexpr std::uint16_t LabelSST = 0x00FD;
constexpr std::uint16_t Dimensions = 0x0200;
constexpr std::uint16_t Number = 0x0203;
constexpr std::uint16_t BoolErr = 0x0205;
constexpr std::uint16_t Row = 0x0208;
constexpr std::uint16_t Window2 = 0x023E;
} // namespace Code

constexpr std::uint8_t NumError = 0x24;

// The SST body being filled, and where each record of it starts.
class SharedStringRecords
{
public:
    SharedStringRecords(std::uint32_t references, std::uint32_t unique)
    {
        bodies.emplace_back(BodyWriter().U32(references).U32(unique).Bytes);
    }

    std::size_t Space() const { return MaxRecordBody - bodies.back().size(); }
    std::string &Body() { return bodies.back(); }
    void StartContinue() { bodies.emplace_back(); }
    // Record number and offset in its body of the next byte.
    std::pair<std::size_t, std::size_t> Here() const { return {bodies.size() - 1, bodies.back().size()}; }

    // Returns Here() of the string's first byte.
    std::pair<std::size_t, std::size_t> AppendString(const SharedString &entry);
    void AppendTo(std::string &stream, const std::vector<std::pair<std::size_t, std::size_t>> &marks,
        std::size_t bucketSize) const;

private:
    // Raw bytes that may run on into CONTINUE records, cut into pieces of `unit` bytes.
    void AppendRunning(const std::string &bytes, std::size_t unit);

    std::vector<std::string> bodies;
};

void SharedStringRecords::AppendRunning(const std::string &bytes, std::size_t unit)
{
    for (std::size_t done = 0; done < bytes.size();) {
        if (Space() < unit) {
            StartContinue();
        }
        const std::size_t step = std::min(bytes.size() - done, Space() / unit * unit);
        Body().append(bytes, done, step);
        done += step;
    }
}

// [MS-XLS] 2.5.293: the header stays in one record with at least one character after it;
// characters that do not fit go on in a CONTINUE record that starts with a fresh option byte.
std::pair<std::size_t, std::size_t> SharedStringRecords::AppendString(const SharedString &entry)
{
    const StoredText &text = entry.Text;
    const std::size_t unit = text.Wide ? 2 : 1;
    BodyWriter header;
    header.U16(static_cast<std::uint16_t>(text.Count));
    header.U8(static_cast<std::uint8_t>(
        (text.Wide ? 0x01 : 0) | (entry.Extended.empty() ? 0 : 0x04) | (entry.Runs.empty() ? 0 : 0x08)));
    if (!entry.Runs.empty()) {
        header.U16(static_cast<std::uint16_t>(entry.Runs.size() / 4));
    }
    if (!entry.Extended.empty()) {
        header.U32(static_cast<std::uint32_t>(entry.Extended.size()));
    }
    if (Space() < header.Bytes.size() + (text.Count > 0 ? unit : 0)) {
        StartContinue();
    }
    const auto start = Here();
    Body() += header.Bytes;
    for (std::size_t done = 0; done < text.Characters.size();) {
        if (Space() < unit) {
            StartContinue();
            Body() += static_cast<char>(text.Wide ? 0x01 : 0x00);
        }
        const std::size_t step = std::min(text.Characters.size() - done, Space() / unit * unit);
        Body().append(text.Characters, done, step);
        done += step;
    }
    AppendRunning(entry.Runs, 4);
    AppendRunning(entry.Extended, 1);
    return start;
}

// EXTSST ([MS-XLS] 2.4.107): for every `bucketSize`-th string, its stream offset and its
// offset in the record holding it, both counting the record header.
void SharedStringRecords::AppendTo(std::string &stream,
    const std::vector<std::pair<std::size_t, std::size_t>> &marks, std::size_t bucketSize) const
{
    std::vector<std::size_t> starts;
    for (std::size_t i = 0; i < bodies.size(); ++i) {
        starts.push_back(stream.size());
        AppendRecord(stream, i == 0 ? WrittenCode::SST : WrittenCode::Continue, bodies[i]);
    }
    BodyWriter extSst;
    extSst.U16(static_cast<std::uint16_t>(bucketSize));
    for (const auto &[record, offset] : marks) {
        extSst.U32(static_cast<std::uint32_t>(starts[record] + 4 + offset));
        extSst.U16(static_cast<std::uint16_t>(4 + offset));
        extSst.U16(0);
    }
    AppendRecord(stream, WrittenCode::ExtSST, extSst.Bytes);
}

constexpr std::size_t MaxNameLength = 31;
constexpr std::size_t MaxTextLength = 32767;
constexpr std::size_t MaxRows = 65536;
constexpr std::size_t MaxColumns = 256;

// Upper case of the letters Windows-1252 holds.
char16_t UpperCase(char16_t c)
{
    if ((c >= u'a' && c <= u'z') || (c >= 0xE0 && c <= 0xFE && c != 0xF7)) {
        return static_cast<char16_t>(c - 0x20);
    }
    switch (c) {
    case 0x0153:
    case 0x0161:
    case 0x017E:
        return static_cast<char16_t>(c - 1);
    case 0x00FF:
        return 0x0178;
    default:
        return c;
    }
}

// The text of the first cell outside the sheet's bounds or too long, if any.
std::optional<std::string> CellProblem(const WrittenSheet &sheet)
{
    for (std::size_t row = 0; row < sheet.Rows.size(); ++row) {
        const std::vector<WrittenCell> &cells = sheet.Rows[row];
        for (std::size_t column = 0; column < cells.size(); ++column) {
            const bool used = !std::holds_alternative<std::monostate>(cells[column]);
            if (used && (row >= MaxRows || column >= MaxColumns)) {
                return "has cells beyond 65536 rows or 256 columns";
            }
            if (const std::string *text = TextOf(cells[column]); text && text->size() > MaxTextLength) {
                return "has a text longer than 32767 characters";
            }
        }
    }
    return std::nullopt;
}

bool FitsLatin1(const std::u16string &text)
{
    return std::all_of(text.begin(), text.end(), [](char16_t c) { return c <= 0xFF; });
}

struct CellRange
{
    std::size_t First = 0;
    std::size_t Last = 0; // inclusive
    bool Any = false;

    void Add(std::size_t index)
    {
        First = Any ? std::min(First, index) : index;
        Last = Any ? std::max(Last, index) : index;
        Any = true;
    }
};

bool HoldsSomething(const WrittenCell &cell)
{
    return std::holds_alternative<double>(cell) || TextOf(cell);
}

CellRange ColumnsOf(const std::vector<WrittenCell> &row)
{
    CellRange columns;
    for (std::size_t c = 0; c < row.size(); ++c) {
        if (HoldsSomething(row[c])) {
            columns.Add(c);
        }
    }
    return columns;
}

std::string CellHeader(std::size_t row, std::size_t column, std::uint16_t xf)
{
    return BodyWriter()
        .U16(static_cast<std::uint16_t>(row))
        .U16(static_cast<std::uint16_t>(column))
        .U16(xf)
        .Bytes;
}

// A number Excel cannot hold (NaN, infinity) is written as the error #NUM!, not as a value
// that would show as garbage.
void AppendCell(std::string &stream, std::size_t row, std::size_t column, const WrittenCell &cell,
    std::uint16_t xf, const SharedStringTable &strings)
{
    if (const std::string *text = TextOf(cell)) {
        AppendRecord(stream, Code::LabelSST,
            BodyWriter().Raw(CellHeader(row, column, xf)).U32(strings.IndexOf(*text)).Bytes);
    } else if (const double *number = std::get_if<double>(&cell); number && std::isfinite(*number)) {
        AppendRecord(stream, Code::Number, BodyWriter().Raw(CellHeader(row, column, xf)).F64(*number).Bytes);
    } else if (number) {
        AppendRecord(
            stream, Code::BoolErr, BodyWriter().Raw(CellHeader(row, column, xf)).U8(NumError).U8(1).Bytes);
    }
}

std::string RowBody(std::size_t row, const CellRange &columns)
{
    return BodyWriter()
        .U16(static_cast<std::uint16_t>(row))
        .U16(static_cast<std::uint16_t>(columns.First))
        .U16(static_cast<std::uint16_t>(columns.Last + 1))
        .U16(0x00FF) // the default height of a 10-point font, in twips
        .U32(0)
        .U32(0x000F0100) // reserved byte 1, format 15
        .Bytes;
}

// ROW records of up to 32 rows, their cells, and the DBCELL ([MS-XLS] 2.4.78) that tells
// where the block's first ROW and each row's first cell lie. Returns the DBCELL's offset.
std::size_t AppendRowBlock(std::string &stream, std::uint64_t base, const WrittenSheet &sheet,
    const std::vector<std::size_t> &rows, std::uint16_t xf, const SharedStringTable &strings)
{
    const std::size_t firstRow = stream.size();
    for (std::size_t row : rows) {
        AppendRecord(stream, Code::Row, RowBody(row, ColumnsOf(sheet.Rows[row])));
    }
    BodyWriter dbCell;
    std::size_t previous = firstRow + RowRecordSize;
    for (std::size_t row : rows) {
        dbCell.U16(static_cast<std::uint16_t>(stream.size() - previous));
        previous = stream.size();
        const std::vector<WrittenCell> &cells = sheet.Rows[row];
        for (std::size_t column = 0; column < cells.size(); ++column) {
            AppendCell(stream, row, column, cells[column], xf, strings);
        }
    }
    const std::size_t position = stream.size();
    AppendRecord(stream, Code::DbCell,
        BodyWriter().U32(static_cast<std::uint32_t>(position - firstRow)).Raw(dbCell.Bytes).Bytes);
    return static_cast<std::size_t>(base + position);
}

} // namespace

BodyWriter &BodyWriter::U8(std::uint8_t value)
{
    Bytes += static_cast<char>(value);
    return *this;
}

BodyWriter &BodyWriter::U16(std::uint16_t value)
{
    return U8(static_cast<std::uint8_t>(value & 0xFF)).U8(static_cast<std::uint8_t>(value >> 8));
}

BodyWriter &BodyWriter::U32(std::uint32_t value)
{
    return U16(static_cast<std::uint16_t>(value & 0xFFFF)).U16(static_cast<std::uint16_t>(value >> 16));
}

BodyWriter &BodyWriter::F64(double value)
{
    const auto bits = std::bit_cast<std::uint64_t>(value);
    return U32(static_cast<std::uint32_t>(bits & 0xFFFFFFFF)).U32(static_cast<std::uint32_t>(bits >> 32));
}

BodyWriter &BodyWriter::Raw(const std::string &bytes)
{
    Bytes += bytes;
    return *this;
}

void PatchU32(std::string &bytes, std::size_t offset, std::uint32_t value)
{
    for (int i = 0; i < 4; ++i) {
        bytes[offset + i] = static_cast<char>((value >> (8 * i)) & 0xFF);
    }
}

void AppendRecord(std::string &stream, std::uint16_t code, const std::string &body)
{
    stream += BodyWriter().U16(code).U16(static_cast<std::uint16_t>(body.size())).Bytes;
    stream += body;
}

// Windows-1252 bytes 0x80-0x9F are not the Latin-1 characters of the same value, so a text
// holding one (the euro sign, typographic quotes) goes 16-bit.
StoredText EncodeText(const std::string &windows1252)
{
    const std::u16string utf16 = Encoding::Windows1252ToUtf16(windows1252);
    StoredText text;
    text.Count = utf16.size();
    text.Wide = !FitsLatin1(utf16);
    BodyWriter characters;
    for (char16_t c : utf16) {
        if (text.Wide) {
            characters.U16(c);
        } else {
            characters.U8(static_cast<std::uint8_t>(c));
        }
    }
    text.Characters = std::move(characters.Bytes);
    return text;
}

std::string ShortString(const StoredText &text)
{
    return BodyWriter()
        .U8(static_cast<std::uint8_t>(text.Count))
        .U8(text.Wide ? 1 : 0)
        .Raw(text.Characters)
        .Bytes;
}

void SharedStringTable::Keep(SharedString entry)
{
    if (entry.Runs.empty() && entry.Extended.empty()) {
        std::u16string utf16;
        for (std::size_t i = 0; i < entry.Text.Count; ++i) {
            const auto low = static_cast<unsigned char>(entry.Text.Characters[entry.Text.Wide ? 2 * i : i]);
            const auto high
                = entry.Text.Wide ? static_cast<unsigned char>(entry.Text.Characters[2 * i + 1]) : 0;
            utf16 += static_cast<char16_t>(low | (high << 8));
        }
        if (const auto text = Encoding::Utf16ToWindows1252(utf16)) {
            indices.emplace(*text, static_cast<std::uint32_t>(entries.size()));
        }
    }
    entries.push_back(std::move(entry));
}

std::uint32_t SharedStringTable::Add(const std::string &windows1252)
{
    const auto [found, added] = indices.emplace(windows1252, static_cast<std::uint32_t>(entries.size()));
    if (added) {
        entries.push_back({EncodeText(windows1252), {}, {}});
    }
    return found->second;
}

// Excel keeps at most 128 buckets, so the bucket grows with the table.
void AppendSharedStrings(
    std::string &stream, const std::vector<SharedString> &strings, std::uint32_t references)
{
    const std::size_t bucketSize = std::max<std::size_t>(8, (strings.size() + 127) / 128);
    SharedStringRecords records(references, static_cast<std::uint32_t>(strings.size()));
    std::vector<std::pair<std::size_t, std::size_t>> marks;
    for (std::size_t i = 0; i < strings.size(); ++i) {
        const auto start = records.AppendString(strings[i]);
        if (i % bucketSize == 0) {
            marks.push_back(start);
        }
    }
    records.AppendTo(stream, marks, bucketSize);
}

void PadWorkbookStream(std::string &stream)
{
    constexpr std::size_t SmallestRegularStream = 4096;
    if (stream.size() < SmallestRegularStream) {
        stream.resize(SmallestRegularStream, '\0');
    }
}

std::string BofBody(std::uint16_t substreamType)
{
    // BIFF8, build and year of Excel 97, no history flags, lowest version 8.
    return BodyWriter().U16(0x0600).U16(substreamType).U16(0x0DBB).U16(0x07CC).U32(0).U32(0x06).Bytes;
}

std::string BoundSheetBody(std::uint32_t position, const std::string &name)
{
    return BodyWriter().U32(position).U8(0).U8(0).Raw(ShortString(EncodeText(name))).Bytes;
}

std::optional<WorkbookRefusal> CheckSheets(const std::vector<WrittenSheet> &sheets)
{
    for (std::size_t i = 0; i < sheets.size(); ++i) {
        const std::string &name = sheets[i].Name;
        if (!ValidSheetName(name)) {
            return WorkbookRefusal {"\"" + name + "\" is not a name Excel allows for a sheet"};
        }
        for (std::size_t j = 0; j < i; ++j) {
            if (SameSheetName(sheets[j].Name, name)) {
                return WorkbookRefusal {"two sheets are named \"" + name + "\""};
            }
        }
        if (const auto problem = CellProblem(sheets[i])) {
            return WorkbookRefusal {"the sheet \"" + name + "\" " + *problem};
        }
    }
    return std::nullopt;
}

bool ValidSheetName(const std::string &name)
{
    return !name.empty() && name.size() <= MaxNameLength
        && name.find_first_of(":\\/?*[]") == std::string::npos && name.front() != '\'' && name.back() != '\'';
}

bool SameSheetName(const std::string &a, const std::string &b)
{
    const std::u16string left = Encoding::Windows1252ToUtf16(a);
    const std::u16string right = Encoding::Windows1252ToUtf16(b);
    return std::equal(left.begin(), left.end(), right.begin(), right.end(),
        [](char16_t x, char16_t y) { return UpperCase(x) == UpperCase(y); });
}

std::uint32_t AddTexts(const WrittenSheet &sheet, SharedStringTable &strings)
{
    std::uint32_t count = 0;
    for (const std::vector<WrittenCell> &row : sheet.Rows) {
        for (const WrittenCell &cell : row) {
            if (const std::string *text = TextOf(cell)) {
                strings.Add(*text);
                ++count;
            }
        }
    }
    return count;
}

const std::string *TextOf(const WrittenCell &cell)
{
    const std::string *text = std::get_if<std::string>(&cell);
    return text && !text->empty() ? text : nullptr;
}

// BOF, INDEX, DEFCOLWIDTH, DIMENSIONS, the row blocks, WINDOW2, EOF: the order [MS-XLS]
// 2.1.7.20.5 gives them.
std::string WorksheetSubstream(const WrittenSheet &sheet, std::uint64_t start, std::uint16_t xf,
    bool selected, const SharedStringTable &strings)
{
    std::vector<std::size_t> rows;
    CellRange rowRange;
    CellRange columnRange;
    for (std::size_t row = 0; row < sheet.Rows.size(); ++row) {
        const CellRange columns = ColumnsOf(sheet.Rows[row]);
        if (columns.Any) {
            rows.push_back(row);
            rowRange.Add(row);
            columnRange.Add(columns.First);
            columnRange.Add(columns.Last);
        }
    }
    const std::size_t blocks = (rows.size() + RowsPerBlock - 1) / RowsPerBlock;
    const auto rowsFrom = static_cast<std::uint32_t>(rowRange.Any ? rowRange.First : 0);
    const auto rowsTo = static_cast<std::uint32_t>(rowRange.Any ? rowRange.Last + 1 : 0);

    std::string stream;
    AppendRecord(stream, WrittenCode::BOF, BofBody(0x0010));
    const std::size_t index = stream.size() + 4;
    AppendRecord(stream, WrittenCode::Index,
        BodyWriter().U32(0).U32(rowsFrom).U32(rowsTo).U32(0).Raw(std::string(4 * blocks, '\0')).Bytes);
    PatchU32(stream, index + 12, static_cast<std::uint32_t>(start + stream.size()));
    AppendRecord(stream, Code::DefColWidth, BodyWriter().U16(8).Bytes);
    AppendRecord(stream, Code::Dimensions,
        BodyWriter()
            .U32(rowsFrom)
            .U32(rowsTo)
            .U16(static_cast<std::uint16_t>(columnRange.Any ? columnRange.First : 0))
            .U16(static_cast<std::uint16_t>(columnRange.Any ? columnRange.Last + 1 : 0))
            .U16(0)
            .Bytes);
    for (std::size_t block = 0; block < blocks; ++block) {
        const auto first = rows.begin() + static_cast<std::ptrdiff_t>(block * RowsPerBlock);
        const auto last
            = rows.begin() + static_cast<std::ptrdiff_t>(std::min(rows.size(), (block + 1) * RowsPerBlock));
        const std::size_t dbCell = AppendRowBlock(stream, start, sheet, {first, last}, xf, strings);
        PatchU32(stream, index + 16 + 4 * block, static_cast<std::uint32_t>(dbCell));
    }
    // Gridlines, headers, zeros, outline symbols, automatic grid colour; the first sheet is
    // the selected and active one.
    const std::uint16_t options = selected ? 0x06B6 : 0x00B6;
    AppendRecord(stream, Code::Window2,
        BodyWriter().U16(options).U16(0).U16(0).U16(0x40).U16(0).U16(0).U16(0).U16(0).U16(0).Bytes);
    AppendRecord(stream, WrittenCode::YEOF, {});
    return stream;
}

} // namespace YExcel
