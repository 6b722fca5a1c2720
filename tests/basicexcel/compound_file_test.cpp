#include "compound_file.h"
#include "workbook_builder.h"

#include <filesystem>
#include <gtest/gtest.h>
#include <sys/stat.h>

using namespace TestWorkbook;
using YExcel::StorageStatus;
using YExcel::WorkbookStorage;

namespace {

ByteVector Pattern(std::size_t size)
{
    ByteVector bytes(size);
    for (std::size_t i = 0; i < size; ++i) {
        bytes[i] = static_cast<std::uint8_t>(i * 7 + i / 251);
    }
    return bytes;
}

struct ReadResult
{
    bool Opened = false;
    StorageStatus Status = StorageStatus::Ok; // what ReadStream returned
    ByteVector Bytes;
};

ReadResult ReadWorkbookStream(const ByteVector &file, const std::string &name = "Workbook")
{
    WorkbookStorage storage;
    ReadResult result;
    result.Opened = storage.OpenMemory(file);
    result.Status = storage.ReadStream(name, result.Bytes);
    EXPECT_EQ(storage.Status(), result.Status);
    return result;
}

// First sector of the only stream (directory entry 1).
std::uint32_t StreamStart(const ByteVector &file)
{
    return ReadU32(file, DirectoryEntryOffset(file, 1) + 116);
}

} // namespace

class StreamSizes : public testing::TestWithParam<std::tuple<unsigned, std::size_t>>
{ };

// Regular sectors of both sizes, the mini stream below 4096 bytes, sizes on and off sector
// boundaries.
TEST_P(StreamSizes, ReadStreamGivesTheExactBytes)
{
    const auto [shift, size] = GetParam();
    const ByteVector stream = Pattern(size);
    const ByteVector file = CompoundFile({{"Other", Pattern(100)}, {"Workbook", stream}}, {shift});
    const ReadResult result = ReadWorkbookStream(file);
    ASSERT_TRUE(result.Opened);
    EXPECT_EQ(result.Status, StorageStatus::Ok);
    EXPECT_EQ(result.Bytes, stream);

    WorkbookStorage storage;
    ASSERT_TRUE(storage.OpenMemory(file));
    std::uint64_t reported = 0;
    EXPECT_EQ(storage.StreamSize("Workbook", reported), StorageStatus::Ok);
    EXPECT_EQ(reported, size);
}

INSTANTIATE_TEST_SUITE_P(CompoundFile, StreamSizes,
    testing::Combine(testing::Values(9u, 12u), testing::Values(1u, 64u, 100u, 4095u, 4096u, 5000u, 20000u)));

TEST(CompoundFile, StreamNamesCompareWithoutRegardToCase)
{
    const ByteVector stream = Pattern(5000);
    for (const char *stored : {"WORKBOOK", "WorkBook", "workbook"}) {
        const ReadResult result = ReadWorkbookStream(CompoundFile({{stored, stream}}));
        EXPECT_EQ(result.Status, StorageStatus::Ok) << stored;
        EXPECT_EQ(result.Bytes, stream) << stored;
    }
    EXPECT_EQ(ReadWorkbookStream(CompoundFile({{"Workbooks", stream}})).Status, StorageStatus::NoSuchStream);
}

TEST(CompoundFile, MissingStreamOrStorageFails)
{
    const ReadResult noWorkbook = ReadWorkbookStream(CompoundFile({{"Book", Pattern(5000)}}));
    EXPECT_TRUE(noWorkbook.Opened);
    EXPECT_EQ(noWorkbook.Status, StorageStatus::NoSuchStream);
    EXPECT_TRUE(noWorkbook.Bytes.empty());

    WorkbookStorage storage;
    ByteVector buffer = {1, 2, 3};
    EXPECT_EQ(storage.ReadStream("Workbook", buffer), StorageStatus::NotOpen);
    EXPECT_TRUE(buffer.empty());
    EXPECT_FALSE(storage.CloseStorage());

    const ByteVector zip = {'P', 'K', 3, 4, 20, 0, 0, 0, 8, 0};
    EXPECT_FALSE(storage.OpenMemory(zip));
    EXPECT_EQ(storage.Status(), StorageStatus::NotCompoundFile);
    EXPECT_FALSE(storage.OpenStorage("/nonexistent/workbook.xls"));
    EXPECT_EQ(storage.Status(), StorageStatus::CannotOpenFile);
}

