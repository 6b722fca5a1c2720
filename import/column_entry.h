#pragma once

// Entry SkippedRows + i of each column list belongs to point i. The lists are one entry per
// worksheet row, but two columns with the same kind of header make one list longer than
// the others, so a list may end before the reading list does; its missing entries read
// as an empty cell.

#include <string>
#include <vector>

inline const std::string &ColumnEntry(const std::vector<std::string> &list, int index)
{
    static const std::string empty;
    return index >= 0 && static_cast<std::size_t>(index) < list.size() ? list[index] : empty;
}
