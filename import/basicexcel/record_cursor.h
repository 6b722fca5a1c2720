#pragma once

// The only code that touches the bytes of the workbook stream. Every read is checked
// against what is left, so a lying length ends a record or the stream, never a read
// beyond it.

#include "little_endian.h"

#include <bit>
#include <cstdint>
#include <optional>
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

class ContinuedReader;
class StreamReader;

class RecordCursor
{
public:
    static constexpr std::size_t MaxRecordBody = 8224;

    // Reads the stream through a window of a few sectors, so a long sheet is never held
    // whole. A record's Data is valid until the cursor moves on.
    explicit RecordCursor(StreamReader &reader);

    RecordStatus Next(Record &record)
    {
        if (end - begin < 4 && !Refill(4)) {
            return RecordStatus::EndOfStream;
        }
        const std::uint16_t code = LoadLittleEndian<std::uint16_t>(data + begin);
        const std::size_t length = LoadLittleEndian<std::uint16_t>(data + begin + 2);
        if (length > MaxRecordBody) {
            return RecordStatus::TooLong;
        }
        if (end - begin - 4 < length && !Refill(4 + length)) {
            return RecordStatus::Truncated;
        }
        record.Code = code;
        record.Data = Bytes(data + begin + 4, length);
        begin += 4 + length;
        return RecordStatus::Ok;
    }

    // The code of the next record, which stays where it is; false when no header is left.
    bool PeekCode(std::uint16_t &code);
    // Where in the stream the next record starts.
    std::uint64_t Position() const { return windowStart + begin; }
    // A record body (or its tail) and the CONTINUE records ([MS-XLS] 2.4.58) that directly
    // follow it, taken and copied for reading as one sequence.
    ContinuedReader TakeWithContinues(Bytes body);

private:
    // Makes at least `count` bytes available from `begin`, reading more of the stream.
    bool Refill(std::size_t count);

    const std::uint8_t *data = nullptr;
    std::size_t begin = 0;
    std::size_t end = 0;
    std::uint64_t windowStart = 0; // the stream offset of window[0]
    StreamReader *reader;
    std::vector<std::uint8_t> window;
};

// Fields of one record body, little-endian; a read past the end fails and reads nothing.
// Inline: the cell loop of a long sheet runs through these a million times.
class FieldReader
{
public:
    explicit FieldReader(Bytes bytes)
        : bytes(bytes)
    { }

    bool U8(std::uint8_t &value) { return Take(value); }
    bool U16(std::uint16_t &value) { return Take(value); }
    bool U32(std::uint32_t &value) { return Take(value); }

    bool F64(double &value)
    {
        std::uint64_t bits = 0;
        if (!Take(bits)) {
            return false;
        }
        value = std::bit_cast<double>(bits);
        return true;
    }

    std::size_t Remaining() const { return bytes.size() - position; }
    Bytes Rest() const { return bytes.subspan(position); }

private:
    template<typename T>
    bool Take(T &value)
    {
        if (Remaining() < sizeof(T)) {
            return false;
        }
        value = LoadLittleEndian<T>(bytes.data() + position);
        position += sizeof(T);
        return true;
    }

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

// The text in Windows-1252, at most `maxLength` characters of it; a 16-bit text only when
// every one of those characters exists in Windows-1252. None for the empty text.
std::optional<std::string> TextInWindows1252(const LargeString &text, std::size_t maxLength);

// Reads a record body and its CONTINUE bodies as one sequence. Inside the characters of a
// string, each continuation starts with a fresh option byte giving the width of the
// characters that follow ([MS-XLS] 2.5.293); everywhere else the bytes simply run on.
class ContinuedReader
{
public:
    explicit ContinuedReader(std::vector<std::vector<std::uint8_t>> bodies);

    bool U8(std::uint8_t &value);
    bool U16(std::uint16_t &value);
    bool U32(std::uint32_t &value);
    bool Skip(std::size_t count);
    // An XLUnicodeString / XLUnicodeRichExtendedString: count, option byte, optional run
    // count and extended size, characters, runs and extended data (the last two skipped
    // unless `runs` and `extended` are given to keep their bytes).
    bool ReadUnicodeString(LargeString &text, std::vector<std::uint8_t> *runs = nullptr,
        std::vector<std::uint8_t> *extended = nullptr);

private:
    // A number may straddle a CONTINUE boundary, so its bytes are gathered first.
    template<typename T>
    bool Take(T &value);
    // Skips `count` bytes, appending them to `kept` when given.
    bool Consume(std::size_t count, std::vector<std::uint8_t> *kept);
    bool AtSegmentEnd() const { return offset == segments[index].size(); }
    bool NextSegment();
    bool ReadCharacters(std::uint32_t count, bool wide, LargeString &text);

    std::vector<std::vector<std::uint8_t>> bodies; // copies: the cursor's window moves on
    std::vector<Bytes> segments;
    std::size_t index = 0;
    std::size_t offset = 0;
};

} // namespace YExcel