// A FIFO would block a plain open until a writer came; a device never ends.
TEST(CompoundFile, OnlyRegularFilesOpen)
{
    const std::filesystem::path folder
        = std::filesystem::path(WriteTemporaryFile("placeholder.xls", {})).parent_path();
    const std::string fifo = (folder / "fifo.xls").string();
    std::filesystem::remove(fifo);
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    for (const std::string &path : {fifo, std::string("/dev/zero"), folder.string()}) {
        WorkbookStorage storage;
        EXPECT_FALSE(storage.OpenStorage(path)) << path;
        EXPECT_EQ(storage.Status(), StorageStatus::NotRegularFile) << path;
    }
    std::filesystem::remove(fifo);
}

// FAT sector ids beyond the header's 109 live in a chain of DIFAT sectors.
TEST(CompoundFile, FatSectorsListedInDifatSectors)
{
    const ByteVector stream = Pattern(70000);
    for (unsigned shift : {9u, 12u}) {
        CompoundOptions options {shift, 300};
        const ByteVector file = CompoundFileWithWorkbook(stream, options);
        ASSERT_GT(ReadU32(file, 0x48), 0u); // DIFAT sectors in use
        const ReadResult result = ReadWorkbookStream(file);
        EXPECT_EQ(result.Status, StorageStatus::Ok) << shift;
        EXPECT_EQ(result.Bytes, stream) << shift;
    }
}

// A file whose last sector is cut short is fine while the stream's bytes lie within it
// (phpspreadsheet__sample.xls ends 11 bytes after its mini stream's last byte).
TEST(CompoundFile, LastSectorCutShort)
{
    for (std::size_t size : {100u, 5000u}) {
        const ByteVector stream = Pattern(size);
        ByteVector file = CompoundFileWithWorkbook(stream);
        const std::size_t padding = (512 - size % 512) % 512;
        file.resize(file.size() - padding);
        const ReadResult whole = ReadWorkbookStream(file);
        EXPECT_EQ(whole.Status, StorageStatus::Ok) << size;
        EXPECT_EQ(whole.Bytes, stream) << size;

        file.pop_back();
        const ReadResult cut = ReadWorkbookStream(file);
        EXPECT_EQ(cut.Status, StorageStatus::StreamBeyondFile) << size;
        EXPECT_TRUE(cut.Bytes.empty());
    }
}

// [MS-CFB] 2.6.3: a version 3 file may leave garbage in the size's high half; version 4
// sizes of 4 GiB or more are refused before anything is allocated.
TEST(CompoundFile, StreamSizeHighHalf)
{
    const ByteVector stream = Pattern(5000);
    ByteVector version3 = CompoundFileWithWorkbook(stream);
    WriteU32(version3, DirectoryEntryOffset(version3, 1) + 124, 0xDEADBEEF);
    EXPECT_EQ(ReadWorkbookStream(version3).Bytes, stream);

    ByteVector version4 = CompoundFileWithWorkbook(stream, {12});
    WriteU32(version4, DirectoryEntryOffset(version4, 1) + 124, 1);
    const ReadResult huge = ReadWorkbookStream(version4);
    EXPECT_EQ(huge.Status, StorageStatus::StreamTooLarge);
    EXPECT_TRUE(huge.Bytes.empty());
}

// Each corruption gets its own status; none reads out of bounds or loops.
TEST(CompoundFile, CorruptChains)
{
    const ByteVector good = CompoundFileWithWorkbook(Pattern(5000));
    const std::uint32_t start = StreamStart(good);
    const auto readWith = [&](auto patch) {
        ByteVector file = good;
        patch(file);
        return ReadWorkbookStream(file);
    };

    const ReadResult loop = readWith([&](ByteVector &f) { SetFatEntry(f, start + 3, start + 1); });
    EXPECT_EQ(loop.Status, StorageStatus::SectorVisitedTwice);
    EXPECT_TRUE(loop.Bytes.empty());

    // The stream runs into the directory's sector: two chains share it.
    const std::uint32_t directorySector = ReadU32(good, 0x30);
    EXPECT_EQ(readWith([&](ByteVector &f) { SetFatEntry(f, start + 2, directorySector); }).Status,
        StorageStatus::SectorVisitedTwice);
    EXPECT_EQ(readWith([&](ByteVector &f) { SetFatEntry(f, start + 2, 100000); }).Status,
        StorageStatus::SectorOutOfRange);
    EXPECT_EQ(readWith([&](ByteVector &f) { SetFatEntry(f, start + 2, 0xFFFFFFFF); }).Status,
        StorageStatus::ReservedIdInChain);
    EXPECT_EQ(readWith([&](ByteVector &f) { SetFatEntry(f, start + 2, 0xFFFFFFFE); }).Status,
        StorageStatus::ChainEndsEarly);
    EXPECT_EQ(
        readWith([&](ByteVector &f) { WriteU32(f, DirectoryEntryOffset(f, 1) + 120, 50000000); }).Status,
        StorageStatus::StreamBeyondFile);
    EXPECT_EQ(
        readWith([&](ByteVector &f) { WriteU32(f, DirectoryEntryOffset(f, 1) + 116, 0xFFFFFFFD); }).Status,
        StorageStatus::ReservedIdInChain);
}

