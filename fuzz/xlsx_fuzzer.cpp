// libFuzzer target: arbitrary bytes through the .xlsx reader (ZIP package, relationship,
// workbook, shared-string and worksheet parts), as an untrusted .xlsx file would go, and
// every cell of every sheet read back.
//
// Mutated ZIP entries rarely survive their CRC, so input that is no ZIP package is taken
// as XML and stored, as the worksheet and as the shared strings, in a package that is
// otherwise sound: seeded with the corpus's extracted worksheet parts, mutations reach
// the XML readers.

#include "xlsx_workbook.h"

#include <zip.h>

#include <cstddef>
#include <cstdint>
#include <string_view>
#include <utility>
#include <vector>

// Keeps the reads from being optimised away.
volatile double fuzzSink;

namespace {

constexpr std::string_view Relationships = "http://schemas.openxmlformats.org/officeDocument/2006/relationships";

const std::string RootRelationships = std::string("<Relationships xmlns=\"http://schemas.openxmlformats.org/package/2006/relationships\">")
    + "<Relationship Id=\"d\" Type=\"" + std::string(Relationships) + "/officeDocument\" Target=\"xl/workbook.xml\"/></Relationships>";
const std::string WorkbookRelationships = std::string("<Relationships xmlns=\"http://schemas.openxmlformats.org/package/2006/relationships\">")
    + "<Relationship Id=\"w\" Type=\"" + std::string(Relationships) + "/worksheet\" Target=\"sheet.xml\"/>"
    + "<Relationship Id=\"s\" Type=\"" + std::string(Relationships) + "/sharedStrings\" Target=\"strings.xml\"/></Relationships>";
const std::string Workbook = "<workbook xmlns=\"http://schemas.openxmlformats.org/spreadsheetml/2006/main\" xmlns:r=\""
    + std::string(Relationships) + "\"><sheets><sheet name=\"s\" r:id=\"w\"/></sheets></workbook>";

// A package of stored parts; empty when libzip cannot write it.
std::vector<std::uint8_t> StoredPackage(const std::vector<std::pair<const char *, std::string_view>> &parts)
{
    zip_source_t *buffer = zip_source_buffer_create(nullptr, 0, 0, nullptr);
    if (!buffer) {
        return {};
    }
    zip_source_keep(buffer);
    zip_t *archive = zip_open_from_source(buffer, ZIP_TRUNCATE, nullptr);
    std::vector<std::uint8_t> bytes;
    if (archive) {
        for (const auto &[name, text] : parts) {
            zip_source_t *source = zip_source_buffer(archive, text.data(), text.size(), 0);
            const zip_int64_t index = source ? zip_file_add(archive, name, source, 0) : -1;
            if (index < 0) {
                zip_source_free(source);
            } else {
                zip_set_file_compression(archive, static_cast<zip_uint64_t>(index), ZIP_CM_STORE, 0);
            }
        }
        if (zip_close(archive) != 0) {
            zip_discard(archive);
        }
    }
    if (zip_source_open(buffer) == 0) {
        std::uint8_t chunk[1 << 16];
        for (zip_int64_t got; (got = zip_source_read(buffer, chunk, sizeof chunk)) > 0;) {
            bytes.insert(bytes.end(), chunk, chunk + got);
        }
        zip_source_close(buffer);
    }
    zip_source_free(buffer);
    return bytes;
}

void ReadEveryCell(std::span<const std::uint8_t> bytes)
{
    const DataFile::OpenResult read = DataFile::ReadXlsxWorkbook(bytes);
    if (!read.Book) {
        return;
    }
    double sum = 0;
    std::size_t textBytes = 0;
    for (std::size_t i = 0; i < read.Book->SheetCount(); ++i) {
        const DataFile::Worksheet &sheet = *read.Book->SheetAt(i);
        textBytes += read.Book->SheetName(i).size();
        for (int row = 0; row < sheet.RowCount(); ++row) {
            for (int column = 0; column < sheet.ColumnCount(); ++column) {
                const DataFile::Cell cell = sheet.CellAt(row, column);
                sum += cell.Number;
                if (const auto text = cell.TextValue()) {
                    textBytes += text->size();
                }
            }
        }
    }
    fuzzSink = sum + static_cast<double>(textBytes);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    const std::span<const std::uint8_t> bytes(data, size);
    if (DataFile::FormatOf(bytes) == DataFile::Format::Xlsx) {
        ReadEveryCell(bytes);
        return 0;
    }
    const std::string_view xml(reinterpret_cast<const char *>(data), size);
    ReadEveryCell(StoredPackage({{"_rels/.rels", RootRelationships}, {"xl/workbook.xml", Workbook},
        {"xl/_rels/workbook.xml.rels", WorkbookRelationships}, {"xl/sheet.xml", xml}, {"xl/strings.xml", xml}}));
    return 0;
}
