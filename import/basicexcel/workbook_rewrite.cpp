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

namespace Code {
constexpr std::uint16_t TabId = 0x013D;
constexpr std::uint16_t SupBook = 0x01AE;
constexpr std::uint16_t Window2 = 0x023E;
constexpr std::uint16_t Format = 0x041E;
} // namespace Code

constexpr std::uint16_t Biff8Version = 0x0600;
constexpr std::uint16_t GlobalsType = 0x0005;
constexpr std::uint16_t StyleXFFlag = 0x0004;
constexpr std::uint16_t GeneralFormat = 0;
constexpr std::uint16_t PreferredCellXF = 15;
constexpr std::uint16_t SelectedSheetFlag = 0x0200;
constexpr std::uint16_t OwnWorkbookMark = 0x0401; // SUPBOOK of references within the workbook
constexpr std::size_t StrayBytesTolerated = 3;
constexpr std::uint64_t LargestStream = 0xFFFFFFFF; // stream offsets are 32-bit

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
    std::vector<std::size_t> Replacing; // per substream: the written sheet, or None
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

// The root's stream of that name; the tree was checked when the entries were read.
std::size_t FindRootStream(const std::vector<StorageEntry> &entries, const std::string &name)
{
    std::vector<std::uint32_t> pending {entries[0].Child};
    while (!pending.empty()) {
        const std::uint32_t index = pending.back();
        pending.pop_back();
        if (index >= entries.size()) {
            continue;
        }
        const StorageEntry &entry = entries[index];
        if (entry.Type == StorageEntry::Stream && SameStreamName(entry.Name, name)) {
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
// are part of it. Readers stop at a BOF they cannot read, and take a second globals
// substream for more of the globals, whose sheet offsets would not be moved along. What
// follows the last substream must be padding: records there could not be kept in their
// place once sheets are appended.
std::optional<WorkbookRefusal> SplitSubstreams(ExistingWorkbook &book)
{
    std::size_t i = book.GlobalsEnd + 1;
    while (i < book.Records.size() && book.Records[i].Code == RecordCode::BOF) {
        BOF bof;
        if (!bof.Read({RecordCode::BOF, BodyOf(book, book.Records[i])}) || bof.Type == GlobalsType) {
            return Refuse("a sheet of the workbook cannot be read");
        }
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
    const StreamRecord &last = book.Records[i - 1];
    const auto rest = book.Stream.begin() + static_cast<std::ptrdiff_t>(last.Offset + 4 + last.Length);
    if (book.Stream.end() - rest > static_cast<std::ptrdiff_t>(StrayBytesTolerated)
        && std::any_of(rest, book.Stream.end(), [](std::uint8_t byte) { return byte != 0; })) {
        return Refuse("the workbook holds records after its last sheet");
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
        sheet.Substream = static_cast<std::size_t>(found - book.Substreams.begin());
        // Two names for one sheet: writing over one of them would rename the other.
        const bool named = std::any_of(book.Sheets.begin(), book.Sheets.end(),
            [&](const ExistingSheet &other) { return other.Substream == sheet.Substream; });
        if (found == book.Substreams.end() || named) {
            return Refuse("the workbook's list of sheets does not match its sheets");
        }
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

// The number formats of the workbook's own FORMAT records ([MS-XLS] 2.4.126) that are
// "General" under another number, as some writers define it.
std::vector<std::uint16_t> GeneralFormats(const ExistingWorkbook &book)
{
    std::vector<std::uint16_t> formats {GeneralFormat};
    for (std::size_t i = 1; i < book.GlobalsEnd; ++i) {
        const StreamRecord &record = book.Records[i];
        if (record.Code != Code::Format || record.Length < 2) {
            continue;
        }
        const Bytes body = BodyOf(book, record);
        std::vector<std::vector<std::uint8_t>> bodies(1, {body.begin() + 2, body.end()});
        ContinuedReader reader(std::move(bodies));
        LargeString text;
        if (reader.ReadUnicodeString(text)) {
            text.Widen();
            if (SameSheetName(Encoding::Utf16ToWindows1252(text.WideText).value_or(""), "General")) {
                formats.push_back(U16At(book.Stream, record.Offset + 4));
            }
        }
    }
    return formats;
}

// XF 15 when it qualifies (the default cell format of every workbook Excel writes), else
// the first that does.
std::optional<std::uint16_t> PreferredXF(const std::vector<bool> &qualifies)
{
    if (qualifies.size() > PreferredCellXF && qualifies[PreferredCellXF]) {
        return PreferredCellXF;
    }
    const auto found = std::find(qualifies.begin(), qualifies.end(), true);
    if (found == qualifies.end()) {
        return std::nullopt;
    }
    return static_cast<std::uint16_t>(found - qualifies.begin());
}

// The new cells take one of the workbook's own cell formats ([MS-XLS] 2.4.353), so none is
// added: one of the General number format, which shows a number as it is, if there is one.
std::optional<WorkbookRefusal> ChooseCellXF(ExistingWorkbook &book)
{
    const std::vector<std::uint16_t> generalFormats = GeneralFormats(book);
    std::vector<bool> cellXFs;
    std::vector<bool> generalXFs;
    for (std::size_t i = 1; i < book.GlobalsEnd; ++i) {
        const StreamRecord &record = book.Records[i];
        if (record.Code != WrittenCode::XF) {
            continue;
        }
        const bool cell = record.Length >= 6 && (U16At(book.Stream, record.Offset + 8) & StyleXFFlag) == 0;
        cellXFs.push_back(cell);
        generalXFs.push_back(cell
            && std::find(generalFormats.begin(), generalFormats.end(), U16At(book.Stream, record.Offset + 6))
                != generalFormats.end());
    }
    std::optional<std::uint16_t> chosen = PreferredXF(generalXFs);
    if (!chosen) {
        chosen = PreferredXF(cellXFs);
    }
    if (!chosen) {
        return Refuse("the workbook has no cell format the new cells could use");
    }
    book.CellXF = *chosen;
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

std::variant<Placement, WorkbookRefusal> PlaceSheets(
    const ExistingWorkbook &book, const std::vector<WrittenSheet> &sheets)
{
    Placement placement;
    placement.Replacing.assign(book.Substreams.size(), None);
    for (std::size_t i = 0; i < sheets.size(); ++i) {
        const auto found
            = std::find_if(book.Sheets.begin(), book.Sheets.end(), [&](const ExistingSheet &sheet) {
                  return SameSheetName(SheetNameOf(sheet.Sheet), sheets[i].Name);
              });
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

// The LABELSST cells of the sheets kept; none when one points beyond the shared strings
// read, since that index would come to name one of the new texts.
std::optional<std::uint32_t> KeptTextCells(const ExistingWorkbook &book, const Placement &placement)
{
    std::uint32_t count = 0;
    for (std::size_t s = 0; s < book.Substreams.size(); ++s) {
        if (placement.Replacing[s] != None) {
            continue;
        }
        for (std::size_t i = book.Substreams[s].First; i < book.Substreams[s].End; ++i) {
            LabelSST label;
            if (book.Records[i].Code != RecordCode::LabelSST
                || !label.Read({RecordCode::LabelSST, BodyOf(book, book.Records[i])})) {
                continue;
            }
            if (label.Index >= book.Strings.Entries().size()) {
                return std::nullopt;
            }
            ++count;
        }
    }
    return count;
}

// A replaced sheet that was selected stays so, as WINDOW1 counts it among the selected.
bool WasSelected(const ExistingWorkbook &book, const Substream &substream)
{
    int depth = 0;
    for (std::size_t i = substream.First; i < substream.End; ++i) {
        const StreamRecord &record = book.Records[i];
        depth += record.Code == RecordCode::BOF ? 1 : record.Code == RecordCode::YEOF ? -1 : 0;
        if (record.Code == Code::Window2 && depth == 1 && record.Length >= 2) {
            return (U16At(book.Stream, record.Offset + 4) & SelectedSheetFlag) != 0;
        }
    }
    return false;
}

// A globals record as it was, but for the two that count the sheets: the workbook's own
// SUPBOOK ([MS-XLS] 2.4.271) holds their number, TABID (2.4.313) one identifier for each.
// A TABID that would outgrow its record stays as it was.
void CopyGlobalsRecord(
    std::string &out, const ExistingWorkbook &book, const StreamRecord &record, std::size_t appended)
{
    const Bytes body = BodyOf(book, record);
    std::string copy(body.begin(), body.end());
    if (record.Code == Code::SupBook && record.Length == 4
        && U16At(book.Stream, record.Offset + 6) == OwnWorkbookMark) {
        const auto sheets = static_cast<std::uint16_t>(U16At(book.Stream, record.Offset + 4) + appended);
        copy = BodyWriter().U16(sheets).U16(OwnWorkbookMark).Bytes;
    } else if (record.Code == Code::TabId && record.Length % 2 == 0
        && record.Length + 2 * appended <= RecordCursor::MaxRecordBody) {
        std::uint16_t next = 0;
        for (std::size_t i = 0; i < record.Length; i += 2) {
            next = std::max<std::uint16_t>(next, U16At(book.Stream, record.Offset + 4 + i));
        }
        for (std::size_t i = 0; i < appended; ++i) {
            copy += BodyWriter().U16(++next).Bytes;
        }
    }
    AppendRecord(out, record.Code, copy);
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

// The record the appended sheets' BOUNDSHEETs go before: the one after the last BOUNDSHEET,
// else the first SST, else the EOF.
std::size_t SheetListEnd(const ExistingWorkbook &book)
{
    if (!book.Sheets.empty()) {
        return book.Sheets.back().Record + 1;
    }
    std::size_t i = 1;
    while (i < book.GlobalsEnd && book.Records[i].Code != RecordCode::SST) {
        ++i;
    }
    return i;
}

// The globals as they were, but for the sheet list (appended sheets after the last
// BOUNDSHEET) and the shared strings, rebuilt with the new texts where the old SST was.
Globals RebuildGlobals(const ExistingWorkbook &book, const std::vector<WrittenSheet> &sheets,
    const Placement &placement, const SharedStringTable &strings, std::uint32_t references)
{
    Globals globals;
    const std::size_t sheetListEnd = SheetListEnd(book);
    bool stringsAdded = false;
    const auto addStrings = [&] {
        AppendSharedStrings(globals.Bytes, strings.Entries(), references);
        stringsAdded = true;
    };
    auto sheet = book.Sheets.begin();
    for (std::size_t i = 0; i <= book.GlobalsEnd; ++i) {
        const StreamRecord &record = book.Records[i];
        if (i == sheetListEnd) {
            for (std::size_t j = 0; j < placement.Appended.size(); ++j) {
                globals.Patches.push_back({globals.Bytes.size() + 4, book.Substreams.size() + j});
                AppendRecord(globals.Bytes, WrittenCode::BoundSheet,
                    BoundSheetBody(0, sheets[placement.Appended[j]].Name));
            }
        }
        const bool sharedStrings = record.Code == RecordCode::SST;
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
        CopyGlobalsRecord(globals.Bytes, book, record, placement.Appended.size());
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

// `references` starts with the text cells of the sheets kept.
std::string RewriteStream(const ExistingWorkbook &book, const std::vector<WrittenSheet> &sheets,
    const Placement &placement, std::uint32_t references)
{
    SharedStringTable strings = book.Strings;
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
            stream += WorksheetSubstream(sheets[replacing], stream.size(), book.CellXF,
                WasSelected(book, book.Substreams[s]), strings);
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
    const std::size_t workbook = FindRootStream(entries, "Workbook");
    if (workbook == None) {
        return Refuse(FindRootStream(entries, "Book") != None
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
    const auto keptTexts = KeptTextCells(book, std::get<Placement>(placement));
    if (!keptTexts) {
        return Refuse("the workbook's shared strings are damaged");
    }
    const std::string stream = RewriteStream(book, sheets, std::get<Placement>(placement), *keptTexts);
    if (stream.size() > LargestStream) {
        return Refuse("the workbook would grow beyond 4 GB");
    }
    entries[workbook].Bytes.assign(stream.begin(), stream.end());
    return WriteCompoundFile(entries);
}

} // namespace YExcel
