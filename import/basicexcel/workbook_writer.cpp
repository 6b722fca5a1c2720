#include "workbook_writer.h"

#include "biff_writer.h"
#include "compound_file_writer.h"

namespace YExcel {

namespace {

namespace Code {
constexpr std::uint16_t Font = 0x0031;
constexpr std::uint16_t Window1 = 0x003D;
constexpr std::uint16_t CodePage = 0x0042;
constexpr std::uint16_t Style = 0x0293;
} // namespace Code

constexpr std::uint16_t GlobalsType = 0x0005;
constexpr std::uint16_t DefaultCellXF = 15;
constexpr std::size_t StyleXFs = 15;

// The CLSID Excel gives the root of its workbooks.
constexpr std::array<std::uint8_t, 16> ExcelClsid
    = {0x20, 0x08, 0x02, 0x00, 0x00, 0x00, 0x00, 0x00, 0xC0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46};

std::string FontBody()
{
    // 10 points, automatic colour, normal weight.
    return BodyWriter()
        .U16(200)
        .U16(0)
        .U16(0x7FFF)
        .U16(400)
        .U16(0)
        .U8(0)
        .U8(0)
        .U8(0)
        .U8(0)
        .Raw(ShortString(EncodeText("Arial")))
        .Bytes;
}

// [MS-XLS] 2.4.353: style XFs (parent 0xFFF) first, as Excel writes them; XF 15 is the cell
// format every cell uses. Bottom-aligned, no borders, automatic colours.
std::string XFBody(std::uint16_t font, bool style, std::uint8_t ignored)
{
    return BodyWriter()
        .U16(font)
        .U16(0)
        .U16(style ? 0xFFF5 : 0x0001)
        .U8(0x20)
        .U8(0)
        .U8(0)
        .U8(ignored)
        .U32(0)
        .U32(0)
        .U16(0x20C0)
        .Bytes;
}

void AppendFormats(std::string &stream)
{
    for (int i = 0; i < 4; ++i) {
        AppendRecord(stream, Code::Font, FontBody());
    }
    for (std::size_t i = 0; i < StyleXFs; ++i) {
        const std::uint16_t font = i == 1 || i == 2 ? 1 : i == 3 || i == 4 ? 2 : 0;
        AppendRecord(stream, WrittenCode::XF, XFBody(font, true, i == 0 ? 0x00 : 0xF4));
    }
    AppendRecord(stream, WrittenCode::XF, XFBody(0, false, 0x00));
    AppendRecord(stream, Code::Style, BodyWriter().U16(0x8000).U8(0).U8(0xFF).Bytes); // "Normal"
}

// Globals whose BOUNDSHEET offsets are still 0; `boundSheets` gets where each offset goes.
std::string NewGlobals(const std::vector<WrittenSheet> &sheets, const SharedStringTable &strings,
    std::uint32_t references, std::vector<std::size_t> &boundSheets)
{
    std::string stream;
    AppendRecord(stream, WrittenCode::BOF, BofBody(GlobalsType));
    AppendRecord(stream, Code::CodePage, BodyWriter().U16(1200).Bytes); // UTF-16
    // Window position and size, scroll bars and tabs shown, first sheet active.
    AppendRecord(stream, Code::Window1,
        BodyWriter().U16(0).U16(0).U16(0x4000).U16(0x2000).U16(0x0038).U16(0).U16(0).U16(1).U16(600).Bytes);
    AppendFormats(stream);
    for (const WrittenSheet &sheet : sheets) {
        boundSheets.push_back(stream.size() + 4);
        AppendRecord(stream, WrittenCode::BoundSheet, BoundSheetBody(0, sheet.Name));
    }
    AppendSharedStrings(stream, strings.Entries(), references);
    AppendRecord(stream, WrittenCode::YEOF, {});
    return stream;
}

} // namespace

std::variant<std::string, WorkbookRefusal> WriteNewWorkbook(const std::vector<WrittenSheet> &sheets)
{
    if (sheets.empty()) {
        return WorkbookRefusal {"a workbook needs at least one sheet"};
    }
    if (auto refusal = CheckSheets(sheets)) {
        return *refusal;
    }
    SharedStringTable strings;
    std::uint32_t references = 0;
    for (const WrittenSheet &sheet : sheets) {
        references += AddTexts(sheet, strings);
    }
    std::vector<std::size_t> boundSheets;
    std::string stream = NewGlobals(sheets, strings, references, boundSheets);
    for (std::size_t i = 0; i < sheets.size(); ++i) {
        PatchU32(stream, boundSheets[i], static_cast<std::uint32_t>(stream.size()));
        stream += WorksheetSubstream(sheets[i], stream.size(), DefaultCellXF, i == 0, strings);
    }
    PadWorkbookStream(stream);
    return WriteCompoundFile(SingleStreamEntries(u"Workbook", {stream.begin(), stream.end()}, ExcelClsid));
}

} // namespace YExcel
