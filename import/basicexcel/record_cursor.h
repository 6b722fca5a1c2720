#pragma once

// The only code that touches the bytes of the workbook stream. Every read is checked
// against what is left, so a lying length ends a record or the stream, never a read
// beyond it.

#include <bit>
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
    static constexpr std::size_t MaxRecordBody = 8224;

    explicit RecordCursor(Bytes stream)
        : stream(stream)
    { }

    RecordStatus Next(Record &record)
    {
        if (stream.size() - position < 4) {
            return RecordStatus::EndOfStream;
        }
        const std::uint16_t code = static_cast<std::uint16_t>(stream[position] | (stream[position + 1] << 8));
        const std::size_t length = stream[position + 2] | (stream[position + 3] << 8);
        if (length > MaxRecordBody) {
            return RecordStatus::TooLong;
        }
        if (length > stream.size() - position - 4) {
            return RecordStatus::Truncated;
        }
        record.Code = code;
        record.Data = stream.subspan(position + 4, length);
        position += 4 + length;
        return RecordStatus::Ok;
    }
    // Takes the CONTINUE records ([MS-XLS] 2.4.58) that directly follow, appending their bodies.
    void TakeContinues(std::vector<Bytes> &segments);
    std::size_t Position() const { return position; }
    void Rewind(std::size_t to) { position = to; }

private:
    Bytes stream;
    std::size_t position = 0;
};

// Fields of one record body, little-endian; a read past the end fails and reads nothing.
// Inline: the cell loop of a long sheet runs through these a million times.
class FieldReader
{
public:
    explicit FieldReader(Bytes bytes)
        : bytes(bytes)
    { }

    bool U8(std::uint8_t &value)
    {
        if (Remaining() < 1) {
            return false;
        }
        value = bytes[position++];
        return true;
    }

    bool U16(std::uint16_t &value)
    {
        if (Remaining() < 2) {
            return false;
        }
        value = static_cast<std::uint16_t>(bytes[position] | (bytes[position + 1] << 8));
        position += 2;
        return true;
    }

    bool U32(std::uint32_t &value)
    {
        if (Remaining() < 4) {
            return false;
        }
        value = 0;
        for (int i = 3; i >= 0; --i) {
            value = (value << 8) | bytes[position + i];
        }
        position += 4;
        return true;
    }

    bool F64(double &value)
    {
        if (Remaining() < 8) {
            return false;
        }
        std::uint64_t bits = 0;
        for (int i = 7; i >= 0; --i) {
            bits = (bits << 8) | bytes[position + i];
        }
        position += 8;
        value = std::bit_cast<double>(bits);
        return true;
    }

    bool Skip(std::size_t count)
    {
        if (Remaining() < count) {
            return false;
        }
        position += count;
        return true;
    }

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
