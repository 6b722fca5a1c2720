#include "input_file.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

FileProblem SystemProblem()
{
    return {std::strerror(errno)};
}

FileProblem TooLarge(std::size_t maxBytes)
{
    return {"larger than " + std::to_string(maxBytes) + " bytes", true};
}

class Descriptor
{
public:
    explicit Descriptor(int value)
        : value(value)
    { }
    Descriptor(const Descriptor &) = delete;
    Descriptor &operator=(const Descriptor &) = delete;
    ~Descriptor()
    {
        if (value >= 0) {
            close(value);
        }
    }
    int Value() const { return value; }

private:
    int value;
};

// Reads on until the end even past the size fstat gave: the file may grow meanwhile.
std::variant<std::string, FileProblem> ReadAtMost(int descriptor, std::size_t maxBytes)
{
    std::string bytes;
    char buffer[65536];
    while (true) {
        const ssize_t got = read(descriptor, buffer, sizeof buffer);
        if (got < 0 && errno == EINTR) {
            continue;
        }
        if (got < 0) {
            return SystemProblem();
        }
        if (got == 0) {
            return bytes;
        }
        if (bytes.size() + static_cast<std::size_t>(got) > maxBytes) {
            return TooLarge(maxBytes);
        }
        bytes.append(buffer, static_cast<std::size_t>(got));
    }
}

} // namespace

bool IsNonRegularFile(const std::string &path)
{
    struct stat status
    { };
    return stat(path.c_str(), &status) == 0 && !S_ISREG(status.st_mode);
}

std::variant<std::string, FileProblem> ReadRegularFile(const std::string &path, std::size_t maxBytes)
{
    const Descriptor file(open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC));
    if (file.Value() < 0) {
        return SystemProblem();
    }
    struct stat status
    { };
    if (fstat(file.Value(), &status) != 0) {
        return SystemProblem();
    }
    if (!S_ISREG(status.st_mode)) {
        return FileProblem {"not a regular file"};
    }
    if (static_cast<std::size_t>(status.st_size) > maxBytes) {
        return TooLarge(maxBytes);
    }
    return ReadAtMost(file.Value(), maxBytes);
}
