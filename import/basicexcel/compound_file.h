#pragma once

// Reader of [MS-CFB] compound files: the container an .xls workbook keeps its "Workbook"
// stream in. Every byte comes from an untrusted file, so every sector id is checked against
// the sector count, every chain is walked with a visited map, and nothing is allocated from
// a size the file has not been checked to hold.

#include <array>
#include <cstdint>
#include <memory>
#include <span>
#include <string>
#include <vector>

namespace YExcel {

// The outcome of an operation on the storage, returned by the stream operations and kept
// as Status(). Each corruption has its name, so tests and fuzz regressions tell them apart.
enum class StorageStatus {
    Ok,
    NotOpen,
    CannotOpenFile,
    NotRegularFile, // a directory, FIFO or device: it could block or never end
    NotCompoundFile, // too short, or no compound-file signature
    BadHeader, // byte order, sector sizes
    SectorOutOfRange, // a sector id at or beyond the end of the file
    SectorVisitedTwice, // a chain that loops, or a sector two chains share
    ReservedIdInChain, // a free, FAT or DIFAT marker where a chain should go on
    ChainEndsEarly, // a chain shorter than its stream
    StreamBeyondFile, // a stream larger than the file could hold
    NoSuchStream,
    StreamTooLarge, // 4 GiB or more
    BadDirectoryTree, // an entry two links point at, a link beyond the directory, an unknown type
};

// One directory entry with its links ([MS-CFB] 2.6.1), and a stream's bytes: everything a
// writer needs to write the file again with the same tree.
struct StorageEntry
{
    static constexpr std::uint32_t NoLink = 0xFFFFFFFF;
    static constexpr std::uint8_t Unused = 0;
    static constexpr std::uint8_t Storage = 1;
    static constexpr std::uint8_t Stream = 2;
    static constexpr std::uint8_t Root = 5;

    std::u16string Name;
    std::uint8_t Type = Unused;
    std::uint8_t Color = 1; // 0 red, 1 black
    std::uint32_t Left = NoLink;
    std::uint32_t Right = NoLink;
    std::uint32_t Child = NoLink;
    std::array<std::uint8_t, 16> Clsid {};
    std::uint32_t StateBits = 0;
    std::array<std::uint8_t, 16> Times {}; // creation and modification FILETIMEs
    std::vector<std::uint8_t> Bytes; // a stream's; the root's mini stream is not kept
};

// Stream names compare as [MS-CFB] 2.6.4 defines, without regard to case; `wanted` is Latin-1.
bool SameStreamName(const std::u16string &stored, const std::string &wanted);

class ByteSource;
class CompoundFile;

// Reads one stream from its start to its end, a piece at a time, so a large stream need not
// be held in memory. Its chain was checked when it was opened. Valid while the storage that
// opened it stays open.
class StreamReader
{
public:
    std::uint64_t Size() const { return size; }
    // Reads up to `count` bytes, setting `got` (0 at the end of the stream). False when bytes
    // of the stream lie beyond the end of the file; `got` then counts those before them.
    bool Read(std::uint8_t *out, std::size_t count, std::size_t &got);

private:
    friend class CompoundFile;

    const ByteSource *source = nullptr;
    unsigned pieceShift = 9; // the sector size, or 64 bytes for a stream in the mini stream
    std::vector<std::uint64_t> pieceOffsets; // where each piece of the stream lies in the file
    std::uint64_t size = 0;
    std::uint64_t position = 0;
};

// One open compound file, opened for reading only and sharing allowed, so a read-only
// workbook or one open in another program can still be imported.
class WorkbookStorage
{
public:
    WorkbookStorage();
    ~WorkbookStorage();
    WorkbookStorage(const WorkbookStorage &) = delete;
    WorkbookStorage &operator=(const WorkbookStorage &) = delete;

    // Refuses anything but a regular file without waiting on it (NotRegularFile).
    bool OpenStorage(const std::string &path);
    // The same from bytes already in memory (tests, fuzzing); the bytes are copied.
    bool OpenMemory(std::span<const std::uint8_t> bytes);
    bool IsOpen() const;
    bool CloseStorage();

    // Stream names compare as [MS-CFB] 2.6.4 defines, without regard to case.
    StorageStatus StreamSize(const std::string &name, std::uint64_t &size);
    // The buffer is empty unless the whole stream was read.
    StorageStatus ReadStream(const std::string &name, std::vector<std::uint8_t> &buffer);
    StorageStatus OpenStream(const std::string &name, StreamReader &reader);
    // Every entry in directory order, each stream read whole. Entries the tree does not reach
    // come back Unused, so whatever they held is not carried on.
    StorageStatus ReadEntries(std::vector<StorageEntry> &entries);

    StorageStatus Status() const { return status; }

private:
    bool Open(std::unique_ptr<ByteSource> source);

    std::unique_ptr<CompoundFile> file;
    StorageStatus status = StorageStatus::NotOpen;
};

} // namespace YExcel
