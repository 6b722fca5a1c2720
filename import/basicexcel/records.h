#pragma once

// The BIFF8 records the reader parses ([MS-XLS] 2.4); every other record is skipped by
// its length.

#include "record_cursor.h"

#include <algorithm>
#include <array>
#include <bit>
#include <cstdint>
#include <span>

namespace YExcel {

namespace RecordCode {
inline constexpr std::uint16_t Formula = 0x0006;
inline constexpr std::uint16_t YEOF = 0x000A;
inline constexpr std::uint16_t DateMode = 0x0022;
inline constexpr std::uint16_t BoundSheet = 0x0085;
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

// [MS-XLS] 2.4.21
struct BOF
{
    static constexpr std::uint16_t Globals = 0x0005;
    static constexpr std::uint16_t Worksheet = 0x0010;
    static constexpr std::uint16_t Biff8 = 0x0600; // the version field of Excel 97-2003

    std::uint16_t Version = 0;
    std::uint16_t Type = 0;

    bool Read(const Record &record);
};

// [MS-XLS] 2.4.28: a sheet's name and the stream offset of its BOF.
struct BoundSheet
{
    static constexpr std::uint8_t WorksheetType = 0;

    std::uint32_t Position = 0;
    std::uint8_t Visibility = 0;
    std::uint8_t Type = 0;
    LargeString Name;

