#include "records.h"

#include <algorithm>
#include <array>
#include <bit>

namespace YExcel {

namespace {

// Checked before the first field is read. MULRK needs at least one column; LABEL may end
// after its character count when the text is empty.
constexpr std::array<MinimumSize, 11> MinimumSizeTable = {{
    {RecordCode::BOF, 4},
    {RecordCode::Number, 14},
    {RecordCode::RK, 10},
    {RecordCode::LabelSST, 10},
    {RecordCode::Label, 8},
    {RecordCode::RString, 8},
    {RecordCode::BoolErr, 8},
    {RecordCode::Formula, 20},
    {RecordCode::MulRK, 12},
    {RecordCode::SST, 8},
    {RecordCode::String, 2},
}};

} // namespace

std::span<const MinimumSize> MinimumSizes()
{
    return MinimumSizeTable;
}

bool HasMinimumSize(const Record &record)
{
    const auto found = std::find_if(MinimumSizeTable.begin(), MinimumSizeTable.end(),
        [&](const MinimumSize &entry) { return entry.Code == record.Code; });
    return found == MinimumSizeTable.end() || record.Data.size() >= found->Size;
}

bool BOF::Read(const Record &record)
{
    FieldReader fields(record.Data);
    return fields.U16(Version) && fields.U16(Type);
}

bool CellHeader::Read(FieldReader &fields)
{
    return fields.U16(Row) && fields.U16(Column) && fields.U16(XF);
}

RKValue DecodeRK(std::uint32_t rk)
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

bool Number::Read(const Record &record)
{
    FieldReader fields(record.Data);
    return Cell.Read(fields) && fields.F64(Value);
}

bool RK::Read(const Record &record)
{
    FieldReader fields(record.Data);
    return Cell.Read(fields) && fields.U32(Value);
}

bool MulRK::Read(const Record &record)
{
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

MulRK::XFRK MulRK::At(std::size_t index) const
{
    FieldReader fields(Pairs.subspan(6 * index, 6));
    XFRK pair;
    fields.U16(pair.XF);
    fields.U32(pair.Value);
    return pair;
}

bool LabelSST::Read(const Record &record)
{
    FieldReader fields(record.Data);
    return Cell.Read(fields) && fields.U32(Index);
}

bool BoolErr::Read(const Record &record)
{
    FieldReader fields(record.Data);
    std::uint8_t error = 0;
    if (!Cell.Read(fields) || !fields.U8(Value) || !fields.U8(error)) {
        return false;
    }
    IsError = error != 0;
    return true;
}

bool Formula::Read(const Record &record)
{
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
