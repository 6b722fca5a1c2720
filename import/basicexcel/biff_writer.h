#pragma once

// The record layer of the workbook writer: BIFF8 records ([MS-XLS] 2.4) assembled into a
// workbook stream. Shared by the writer of new workbooks and the rewriter of existing ones.

#include "workbook_writer.h"

#include <cstdint>
#include <optional>
#include <string>
#include <unordered_map>
#include <vector>

namespace YExcel {

namespace WrittenCode {
inline constexpr std::uint16_t YEOF = 0x000A;
inline constexpr std::uint16_t Continue = 0x003C;
inline constexpr std::uint16_t BoundSheet = 0x0085;
inline constexpr std::uint16_t SST = 0x00FC;
inline constexpr std::uint16_t ExtSST = 0x00FF;
inline constexpr std::uint16_t Index = 0x020B;
inline constexpr std::uint16_t FilePass = 0x002F;
inline constexpr std::uint16_t XF = 0x00E0;
inline constexpr std::uint16_t BOF = 0x0809;
} // namespace WrittenCode

// Little-endian fields of one record body.
struct BodyWriter
{
    std::string Bytes;

    BodyWriter &U8(std::uint8_t value);
    BodyWriter &U16(std::uint16_t value);
    BodyWriter &U32(std::uint32_t value);
    BodyWriter &F64(double value);
    BodyWriter &Raw(const std::string &bytes);
};

void PatchU32(std::string &bytes, std::size_t offset, std::uint32_t value);
void AppendRecord(std::string &stream, std::uint16_t code, const std::string &body);

// A text as BIFF8 stores its characters: 8-bit (Latin-1) when every character fits, else
// UTF-16LE.
struct StoredText
{
    bool Wide = false;
    std::size_t Count = 0;
    std::string Characters;
};

StoredText EncodeText(const std::string &windows1252);
// A ShortXLUnicodeString: 8-bit count, option byte, characters.
std::string ShortString(const StoredText &text);

// One entry of the shared-string table, with the formatting runs and extended data an
// existing workbook gave it.
struct SharedString
{
    StoredText Text;
    std::string Runs; // 4 bytes a run
    std::string Extended;
};

class SharedStringTable
{
public:
    // An entry of an existing table; reused for a new text only when it is a plain text.
    void Keep(SharedString entry);
    // The index of the text, added when new.
    std::uint32_t Add(const std::string &windows1252);
    std::uint32_t IndexOf(const std::string &windows1252) const { return indices.at(windows1252); }
    const std::vector<SharedString> &Entries() const { return entries; }

private:
    std::vector<SharedString> entries;
    std::unordered_map<std::string, std::uint32_t> indices; // Windows-1252 text of plain entries
};

// The stream padded with zeros after its last EOF to the 4096 bytes that keep it out of the
// compound file's mini stream.
void PadWorkbookStream(std::string &stream);

// SST with its CONTINUE records and EXTSST, appended where the stream now ends; `references`
// counts the LABELSST cells of the whole workbook.
void AppendSharedStrings(
    std::string &stream, const std::vector<SharedString> &strings, std::uint32_t references);

// BOF of a globals (0x0005) or worksheet (0x0010) substream, as Excel 97-2003 writes it.
std::string BofBody(std::uint16_t substreamType);
std::string BoundSheetBody(std::uint32_t position, const std::string &name);

// A complete worksheet substream that will start at stream offset `start` (its INDEX holds
// absolute offsets); every text of `sheet` must be in `strings`. Cells use format `xf`.
std::string WorksheetSubstream(const WrittenSheet &sheet, std::uint64_t start, std::uint16_t xf,
    bool selected, const SharedStringTable &strings);

// Adds the texts of `sheet` to `strings`; returns how many text cells it has.
std::uint32_t AddTexts(const WrittenSheet &sheet, SharedStringTable &strings);

// A text cell that holds nothing is left out like an empty cell.
const std::string *TextOf(const WrittenCell &cell);

// What Excel demands of the sheets given: names of 1 to 31 characters without : \ / ? * [ ]
// nor an apostrophe at either end, no two alike, cells within 65536 rows and 256 columns,
// texts of at most 32767 characters.
std::optional<WorkbookRefusal> CheckSheets(const std::vector<WrittenSheet> &sheets);

} // namespace YExcel
