// libFuzzer target: arbitrary bytes given to the rewriter as the existing workbook. It must
// refuse or produce a workbook the reader opens again, holding the sheets written and
// every worksheet the reader saw before under its name and size. Bytes that are no
// compound file are taken as a workbook stream and put into one, so that mutations of
// extracted streams reach the record layer instead of breaking the container.

#include "basicexcel.h"
#include "biff_writer.h"
#include "compound_file_writer.h"
#include "workbook_writer.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>

namespace {

const std::vector<YExcel::WrittenSheet> ReportSheets = {
    {"Results", {{std::string("Time (min)"), 1.5}, {std::string("\x80 wide"), 2.5}}},
    {"CSpreadSheetBackup", {{std::string("saved")}}},
};

void Require(bool condition)
{
    if (!condition) {
        std::abort();
    }
}

bool IsWritten(const std::string &name)
{
    for (const YExcel::WrittenSheet &sheet : ReportSheets) {
        if (YExcel::SameSheetName(sheet.Name, name)) {
            return true;
        }
    }
    return false;
}

YExcel::BasicExcelWorksheet *SheetNamed(YExcel::BasicExcel &book, const std::string &name)
{
    for (std::size_t i = 0; i < book.SheetCount(); ++i) {
        if (YExcel::SameSheetName(book.SheetName(i), name)) {
            return book.SheetAt(i);
        }
    }
    return nullptr;
}

// A name that two worksheets share, or none, cannot tell the sheets apart.
bool NamesOneSheet(const YExcel::BasicExcel &book, std::size_t index)
{
    const std::string &name = book.SheetName(index);
    if (name.empty()) {
        return false;
    }
    for (std::size_t i = 0; i < book.SheetCount(); ++i) {
        if (i != index && YExcel::SameSheetName(book.SheetName(i), name)) {
            return false;
        }
    }
    return true;
}

std::vector<std::uint8_t> AsCompoundFile(std::span<const std::uint8_t> bytes)
{
    static constexpr std::uint8_t Signature[] = {0xD0, 0xCF, 0x11, 0xE0, 0xA1, 0xB1, 0x1A, 0xE1};
    if (bytes.size() >= sizeof Signature && std::memcmp(bytes.data(), Signature, sizeof Signature) == 0) {
        return {bytes.begin(), bytes.end()};
    }
    const std::string file = YExcel::WriteCompoundFile(
        YExcel::SingleStreamEntries(u"Workbook", {bytes.begin(), bytes.end()}, {}));
    return {file.begin(), file.end()};
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    const std::vector<std::uint8_t> bytes = AsCompoundFile({data, size});
    const auto written = YExcel::RewriteWorkbook(bytes, ReportSheets);
    const std::string *rewritten = std::get_if<std::string>(&written);
    if (!rewritten) {
        return 0;
    }
    YExcel::BasicExcel after;
    Require(after.OpenBookFromMemory(
        {reinterpret_cast<const std::uint8_t *>(rewritten->data()), rewritten->size()}));
    for (const YExcel::WrittenSheet &sheet : ReportSheets) {
        YExcel::BasicExcelWorksheet *found = SheetNamed(after, sheet.Name);
        Require(found && !found->Damaged()
            && found->CellAt(0, 0)->TextValue() == std::get<std::string>(sheet.Rows[0][0]));
    }

    YExcel::BasicExcel before;
    if (!before.OpenBookFromMemory(bytes)) {
        return 0;
    }
    for (std::size_t i = 0; i < before.SheetCount(); ++i) {
        if (!NamesOneSheet(before, i) || IsWritten(before.SheetName(i))) {
            continue;
        }
        YExcel::BasicExcelWorksheet *kept = SheetNamed(after, before.SheetName(i));
        Require(kept && kept->RowCount() == before.SheetAt(i)->RowCount()
            && kept->ColumnCount() == before.SheetAt(i)->ColumnCount());
    }
    return 0;
}
