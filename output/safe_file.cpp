#include "safe_file.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <filesystem>
#include <random>
#include <sys/stat.h>
#include <unistd.h>

namespace {

std::string SystemReason(int error)
{
    return std::strerror(error);
}

// A failed step: its message, with errno read before anything can change it.
std::string Failure(const std::string &what, const std::string &path)
{
    return what + " " + path + ": " + SystemReason(errno);
}

// Replacing a link would cut it off from its file; the file it names is the one to replace.
std::filesystem::path ResolvedTarget(const std::string &path)
{
    std::error_code error;
    const auto resolved = std::filesystem::canonical(path, error);
    return error ? std::filesystem::path(path) : resolved;
}

// Renaming over a device, a pipe or a folder would replace it, not write to it.
bool IsOtherThanRegularFile(const std::filesystem::path &target)
{
    struct stat status
    { };
    return stat(target.c_str(), &status) == 0 && !S_ISREG(status.st_mode);
}

// Like mkstemp, but created with 0666 so that the umask decides a new file's mode.
struct TemporaryFile
{
    int Descriptor = -1;
    std::string Path;
};

std::optional<TemporaryFile> CreateTemporaryBeside(const std::filesystem::path &target)
{
    std::random_device seed;
    std::mt19937_64 random(seed());
    const std::filesystem::path folder = target.parent_path().empty() ? "." : target.parent_path();
    for (int attempt = 0; attempt < 100; ++attempt) {
        // Appended piece by piece: "." + string trips a false -Wrestrict in GCC 12.
        std::string name(1, '.');
        name += target.filename().string();
        name += '.';
        name += std::to_string(random() % 1000000000);
        TemporaryFile file {-1, (folder / name).string()};
        file.Descriptor = open(file.Path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (file.Descriptor >= 0) {
            return file;
        }
        if (errno != EEXIST) {
            return std::nullopt;
        }
    }
    return std::nullopt;
}

bool WriteAll(int descriptor, std::string_view bytes)
{
    while (!bytes.empty()) {
        const ssize_t written = write(descriptor, bytes.data(), bytes.size());
        if (written < 0 && errno == EINTR) {
            continue;
        }
        if (written <= 0) {
            return false;
        }
        bytes.remove_prefix(static_cast<std::size_t>(written));
    }
    return true;
}

// The old file's permissions stay with its name; a new file keeps what open gave it.
bool KeepModeOf(const std::filesystem::path &target, int descriptor)
{
    struct stat old
    { };
    if (stat(target.c_str(), &old) != 0) {
        return errno == ENOENT;
    }
    return fchmod(descriptor, old.st_mode & 07777) == 0;
}

// Without this the rename itself may be lost in a crash; the data are safe either way.
void SyncFolderOf(const std::filesystem::path &target)
{
    const std::filesystem::path folder = target.parent_path().empty() ? "." : target.parent_path();
    const int descriptor = open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (descriptor >= 0) {
        fsync(descriptor);
        close(descriptor);
    }
}

// Closed here, before any rename: a close that fails may mean the data never arrived.
std::optional<std::string> FillAndClose(const TemporaryFile &temporary, const std::filesystem::path &target,
    const std::string &path, std::string_view bytes)
{
    std::optional<std::string> problem;
    if (!WriteAll(temporary.Descriptor, bytes) || fsync(temporary.Descriptor) != 0) {
        problem = Failure("cannot write", path);
    } else if (!KeepModeOf(target, temporary.Descriptor)) {
        problem = Failure("cannot keep the permissions of", path);
    }
    if (close(temporary.Descriptor) != 0 && !problem) {
        problem = Failure("cannot write", path);
    }
    return problem;
}

} // namespace

namespace SafeFile {

std::optional<std::string> WriteWholeFile(const std::string &path, std::string_view bytes)
{
    const std::filesystem::path target = ResolvedTarget(path);
    if (IsOtherThanRegularFile(target)) {
        return "cannot write " + path + ": not a regular file";
    }
    const auto temporary = CreateTemporaryBeside(target);
    if (!temporary) {
        return Failure("cannot write", path);
    }
    auto problem = FillAndClose(*temporary, target, path, bytes);
    if (!problem && rename(temporary->Path.c_str(), target.c_str()) != 0) {
        problem = Failure("cannot replace", path);
    }
    if (problem) {
        unlink(temporary->Path.c_str());
        return problem;
    }
    SyncFolderOf(target);
    return std::nullopt;
}

bool SameFile(const std::string &first, const std::string &second)
{
    struct stat a
    { };
    struct stat b
    { };
    return stat(first.c_str(), &a) == 0 && stat(second.c_str(), &b) == 0 && a.st_dev == b.st_dev
        && a.st_ino == b.st_ino;
}

} // namespace SafeFile
