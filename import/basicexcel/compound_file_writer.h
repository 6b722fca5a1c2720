#pragma once

// Writer of [MS-CFB] compound files, version 3 (512-byte sectors): the directory given,
// links and all, with streams under 4096 bytes in the mini stream and the rest in sectors
// of their own.

#include "compound_file.h"

#include <string>
#include <vector>

namespace YExcel {

// `entries` in directory order, entries[0] the root; their links must form the tree the
// reader's ReadEntries checks. Start sectors and sizes are the writer's.
std::string WriteCompoundFile(const std::vector<StorageEntry> &entries);

// A root holding one stream, for a file written from scratch.
std::vector<StorageEntry> SingleStreamEntries(
    const std::u16string &name, std::vector<std::uint8_t> bytes, const std::array<std::uint8_t, 16> &clsid);

} // namespace YExcel
