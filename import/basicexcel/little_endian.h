#pragma once

// Every number in a compound file and in a BIFF8 stream is little-endian ([MS-CFB] 2.2,
// [MS-XLS] 2.1.2); these are the reader's only decoders of them.

#include <bit>
#include <concepts>
#include <cstdint>
#include <cstring>

namespace YExcel {

// The caller has checked that sizeof(T) bytes are there. On a little-endian machine this is
// one unaligned load: the cell loop of a long sheet decodes every field through it.
template<std::unsigned_integral T>
inline T LoadLittleEndian(const std::uint8_t *bytes)
{
    T value = 0;
    if constexpr (std::endian::native == std::endian::little) {
        std::memcpy(&value, bytes, sizeof(T));
    } else {
        for (std::size_t i = sizeof(T); i-- > 0;) {
            value = static_cast<T>((value << 8) | bytes[i]);
        }
    }
    return value;
}

} // namespace YExcel
