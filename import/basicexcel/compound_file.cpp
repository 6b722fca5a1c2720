#include "compound_file.h"

#include "little_endian.h"

#include <algorithm>
#include <array>
#include <fcntl.h>
#include <limits>
#include <sys/stat.h>
#include <unistd.h>

namespace YExcel {

namespace {

// [MS-CFB] 2.1: special sector ids.
constexpr std::uint32_t MaxRegularSector = 0xFFFFFFFA;
constexpr std::uint32_t EndOfChain = 0xFFFFFFFE;
constexpr std::uint32_t FreeSector = 0xFFFFFFFF;
constexpr std::uint32_t NoStream = 0xFFFFFFFF;

constexpr std::size_t HeaderSize = 512;
constexpr std::size_t HeaderDifatEntries = 109;
constexpr std::size_t DirectoryEntrySize = 128;
constexpr std::uint32_t MiniSectorSize = 64;
constexpr std::uint64_t MiniStreamCutoff = 4096;
constexpr std::array<std::uint8_t, 8> Signature = {0xD0, 0xCF, 0x11, 0xE0, 0xA1, 0xB1, 0x1A, 0xE1};

// [MS-CFB] 2.6.1: object types.
constexpr std::uint8_t StorageObject = StorageEntry::Storage;
constexpr std::uint8_t StreamObject = StorageEntry::Stream;
constexpr std::uint8_t RootStorageObject = StorageEntry::Root;

std::uint64_t CeilDiv(std::uint64_t value, std::uint64_t divisor)
{
    return value / divisor + (value % divisor != 0);
}

// [MS-CFB] 2.6.4 compares names by upper-casing; the names we look up are Latin-1, so
// upper-casing Latin-1 letters is all the comparison needs.
char16_t UpperCase(char16_t c)
{
    if ((c >= u'a' && c <= u'z') || (c >= 0xE0 && c <= 0xFE && c != 0xF7)) {
        return static_cast<char16_t>(c - 0x20);
    }
    return c;
}

struct DirectoryEntry
{
    std::u16string name;
    std::uint8_t type = 0;
    std::uint8_t color = 1;
    std::uint32_t left = NoStream;
    std::uint32_t right = NoStream;
    std::uint32_t child = NoStream;
    std::array<std::uint8_t, 16> clsid {};
    std::uint32_t stateBits = 0;
    std::array<std::uint8_t, 16> times {};
    std::uint32_t start = EndOfChain;
    std::uint64_t size = 0;
};

// [MS-CFB] 2.6.1: the name length counts bytes with the terminating zero.
DirectoryEntry ParseDirectoryEntry(const std::uint8_t *p)
{
    DirectoryEntry entry;
    const std::uint16_t nameBytes = LoadLittleEndian<std::uint16_t>(p + 64);
    if (nameBytes >= 2 && nameBytes <= 64 && nameBytes % 2 == 0) {
        for (std::size_t i = 0; i + 2 < nameBytes; i += 2) {
            entry.name += static_cast<char16_t>(LoadLittleEndian<std::uint16_t>(p + i));
        }
    }
    entry.type = p[66];
    entry.color = p[67];
    std::copy_n(p + 80, entry.clsid.size(), entry.clsid.begin());
    entry.stateBits = LoadLittleEndian<std::uint32_t>(p + 96);
    std::copy_n(p + 100, entry.times.size(), entry.times.begin());
    entry.left = LoadLittleEndian<std::uint32_t>(p + 68);
    entry.right = LoadLittleEndian<std::uint32_t>(p + 72);
    entry.child = LoadLittleEndian<std::uint32_t>(p + 76);
    entry.start = LoadLittleEndian<std::uint32_t>(p + 116);
    entry.size = LoadLittleEndian<std::uint64_t>(p + 120);
    return entry;
}

} // namespace

bool SameStreamName(const std::u16string &stored, const std::string &wanted)
{
    if (stored.size() != wanted.size()) {
        return false;
    }
    for (std::size_t i = 0; i < stored.size(); ++i) {
        if (UpperCase(stored[i]) != UpperCase(static_cast<unsigned char>(wanted[i]))) {
            return false;
        }
    }
    return true;
}

class ByteSource
{
public:
    virtual ~ByteSource() = default;
    virtual std::uint64_t Size() const = 0;
    // False when any of the bytes lies outside the source.
    virtual bool ReadAt(std::uint64_t offset, std::uint8_t *out, std::size_t length) const = 0;
};

namespace {

class FileByteSource : public ByteSource
{
public:
    FileByteSource(int fd, std::uint64_t size)
        : fd(fd)
        , size(size)
    { }
    ~FileByteSource() override { ::close(fd); }

