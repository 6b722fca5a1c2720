#include "record_cursor.h"

#include "compound_file.h"
#include "text_encoding.h"

#include <algorithm>
#include <array>

namespace YExcel {

namespace {

constexpr std::uint16_t ContinueCode = 0x003C;

// Several sectors at a time, and more than the longest record.
constexpr std::size_t WindowSize = 64 * 1024;

} // namespace

RecordCursor::RecordCursor(StreamReader &reader)
    : reader(&reader)
    , window(WindowSize)
{
    data = window.data();
}

bool RecordCursor::Refill(std::size_t count)
{
    std::copy(window.begin() + static_cast<std::ptrdiff_t>(begin),
        window.begin() + static_cast<std::ptrdiff_t>(end), window.begin());
    windowStart += begin;
    end -= begin;
    begin = 0;
    while (end < count) {
        std::size_t got = 0;
        const bool read = reader->Read(window.data() + end, window.size() - end, got);
        end += got;
        // Bytes that cannot be read (a file cut short) end the stream there, after the
        // records before them.
        if (!read || got == 0) {
            break;
        }
    }
    return end >= count;
}

bool RecordCursor::PeekCode(std::uint16_t &code)
{
    if (end - begin < 4 && !Refill(4)) {
        return false;
    }
    code = LoadLittleEndian<std::uint16_t>(data + begin);
    return true;
}

ContinuedReader RecordCursor::TakeWithContinues(Bytes body)
{
    std::vector<std::vector<std::uint8_t>> bodies;
    bodies.emplace_back(body.begin(), body.end());
    std::uint16_t code = 0;
    Record record;
    while (PeekCode(code) && code == ContinueCode && Next(record) == RecordStatus::Ok) {
        bodies.emplace_back(record.Data.begin(), record.Data.end());
    }
    return ContinuedReader(std::move(bodies));
}

ContinuedReader::ContinuedReader(std::vector<std::vector<std::uint8_t>> bodies)
    : bodies(std::move(bodies))
{
    for (const auto &body : this->bodies) {
        segments.emplace_back(body);
    }
}

std::optional<std::string> TextInWindows1252(const LargeString &text, std::size_t maxLength)
{
    if (text.Empty()) {
        return std::nullopt;
    }
    if (text.Wide) {
        return Encoding::Utf16ToWindows1252(std::u16string_view(text.WideText).substr(0, maxLength));
    }
    return text.Narrow.substr(0, maxLength);
}

void LargeString::Widen()
{
    if (Wide) {
        return;
    }
    WideText.resize(Narrow.size());
    for (std::size_t i = 0; i < Narrow.size(); ++i) {
        WideText[i] = static_cast<unsigned char>(Narrow[i]);
    }
    Narrow.clear();
    Wide = true;
}

bool ContinuedReader::NextSegment()
{
    if (index + 1 >= segments.size()) {
        return false;
    }
    ++index;
    offset = 0;
    return true;
}

bool ContinuedReader::U8(std::uint8_t &value)
{
    while (AtSegmentEnd()) {
        if (!NextSegment()) {
            return false;
        }
    }
    value = segments[index][offset++];
    return true;
}

template<typename T>
bool ContinuedReader::Take(T &value)
{
    std::array<std::uint8_t, sizeof(T)> bytes {};
    for (std::uint8_t &byte : bytes) {
        if (!U8(byte)) {
            return false;
        }
    }
    value = LoadLittleEndian<T>(bytes.data());
    return true;
}

bool ContinuedReader::U16(std::uint16_t &value)
{
    return Take(value);
}

bool ContinuedReader::U32(std::uint32_t &value)
{
    return Take(value);
}

bool ContinuedReader::Skip(std::size_t count)
{
    return Consume(count, nullptr);
}

bool ContinuedReader::Consume(std::size_t count, std::vector<std::uint8_t> *kept)
{
    while (count > 0) {
        while (AtSegmentEnd()) {
            if (!NextSegment()) {
                return false;
            }
        }
        const std::size_t step = std::min(count, segments[index].size() - offset);
        if (kept) {
            const auto first = segments[index].begin() + static_cast<std::ptrdiff_t>(offset);
            kept->insert(kept->end(), first, first + static_cast<std::ptrdiff_t>(step));
        }
        offset += step;
        count -= step;
    }
    return true;
}

// A string whose segments differ in width is kept as 16-bit text, the 8-bit segments
// widened, so no character is lost (parseexcel__long_string2.xls switches from 8 to 16).
bool ContinuedReader::ReadCharacters(std::uint32_t count, bool wide, LargeString &text)
{
    while (count > 0) {
        if (AtSegmentEnd()) {
            std::uint8_t options = 0;
            if (!NextSegment() || !U8(options)) {
                return false;
            }
            wide = (options & 0x01) != 0;
            continue;
        }
        const Bytes segment = segments[index];
        const std::size_t available = segment.size() - offset;
        const std::size_t taken = std::min<std::size_t>(count, wide ? available / 2 : available);
        if (taken == 0) {
            return false; // half a 16-bit character before the boundary
        }
        if (wide) {
            text.Widen();
            for (std::size_t i = 0; i < taken; ++i) {
                text.WideText
                    += static_cast<char16_t>(LoadLittleEndian<std::uint16_t>(&segment[offset + 2 * i]));
            }
            offset += 2 * taken;
        } else if (text.Wide) {
            for (std::size_t i = 0; i < taken; ++i) {
                text.WideText += static_cast<char16_t>(segment[offset + i]);
            }
            offset += taken;
        } else {
            text.Narrow.append(reinterpret_cast<const char *>(&segment[offset]), taken);
            offset += taken;
        }
        count -= static_cast<std::uint32_t>(taken);
    }
    return true;
}

bool ContinuedReader::ReadUnicodeString(
    LargeString &text, std::vector<std::uint8_t> *runs, std::vector<std::uint8_t> *extended)
{
    text = LargeString {};
    std::uint16_t count = 0;
    std::uint8_t options = 0;
    if (!U16(count) || !U8(options)) {
        return false;
    }
    std::uint16_t runCount = 0;
    std::uint32_t extendedSize = 0;
    if ((options & 0x08) && !U16(runCount)) {
        return false;
    }
    if ((options & 0x04) && !U32(extendedSize)) {
        return false;
    }
    if (!ReadCharacters(count, (options & 0x01) != 0, text)) {
        return false;
    }
    return Consume(4 * std::size_t(runCount), runs) && Consume(extendedSize, extended);
}

} // namespace YExcel
