#include "safe_file.h"

#include <csignal>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

namespace fs = std::filesystem;

std::string FileBytes(const fs::path &path)
{
    std::ifstream file(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
}

mode_t ModeOf(const fs::path &path)
{
    struct stat status
    { };
    stat(path.c_str(), &status);
    return status.st_mode & 07777;
}

mode_t CurrentUmask()
{
    const mode_t mask = umask(0);
    umask(mask);
    return mask;
}

// A folder of its own per test, so that a temporary file left behind shows.
class SafeFileTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        folder = fs::path(::testing::TempDir()) / ("safe_file_" + std::to_string(getpid()));
        fs::remove_all(folder);
        fs::create_directory(folder);
    }
    void TearDown() override { fs::remove_all(folder); }

    std::vector<std::string> FolderEntries() const
    {
        std::vector<std::string> names;
        for (const auto &entry : fs::directory_iterator(folder)) {
            names.push_back(entry.path().filename().string());
        }
        std::sort(names.begin(), names.end());
        return names;
    }

    fs::path folder;
};

TEST_F(SafeFileTest, NewFileTakesTheUmaskAndAReplacedOneKeepsItsMode)
{
    const fs::path created = folder / "new.txt";
    EXPECT_EQ(SafeFile::WriteWholeFile(created, "new"), std::nullopt);
    EXPECT_EQ(FileBytes(created), "new");
    EXPECT_EQ(ModeOf(created), 0666 & ~CurrentUmask());

    const fs::path replaced = folder / "old.txt";
    std::ofstream(replaced) << "old bytes, longer than the new ones";
    chmod(replaced.c_str(), 0640);
    EXPECT_EQ(SafeFile::WriteWholeFile(replaced, std::string("a\0b", 3)), std::nullopt);
    EXPECT_EQ(FileBytes(replaced), std::string("a\0b", 3));
    EXPECT_EQ(ModeOf(replaced), 0640u);
    EXPECT_EQ(FolderEntries(), (std::vector<std::string> {"new.txt", "old.txt"}));
}

TEST_F(SafeFileTest, ALinkKeepsPointingAtTheReplacedFile)
{
    const fs::path target = folder / "target.txt";
    const fs::path link = folder / "link.txt";
    std::ofstream(target) << "old";
    fs::create_symlink(target, link);
    EXPECT_EQ(SafeFile::WriteWholeFile(link, "new"), std::nullopt);
    EXPECT_TRUE(fs::is_symlink(link));
    EXPECT_EQ(FileBytes(target), "new");
}

// The child's file size limit makes the write fail part way, as a full disk would.
TEST_F(SafeFileTest, AWriteFailingPartWayLeavesTheOldFile)
{
    const fs::path target = folder / "results.txt";
    std::ofstream(target) << "old results";
    const pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        std::signal(SIGXFSZ, SIG_IGN);
        const rlimit limit {4096, 4096};
        setrlimit(RLIMIT_FSIZE, &limit);
        const auto problem = SafeFile::WriteWholeFile(target, std::string(100000, 'x'));
        _exit(problem == "cannot write " + target.string() + ": File too large" ? 0 : 1);
    }
    int status = 0;
    waitpid(child, &status, 0);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
    EXPECT_EQ(FileBytes(target), "old results");
    EXPECT_EQ(FolderEntries(), std::vector<std::string> {"results.txt"});
}

TEST_F(SafeFileTest, WhatIsNotARegularFileIsNotReplaced)
{
    const fs::path fifo = folder / "pipe";
    ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
    EXPECT_EQ(SafeFile::WriteWholeFile(fifo, "x"), "cannot write " + fifo.string() + ": not a regular file");
    EXPECT_EQ(
        SafeFile::WriteWholeFile(folder, "x"), "cannot write " + folder.string() + ": not a regular file");
    EXPECT_TRUE(fs::is_fifo(fifo));
    EXPECT_EQ(FolderEntries(), std::vector<std::string> {"pipe"});
}

TEST_F(SafeFileTest, SameFileFollowsLinksAndIgnoresPathsThatDoNotExist)
{
    const fs::path file = folder / "file.txt";
    const fs::path other = folder / "other.txt";
    std::ofstream(file) << "a";
    std::ofstream(other) << "a";
    fs::create_symlink(file, folder / "link");
    EXPECT_TRUE(SafeFile::SameFile(file, folder / "link"));
    EXPECT_TRUE(SafeFile::SameFile(file, folder / "." / "file.txt"));
    EXPECT_FALSE(SafeFile::SameFile(file, other));
    EXPECT_FALSE(SafeFile::SameFile(folder / "missing", folder / "missing"));
}

} // namespace
