#pragma once

// The BIFF8 records the reader parses ([MS-XLS] 2.4); every other record is skipped by
// its length.

#include "record_cursor.h"

#include <cstdint>
#include <span>

namespace YExcel {

namespace RecordCode {
inline constexpr std::uint16_t Formula = 0x0006;
inline constexpr std::uint16_t YEOF = 0x000A;
inline constexpr std::uint16_t MulRK = 0x00BD;
inline constexpr std::uint16_t RString = 0x00D6;
inline constexpr std::uint16_t SST = 0x00FC;
inline constexpr std::uint16_t LabelSST = 0x00FD;
inline constexpr std::uint16_t Number = 0x0203;
inline constexpr std::uint16_t Label = 0x0204;
inline constexpr std::uint16_t BoolErr = 0x0205;
inline constexpr std::uint16_t String = 0x0207;
inline constexpr std::uint16_t Array = 0x0221;
inline constexpr std::uint16_t Table = 0x0236;
inline constexpr std::uint16_t RK = 0x027E;
inline constexpr std::uint16_t ShrFmla = 0x04BC;
inline constexpr std::uint16_t BOF = 0x0809;
} // namespace RecordCode

struct MinimumSize
{
    std::uint16_t Code;
    std::size_t Size;
};

// The shortest body each parsed record type needs, checked before its first field is read.
std::span<const MinimumSize> MinimumSizes();

// False for a body shorter than its record type needs; such a record is skipped.
bool HasMinimumSize(const Record &record);

// [MS-XLS] 2.4.21
struct BOF
{
    static constexpr std::uint16_t Globals = 0x0005;
    static constexpr std::uint16_t Worksheet = 0x0010;

    std::uint16_t Version = 0;
    std::uint16_t Type = 0;

    bool Read(const Record &record);
};

// The first six bytes of every cell record: row, column, format index.
struct CellHeader
{
    std::uint16_t Row = 0;
    std::uint16_t Column = 0;
    std::uint16_t XF = 0;

    bool Read(FieldReader &fields);
};

// [MS-XLS] 2.5.217: a 30-bit integer or the high 30 bits of a double, maybe scaled by 100.
struct RKValue
{
    bool IsInteger = false;
    std::int32_t Integer = 0;
    double Real = 0;
};
RKValue DecodeRK(std::uint32_t rk);

struct Number
{
    CellHeader Cell;
    double Value = 0;

    bool Read(const Record &record);
};

struct RK
{
    CellHeader Cell;
    std::uint32_t Value = 0;

    bool Read(const Record &record);
};

// [MS-XLS] 2.4.175: one row, consecutive columns, an (XF, RK) pair for each.
struct MulRK
{
    struct XFRK
    {
        std::uint16_t XF = 0;
        std::uint32_t Value = 0;
    };

    std::uint16_t Row = 0;
    std::uint16_t FirstColumn = 0;
    std::uint16_t LastColumn = 0;
    Bytes Pairs;

    // Also false when the column range and the length disagree.
    bool Read(const Record &record);
    XFRK At(std::size_t index) const;
};

struct LabelSST
{
    CellHeader Cell;
    std::uint32_t Index = 0;

    bool Read(const Record &record);
};

// [MS-XLS] 2.4.24
struct BoolErr
{
    CellHeader Cell;
    std::uint8_t Value = 0;
    bool IsError = false;

    bool Read(const Record &record);
};

// [MS-XLS] 2.4.127 and 2.5.133 (FormulaValue): the cached result is a double unless its
// last two bytes are 0xFFFF; then its first byte says which other kind of result it is.
struct Formula
{
    enum ResultType : std::uint8_t {
        TextResult = 0,
        BooleanResult = 1,
        ErrorResult = 2,
        EmptyTextResult = 3
    };

    CellHeader Cell;
    bool Numeric = false;
    double Value = 0;
    std::uint8_t Type = 0;

    bool Read(const Record &record);
};

} // namespace YExcel
