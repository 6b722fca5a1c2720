#include "basicexcel.h"

#include "records.h"
#include "text_encoding.h"

#include <algorithm>

namespace YExcel {

namespace {

// Stands for every position of the table that holds no stored cell.
const BasicExcelCell EmptyCell {};
// The text of a formula whose result is the empty text.
const LargeString EmptyText;

// Skips a substream whose BOF was just read, nested ones included; false when it never ends.
bool SkipSubstream(RecordCursor &cursor)
{
    int depth = 1;
    Record record;
    while (cursor.Next(record) == RecordStatus::Ok && record.Code != 0) {
        if (record.Code == RecordCode::BOF) {
            ++depth;
        } else if (record.Code == RecordCode::YEOF && --depth == 0) {
            return true;
        }
    }
    return false;
}

enum class SubstreamStep { Record, End, Damage };

// The next record of the current substream, with any nested substream (a chart embedded in
// a worksheet) skipped up to its own EOF. The substream's EOF is its End; a stream that
// ends, breaks or holds a record code 0 before it is Damage, and ends the substream too.
SubstreamStep NextInSubstream(RecordCursor &cursor, Record &record)
{
    while (cursor.Next(record) == RecordStatus::Ok && record.Code != 0) {
        if (record.Code == RecordCode::YEOF) {
            return SubstreamStep::End;
        }
        if (record.Code != RecordCode::BOF) {
            return SubstreamStep::Record;
        }
        if (!SkipSubstream(cursor)) {
            break;
        }
    }
    return SubstreamStep::Damage;
}

// [MS-XLS] 2.4.265: total and unique counts, then the strings. The counts are not trusted
// for anything; a string that breaks off ends the table, and later indices read as Empty.
void ReadSharedStrings(const Record &record, RecordCursor &cursor, std::deque<LargeString> &strings)
{
    ContinuedReader reader = cursor.TakeWithContinues(record.Data);
    std::uint32_t total = 0;
    std::uint32_t unique = 0;
    if (!reader.U32(total) || !reader.U32(unique)) {
        return;
    }
    for (std::uint32_t i = 0; i < unique; ++i) {
        LargeString text;
        if (!reader.ReadUnicodeString(text)) {
            return;
        }
        strings.push_back(std::move(text));
    }
}

void ReadGlobals(RecordCursor &cursor, std::deque<LargeString> &sharedStrings, std::vector<BoundSheet> &boundSheets,
    bool &dates1904)
{
    Record record;
    while (NextInSubstream(cursor, record) == SubstreamStep::Record) {
        // Cells of earlier worksheets already point into the table, so a second one (which no
        // sound workbook has) is ignored: tests/data/malformed/second-shared-string-table.xls.
        if (record.Code == RecordCode::SST && HasMinimumSize(record) && sharedStrings.empty()) {
            ReadSharedStrings(record, cursor, sharedStrings);
        } else if (record.Code == RecordCode::BoundSheet) {
            BoundSheet sheet;
            if (sheet.Read(record)) {
                boundSheets.push_back(std::move(sheet));
            }
        } else if (record.Code == RecordCode::DateMode && record.Data.size() >= 2) {
            dates1904 = record.Data[0] == 1;
        }
    }
}

bool IsFormulaCompanion(std::uint16_t code)
{
    return code == RecordCode::Array || code == RecordCode::ShrFmla || code == RecordCode::Table;
}

// The STRING record holding a text formula's result follows the formula, after any ARRAY,
// SHRFMLA or TABLE record ([MS-XLS] 2.4.127); those carry nothing the reader keeps.
bool ReadFormulaString(RecordCursor &cursor, LargeString &text)
{
    std::uint16_t code = 0;
    Record record;
    while (cursor.PeekCode(code) && IsFormulaCompanion(code) && cursor.Next(record) == RecordStatus::Ok) { }
    if (!cursor.PeekCode(code) || code != RecordCode::String || cursor.Next(record) != RecordStatus::Ok
        || !HasMinimumSize(record)) {
        return false;
    }
    return cursor.TakeWithContinues(record.Data).ReadUnicodeString(text);
}

// The BOUNDSHEET record pointing at the substream starting at `start`; a worksheet no
// record points at (a damaged sheet list) has no name.
std::string NameMatching(const std::vector<BoundSheet> &boundSheets, std::uint64_t start)
{
    const auto found = std::find_if(boundSheets.begin(), boundSheets.end(),
        [start](const BoundSheet &sheet) { return sheet.Position == start; });
    return found != boundSheets.end() ? SheetNameOf(*found) : std::string();
}

} // namespace

std::string SheetNameOf(const BoundSheet &sheet)
{
    if (!sheet.Name.Wide) {
        return sheet.Name.Narrow;
    }
    return Encoding::Utf16ToWindows1252(sheet.Name.WideText).value_or(std::string());
}

std::optional<std::string> BasicExcelCell::TextValue(std::size_t maxLength) const
{
    return Text() ? TextInWindows1252(*Text(), maxLength) : std::nullopt;
}

const BasicExcelCell *BasicExcelWorksheet::CellAt(int row, int column)
{
    if (row < 0 || row >= MaxRows || column < 0 || column >= MaxColumns) {
        return nullptr;
    }
    rowCount = std::max(rowCount, row + 1);
    columnCount = std::max(columnCount, column + 1);
    if (std::size_t(row) + 1 >= rowStarts.size()) {
        return &EmptyCell;
    }
    const std::size_t first = rowStarts[row];
    const std::size_t last = rowStarts[row + 1];
    if (last - first > std::size_t(column) && cells[first + column].column == column) {
        return &cells[first + column]; // a row without gaps
    }
    std::size_t low = first;
    std::size_t high = last;
    while (low < high) {
        const std::size_t middle = low + (high - low) / 2;
        if (cells[middle].column < column) {
            low = middle + 1;
        } else {
            high = middle;
        }
    }
    return low < last && cells[low].column == column ? &cells[low] : &EmptyCell;
}

void BasicExcelWorksheet::Count(std::uint16_t row, std::uint16_t column)
{
    rowCount = std::max(rowCount, row + 1);
    columnCount = std::max(columnCount, column + 1);
}

// Storage grows as cells arrive, never from what DIMENSIONS or the row records claim.
BasicExcelCell &BasicExcelWorksheet::Place(std::uint16_t row, std::uint16_t column)
{
    Count(row, column);
    const std::uint32_t place = std::uint32_t(row) * MaxColumns + column;
    inOrder = inOrder && (cells.empty() || place > lastPlace);
    lastPlace = place;
    while (inOrder && rowStarts.size() <= row) {
        rowStarts.push_back(static_cast<std::uint32_t>(cells.size()));
    }
    BasicExcelCell &cell = cells.emplace_back();
    cell.row = row;
    cell.column = column;
    return cell;
}

// Writers store cells row by row, so the row index is built as they arrive. Nothing obliges
// them to, though: out of order, the cells are sorted, of two records for one cell the later
// one wins, and the index is built anew.
void BasicExcelWorksheet::Finish()
{
    if (!inOrder) {
        std::vector<BasicExcelCell> sorted = cells;
        const auto before = [](const BasicExcelCell &a, const BasicExcelCell &b) {
            return a.row < b.row || (a.row == b.row && a.column < b.column);
        };
        std::stable_sort(sorted.begin(), sorted.end(), before);
        std::size_t kept = 0;
        rowStarts.clear();
        for (std::size_t i = 0; i < sorted.size(); ++i) {
            if (i + 1 == sorted.size() || before(sorted[i], sorted[i + 1])) {
                rowStarts.resize(std::size_t(sorted[i].row) + 1, static_cast<std::uint32_t>(kept));
                cells[kept++] = sorted[i];
            }
        }
        cells.resize(kept);
    }
    if (!cells.empty()) {
        rowStarts.push_back(static_cast<std::uint32_t>(cells.size()));
    }
    // A sheet far smaller than its reservation (a book of many sheets) gives it back.
    if (cells.size() < cells.capacity() / 4) {
        cells.shrink_to_fit();
    }
}

void BasicExcelWorksheet::PlaceRK(std::uint16_t row, std::uint16_t column, std::uint32_t rk)
{
    const RKValue value = DecodeRK(rk);
    BasicExcelCell &cell = Place(row, column);
    if (value.IsInteger) {
        cell.kind = BasicExcelCell::Integer;
        cell.value.number = value.Integer;
    } else {
        cell.kind = BasicExcelCell::Real;
        cell.value.number = value.Real;
    }
}

// An empty text leaves the cell Empty; it still counts towards the sheet's size.
void BasicExcelWorksheet::PlaceText(std::uint16_t row, std::uint16_t column, const LargeString &text)
{
    if (text.Empty()) {
        Count(row, column);
        return;
    }
    BasicExcelCell &cell = Place(row, column);
    cell.kind = text.Wide ? BasicExcelCell::Text16 : BasicExcelCell::Text8;
    cell.holdsText = true;
    cell.value.text = &text;
}

void BasicExcelWorksheet::ReadNumber(const Record &record)
{
    Number number;
    if (number.Read(record) && number.Cell.Column < MaxColumns) {
        BasicExcelCell &cell = Place(number.Cell.Row, number.Cell.Column);
        cell.kind = BasicExcelCell::Real;
        cell.value.number = number.Value;
    }
}

void BasicExcelWorksheet::ReadRK(const Record &record)
{
    RK rk;
    if (rk.Read(record) && rk.Cell.Column < MaxColumns) {
        PlaceRK(rk.Cell.Row, rk.Cell.Column, rk.Value);
    }
}

void BasicExcelWorksheet::ReadMulRK(const Record &record)
{
    MulRK mulRK;
    if (!mulRK.Read(record) || mulRK.LastColumn >= MaxColumns) {
        return;
    }
    for (std::size_t i = 0; i <= std::size_t(mulRK.LastColumn - mulRK.FirstColumn); ++i) {
        PlaceRK(mulRK.Row, static_cast<std::uint16_t>(mulRK.FirstColumn + i), mulRK.At(i).Value);
    }
}

// A boolean is the integer 0 or 1; an error value leaves the cell Empty.
void BasicExcelWorksheet::ReadBoolErr(const Record &record)
{
    BoolErr boolErr;
    if (!boolErr.Read(record) || boolErr.Cell.Column >= MaxColumns) {
        return;
    }
    if (boolErr.IsError) {
        Count(boolErr.Cell.Row, boolErr.Cell.Column);
        return;
    }
    BasicExcelCell &cell = Place(boolErr.Cell.Row, boolErr.Cell.Column);
    cell.kind = BasicExcelCell::Integer;
    cell.value.number = boolErr.Value != 0 ? 1 : 0;
}

// An index beyond the table (or into a table that broke off) leaves the cell Empty.
void BasicExcelWorksheet::ReadLabelSST(const Record &record, const std::deque<LargeString> &sharedStrings)
{
    LabelSST label;
    if (!label.Read(record) || label.Cell.Column >= MaxColumns) {
        return;
    }
    if (label.Index < sharedStrings.size()) {
        PlaceText(label.Cell.Row, label.Cell.Column, sharedStrings[label.Index]);
    } else {
        Count(label.Cell.Row, label.Cell.Column);
    }
}

// LABEL and RSTRING ([MS-XLS] 2.4.148, 2.4.218) keep the text in the cell record; Excel
// reads them, and some writers use nothing else (poi__61045_govdocs1_626534.xls).
void BasicExcelWorksheet::ReadLabel(const Record &record, RecordCursor &cursor, std::deque<LargeString> &pool)
{
    if (!HasMinimumSize(record)) {
        return;
    }
    FieldReader fields(record.Data);
    CellHeader header;
    if (!header.Read(fields) || header.Column >= MaxColumns) {
        return;
    }
    LargeString text;
    // An empty text may stop after its character count, without the option byte.
    if (fields.Remaining() > 2 && !cursor.TakeWithContinues(fields.Rest()).ReadUnicodeString(text)) {
        return;
    }
    if (text.Empty()) {
        Count(header.Row, header.Column);
        return;
    }
    pool.push_back(std::move(text));
    PlaceText(header.Row, header.Column, pool.back());
}

void BasicExcelWorksheet::ReadFormula(
    const Record &record, RecordCursor &cursor, std::deque<LargeString> &pool)
{
    Formula formula;
    if (!formula.Read(record) || formula.Cell.Column >= MaxColumns) {
        return;
    }
    const LargeString *text = nullptr;
    if (!formula.Numeric && formula.Type == Formula::EmptyTextResult) {
        text = &EmptyText;
    } else if (!formula.Numeric && formula.Type == Formula::TextResult) {
        LargeString result;
        if (ReadFormulaString(cursor, result)) {
            pool.push_back(std::move(result));
            text = &pool.back();
        }
    }
    BasicExcelCell &cell = Place(formula.Cell.Row, formula.Cell.Column);
    cell.kind = BasicExcelCell::FormulaResult;
    if (text) {
        cell.holdsText = true;
        cell.value.text = text;
    } else {
        cell.value.number = formula.Numeric ? formula.Value : 0; // a boolean or error result is not a number
    }
}

// Cell records count wherever they stand in the substream, before the first ROW record
// too (rubyspreadsheet__test_row_record_empty_range.xls) and in worksheets without any.
void BasicExcelWorksheet::Read(RecordCursor &cursor, const std::deque<LargeString> &sharedStrings,
    std::deque<LargeString> &pool, std::uint64_t streamSize)
{
    // One allocation, sized for a stream of the shortest one-cell records (RK, LABELSST: 14
    // bytes), so a long sheet is stored without regrowing and copying its cells. Only the
    // cells placed touch the memory. Denser MULRK records may still grow it.
    constexpr std::uint64_t ShortestCellRecord = 14;
    cells.reserve(static_cast<std::size_t>(
        std::min<std::uint64_t>(streamSize / ShortestCellRecord, std::uint64_t(MaxRows) * MaxColumns)));
    Record record;
    SubstreamStep step;
    while ((step = NextInSubstream(cursor, record)) == SubstreamStep::Record) {
        switch (record.Code) {
        case RecordCode::Number:
            ReadNumber(record);
            break;
        case RecordCode::RK:
            ReadRK(record);
            break;
        case RecordCode::MulRK:
            ReadMulRK(record);
            break;
        case RecordCode::BoolErr:
            ReadBoolErr(record);
            break;
        case RecordCode::LabelSST:
            ReadLabelSST(record, sharedStrings);
            break;
        case RecordCode::Label:
        case RecordCode::RString:
            ReadLabel(record, cursor, pool);
            break;
        case RecordCode::Formula:
            ReadFormula(record, cursor, pool);
            break;
        default:
            break;
        }
    }
    damaged = step == SubstreamStep::Damage;
    Finish();
}

bool BasicExcel::OpenBook(const std::string &path)
{
    CloseBook();
    return storage.OpenStorage(path) && ReadBook();
}

bool BasicExcel::OpenBookFromMemory(std::span<const std::uint8_t> bytes)
{
    CloseBook();
    return storage.OpenMemory(bytes) && ReadBook();
}

bool BasicExcel::ReadBook()
{
    StreamReader stream;
    if (storage.OpenStream("Workbook", stream) != StorageStatus::Ok) {
        CloseBook();
        return false;
    }
    RecordCursor cursor(stream);
    ParseStream(cursor, stream.Size());
    if (sheets.empty()) {
        CloseBook();
        return false;
    }
    return true;
}

// A chart, macro or any other substream that is not a worksheet is skipped up to its own
// EOF, so worksheets after a chart sheet are still read (poi__12843-1.xls).
void BasicExcel::ParseStream(RecordCursor &cursor, std::uint64_t streamSize)
{
    std::vector<BoundSheet> boundSheets;
    Record record;
    BOF bof;
    std::uint64_t start = cursor.Position();
    for (; cursor.Next(record) == RecordStatus::Ok && record.Code == RecordCode::BOF && bof.Read(record);
         start = cursor.Position()) {
        if (bof.Type == BOF::Globals) {
            ReadGlobals(cursor, sharedStrings, boundSheets, dates1904);
        } else if (bof.Type == BOF::Worksheet) {
            sheets.emplace_back().Read(cursor, sharedStrings, cellStrings, streamSize);
            sheetNames.push_back(NameMatching(boundSheets, start));
        } else if (!SkipSubstream(cursor)) {
            break;
        }
    }
}

BasicExcelWorksheet *BasicExcel::SheetAt(std::size_t index)
{
    return index < sheets.size() ? &sheets[index] : nullptr;
}

const std::string &BasicExcel::SheetName(std::size_t index) const
{
    static const std::string NoName;
    return index < sheetNames.size() ? sheetNames[index] : NoName;
}

void BasicExcel::CloseBook()
{
    storage.CloseStorage();
    sheets.clear();
    sheetNames.clear();
    dates1904 = false;
    cellStrings.clear();
    sharedStrings.clear();
}

} // namespace YExcel
