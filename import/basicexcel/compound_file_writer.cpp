#include "compound_file_writer.h"

#include <algorithm>

namespace YExcel {

namespace {

// [MS-CFB] 2.1: special sector ids.
constexpr std::uint32_t DifatSectorMark = 0xFFFFFFFC;
constexpr std::uint32_t FatSectorMark = 0xFFFFFFFD;
constexpr std::uint32_t EndOfChain = 0xFFFFFFFE;
constexpr std::uint32_t FreeSector = 0xFFFFFFFF;

constexpr std::size_t SectorSize = 512;
constexpr std::size_t MiniSectorSize = 64;
constexpr std::size_t MiniStreamCutoff = 4096;
constexpr std::size_t EntrySize = 128;
constexpr std::size_t IdsPerSector = SectorSize / 4;
constexpr std::size_t HeaderDifatEntries = 109;
constexpr std::size_t MaxNameCharacters = 31;

void PutU16(std::string &out, std::size_t offset, std::uint16_t value)
{
    out[offset] = static_cast<char>(value & 0xFF);
    out[offset + 1] = static_cast<char>(value >> 8);
}

void PutU32(std::string &out, std::size_t offset, std::uint32_t value)
{
    for (int i = 0; i < 4; ++i) {
        out[offset + i] = static_cast<char>((value >> (8 * i)) & 0xFF);
    }
}

std::size_t CeilDiv(std::size_t value, std::size_t divisor)
{
    return value / divisor + (value % divisor != 0);
}

// Appends a chain of `count` consecutive units to `table`; EndOfChain for none.
std::uint32_t AppendChain(std::vector<std::uint32_t> &table, std::size_t count)
{
    if (count == 0) {
        return EndOfChain;
    }
    const auto start = static_cast<std::uint32_t>(table.size());
    for (std::size_t i = 1; i < count; ++i) {
        table.push_back(static_cast<std::uint32_t>(start + i));
    }
    table.push_back(EndOfChain);
    return start;
}

void AppendPadded(std::string &out, const std::string &bytes, std::size_t unit)
{
    out += bytes;
    out.append(CeilDiv(bytes.size(), unit) * unit - bytes.size(), '\0');
}

std::string Ids(const std::vector<std::uint32_t> &ids)
{
    std::string out(4 * ids.size(), '\0');
    for (std::size_t i = 0; i < ids.size(); ++i) {
        PutU32(out, 4 * i, ids[i]);
    }
    return out;
}

bool InMiniStream(const StorageEntry &entry)
{
    return entry.Type == StorageEntry::Stream && entry.Bytes.size() < MiniStreamCutoff;
}

struct Placement
{
    std::uint32_t Start = EndOfChain;
    std::uint64_t Size = 0;
};

std::string DirectoryEntryBytes(const StorageEntry &entry, const Placement &placement)
{
    std::string out(EntrySize, '\0');
    PutU32(out, 68, StorageEntry::NoLink);
    PutU32(out, 72, StorageEntry::NoLink);
    PutU32(out, 76, StorageEntry::NoLink);
    if (entry.Type == StorageEntry::Unused) {
        return out;
    }
    const std::size_t characters = std::min(entry.Name.size(), MaxNameCharacters);
    for (std::size_t i = 0; i < characters; ++i) {
        PutU16(out, 2 * i, entry.Name[i]);
    }
    PutU16(out, 64, static_cast<std::uint16_t>(2 * (characters + 1)));
    out[66] = static_cast<char>(entry.Type);
    out[67] = static_cast<char>(entry.Color);
    PutU32(out, 68, entry.Left);
    PutU32(out, 72, entry.Right);
    PutU32(out, 76, entry.Child);
    std::copy(entry.Clsid.begin(), entry.Clsid.end(), out.begin() + 80);
    PutU32(out, 96, entry.StateBits);
    std::copy(entry.Times.begin(), entry.Times.end(), out.begin() + 100);
    // [MS-CFB] 2.6.3: a storage has no sectors of its own.
    PutU32(out, 116, entry.Type == StorageEntry::Storage ? 0 : placement.Start);
    PutU32(out, 120, static_cast<std::uint32_t>(placement.Size));
    return out;
}

// FAT sectors cover every sector, themselves and the DIFAT sectors listing them included.
void CountAllocationSectors(std::size_t dataSectors, std::size_t &fatSectors, std::size_t &difatSectors)
{
    fatSectors = 1;
    difatSectors = 0;
    for (;;) {
        const std::size_t neededFat = CeilDiv(dataSectors + fatSectors + difatSectors, IdsPerSector);
        const std::size_t neededDifat
            = neededFat > HeaderDifatEntries ? CeilDiv(neededFat - HeaderDifatEntries, IdsPerSector - 1) : 0;
        if (neededFat == fatSectors && neededDifat == difatSectors) {
            return;
        }
        fatSectors = neededFat;
        difatSectors = neededDifat;
    }
}

std::string Header(std::size_t fatStart, std::size_t fatSectors, std::size_t difatStart,
    std::size_t difatSectors, std::uint32_t directoryStart, std::uint32_t miniFatStart,
    std::size_t miniFatSectors)
{
    static constexpr unsigned char Signature[] = {0xD0, 0xCF, 0x11, 0xE0, 0xA1, 0xB1, 0x1A, 0xE1};
    std::string out(SectorSize, '\0');
    std::copy(std::begin(Signature), std::end(Signature), out.begin());
    PutU16(out, 0x18, 0x003E); // minor version
    PutU16(out, 0x1A, 0x0003); // major version: 512-byte sectors
    PutU16(out, 0x1C, 0xFFFE); // little-endian
    PutU16(out, 0x1E, 9);
    PutU16(out, 0x20, 6);
    PutU32(out, 0x2C, static_cast<std::uint32_t>(fatSectors));
    PutU32(out, 0x30, directoryStart);
    PutU32(out, 0x38, MiniStreamCutoff);
    PutU32(out, 0x3C, miniFatStart);
    PutU32(out, 0x40, static_cast<std::uint32_t>(miniFatSectors));
    PutU32(out, 0x44, difatSectors > 0 ? static_cast<std::uint32_t>(difatStart) : EndOfChain);
    PutU32(out, 0x48, static_cast<std::uint32_t>(difatSectors));
    for (std::size_t i = 0; i < HeaderDifatEntries; ++i) {
        PutU32(out, 0x4C + 4 * i, i < fatSectors ? static_cast<std::uint32_t>(fatStart + i) : FreeSector);
    }
    return out;
}

// The FAT sector ids beyond the header's 109, 127 to a sector, each sector ending with
// the id of the next.
std::string DifatSectors(
    std::size_t fatStart, std::size_t fatSectors, std::size_t difatStart, std::size_t count)
{
    std::vector<std::uint32_t> ids;
    for (std::size_t sector = 0; sector < count; ++sector) {
        for (std::size_t i = 0; i < IdsPerSector - 1; ++i) {
            const std::size_t fatIndex = HeaderDifatEntries + sector * (IdsPerSector - 1) + i;
            ids.push_back(
                fatIndex < fatSectors ? static_cast<std::uint32_t>(fatStart + fatIndex) : FreeSector);
        }
        ids.push_back(sector + 1 < count ? static_cast<std::uint32_t>(difatStart + sector + 1) : EndOfChain);
    }
    return Ids(ids);
}

} // namespace

std::string WriteCompoundFile(const std::vector<StorageEntry> &entries)
{
    std::vector<std::uint32_t> fat;
    std::vector<std::uint32_t> miniFat;
    std::vector<Placement> placements(entries.size());
    std::string body; // every sector after the header, in id order
    std::string miniStream;
    for (std::size_t i = 1; i < entries.size(); ++i) {
        const StorageEntry &entry = entries[i];
        if (entry.Type != StorageEntry::Stream || entry.Bytes.empty()) {
            continue;
        }
        const std::string bytes(entry.Bytes.begin(), entry.Bytes.end());
        placements[i].Size = bytes.size();
        if (InMiniStream(entry)) {
            placements[i].Start = AppendChain(miniFat, CeilDiv(bytes.size(), MiniSectorSize));
            AppendPadded(miniStream, bytes, MiniSectorSize);
        } else {
            placements[i].Start = AppendChain(fat, CeilDiv(bytes.size(), SectorSize));
            AppendPadded(body, bytes, SectorSize);
        }
    }
    if (!entries.empty()) {
        placements[0].Size = miniStream.size();
        placements[0].Start = AppendChain(fat, CeilDiv(miniStream.size(), SectorSize));
        AppendPadded(body, miniStream, SectorSize);
    }
    std::string miniFatBytes = Ids(miniFat);
    miniFatBytes.append(CeilDiv(miniFatBytes.size(), SectorSize) * SectorSize - miniFatBytes.size(), '\xFF');
    const std::size_t miniFatSectors = miniFatBytes.size() / SectorSize;
    const std::uint32_t miniFatStart = AppendChain(fat, miniFatSectors);
    body += miniFatBytes;

    std::string directory;
    for (std::size_t i = 0; i < entries.size(); ++i) {
        directory += DirectoryEntryBytes(entries[i], placements[i]);
    }
    while (directory.empty() || directory.size() % SectorSize != 0) {
        directory += DirectoryEntryBytes(StorageEntry {}, Placement {});
    }
    const std::uint32_t directoryStart = AppendChain(fat, directory.size() / SectorSize);
    body += directory;

    std::size_t fatSectors = 0;
    std::size_t difatSectors = 0;
    CountAllocationSectors(fat.size(), fatSectors, difatSectors);
    const std::size_t fatStart = fat.size();
    fat.insert(fat.end(), fatSectors, FatSectorMark);
    const std::size_t difatStart = fat.size();
    fat.insert(fat.end(), difatSectors, DifatSectorMark);
    fat.resize(fatSectors * IdsPerSector, FreeSector);

    std::string file = Header(
        fatStart, fatSectors, difatStart, difatSectors, directoryStart, miniFatStart, miniFatSectors);
    file.reserve(file.size() + body.size() + (fatSectors + difatSectors) * SectorSize);
    file += body;
    file += Ids(fat);
    file += DifatSectors(fatStart, fatSectors, difatStart, difatSectors);
    return file;
}

std::vector<StorageEntry> SingleStreamEntries(
    const std::u16string &name, std::vector<std::uint8_t> bytes, const std::array<std::uint8_t, 16> &clsid)
{
    StorageEntry root;
    root.Name = u"Root Entry";
    root.Type = StorageEntry::Root;
    root.Child = 1;
    root.Clsid = clsid;
    StorageEntry stream;
    stream.Name = name;
    stream.Type = StorageEntry::Stream;
    stream.Bytes = std::move(bytes);
    return {root, stream};
}

} // namespace YExcel
