#pragma once

// Saving without ever destroying a file: the new bytes go to a temporary file beside the
// target and replace it only once they are all on disk, so a full disk, a size limit or a
// crash part way leaves the old file as it was.

#include <optional>
#include <string>
#include <string_view>

namespace SafeFile {

// Writes the whole file, replacing the target (the file a symbolic link names, not the
// link). A new file gets the mode 0666 less the umask; a replaced one keeps its mode.
// Returns None on success, else a message naming the path and the system's reason.
std::optional<std::string> WriteWholeFile(const std::string &path, std::string_view bytes);

// True when both paths name the same existing file after following links. A path that
// does not exist yet names no existing file.
bool SameFile(const std::string &first, const std::string &second);

} // namespace SafeFile
