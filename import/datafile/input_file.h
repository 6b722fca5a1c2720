#pragma once

// Inputs must be regular files: opening a FIFO waits for a writer and /dev/zero never
// ends, so either would hang the program or a script. Both checks decide without blocking.

#include <cstddef>
#include <string>
#include <variant>

// True when the path names something that exists and is not a regular file (links followed).
bool IsNonRegularFile(const std::string &path);

struct FileProblem
{
    std::string Reason; // "not a regular file", the system's reason, ...
    bool TooLarge = false;
};

// The whole file, refused when it is not a regular file or holds more than maxBytes.
std::variant<std::string, FileProblem> ReadRegularFile(const std::string &path, std::size_t maxBytes);