    std::uint64_t Size() const override { return size; }

    bool ReadAt(std::uint64_t offset, std::uint8_t *out, std::size_t length) const override
    {
        if (offset > size || length > size - offset) {
            return false;
        }
        while (length > 0) {
            const ssize_t got = ::pread(fd, out, length, static_cast<off_t>(offset));
            if (got <= 0) {
                return false;
            }
            out += got;
            offset += static_cast<std::uint64_t>(got);
            length -= static_cast<std::size_t>(got);
        }
        return true;
    }

private:
    int fd;
    std::uint64_t size;
};

class MemoryByteSource : public ByteSource
{
public:
    explicit MemoryByteSource(std::span<const std::uint8_t> bytes)
        : bytes(bytes.begin(), bytes.end())
    { }

    std::uint64_t Size() const override { return bytes.size(); }

    bool ReadAt(std::uint64_t offset, std::uint8_t *out, std::size_t length) const override
    {
        if (offset > bytes.size() || length > bytes.size() - offset) {
            return false;
        }
        std::copy_n(bytes.begin() + static_cast<std::ptrdiff_t>(offset), length, out);
        return true;
    }

private:
    std::vector<std::uint8_t> bytes;
};

} // namespace

class CompoundFile
{
public:
    explicit CompoundFile(std::unique_ptr<ByteSource> source)
        : source(std::move(source))
    { }

    StorageStatus Load();
    StorageStatus FindStream(const std::string &name, const DirectoryEntry *&found) const;
    StorageStatus OpenStream(const DirectoryEntry &entry, StreamReader &reader) const;
    StorageStatus ReadEntries(std::vector<StorageEntry> &entries) const;

    // [MS-CFB] 2.6.3: version 3 files may leave garbage in the high half of the size.
    std::uint64_t StreamSizeOf(const DirectoryEntry &entry) const
    {
        return sectorShift == 9 ? entry.size & 0xFFFFFFFF : entry.size;
    }

private:
    StorageStatus ReadHeader(std::array<std::uint8_t, HeaderSize> &header);
    StorageStatus CollectFatSectorIds(const std::uint8_t *header, std::vector<std::uint32_t> &ids);
    StorageStatus LoadFat(const std::uint8_t *header);
    StorageStatus LoadDirectory(std::uint32_t firstSector);
    StorageStatus LoadMiniFat(std::uint32_t firstSector);
    StorageStatus MarkSector(std::uint32_t id, std::vector<bool> &visited) const;
    StorageStatus WalkChain(std::uint32_t start, const std::vector<std::uint32_t> &table,
        std::uint64_t wanted, std::vector<bool> &visited, std::vector<std::uint32_t> &chain) const;
    StorageStatus ReadChainOfSectors(
        std::uint32_t start, std::vector<std::uint32_t> &chain, std::vector<std::uint8_t> &bytes);
    StorageStatus LocateMainStream(std::uint32_t start, StreamReader &reader) const;
    StorageStatus LocateMiniStream(std::uint32_t start, StreamReader &reader) const;
    std::uint64_t SectorOffset(std::uint32_t id) const { return (std::uint64_t(id) + 1) << sectorShift; }

