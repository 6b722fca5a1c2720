#pragma once

// What the writer tests share: reading written bytes back through our reader and through
// xlrd, the reference reader the shared corpus was listed with.

#include "basicexcel.h"
#include "workbook_builder.h"
#include "workbook_writer.h"

#include <map>
#include <optional>
#include <string>
#include <vector>

namespace WrittenWorkbook {

// The bytes of a successful write; a refusal fails the test and gives none.
TestWorkbook::ByteVector Bytes(const std::variant<std::string, YExcel::WorkbookRefusal> &written);

// The "Workbook" stream of a compound file.
TestWorkbook::ByteVector WorkbookStream(const TestWorkbook::ByteVector &file);

// Records of a workbook stream by their offsets, up to the first of code 0.
std::map<std::size_t, std::uint16_t> RecordCodes(const TestWorkbook::ByteVector &stream);

// Every worksheet as the writer was given it: names, then numbers and non-empty texts by
// position; what our reader makes of `bytes` must equal what was written.
void ExpectReadsBack(const TestWorkbook::ByteVector &bytes, const std::vector<YExcel::WrittenSheet> &sheets);

// The listing xlrd makes of the workbooks (the corpus's expected-file format), one vector of
// lines per file; none when xlrd is not installed.
std::optional<std::vector<std::vector<std::string>>> XlrdListings(const std::vector<std::string> &paths);

// The listing the corpus tool would make of `sheets`, the first of them worksheet number
// `firstIndex`.
std::vector<std::string> ListingOf(
    const std::vector<YExcel::WrittenSheet> &sheets, std::size_t firstIndex = 0);

} // namespace WrittenWorkbook
