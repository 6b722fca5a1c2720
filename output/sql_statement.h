#pragma once

// The few SQL statements the spreadsheet writer sends, and nothing else:
//     SELECT * FROM [Sheet$A1:IV65536]
//     CREATE TABLE [Sheet] ([Name] char(255), ...)
//     CREATE TABLE [Sheet$A1:IV65536] ([Name] char(255), ...)
//     DROP TABLE [Sheet$A1:IV65536]
//     INSERT INTO [Sheet$A1:IVn] ([Name], ...) VALUES ('text', ...)
// Inside brackets "]]" stands for "]", inside single quotes "''" for "'".

#include <optional>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

namespace Sql {

struct TableName
{
    std::string Sheet;
    // The n of "$A1:IVn"; None for a bare sheet name.
    std::optional<int> LastRow;
};

struct Select
{
    TableName Table;
};

struct CreateTable
{
    TableName Table;
    std::vector<std::string> Columns;
};

struct DropTable
{
    TableName Table;
};

struct Insert
{
    TableName Table;
    std::vector<std::string> Columns;
    std::vector<std::string> Values; // as many as Columns
};

using Statement = std::variant<Select, CreateTable, DropTable, Insert>;

// None for a text that is not one of the forms above.
std::optional<Statement> Parse(std::string_view text);

} // namespace Sql
