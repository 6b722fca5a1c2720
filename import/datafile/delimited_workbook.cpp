#include "delimited_workbook.h"

#include "cell_table.h"
#include "delimited_text.h"

namespace DataFile {

OpenResult ReadDelimitedWorkbook(std::string_view bytes, const std::string &sheetName)
{
    const DelimitedText::Layout layout = DelimitedText::TextLayout(bytes);
    if (layout.Text.find('\0') != std::string::npos) {
        return {nullptr, "not a text file: it holds bytes of value 0"};
    }
    auto book = std::make_unique<TableWorkbook>();
    CellTable &sheet = book->AddSheet(sheetName);
    int row = 0;
    DelimitedText::ForEachRecord(layout.Records(), layout.Delimiter, [&](DelimitedText::Record &record) {
        if (row >= MaxRows) {
            sheet.MarkTruncated();
            return false;
        }
        for (std::size_t column = 0; column < record.size(); ++column) {
            const std::string &field = record[column];
            if (const auto number = DelimitedText::FieldNumber(field, layout.Delimiter)) {
                sheet.AddNumber(row, static_cast<int>(column), *number);
            } else {
                sheet.AddText(row, static_cast<int>(column), field);
            }
        }
        ++row;
        return true;
    });
    sheet.Finish();
    return {std::move(book), {}};
}

} // namespace DataFile
