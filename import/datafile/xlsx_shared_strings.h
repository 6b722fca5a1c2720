#pragma once

#include "zip_package.h"

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace DataFile {

// The texts cells refer to by index, held in one buffer: a part of many short strings
// costs little more than its text.
class SharedStrings
{
public:
    void Add(std::string_view text);
    std::optional<std::string_view> At(std::size_t index) const;
    std::size_t Count() const { return ends.size(); }

private:
    std::string pool;
    std::vector<std::size_t> ends;
};

// Empty when read, else why not for the operator.
std::optional<std::string> ReadSharedStrings(ZipPackage &package, const std::string &partName, SharedStrings &strings);

} // namespace DataFile
