#pragma once

// The texts of an Office Open XML workbook: string items made of runs, and the `_xHHHH_`
// escapes by which the format stores characters XML cannot carry.

#include "xml_part.h"

#include <string>
#include <string_view>

namespace DataFile {

// Every `_xHHHH_` escape decoded once, left to right: `_x005F_` gives '_' (so
// "_x005F_x000D_" stays the text "_x000D_"), escaped UTF-16 surrogate pairs give one
// character, a lone surrogate U+FFFD. Everything else is kept as stored.
std::string DecodedXstring(std::string_view stored);

// Collects the text of one string item (`<si>`, `<is>`): its `<t>`, or the `<t>` of its
// `<r>` runs one after another. Phonetic runs (`<rPh>`) hold a reading aid, not text.
class StringItemText
{
public:
    void Start(const Xml::Name &name);
    void End(const Xml::Name &name);
    void Text(std::string_view text);
    // The decoded text; the collector starts afresh.
    std::string Take();

private:
    std::string stored;
    int phoneticDepth = 0;
    bool inText = false;
};

} // namespace DataFile
