#pragma once

// Builds small workbooks for the tests: BIFF8 records assembled into a "Workbook" stream,
// streams assembled into a compound file. Malformed variants are made by changing the
// records or patching the bytes of the result.

#include <cstdint>
#include <string>
#include <vector>

namespace TestWorkbook {

using ByteVector = std::vector<std::uint8_t>;

// ---- BIFF8 records ----------------------------------------------------------------------

ByteVector Record(std::uint16_t code, const ByteVector &body);
ByteVector Bof(std::uint16_t substreamType); // 0x0005 globals, 0x0010 worksheet, 0x0020 chart
ByteVector Eof();
ByteVector Number(std::uint16_t row, std::uint16_t column, double value);
ByteVector Rk(std::uint16_t row, std::uint16_t column, std::uint32_t rk);
ByteVector MulRk(std::uint16_t row, std::uint16_t firstColumn, const std::vector<std::uint32_t> &rks);
ByteVector Blank(std::uint16_t row, std::uint16_t column);
ByteVector MulBlank(std::uint16_t row, std::uint16_t firstColumn, std::uint16_t lastColumn);
ByteVector LabelSst(std::uint16_t row, std::uint16_t column, std::uint32_t index);
ByteVector BoolErr(std::uint16_t row, std::uint16_t column, std::uint8_t value, bool isError);
ByteVector Label(std::uint16_t row, std::uint16_t column, const std::string &text8);
ByteVector Label16(std::uint16_t row, std::uint16_t column, const std::u16string &text);
ByteVector RString(std::uint16_t row, std::uint16_t column, const std::string &text8);
ByteVector NumericFormula(std::uint16_t row, std::uint16_t column, double value);
// A formula with a non-numeric cached result: type 0 text, 1 boolean, 2 error, 3 empty text.
ByteVector OtherFormula(std::uint16_t row, std::uint16_t column, std::uint8_t type, std::uint8_t value);
ByteVector String(const std::string &text8);
ByteVector Row(std::uint16_t row);

// Texts of a shared-string table body: count, option byte, characters.
ByteVector Text8(const std::string &text);
ByteVector Text16(const std::u16string &text);
// An SST record whose strings are given as encoded texts; `total` counts them.
ByteVector Sst(const std::vector<ByteVector> &texts);

// Concatenation of records.
ByteVector Join(const std::vector<ByteVector> &parts);

// Globals (BOF, an optional SST, EOF) and then the given worksheets, each wrapped in BOF / EOF.
ByteVector Workbook(const std::vector<ByteVector> &sheets, const ByteVector &sst = {});

// ---- compound files ---------------------------------------------------------------------

struct Stream
{
    std::string Name;
    ByteVector Bytes;
};

struct CompoundOptions
{
    unsigned SectorShift = 9; // 9: 512-byte sectors (version 3), 12: 4096 (version 4)
    std::size_t MinimumFatSectors = 0; // more than 109 puts FAT sector ids in DIFAT sectors
};

// Streams of 4096 bytes or more go to regular sectors, smaller ones to the mini stream.
ByteVector CompoundFile(const std::vector<Stream> &streams, const CompoundOptions &options = {});
ByteVector CompoundFileWithWorkbook(const ByteVector &workbookStream, const CompoundOptions &options = {});

// Patching helpers for small files (FAT in its first sector, directory in one sector).
std::uint32_t ReadU32(const ByteVector &file, std::size_t offset);
void WriteU32(ByteVector &file, std::size_t offset, std::uint32_t value);
std::size_t SectorOffset(const ByteVector &file, std::uint32_t sector);
std::uint32_t FatEntry(const ByteVector &file, std::uint32_t sector);
void SetFatEntry(ByteVector &file, std::uint32_t sector, std::uint32_t value);
// Offset of directory entry `index` (0 is the root entry).
std::size_t DirectoryEntryOffset(const ByteVector &file, std::uint32_t index);

// Writes bytes to a fresh file under the test's temporary folder and returns its path.
std::string WriteTemporaryFile(const std::string &name, const ByteVector &bytes);

} // namespace TestWorkbook
