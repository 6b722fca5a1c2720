#include "workbook_builder.h"

#include <unistd.h>

#include <algorithm>
#include <bit>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <stdexcept>

namespace TestWorkbook {

namespace {

constexpr std::uint32_t EndOfChain = 0xFFFFFFFE;
constexpr std::uint32_t FreeSector = 0xFFFFFFFF;
constexpr std::uint32_t FatSectorMark = 0xFFFFFFFD;
constexpr std::uint32_t DifatSectorMark = 0xFFFFFFFC;

void Put16(ByteVector &out, std::uint16_t value)
{
    out.push_back(static_cast<std::uint8_t>(value));
    out.push_back(static_cast<std::uint8_t>(value >> 8));
}

void Put32(ByteVector &out, std::uint32_t value)
{
    Put16(out, static_cast<std::uint16_t>(value));
    Put16(out, static_cast<std::uint16_t>(value >> 16));
}

void Put64(ByteVector &out, std::uint64_t value)
{
    Put32(out, static_cast<std::uint32_t>(value));
    Put32(out, static_cast<std::uint32_t>(value >> 32));
}

ByteVector CellHeader(std::uint16_t row, std::uint16_t column)
{
    ByteVector body;
    Put16(body, row);
    Put16(body, column);
    Put16(body, 15); // XF
    return body;
}

void Append(ByteVector &out, const ByteVector &more)
{
    out.insert(out.end(), more.begin(), more.end());
}

std::size_t CeilDiv(std::size_t value, std::size_t divisor)
{
    return (value + divisor - 1) / divisor;
}

} // namespace

ByteVector Record(std::uint16_t code, const ByteVector &body)
{
    ByteVector out;
    Put16(out, code);
    Put16(out, static_cast<std::uint16_t>(body.size()));
    Append(out, body);
    return out;
}

ByteVector Bof(std::uint16_t substreamType)
{
    ByteVector body;
    Put16(body, 0x0600);
    Put16(body, substreamType);
    Put16(body, 0x0DBB);
    Put16(body, 0x07CC);
    Put32(body, 0);
    Put32(body, 0x06);
    return Record(0x0809, body);
}

ByteVector Eof()
{
    return Record(0x000A, {});
}

ByteVector Number(std::uint16_t row, std::uint16_t column, double value)
{
    ByteVector body = CellHeader(row, column);
    Put64(body, std::bit_cast<std::uint64_t>(value));
    return Record(0x0203, body);
}

ByteVector Rk(std::uint16_t row, std::uint16_t column, std::uint32_t rk)
{
    ByteVector body = CellHeader(row, column);
    Put32(body, rk);
    return Record(0x027E, body);
}

ByteVector MulRk(std::uint16_t row, std::uint16_t firstColumn, const std::vector<std::uint32_t> &rks)
{
    ByteVector body;
    Put16(body, row);
    Put16(body, firstColumn);
    for (std::uint32_t rk : rks) {
        Put16(body, 15);
        Put32(body, rk);
    }
    Put16(body, static_cast<std::uint16_t>(firstColumn + rks.size() - 1));
    return Record(0x00BD, body);
}

ByteVector Blank(std::uint16_t row, std::uint16_t column)
{
    return Record(0x0201, CellHeader(row, column));
}

ByteVector MulBlank(std::uint16_t row, std::uint16_t firstColumn, std::uint16_t lastColumn)
{
    ByteVector body;
    Put16(body, row);
    Put16(body, firstColumn);
    for (int column = firstColumn; column <= lastColumn; ++column) {
        Put16(body, 15);
    }
    Put16(body, lastColumn);
    return Record(0x00BE, body);
}

ByteVector LabelSst(std::uint16_t row, std::uint16_t column, std::uint32_t index)
{
    ByteVector body = CellHeader(row, column);
    Put32(body, index);
    return Record(0x00FD, body);
}

ByteVector BoolErr(std::uint16_t row, std::uint16_t column, std::uint8_t value, bool isError)
{
    ByteVector body = CellHeader(row, column);
    body.push_back(value);
    body.push_back(isError ? 1 : 0);
    return Record(0x0205, body);
}

ByteVector Label(std::uint16_t row, std::uint16_t column, const std::string &text8)
{
    ByteVector body = CellHeader(row, column);
    Append(body, Text8(text8));
    return Record(0x0204, body);
}

ByteVector Label16(std::uint16_t row, std::uint16_t column, const std::u16string &text)
{
    ByteVector body = CellHeader(row, column);
    Append(body, Text16(text));
    return Record(0x0204, body);
}

ByteVector RString(std::uint16_t row, std::uint16_t column, const std::string &text8)
{
    ByteVector body = CellHeader(row, column);
    Append(body, Text8(text8));
    Put16(body, 1); // one formatting run
    Put32(body, 0);
    return Record(0x00D6, body);
}

ByteVector NumericFormula(std::uint16_t row, std::uint16_t column, double value)
{
    ByteVector body = CellHeader(row, column);
    Put64(body, std::bit_cast<std::uint64_t>(value));
    Put16(body, 0); // flags
    Put32(body, 0); // chn
    Put16(body, 3); // formula: 3 bytes, PtgInt 1
    body.insert(body.end(), {0x1E, 0x01, 0x00});
    return Record(0x0006, body);
}

ByteVector OtherFormula(std::uint16_t row, std::uint16_t column, std::uint8_t type, std::uint8_t value)
{
    ByteVector body = CellHeader(row, column);
    body.insert(body.end(), {type, 0, value, 0, 0, 0, 0xFF, 0xFF});
    Put16(body, 0);
    Put32(body, 0);
    Put16(body, 3);
    body.insert(body.end(), {0x1E, 0x01, 0x00});
    return Record(0x0006, body);
}

ByteVector String(const std::string &text8)
{
    return Record(0x0207, Text8(text8));
}

ByteVector Row(std::uint16_t row)
{
    ByteVector body;
    Put16(body, row);
    Put16(body, 0);
    Put16(body, 3);
    Put16(body, 0xFF);
    Put32(body, 0);
    Put32(body, 0x100);
    return Record(0x0208, body);
}

ByteVector Text8(const std::string &text)
{
    ByteVector out;
    Put16(out, static_cast<std::uint16_t>(text.size()));
    out.push_back(0);
    out.insert(out.end(), text.begin(), text.end());
    return out;
}

ByteVector Text16(const std::u16string &text)
{
    ByteVector out;
    Put16(out, static_cast<std::uint16_t>(text.size()));
    out.push_back(1);
    for (char16_t c : text) {
        Put16(out, c);
    }
    return out;
}

ByteVector Sst(const std::vector<ByteVector> &texts)
{
    ByteVector body;
    Put32(body, static_cast<std::uint32_t>(texts.size()));
    Put32(body, static_cast<std::uint32_t>(texts.size()));
    for (const ByteVector &text : texts) {
        Append(body, text);
    }
    return Record(0x00FC, body);
}

ByteVector Join(const std::vector<ByteVector> &parts)
{
    ByteVector out;
    for (const ByteVector &part : parts) {
        Append(out, part);
    }
    return out;
}

ByteVector Workbook(const std::vector<ByteVector> &sheets, const ByteVector &sst)
{
    ByteVector out = Join({Bof(0x0005), sst, Eof()});
    for (const ByteVector &sheet : sheets) {
        Append(out, Join({Bof(0x0010), sheet, Eof()}));
    }
    return out;
}

// Layout: header, mini FAT, directory, FAT, DIFAT, mini stream, large streams in the order
// given, so the last stream ends the file (and a test can cut its last sector short). The
// directory links the streams as a chain of right siblings under the root.
ByteVector CompoundFile(const std::vector<Stream> &streams, const CompoundOptions &options)
{
    const std::size_t sectorSize = std::size_t(1) << options.SectorShift;
    const std::size_t idsPerSector = sectorSize / 4;

    ByteVector miniStream;
    std::vector<std::uint32_t> miniFat;
    std::vector<std::uint32_t> starts(streams.size(), EndOfChain);
    for (std::size_t i = 0; i < streams.size(); ++i) {
        const ByteVector &bytes = streams[i].Bytes;
        if (bytes.size() >= 4096 || bytes.empty()) {
            continue;
        }
        const std::size_t count = CeilDiv(bytes.size(), 64);
        const auto first = static_cast<std::uint32_t>(miniFat.size());
        for (std::size_t j = 0; j < count; ++j) {
            miniFat.push_back(j + 1 < count ? first + static_cast<std::uint32_t>(j) + 1 : EndOfChain);
        }
        ByteVector padded = bytes;
        padded.resize(count * 64, 0);
        Append(miniStream, padded);
        starts[i] = first;
    }
    ByteVector miniFatBytes;
    for (std::uint32_t id : miniFat) {
        Put32(miniFatBytes, id);
    }

    const std::size_t miniFatSectors = CeilDiv(miniFatBytes.size(), sectorSize);
    const std::size_t directorySectors = CeilDiv(128 * (streams.size() + 1), sectorSize);
    std::size_t dataSectors = CeilDiv(miniStream.size(), sectorSize);
    for (const Stream &stream : streams) {
        if (stream.Bytes.size() >= 4096) {
            dataSectors += CeilDiv(stream.Bytes.size(), sectorSize);
        }
    }
    // FAT and DIFAT sectors also need FAT entries: grow both counts until they cover all.
    std::size_t fatCount = 1;
    std::size_t difatCount = 0;
    for (;;) {
        const std::size_t total = miniFatSectors + directorySectors + fatCount + difatCount + dataSectors;
        const std::size_t neededFat = std::max(CeilDiv(total, idsPerSector), options.MinimumFatSectors);
        const std::size_t neededDifat = neededFat > 109 ? CeilDiv(neededFat - 109, idsPerSector - 1) : 0;
        if (neededFat == fatCount && neededDifat == difatCount) {
            break;
        }
        fatCount = neededFat;
        difatCount = neededDifat;
    }

    std::vector<std::uint32_t> fat;
    const auto chain = [&](std::size_t count) {
        const auto first = static_cast<std::uint32_t>(fat.size());
        for (std::size_t i = 0; i < count; ++i) {
            fat.push_back(i + 1 < count ? first + static_cast<std::uint32_t>(i) + 1 : EndOfChain);
        }
        return count == 0 ? EndOfChain : first;
    };
    const std::uint32_t miniFatStart = chain(miniFatSectors);
    const std::uint32_t directoryStart = chain(directorySectors);
    const auto fatStart = static_cast<std::uint32_t>(fat.size());
    fat.insert(fat.end(), fatCount, FatSectorMark);
    const auto difatStart = static_cast<std::uint32_t>(fat.size());
    fat.insert(fat.end(), difatCount, DifatSectorMark);
    const std::uint32_t miniStreamStart = chain(CeilDiv(miniStream.size(), sectorSize));
    for (std::size_t i = 0; i < streams.size(); ++i) {
        if (streams[i].Bytes.size() >= 4096) {
            starts[i] = chain(CeilDiv(streams[i].Bytes.size(), sectorSize));
        }
    }
    fat.resize(fatCount * idsPerSector, FreeSector);

    ByteVector directory;
    const auto addEntry = [&](const std::string &name, std::uint8_t type, std::uint32_t right,
                              std::uint32_t child, std::uint32_t start, std::uint64_t size) {
        ByteVector entry(128, 0);
        for (std::size_t i = 0; i < name.size(); ++i) {
            entry[2 * i] = static_cast<std::uint8_t>(name[i]);
        }
        const auto nameBytes = static_cast<std::uint16_t>(2 * (name.size() + 1));
        entry[64] = static_cast<std::uint8_t>(nameBytes);
        entry[65] = static_cast<std::uint8_t>(nameBytes >> 8);
        entry[66] = type;
        entry[67] = 1; // black
        ByteVector fields;
        Put32(fields, 0xFFFFFFFF);
        Put32(fields, right);
        Put32(fields, child);
        std::copy(fields.begin(), fields.end(), entry.begin() + 68);
        fields.clear();
        Put32(fields, start);
        Put64(fields, size);
        std::copy(fields.begin(), fields.end(), entry.begin() + 116);
        Append(directory, entry);
    };
    addEntry(
        "Root Entry", 5, 0xFFFFFFFF, streams.empty() ? 0xFFFFFFFF : 1, miniStreamStart, miniStream.size());
    for (std::size_t i = 0; i < streams.size(); ++i) {
        const std::uint32_t right = i + 1 < streams.size() ? static_cast<std::uint32_t>(i + 2) : 0xFFFFFFFF;
        addEntry(streams[i].Name, 2, right, 0xFFFFFFFF, starts[i], streams[i].Bytes.size());
    }

    std::vector<std::uint32_t> fatIds;
    for (std::size_t i = 0; i < fatCount; ++i) {
        fatIds.push_back(fatStart + static_cast<std::uint32_t>(i));
    }
    ByteVector header = {0xD0, 0xCF, 0x11, 0xE0, 0xA1, 0xB1, 0x1A, 0xE1};
    header.resize(24, 0);
    Put16(header, 0x3E);
    Put16(header, options.SectorShift == 12 ? 4 : 3);
    Put16(header, 0xFFFE);
    Put16(header, static_cast<std::uint16_t>(options.SectorShift));
    Put16(header, 6);
    header.resize(0x28, 0);
    Put32(header, options.SectorShift == 12 ? static_cast<std::uint32_t>(directorySectors) : 0);
    Put32(header, static_cast<std::uint32_t>(fatCount));
    Put32(header, directoryStart);
    Put32(header, 0);
    Put32(header, 4096);
    Put32(header, miniFatStart);
    Put32(header, static_cast<std::uint32_t>(miniFatSectors));
    Put32(header, difatCount ? difatStart : EndOfChain);
    Put32(header, static_cast<std::uint32_t>(difatCount));
    for (std::size_t i = 0; i < 109; ++i) {
        Put32(header, i < fatIds.size() ? fatIds[i] : FreeSector);
    }

    ByteVector file = header;
    const auto appendSectors = [&](const ByteVector &bytes) {
        ByteVector padded = bytes;
        padded.resize(CeilDiv(bytes.size(), sectorSize) * sectorSize, 0);
        Append(file, padded);
    };
    file.resize(sectorSize, 0);
    appendSectors(miniFatBytes);
    appendSectors(directory);
    ByteVector fatBytes;
    for (std::uint32_t id : fat) {
        Put32(fatBytes, id);
    }
    appendSectors(fatBytes);
    for (std::size_t d = 0; d < difatCount; ++d) {
        ByteVector difat;
        for (std::size_t i = 0; i < idsPerSector - 1; ++i) {
            const std::size_t index = 109 + d * (idsPerSector - 1) + i;
            Put32(difat, index < fatIds.size() ? fatIds[index] : FreeSector);
        }
        Put32(difat, d + 1 < difatCount ? difatStart + static_cast<std::uint32_t>(d) + 1 : EndOfChain);
        appendSectors(difat);
    }
    appendSectors(miniStream);
    for (const Stream &stream : streams) {
        if (stream.Bytes.size() >= 4096) {
            appendSectors(stream.Bytes);
        }
    }
    return file;
}

ByteVector CompoundFileWithWorkbook(const ByteVector &workbookStream, const CompoundOptions &options)
{
    return CompoundFile({{"Workbook", workbookStream}}, options);
}

std::uint32_t ReadU32(const ByteVector &file, std::size_t offset)
{
    return file.at(offset) | (file.at(offset + 1) << 8) | (file.at(offset + 2) << 16)
        | (std::uint32_t(file.at(offset + 3)) << 24);
}

void WriteU32(ByteVector &file, std::size_t offset, std::uint32_t value)
{
    for (int i = 0; i < 4; ++i) {
        file.at(offset + i) = static_cast<std::uint8_t>(value >> (8 * i));
    }
}

std::size_t SectorOffset(const ByteVector &file, std::uint32_t sector)
{
    const unsigned shift = file.at(0x1E);
    return (std::size_t(sector) + 1) << shift;
}

std::uint32_t FatEntry(const ByteVector &file, std::uint32_t sector)
{
    return ReadU32(file, SectorOffset(file, ReadU32(file, 0x4C)) + 4 * sector);
}

void SetFatEntry(ByteVector &file, std::uint32_t sector, std::uint32_t value)
{
    WriteU32(file, SectorOffset(file, ReadU32(file, 0x4C)) + 4 * sector, value);
}

std::size_t DirectoryEntryOffset(const ByteVector &file, std::uint32_t index)
{
    return SectorOffset(file, ReadU32(file, 0x30)) + 128 * index;
}

std::string WriteTemporaryFile(const std::string &name, const ByteVector &bytes)
{
    // CTest runs test processes side by side: each process writes into a folder of its own.
    const auto folder
        = std::filesystem::temp_directory_path() / ("orvane-basicexcel-tests-" + std::to_string(getpid()));
    std::filesystem::create_directories(folder);
    const auto path = folder / name;
    std::filesystem::remove(path);
    std::ofstream out(path, std::ios::binary);
    out.write(reinterpret_cast<const char *>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    if (!out) {
        throw std::runtime_error("cannot write " + path.string());
    }
    return path.string();
}

} // namespace TestWorkbook