    std::unique_ptr<ByteSource> source;
    unsigned sectorShift = 9;
    std::uint32_t sectorSize = 512;
    std::uint32_t sectorCount = 0;
    std::vector<std::uint32_t> fat;
    std::vector<std::uint32_t> miniFat;
    std::vector<DirectoryEntry> directory;
    // Sectors of the FAT, DIFAT, directory and mini FAT: no stream may use them.
    std::vector<bool> structureSectors;
};

StorageStatus CompoundFile::ReadHeader(std::array<std::uint8_t, HeaderSize> &header)
{
    if (!source->ReadAt(0, header.data(), header.size())
        || !std::equal(Signature.begin(), Signature.end(), header.begin())) {
        return StorageStatus::NotCompoundFile;
    }
    const std::uint16_t byteOrder = LoadLittleEndian<std::uint16_t>(&header[0x1C]);
    sectorShift = LoadLittleEndian<std::uint16_t>(&header[0x1E]);
    const std::uint16_t miniSectorShift = LoadLittleEndian<std::uint16_t>(&header[0x20]);
    if (byteOrder != 0xFFFE || (sectorShift != 9 && sectorShift != 12) || miniSectorShift != 6) {
        return StorageStatus::BadHeader;
    }
    sectorSize = 1u << sectorShift;
    // The last sector may be cut short; whatever is read from it is checked byte by byte.
    const std::uint64_t fileSize = source->Size();
    const std::uint64_t sectors = fileSize > sectorSize ? CeilDiv(fileSize - sectorSize, sectorSize) : 0;
    sectorCount = static_cast<std::uint32_t>(std::min<std::uint64_t>(sectors, MaxRegularSector + 1ull));
    structureSectors.assign(sectorCount, false);
    return StorageStatus::Ok;
}

StorageStatus CompoundFile::MarkSector(std::uint32_t id, std::vector<bool> &visited) const
{
    if (id > MaxRegularSector) {
        return StorageStatus::ReservedIdInChain;
    }
    if (id >= visited.size()) {
        return StorageStatus::SectorOutOfRange;
    }
    if (visited[id]) {
        return StorageStatus::SectorVisitedTwice;
    }
    visited[id] = true;
    return StorageStatus::Ok;
}

// [MS-CFB] 2.5: the header holds the first 109 FAT sector ids, DIFAT sectors the rest,
// each ending with the id of the next DIFAT sector.
StorageStatus CompoundFile::CollectFatSectorIds(const std::uint8_t *header, std::vector<std::uint32_t> &ids)
{
    const std::uint32_t claimed = LoadLittleEndian<std::uint32_t>(header + 0x2C);
    const auto addId = [&](std::uint32_t id) {
        ids.push_back(id);
        return MarkSector(id, structureSectors);
    };
    for (std::size_t i = 0; i < HeaderDifatEntries && ids.size() < claimed; ++i) {
        const std::uint32_t id = LoadLittleEndian<std::uint32_t>(header + 0x4C + 4 * i);
        if (id == FreeSector) {
            return StorageStatus::Ok;
        }
        if (const auto status = addId(id); status != StorageStatus::Ok) {
            return status;
        }
    }
    std::vector<std::uint8_t> sector(sectorSize);
    const std::size_t idsPerSector = sectorSize / 4 - 1;
    std::uint32_t difatSector = LoadLittleEndian<std::uint32_t>(header + 0x44);
    while (ids.size() < claimed && difatSector != EndOfChain && difatSector != FreeSector) {
        if (const auto status = MarkSector(difatSector, structureSectors); status != StorageStatus::Ok) {
            return status;
        }
        if (!source->ReadAt(SectorOffset(difatSector), sector.data(), sector.size())) {
            return StorageStatus::SectorOutOfRange;
        }
        for (std::size_t i = 0; i < idsPerSector && ids.size() < claimed; ++i) {
            const std::uint32_t id = LoadLittleEndian<std::uint32_t>(&sector[4 * i]);
            if (id == FreeSector) {
                return StorageStatus::Ok;
            }
            if (const auto status = addId(id); status != StorageStatus::Ok) {
                return status;
            }
        }
        difatSector = LoadLittleEndian<std::uint32_t>(&sector[4 * idsPerSector]);
    }
    return StorageStatus::Ok;
}

StorageStatus CompoundFile::LoadFat(const std::uint8_t *header)
{
    std::vector<std::uint32_t> fatSectorIds;
    if (const auto status = CollectFatSectorIds(header, fatSectorIds); status != StorageStatus::Ok) {
        return status;
    }
    if (fatSectorIds.empty()) {
        return StorageStatus::BadHeader;
    }
    // Each id was marked, so there are no more FAT sectors than sectors in the file.
    const std::size_t entriesPerSector = sectorSize / 4;
    fat.resize(fatSectorIds.size() * entriesPerSector);
    std::vector<std::uint8_t> sector(sectorSize);
    for (std::size_t i = 0; i < fatSectorIds.size(); ++i) {
        if (!source->ReadAt(SectorOffset(fatSectorIds[i]), sector.data(), sector.size())) {
            return StorageStatus::SectorOutOfRange;
        }
        for (std::size_t j = 0; j < entriesPerSector; ++j) {
            fat[i * entriesPerSector + j] = LoadLittleEndian<std::uint32_t>(&sector[4 * j]);
        }
    }
    return StorageStatus::Ok;
}

// Walks a chain through `table` until `wanted` ids are collected or the chain ends; a
// chain that ends before `wanted` (when it is not "all of it") is too short for its stream.
// `visited` has one entry per sector the chain may use.
StorageStatus CompoundFile::WalkChain(std::uint32_t start, const std::vector<std::uint32_t> &table,
    std::uint64_t wanted, std::vector<bool> &visited, std::vector<std::uint32_t> &chain) const
{
    const bool untilEnd = wanted == std::numeric_limits<std::uint64_t>::max();
    std::uint32_t id = start;
    while (chain.size() < wanted) {
        if (id == EndOfChain) {
            return untilEnd ? StorageStatus::Ok : StorageStatus::ChainEndsEarly;
        }
        if (const auto status = MarkSector(id, visited); status != StorageStatus::Ok) {
            return status;
        }
        chain.push_back(id);
        if (chain.size() == wanted) {
            break;
        }
        if (id >= table.size()) {
            return StorageStatus::SectorOutOfRange; // the allocation table does not cover it
        }
        id = table[id];
    }
    return StorageStatus::Ok;
}

// Reads every sector of a structure chain (directory, mini FAT) in full.
StorageStatus CompoundFile::ReadChainOfSectors(
    std::uint32_t start, std::vector<std::uint32_t> &chain, std::vector<std::uint8_t> &bytes)
{
    const auto status
        = WalkChain(start, fat, std::numeric_limits<std::uint64_t>::max(), structureSectors, chain);
    if (status != StorageStatus::Ok) {
        return status;
    }
    bytes.resize(std::size_t(chain.size()) * sectorSize);
    for (std::size_t i = 0; i < chain.size(); ++i) {
        if (!source->ReadAt(SectorOffset(chain[i]), &bytes[i * sectorSize], sectorSize)) {
            return StorageStatus::SectorOutOfRange;
        }
    }
    return StorageStatus::Ok;
}

StorageStatus CompoundFile::LoadDirectory(std::uint32_t firstSector)
{
    std::vector<std::uint32_t> chain;
    std::vector<std::uint8_t> bytes;
    if (const auto status = ReadChainOfSectors(firstSector, chain, bytes); status != StorageStatus::Ok) {
        return status;
    }
    directory.reserve(bytes.size() / DirectoryEntrySize);
    for (std::size_t offset = 0; offset + DirectoryEntrySize <= bytes.size(); offset += DirectoryEntrySize) {
        directory.push_back(ParseDirectoryEntry(&bytes[offset]));
    }
    if (directory.empty() || directory[0].type != RootStorageObject) {
        return StorageStatus::BadHeader;
    }
    return StorageStatus::Ok;
}

StorageStatus CompoundFile::LoadMiniFat(std::uint32_t firstSector)
{
    if (firstSector == EndOfChain || firstSector == FreeSector) {
        return StorageStatus::Ok; // no mini stream
    }
    std::vector<std::uint32_t> chain;
    std::vector<std::uint8_t> bytes;
    if (const auto status = ReadChainOfSectors(firstSector, chain, bytes); status != StorageStatus::Ok) {
        return status;
    }
    miniFat.resize(bytes.size() / 4);
    for (std::size_t i = 0; i < miniFat.size(); ++i) {
        miniFat[i] = LoadLittleEndian<std::uint32_t>(&bytes[4 * i]);
    }
    return StorageStatus::Ok;
}

StorageStatus CompoundFile::Load()
{
    std::array<std::uint8_t, HeaderSize> header {};
    if (const auto status = ReadHeader(header); status != StorageStatus::Ok) {
        return status;
    }
    if (const auto status = LoadFat(header.data()); status != StorageStatus::Ok) {
        return status;
    }
    if (const auto status = LoadDirectory(LoadLittleEndian<std::uint32_t>(&header[0x30]));
        status != StorageStatus::Ok) {
        return status;
    }
    return LoadMiniFat(LoadLittleEndian<std::uint32_t>(&header[0x3C]));
}

// Walks the red-black tree of the root storage's children ([MS-CFB] 2.6.4); a visited map
// keeps a corrupt tree from looping.
StorageStatus CompoundFile::FindStream(const std::string &name, const DirectoryEntry *&found) const
{
    std::vector<bool> visited(directory.size(), false);
    std::vector<std::uint32_t> pending {directory[0].child};
    while (!pending.empty()) {
        const std::uint32_t index = pending.back();
        pending.pop_back();
        if (index >= directory.size() || visited[index]) {
            continue;
        }
        visited[index] = true;
        const DirectoryEntry &entry = directory[index];
        if (entry.type == StreamObject && SameStreamName(entry.name, name)) {
            found = &entry;
            return StorageStatus::Ok;
        }
        pending.push_back(entry.left);
        pending.push_back(entry.right);
    }
    return StorageStatus::NoSuchStream;
}

StorageStatus CompoundFile::LocateMainStream(std::uint32_t start, StreamReader &reader) const
{
    if (reader.size > std::uint64_t(sectorCount) * sectorSize) {
        return StorageStatus::StreamBeyondFile;
    }
    std::vector<bool> visited = structureSectors;
    std::vector<std::uint32_t> chain;
    if (const auto status = WalkChain(start, fat, CeilDiv(reader.size, sectorSize), visited, chain);
        status != StorageStatus::Ok) {
        return status;
    }
    reader.pieceShift = sectorShift;
    reader.pieceOffsets.reserve(chain.size());
    for (std::uint32_t sector : chain) {
        reader.pieceOffsets.push_back(SectorOffset(sector));
    }
    return StorageStatus::Ok;
}

// [MS-CFB] 2.6.2: streams under the cut-off live in 64-byte sectors of the mini stream,
// which is itself the root entry's stream in regular sectors.
StorageStatus CompoundFile::LocateMiniStream(std::uint32_t start, StreamReader &reader) const
{
    const std::uint64_t containerSize = StreamSizeOf(directory[0]);
    if (reader.size > containerSize || containerSize > std::uint64_t(sectorCount) * sectorSize) {
        return StorageStatus::StreamBeyondFile;
    }
    std::vector<bool> visited = structureSectors;
    std::vector<std::uint32_t> container;
    if (const auto status
        = WalkChain(directory[0].start, fat, CeilDiv(containerSize, sectorSize), visited, container);
        status != StorageStatus::Ok) {
        return status;
    }
    std::vector<bool> miniVisited(CeilDiv(containerSize, MiniSectorSize), false);
    std::vector<std::uint32_t> chain;
    if (const auto status
        = WalkChain(start, miniFat, CeilDiv(reader.size, MiniSectorSize), miniVisited, chain);
        status != StorageStatus::Ok) {
        return status;
    }
    reader.pieceShift = 6;
    reader.pieceOffsets.reserve(chain.size());
    for (std::uint32_t miniSector : chain) {
        const std::uint64_t offsetInContainer = std::uint64_t(miniSector) * MiniSectorSize;
        const std::uint32_t sector = container[offsetInContainer >> sectorShift];
        reader.pieceOffsets.push_back(SectorOffset(sector) + (offsetInContainer & (sectorSize - 1)));
    }
    return StorageStatus::Ok;
}

StorageStatus CompoundFile::OpenStream(const DirectoryEntry &entry, StreamReader &reader) const
{
    reader = StreamReader {};
    reader.source = source.get();
    reader.size = StreamSizeOf(entry);
    if (reader.size >= (std::uint64_t(1) << 32)) {
        return StorageStatus::StreamTooLarge;
    }
    if (reader.size == 0) {
        return StorageStatus::Ok;
    }
    if (reader.size < MiniStreamCutoff) {
        return LocateMiniStream(entry.start, reader);
    }
    return LocateMainStream(entry.start, reader);
}

namespace {

StorageStatus ReadWholeStream(StreamReader &reader, std::vector<std::uint8_t> &buffer)
{
    // The size was checked against the file's length when the stream was opened.
    buffer.resize(reader.Size());
    std::size_t got = 0;
    if (!reader.Read(buffer.data(), buffer.size(), got) || got != buffer.size()) {
        buffer.clear();
        return StorageStatus::StreamBeyondFile;
    }
    return StorageStatus::Ok;
}

} // namespace

// The whole tree from the root, each entry reached once: a writer that copies the links
// must not copy a loop or a link to nowhere.
StorageStatus CompoundFile::ReadEntries(std::vector<StorageEntry> &entries) const
{
    entries.assign(directory.size(), StorageEntry {});
    std::vector<bool> visited(directory.size(), false);
    // Streams of a sound file share no sector, so together they fit in it; chains that
    // share sectors could otherwise make a small file read as gigabytes.
    std::uint64_t streamBytes = 0;
    std::vector<std::uint32_t> pending {0};
    while (!pending.empty()) {
        const std::uint32_t index = pending.back();
        pending.pop_back();
        if (index == NoStream) {
            continue;
        }
        if (index >= directory.size() || visited[index]) {
            return StorageStatus::BadDirectoryTree;
        }
        visited[index] = true;
        const DirectoryEntry &entry = directory[index];
        const bool root = index == 0;
        if (root != (entry.type == RootStorageObject)
            || (!root && entry.type != StorageObject && entry.type != StreamObject)) {
            return StorageStatus::BadDirectoryTree;
        }
        StorageEntry &copy = entries[index];
        copy = {entry.name, entry.type, entry.color, entry.left, entry.right, NoStream, entry.clsid,
            entry.stateBits, entry.times, {}};
        if (entry.type == StreamObject) {
            StreamReader reader;
            if (const auto status = OpenStream(entry, reader); status != StorageStatus::Ok) {
                return status;
            }
            streamBytes += reader.Size();
            if (streamBytes > source->Size()) {
                return StorageStatus::StreamBeyondFile;
            }
            if (const auto status = ReadWholeStream(reader, copy.Bytes); status != StorageStatus::Ok) {
                return status;
            }
        } else {
            copy.Child = entry.child;
            pending.push_back(entry.child);
        }
        if (!root) {
            pending.push_back(entry.left);
            pending.push_back(entry.right);
        } else {
            copy.Left = copy.Right = NoStream;
        }
    }
    return StorageStatus::Ok;
}

bool StreamReader::Read(std::uint8_t *out, std::size_t count, std::size_t &got)
{
    got = 0;
    const std::uint64_t pieceSize = std::uint64_t(1) << pieceShift;
    while (got < count && position < size) {
        const std::size_t piece = static_cast<std::size_t>(position >> pieceShift);
        const std::uint64_t within = position & (pieceSize - 1);
        // Pieces that follow each other in the file are read in one go.
        std::size_t last = piece;
        while (last + 1 < pieceOffsets.size() && pieceOffsets[last + 1] == pieceOffsets[last] + pieceSize
            && (last + 1 - piece) * pieceSize < count - got + within) {
            ++last;
        }
        const std::uint64_t available = (last - piece + 1) * pieceSize - within;
        const auto length
            = static_cast<std::size_t>(std::min<std::uint64_t>({available, count - got, size - position}));
        const std::uint64_t offset = pieceOffsets[piece] + within;
        if (!source->ReadAt(offset, out + got, length)) {
            // The file ends inside these pieces (its last sector cut short): the bytes it
            // still holds are delivered before the read fails.
            const std::uint64_t held
                = offset < source->Size() ? std::min<std::uint64_t>(source->Size() - offset, length) : 0;
            if (held > 0 && source->ReadAt(offset, out + got, static_cast<std::size_t>(held))) {
                got += static_cast<std::size_t>(held);
                position += held;
            }
            return false;
        }
        got += length;
        position += length;
    }
    return true;
}

WorkbookStorage::WorkbookStorage() = default;
WorkbookStorage::~WorkbookStorage() = default;

bool WorkbookStorage::Open(std::unique_ptr<ByteSource> source)
{
    auto candidate = std::make_unique<CompoundFile>(std::move(source));
    status = candidate->Load();
    if (status == StorageStatus::Ok) {
        file = std::move(candidate);
    }
    return IsOpen();
}

// O_NONBLOCK: opening a FIFO would otherwise wait for a writer. It changes nothing for the
// regular file that is then read.
bool WorkbookStorage::OpenStorage(const std::string &path)
{
    CloseStorage();
    const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) {
        status = StorageStatus::CannotOpenFile;
        return false;
    }
    struct stat info
    { };
    if (::fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) {
        ::close(fd);
        status = StorageStatus::NotRegularFile;
        return false;
    }
    return Open(std::make_unique<FileByteSource>(fd, static_cast<std::uint64_t>(info.st_size)));
}

