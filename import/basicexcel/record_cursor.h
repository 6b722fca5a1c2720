#pragma once

// The only code that touches the bytes of the workbook stream. Every read is checked
// against what is left, so a lying length ends a record or the stream, never a read
// beyond it.

#include <cstdint>
#include <span>
#include <string>
#include <vector>

namespace YExcel {

using Bytes = std::span<const std::uint8_t>;

enum class RecordStatus {
    Ok,
    EndOfStream, // fewer than 4 bytes left: a lone stray byte after the last EOF is tolerated
    Truncated, // the body runs past the end of the stream
    TooLong, // a body over 8224 bytes, which [MS-XLS] 2.1.4 does not allow
};

// One BIFF record: its code and its own body, without the CONTINUE records after it.
struct Record
{
    std::uint16_t Code = 0;
    Bytes Data;
};

class RecordCursor
{
public:
    explicit RecordCursor(Bytes stream)
        : stream(stream)
    { }

    RecordStatus Next(Record &record);
    // Takes the CONTINUE records ([MS-XLS] 2.4.58) that directly follow, appending their bodies.
    void TakeContinues(std::vector<Bytes> &segments);
    std::size_t Position() const { return position; }
    void Rewind(std::size_t to) { position = to; }

private:
    Bytes stream;
    std::size_t position = 0;
};

// Fields of one record body, little-endian; a read past the end fails and reads nothing.
class FieldReader
{
public:
    explicit FieldReader(Bytes bytes)
        : bytes(bytes)
    { }

    bool U8(std::uint8_t &value);
    bool U16(std::uint16_t &value);
    bool U32(std::uint32_t &value);
    bool F64(double &value);
    bool Skip(std::size_t count);
    std::size_t Remaining() const { return bytes.size() - position; }
    Bytes Rest() const { return bytes.subspan(position); }

private:
    Bytes bytes;
    std::size_t position = 0;
};

// A text as the workbook stores it: 8-bit characters (Latin-1 code units, kept as
// Windows-1252 bytes) or UTF-16 code units.
struct LargeString
{
    bool Wide = false;
    std::string Narrow;
    std::u16string WideText;

    bool Empty() const { return Wide ? WideText.empty() : Narrow.empty(); }
    // Turns the text into UTF-16; 8-bit BIFF8 characters are the low bytes of UTF-16 units.
    void Widen();
};

// Reads a record body and its CONTINUE bodies as one sequence. Inside the characters of a
// string, each continuation starts with a fresh option byte giving the width of the
// characters that follow ([MS-XLS] 2.5.293); everywhere else the bytes simply run on.
class ContinuedReader
{
public:
    explicit ContinuedReader(std::vector<Bytes> segments)
        : segments(std::move(segments))
    { }

    bool U8(std::uint8_t &value);
    bool U16(std::uint16_t &value);
    bool U32(std::uint32_t &value);
    bool Skip(std::size_t count);
    // An XLUnicodeString / XLUnicodeRichExtendedString: count, option byte, optional run
    // count and extended size, characters, runs and extended data (the last two skipped).
    bool ReadUnicodeString(LargeString &text);

private:
    bool AtSegmentEnd() const { return offset == segments[index].size(); }
    bool NextSegment();
    bool ReadCharacters(std::uint32_t count, bool wide, LargeString &text);

    std::vector<Bytes> segments;
    std::size_t index = 0;
    std::size_t offset = 0;
};

} // namespace YExcel
