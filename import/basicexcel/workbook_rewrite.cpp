// Rewriting some worksheets of an existing workbook. Everything else is copied: the globals
// record by record (only the sheet list and the shared strings are rebuilt), the other
// substreams byte for byte with the stream offsets they hold shifted, and every other
// stream and storage of the compound file as it was.

#include "workbook_writer.h"

#include "biff_writer.h"
#include "compound_file_writer.h"
#include "records.h"
#include "text_encoding.h"

#include <algorithm>

namespace YExcel {

namespace {

constexpr std::uint16_t Biff8Version = 0x0600;
constexpr std::uint16_t GlobalsType = 0x0005;
constexpr std::uint16_t StyleXFFlag = 0x0004;
constexpr std::uint16_t PreferredCellXF = 15;

// One record of the existing stream: the offset of its header and the length of its body.
struct StreamRecord
{
    std::uint16_t Code = 0;
    std::size_t Offset = 0;
    std::size_t Length = 0;
};

// A BOF and everything up to the EOF that balances it; records [First, End), bytes [Start, Stop).
struct Substream
{
    std::size_t First = 0;
    std::size_t End = 0;
    std::size_t Start = 0;
    std::size_t Stop = 0;
};

struct ExistingSheet
{
    std::size_t Record = 0; // its BOUNDSHEET
    BoundSheet Sheet;
    std::size_t Substream = 0;
};

struct ExistingWorkbook
{
    std::vector<std::uint8_t> Stream;
    std::vector<StreamRecord> Records;
    std::size_t GlobalsEnd = 0; // the globals' EOF
    std::vector<Substream> Substreams;
    std::vector<ExistingSheet> Sheets;
    SharedStringTable Strings;
    std::uint16_t CellXF = 0;
};

// Where the new sheets go: each replaces an existing sheet or is appended.
struct Placement
{
    std::vector<std::size_t> Replacing; // per substream: the written sheet, or npos
    std::vector<std::size_t> Appended; // written sheets after the existing ones
};

constexpr std::size_t None = static_cast<std::size_t>(-1);

WorkbookRefusal Refuse(const std::string &reason)
{
    return WorkbookRefusal {reason};
}

std::uint16_t U16At(const std::vector<std::uint8_t> &bytes, std::size_t offset)
{
    return LoadLittleEndian<std::uint16_t>(&bytes[offset]);
}

Bytes BodyOf(const ExistingWorkbook &book, const StreamRecord &record)
{
    return Bytes(book.Stream).subspan(record.Offset + 4, record.Length);
}

// Records up to the end of the stream, or to the first cut short, too long or of code 0
// (the zeros some writers pad the stream with).
std::vector<StreamRecord> SplitRecords(const std::vector<std::uint8_t> &stream)
{
    std::vector<StreamRecord> records;
    for (std::size_t offset = 0; stream.size() - offset >= 4;) {
        const StreamRecord record {U16At(stream, offset), offset, U16At(stream, offset + 2)};
        if (record.Code == 0 || record.Length > RecordCursor::MaxRecordBody
            || record.Length > stream.size() - offset - 4) {
            break;
        }
        records.push_back(record);
        offset += 4 + record.Length;
    }
    return records;
}

bool EqualsIgnoringCase(const std::u16string &stored, std::u16string_view wanted)
{
    const auto upper
        = [](char16_t c) { return c >= u'a' && c <= u'z' ? static_cast<char16_t>(c - 0x20) : c; };
    return std::equal(stored.begin(), stored.end(), wanted.begin(), wanted.end(),
        [&](char16_t a, char16_t b) { return upper(a) == upper(b); });
}

// The root's stream of that name; the tree was checked when the entries were read.
std::size_t FindRootStream(const std::vector<StorageEntry> &entries, std::u16string_view name)
{
    std::vector<std::uint32_t> pending {entries[0].Child};
    while (!pending.empty()) {
        const std::uint32_t index = pending.back();
        pending.pop_back();
        if (index >= entries.size()) {
            continue;
        }
        const StorageEntry &entry = entries[index];
        if (entry.Type == StorageEntry::Stream && EqualsIgnoringCase(entry.Name, name)) {
            return index;
        }
        pending.push_back(entry.Left);
        pending.push_back(entry.Right);
    }
    return None;
}

std::optional<WorkbookRefusal> CheckVersion(ExistingWorkbook &book)
{
    if (book.Records.empty() || (book.Records[0].Code & 0x00FF) != 0x0009) {
        return Refuse("the file holds no Excel workbook");
    }
    BOF bof;
    if (book.Records[0].Code != RecordCode::BOF || !bof.Read({RecordCode::BOF, BodyOf(book, book.Records[0])})
        || bof.Version < Biff8Version) {
        return Refuse("the workbook was written by Excel 5.0 or older");
    }
    if (bof.Version != Biff8Version || bof.Type != GlobalsType) {
        return Refuse("the workbook is not in the Excel 97-2003 format");
    }
    return std::nullopt;
}

std::optional<WorkbookRefusal> FindGlobalsEnd(ExistingWorkbook &book)
{
    for (std::size_t i = 1; i < book.Records.size(); ++i) {
        const std::uint16_t code = book.Records[i].Code;
        if (code == WrittenCode::FilePass) {
            return Refuse("the workbook is encrypted");
        }
        if (code == RecordCode::BOF) {
            break;
        }
        if (code == RecordCode::YEOF) {
            book.GlobalsEnd = i;
            return std::nullopt;
        }
    }
    return Refuse("the workbook's global records cannot be read");
}

// Substreams follow each other up to the end of the records; a sheet's embedded charts
// are part of it.
std::optional<WorkbookRefusal> SplitSubstreams(ExistingWorkbook &book)
{
    std::size_t i = book.GlobalsEnd + 1;
    while (i < book.Records.size() && book.Records[i].Code == RecordCode::BOF) {
        Substream substream {i, 0, book.Records[i].Offset, 0};
        int depth = 0;
        for (; i < book.Records.size(); ++i) {
            const std::uint16_t code = book.Records[i].Code;
            depth += code == RecordCode::BOF ? 1 : code == RecordCode::YEOF ? -1 : 0;
            if (depth == 0) {
                break;
            }
        }
        if (i == book.Records.size()) {
            return Refuse("a sheet of the workbook is cut short");
        }
        substream.End = ++i;
        substream.Stop = book.Records[i - 1].Offset + 4 + book.Records[i - 1].Length;
        book.Substreams.push_back(substream);
    }
    return std::nullopt;
}

std::optional<WorkbookRefusal> ReadSheetList(ExistingWorkbook &book)
{
    for (std::size_t i = 1; i < book.GlobalsEnd; ++i) {
        if (book.Records[i].Code != RecordCode::BoundSheet) {
            continue;
        }
        ExistingSheet sheet;
        sheet.Record = i;
        if (!sheet.Sheet.Read({RecordCode::BoundSheet, BodyOf(book, book.Records[i])})) {
            return Refuse("the workbook's list of sheets cannot be read");
        }
        const auto found = std::find_if(book.Substreams.begin(), book.Substreams.end(),
            [&](const Substream &substream) { return substream.Start == sheet.Sheet.Position; });
        if (found == book.Substreams.end()) {
            return Refuse("the workbook's list of sheets does not match its sheets");
        }
        sheet.Substream = static_cast<std::size_t>(found - book.Substreams.begin());
        book.Sheets.push_back(std::move(sheet));
    }
    return std::nullopt;
}

SharedString Stored(
    const LargeString &text, std::vector<std::uint8_t> runs, std::vector<std::uint8_t> extended)
{
    SharedString entry;
    entry.Text.Wide = text.Wide;
    if (text.Wide) {
        entry.Text.Count = text.WideText.size();
        BodyWriter characters;
        for (char16_t c : text.WideText) {
            characters.U16(c);
        }
        entry.Text.Characters = std::move(characters.Bytes);
    } else {
        entry.Text.Count = text.Narrow.size();
        entry.Text.Characters = text.Narrow;
    }
    entry.Runs.assign(runs.begin(), runs.end());
    entry.Extended.assign(extended.begin(), extended.end());
    return entry;
}

// The first SST with its CONTINUE records, read as the reader does: a string that breaks
// off ends the table, so the workbook keeps what any reader could see of it.
void ReadSharedStrings(ExistingWorkbook &book)
{
    std::size_t i = 1;
    while (i < book.GlobalsEnd && book.Records[i].Code != RecordCode::SST) {
        ++i;
    }
    if (i == book.GlobalsEnd) {
        return;
    }
    std::vector<std::vector<std::uint8_t>> bodies;
    do {
        const Bytes body = BodyOf(book, book.Records[i]);
        bodies.emplace_back(body.begin(), body.end());
    } while (++i < book.GlobalsEnd && book.Records[i].Code == WrittenCode::Continue);
    ContinuedReader reader(std::move(bodies));
    std::uint32_t total = 0;
    std::uint32_t unique = 0;
    if (!reader.U32(total) || !reader.U32(unique)) {
        return;
    }
    for (std::uint32_t n = 0; n < unique; ++n) {
        LargeString text;
        std::vector<std::uint8_t> runs;
        std::vector<std::uint8_t> extended;
        if (!reader.ReadUnicodeString(text, &runs, &extended)) {
            return;
        }
        book.Strings.Keep(Stored(text, std::move(runs), std::move(extended)));
    }
}

// The new cells take the workbook's own default cell format (XF 15 in every workbook Excel
// writes), so no format is added.
std::optional<WorkbookRefusal> ChooseCellXF(ExistingWorkbook &book)
{
    std::vector<bool> cellXFs;
    for (std::size_t i = 1; i < book.GlobalsEnd; ++i) {
        if (book.Records[i].Code == WrittenCode::XF && book.Records[i].Length >= 6) {
            cellXFs.push_back((U16At(book.Stream, book.Records[i].Offset + 8) & StyleXFFlag) == 0);
        }
    }
    if (cellXFs.size() > PreferredCellXF && cellXFs[PreferredCellXF]) {
        book.CellXF = PreferredCellXF;
        return std::nullopt;
    }
    const auto found = std::find(cellXFs.begin(), cellXFs.end(), true);
    if (found == cellXFs.end()) {
        return Refuse("the workbook has no cell format the new cells could use");
    }
    book.CellXF = static_cast<std::uint16_t>(found - cellXFs.begin());
    return std::nullopt;
}

std::variant<ExistingWorkbook, WorkbookRefusal> ParseWorkbook(std::vector<std::uint8_t> stream)
{
    ExistingWorkbook book;
    book.Stream = std::move(stream);
    book.Records = SplitRecords(book.Stream);
    using Step = std::optional<WorkbookRefusal> (*)(ExistingWorkbook &);
    for (const Step step : {CheckVersion, FindGlobalsEnd, SplitSubstreams, ReadSheetList, ChooseCellXF}) {
        if (auto refusal = step(book)) {
            return *refusal;
        }
    }
    ReadSharedStrings(book);
    return book;
}

std::string NameOf(const BoundSheet &sheet)
{
    if (!sheet.Name.Wide) {
        return sheet.Name.Narrow;
    }
    return Encoding::Utf16ToWindows1252(sheet.Name.WideText).value_or(std::string());
}

std::variant<Placement, WorkbookRefusal> PlaceSheets(
    const ExistingWorkbook &book, const std::vector<WrittenSheet> &sheets)
{
    Placement placement;
    placement.Replacing.assign(book.Substreams.size(), None);
    for (std::size_t i = 0; i < sheets.size(); ++i) {
        const auto found = std::find_if(book.Sheets.begin(), book.Sheets.end(),
            [&](const ExistingSheet &sheet) { return SameSheetName(NameOf(sheet.Sheet), sheets[i].Name); });
        if (found == book.Sheets.end()) {
            placement.Appended.push_back(i);
        } else if (found->Sheet.Type != BoundSheet::WorksheetType) {
            return Refuse("the sheet \"" + sheets[i].Name + "\" of the workbook is not a worksheet");
        } else {
            placement.Replacing[found->Substream] = i;
        }
    }
    return placement;
}

std::uint32_t CountTextCells(const ExistingWorkbook &book, const Placement &placement)
{
    std::uint32_t count = 0;
    for (std::size_t s = 0; s < book.Substreams.size(); ++s) {
        if (placement.Replacing[s] != None) {
            continue;
        }
        for (std::size_t i = book.Substreams[s].First; i < book.Substreams[s].End; ++i) {
            count += book.Records[i].Code == RecordCode::LabelSST;
        }
    }
    return count;
}

void CopyRecord(std::string &out, const ExistingWorkbook &book, const StreamRecord &record)
{
    const auto first = book.Stream.begin() + static_cast<std::ptrdiff_t>(record.Offset);
    out.append(first, first + static_cast<std::ptrdiff_t>(4 + record.Length));
}

// Where each BOUNDSHEET offset goes in the new stream, and the substream it must name (the
// appended sheets' substreams numbered after the existing ones).
struct OffsetPatch
{
    std::size_t At = 0;
    std::size_t Substream = 0;
};

struct Globals
{
    std::string Bytes;
    std::vector<OffsetPatch> Patches;
};

// The globals as they were, but for the sheet list (appended sheets after the last
// BOUNDSHEET) and the shared strings, rebuilt with the new texts where the old SST was.
Globals RebuildGlobals(const ExistingWorkbook &book, const std::vector<WrittenSheet> &sheets,
    const Placement &placement, const SharedStringTable &strings, std::uint32_t references)
{
    Globals globals;
    std::size_t lastBoundSheet = None;
    for (const ExistingSheet &sheet : book.Sheets) {
        lastBoundSheet = sheet.Record;
    }
    bool sheetsAdded = false;
    bool stringsAdded = false;
    const auto addSheets = [&] {
        for (std::size_t j = 0; j < placement.Appended.size(); ++j) {
            globals.Patches.push_back({globals.Bytes.size() + 4, book.Substreams.size() + j});
            AppendRecord(globals.Bytes, WrittenCode::BoundSheet,
                BoundSheetBody(0, sheets[placement.Appended[j]].Name));
        }
        sheetsAdded = true;
    };
    const auto addStrings = [&] {
        AppendSharedStrings(globals.Bytes, strings.Entries(), references);
        stringsAdded = true;
    };
    auto sheet = book.Sheets.begin();
    for (std::size_t i = 0; i <= book.GlobalsEnd; ++i) {
        const StreamRecord &record = book.Records[i];
        const bool sharedStrings = record.Code == RecordCode::SST;
        if (!sheetsAdded && (sharedStrings || i == book.GlobalsEnd)) {
            addSheets();
        }
        if (sharedStrings || record.Code == WrittenCode::ExtSST) {
            if (sharedStrings && !stringsAdded) {
                addStrings();
            }
            while (i + 1 < book.GlobalsEnd && book.Records[i + 1].Code == WrittenCode::Continue) {
                ++i;
            }
            continue;
        }
        if (i == book.GlobalsEnd && !stringsAdded) {
            addStrings();
        }
        if (record.Code == RecordCode::BoundSheet) {
            globals.Patches.push_back({globals.Bytes.size() + 4, sheet->Substream});
            ++sheet;
        }
        CopyRecord(globals.Bytes, book, record);
        if (i == lastBoundSheet) {
            addSheets();
        }
    }
    return globals;
}

// A kept substream moves by `shift` bytes; its INDEX records ([MS-XLS] 2.4.144) hold the
// stream offsets of its DEFCOLWIDTH and DBCELL records.
std::string MovedSubstream(const ExistingWorkbook &book, const Substream &substream, std::int64_t shift)
{
    std::string out(book.Stream.begin() + static_cast<std::ptrdiff_t>(substream.Start),
        book.Stream.begin() + static_cast<std::ptrdiff_t>(substream.Stop));
    int depth = 0;
    for (std::size_t i = substream.First; i < substream.End; ++i) {
        const StreamRecord &record = book.Records[i];
        depth += record.Code == RecordCode::BOF ? 1 : record.Code == RecordCode::YEOF ? -1 : 0;
        if (record.Code != WrittenCode::Index || depth != 1 || record.Length < 16) {
            continue;
        }
        const std::size_t body = record.Offset - substream.Start + 4;
        for (std::size_t field = 12; field + 4 <= record.Length; field += 4) {
            const auto old
                = LoadLittleEndian<std::uint32_t>(reinterpret_cast<const std::uint8_t *>(&out[body + field]));
            if (field != 12 || old != 0) { // no DEFCOLWIDTH is 0
                PatchU32(out, body + field, static_cast<std::uint32_t>(old + shift));
            }
        }
    }
    return out;
}

std::string RewriteStream(
    const ExistingWorkbook &book, const std::vector<WrittenSheet> &sheets, const Placement &placement)
{
    SharedStringTable strings = book.Strings;
    std::uint32_t references = CountTextCells(book, placement);
    for (const WrittenSheet &sheet : sheets) {
        references += AddTexts(sheet, strings);
    }
    Globals globals = RebuildGlobals(book, sheets, placement, strings, references);
    std::string stream = std::move(globals.Bytes);
    std::vector<std::size_t> starts;
    for (std::size_t s = 0; s < book.Substreams.size(); ++s) {
        starts.push_back(stream.size());
        const std::size_t replacing = placement.Replacing[s];
        if (replacing != None) {
            stream += WorksheetSubstream(sheets[replacing], stream.size(), book.CellXF, false, strings);
        } else {
            const std::int64_t shift = std::int64_t(stream.size()) - std::int64_t(book.Substreams[s].Start);
            stream += MovedSubstream(book, book.Substreams[s], shift);
        }
    }
    for (std::size_t appended : placement.Appended) {
        starts.push_back(stream.size());
        stream += WorksheetSubstream(sheets[appended], stream.size(), book.CellXF, false, strings);
    }
    for (const OffsetPatch &patch : globals.Patches) {
        PatchU32(stream, patch.At, static_cast<std::uint32_t>(starts[patch.Substream]));
    }
    PadWorkbookStream(stream);
    return stream;
}

} // namespace

std::variant<std::string, WorkbookRefusal> RewriteWorkbook(
    std::span<const std::uint8_t> existing, const std::vector<WrittenSheet> &sheets)
{
    if (auto refusal = CheckSheets(sheets)) {
        return *refusal;
    }
    WorkbookStorage storage;
    if (!storage.OpenMemory(existing)) {
        return Refuse(storage.Status() == StorageStatus::NotCompoundFile
                ? "the file is not an Excel 97-2003 workbook"
                : "the workbook's file is damaged");
    }
    std::vector<StorageEntry> entries;
    if (storage.ReadEntries(entries) != StorageStatus::Ok) {
        return Refuse("the workbook's file is damaged");
    }
    const std::size_t workbook = FindRootStream(entries, u"Workbook");
    if (workbook == None) {
        return Refuse(FindRootStream(entries, u"Book") != None
                ? "the workbook was written by Excel 5.0 or older"
                : "the file holds no Excel workbook");
    }
    auto parsed = ParseWorkbook(std::move(entries[workbook].Bytes));
    if (auto *refusal = std::get_if<WorkbookRefusal>(&parsed)) {
        return *refusal;
    }
    const ExistingWorkbook &book = std::get<ExistingWorkbook>(parsed);
    auto placement = PlaceSheets(book, sheets);
    if (auto *refusal = std::get_if<WorkbookRefusal>(&placement)) {
        return *refusal;
    }
    const std::string stream = RewriteStream(book, sheets, std::get<Placement>(placement));
    entries[workbook].Bytes.assign(stream.begin(), stream.end());
    return WriteCompoundFile(entries);
}

} // namespace YExcel