bool WorkbookStorage::OpenMemory(std::span<const std::uint8_t> bytes)
{
    CloseStorage();
    return Open(std::make_unique<MemoryByteSource>(bytes));
}

bool WorkbookStorage::IsOpen() const
{
    return file != nullptr;
}

bool WorkbookStorage::CloseStorage()
{
    const bool wasOpen = IsOpen();
    file.reset();
    status = StorageStatus::NotOpen;
    return wasOpen;
}

StorageStatus WorkbookStorage::StreamSize(const std::string &name, std::uint64_t &size)
{
    size = 0;
    if (!file) {
        return status = StorageStatus::NotOpen;
    }
    const DirectoryEntry *entry = nullptr;
    status = file->FindStream(name, entry);
    if (status == StorageStatus::Ok) {
        size = file->StreamSizeOf(*entry);
    }
    return status;
}

StorageStatus WorkbookStorage::OpenStream(const std::string &name, StreamReader &reader)
{
    reader = StreamReader {};
    if (!file) {
        return status = StorageStatus::NotOpen;
    }
    const DirectoryEntry *entry = nullptr;
    status = file->FindStream(name, entry);
    if (status == StorageStatus::Ok) {
        status = file->OpenStream(*entry, reader);
    }
    if (status != StorageStatus::Ok) {
        reader = StreamReader {};
    }
    return status;
}

StorageStatus WorkbookStorage::ReadStream(const std::string &name, std::vector<std::uint8_t> &buffer)
{
    buffer.clear();
    StreamReader reader;
    if (OpenStream(name, reader) != StorageStatus::Ok) {
        return status;
    }
    return status = ReadWholeStream(reader, buffer);
}

StorageStatus WorkbookStorage::ReadEntries(std::vector<StorageEntry> &entries)
{
    entries.clear();
    if (!file) {
        return status = StorageStatus::NotOpen;
    }
    status = file->ReadEntries(entries);
    if (status != StorageStatus::Ok) {
        entries.clear();
    }
    return status;
}
} // namespace YExcel