TEST(CompoundFile, CorruptStructures)
{
    const ByteVector good = CompoundFileWithWorkbook(Pattern(100));
    const auto openWith = [&](auto patch) {
        ByteVector file = good;
        patch(file);
        WorkbookStorage storage;
        storage.OpenMemory(file);
        return storage.Status();
    };
    EXPECT_EQ(openWith([](ByteVector &f) { f[0x1E] = 10; }), StorageStatus::BadHeader);
    EXPECT_EQ(openWith([](ByteVector &f) { WriteU32(f, 0x4C, 5000); }), StorageStatus::SectorOutOfRange);
    // The directory's chain loops onto itself.
    EXPECT_EQ(openWith([](ByteVector &f) { SetFatEntry(f, ReadU32(f, 0x30), ReadU32(f, 0x30)); }),
        StorageStatus::SectorVisitedTwice);
    // The FAT sector listed twice.
    EXPECT_EQ(openWith([](ByteVector &f) {
        WriteU32(f, 0x2C, 2);
        WriteU32(f, 0x50, ReadU32(f, 0x4C));
    }),
        StorageStatus::SectorVisitedTwice);
    // A reserved id among the FAT sector ids.
    EXPECT_EQ(openWith([](ByteVector &f) {
        WriteU32(f, 0x2C, 500);
        for (std::size_t i = 1; i < 109; ++i) {
            WriteU32(f, 0x4C + 4 * i, 0xFFFFFFFE);
        }
    }),
        StorageStatus::ReservedIdInChain);

    // A mini chain that loops back on itself.
    ByteVector miniLoop = good;
    const std::size_t miniFatOffset = SectorOffset(miniLoop, ReadU32(miniLoop, 0x3C));
    WriteU32(miniLoop, miniFatOffset, 0);
    EXPECT_EQ(ReadWorkbookStream(miniLoop).Status, StorageStatus::SectorVisitedTwice);

    // A DIFAT chain whose second sector points back to the first.
    ByteVector difatLoop = CompoundFileWithWorkbook(Pattern(5000), {9, 109 + 2 * 127});
    const std::uint32_t firstDifat = ReadU32(difatLoop, 0x44);
    const std::uint32_t secondDifat = ReadU32(difatLoop, SectorOffset(difatLoop, firstDifat) + 127 * 4);
    WriteU32(difatLoop, SectorOffset(difatLoop, secondDifat) + 127 * 4, firstDifat);
    WriteU32(difatLoop, 0x2C, 1000);
    WorkbookStorage storage;
    EXPECT_FALSE(storage.OpenMemory(difatLoop));
    EXPECT_EQ(storage.Status(), StorageStatus::SectorVisitedTwice);
}

// The storage is opened for reading only, so a read-only workbook can be imported.
TEST(CompoundFile, ReadOnlyFileOpens)
{
    const ByteVector stream = Pattern(5000);
    const std::string path = WriteTemporaryFile("read-only.xls", CompoundFileWithWorkbook(stream));
    std::filesystem::permissions(path, std::filesystem::perms::owner_read);
    WorkbookStorage storage;
    ASSERT_TRUE(storage.OpenStorage(path));
    ByteVector bytes;
    EXPECT_EQ(storage.ReadStream("Workbook", bytes), StorageStatus::Ok);
    EXPECT_EQ(bytes, stream);
    EXPECT_TRUE(storage.CloseStorage());
    EXPECT_FALSE(storage.IsOpen());
}