    bool Read(const Record &record);
};

// The sheet's name in Windows-1252; empty when no Windows-1252 text can hold it.
std::string SheetNameOf(const BoundSheet &sheet);

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

// Definitions: inline, because the cell loop of a long sheet calls them for every record.

// The shortest body of each parsed record type, checked before the first field is read; the most frequent
// first, since every record of a sheet looks itself up here. MULRK needs at least one column; LABEL may end
// after its character count when the text is empty.
inline constexpr std::array<MinimumSize, 12> MinimumSizeTable = {{
    {RecordCode::RK, 10},
    {RecordCode::Number, 14},
    {RecordCode::LabelSST, 10},
    {RecordCode::BOF, 4},
    {RecordCode::Label, 8},
    {RecordCode::RString, 8},
    {RecordCode::BoolErr, 8},
    {RecordCode::Formula, 20},
    {RecordCode::MulRK, 12},
    {RecordCode::SST, 8},
    {RecordCode::String, 2},
    {RecordCode::BoundSheet, 8},
}};

inline std::span<const MinimumSize> MinimumSizes()
{
    return MinimumSizeTable;
}

constexpr std::size_t MinimumBodySize(std::uint16_t code)
{
    for (const MinimumSize &entry : MinimumSizeTable) {
        if (entry.Code == code) {
            return entry.Size;
        }
    }
    return 0;
}

// False for a body shorter than records of type `code` need; such a record is skipped. Each
// record's Read passes its own code, known when compiling, so the table lookup folds away.
constexpr bool HasMinimumSize(const Record &record, std::uint16_t code)
{
    return record.Data.size() >= MinimumBodySize(code);
}

inline bool HasMinimumSize(const Record &record)
{
    return HasMinimumSize(record, record.Code);
}

inline bool BOF::Read(const Record &record)
{
    if (!HasMinimumSize(record, RecordCode::BOF)) {
        return false;
    }
    FieldReader fields(record.Data);
    return fields.U16(Version) && fields.U16(Type);
}

// The name is a ShortXLUnicodeString ([MS-XLS] 2.5.240) that must end with the record.
inline bool BoundSheet::Read(const Record &record)
{
    if (!HasMinimumSize(record, RecordCode::BoundSheet)) {
        return false;
    }
    FieldReader fields(record.Data);
    std::uint8_t length = 0;
    std::uint8_t options = 0;
    if (!fields.U32(Position) || !fields.U8(Visibility) || !fields.U8(Type) || !fields.U8(length)
        || !fields.U8(options)) {
        return false;
    }
    Name = LargeString {};
    const bool wide = (options & 0x01) != 0;
    const Bytes characters = fields.Rest();
    if (characters.size() < (wide ? 2u : 1u) * length) {
        return false;
    }
    for (std::size_t i = 0; i < length; ++i) {
        if (wide) {
            Name.WideText += static_cast<char16_t>(LoadLittleEndian<std::uint16_t>(&characters[2 * i]));
        } else {
            Name.Narrow += static_cast<char>(characters[i]);
        }
    }
    Name.Wide = wide;
    return true;
}

inline bool CellHeader::Read(FieldReader &fields)
{
    return fields.U16(Row) && fields.U16(Column) && fields.U16(XF);
}

inline RKValue DecodeRK(std::uint32_t rk)
{
    const bool scaled = (rk & 0x01) != 0;
    RKValue value;
    if (rk & 0x02) {
        const std::int32_t integer = static_cast<std::int32_t>(rk) >> 2;
        if (!scaled) {
            value.IsInteger = true;
            value.Integer = integer;
        } else if (integer % 100 == 0) {
            value.IsInteger = true;
            value.Integer = integer / 100;
        } else {
            value.Real = integer / 100.0;
        }
        return value;
    }
    value.Real = std::bit_cast<double>(std::uint64_t(rk & 0xFFFFFFFC) << 32);
    if (scaled) {
        value.Real /= 100.0;
    }
    return value;
}

inline bool Number::Read(const Record &record)
{
    if (!HasMinimumSize(record, RecordCode::Number)) {
        return false;
    }
    FieldReader fields(record.Data);
    return Cell.Read(fields) && fields.F64(Value);
}

inline bool RK::Read(const Record &record)
{
    if (!HasMinimumSize(record, RecordCode::RK)) {
        return false;
    }
    FieldReader fields(record.Data);
    return Cell.Read(fields) && fields.U32(Value);
}

inline bool MulRK::Read(const Record &record)
{
    if (!HasMinimumSize(record, RecordCode::MulRK)) {
        return false;
    }
    FieldReader fields(record.Data);
    if (!fields.U16(Row) || !fields.U16(FirstColumn) || fields.Remaining() < 2) {
        return false;
    }
    Pairs = fields.Rest().first(fields.Remaining() - 2);
    FieldReader tail(fields.Rest().last(2));
    if (!tail.U16(LastColumn) || Pairs.size() % 6 != 0 || LastColumn < FirstColumn) {
        return false;
    }
    return std::size_t(LastColumn - FirstColumn + 1) == Pairs.size() / 6;
}

inline MulRK::XFRK MulRK::At(std::size_t index) const
{
    FieldReader fields(Pairs.subspan(6 * index, 6));
    XFRK pair;
    fields.U16(pair.XF);
    fields.U32(pair.Value);
    return pair;
}

inline bool LabelSST::Read(const Record &record)
{
    if (!HasMinimumSize(record, RecordCode::LabelSST)) {
        return false;
    }
    FieldReader fields(record.Data);
    return Cell.Read(fields) && fields.U32(Index);
}

inline bool BoolErr::Read(const Record &record)
{
    if (!HasMinimumSize(record, RecordCode::BoolErr)) {
        return false;
    }
    FieldReader fields(record.Data);
    std::uint8_t error = 0;
    if (!Cell.Read(fields) || !fields.U8(Value) || !fields.U8(error)) {
        return false;
    }
    IsError = error != 0;
    return true;
}

inline bool Formula::Read(const Record &record)
{
    if (!HasMinimumSize(record, RecordCode::Formula)) {
        return false;
    }
    FieldReader fields(record.Data);
    if (!Cell.Read(fields) || fields.Remaining() < 8) {
        return false;
    }
    const Bytes result = fields.Rest().first(8);
    Numeric = !(result[6] == 0xFF && result[7] == 0xFF);
    Type = result[0];
    return fields.F64(Value);
}

} // namespace YExcel
