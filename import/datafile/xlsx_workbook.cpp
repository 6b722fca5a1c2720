#include "xlsx_workbook.h"

namespace DataFile {

OpenResult ReadXlsxWorkbook(std::span<const std::uint8_t>)
{
    return {nullptr, "Office Open XML (.xlsx) workbooks cannot be read yet"};
}

} // namespace DataFile
