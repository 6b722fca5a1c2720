#include "sql_statement.h"

#include <cctype>
#include <charconv>

namespace Sql {
namespace {

constexpr int SheetRows = 65536;

// Recursive descent over the text; every Read... either consumes what it names and gives
// true, or leaves the parse failed.
class Parser
{
public:
    explicit Parser(std::string_view text)
        : text(text)
    { }

    std::optional<Sql::Statement> WholeStatement();

private:
    bool Keyword(std::string_view word);
    bool Symbol(char symbol);
    void SkipBlanks();
    bool AtEnd();
    std::optional<std::string> Delimited(char open, char close);
    std::optional<TableName> Table();
    std::optional<std::vector<std::string>> ColumnList(bool withType);
    std::optional<std::vector<std::string>> ValueList();
    std::optional<Sql::Statement> SelectRest();
    std::optional<Sql::Statement> CreateRest();
    std::optional<Sql::Statement> DropRest();
    std::optional<Sql::Statement> InsertRest();

    std::string_view text;
    std::size_t position = 0;
};

void Parser::SkipBlanks()
{
    while (position < text.size() && text[position] == ' ') {
        ++position;
    }
}

bool Parser::AtEnd()
{
    SkipBlanks();
    return position == text.size();
}

// A keyword ends where a letter or digit cannot go on.
bool Parser::Keyword(std::string_view word)
{
    SkipBlanks();
    if (!text.substr(position).starts_with(word)) {
        return false;
    }
    const std::size_t end = position + word.size();
    if (end < text.size() && std::isalnum(static_cast<unsigned char>(text[end]))) {
        return false;
    }
    position = end;
    return true;
}

bool Parser::Symbol(char symbol)
{
    SkipBlanks();
    if (position >= text.size() || text[position] != symbol) {
        return false;
    }
    ++position;
    return true;
}

// Text between `open` and `close`, where a doubled `close` stands for one.
std::optional<std::string> Parser::Delimited(char open, char close)
{
    if (!Symbol(open)) {
        return std::nullopt;
    }
    std::string content;
    while (position < text.size()) {
        const char character = text[position++];
        if (character != close) {
            content += character;
        } else if (position < text.size() && text[position] == close) {
            content += close;
            ++position;
        } else {
            return content;
        }
    }
    return std::nullopt;
}

std::optional<int> RangeLastRow(std::string_view range)
{
    constexpr std::string_view prefix = "A1:IV";
    if (!range.starts_with(prefix)) {
        return std::nullopt;
    }
    const std::string_view digits = range.substr(prefix.size());
    int lastRow = 0;
    const auto [end, error] = std::from_chars(digits.data(), digits.data() + digits.size(), lastRow);
    if (error != std::errc() || end != digits.data() + digits.size() || digits.starts_with('0') || lastRow < 1
        || lastRow > SheetRows) {
        return std::nullopt;
    }
    return lastRow;
}

// "[Sheet]" or "[Sheet$A1:IVn]"; a "$" not followed by such a range belongs to the name.
std::optional<TableName> Parser::Table()
{
    auto name = Delimited('[', ']');
    if (!name || name->empty()) {
        return std::nullopt;
    }
    const std::size_t dollar = name->rfind('$');
    if (dollar != std::string::npos) {
        if (const auto lastRow = RangeLastRow(std::string_view(*name).substr(dollar + 1))) {
            return TableName {name->substr(0, dollar), *lastRow};
        }
    }
    return TableName {*name, std::nullopt};
}

std::optional<std::vector<std::string>> Parser::ColumnList(bool withType)
{
    if (!Symbol('(')) {
        return std::nullopt;
    }
    std::vector<std::string> columns;
    do {
        auto column = Delimited('[', ']');
        if (!column || (withType && !(Keyword("char") && Symbol('(') && Keyword("255") && Symbol(')')))) {
            return std::nullopt;
        }
        columns.push_back(std::move(*column));
    } while (Symbol(','));
    if (!Symbol(')')) {
        return std::nullopt;
    }
    return columns;
}

std::optional<std::vector<std::string>> Parser::ValueList()
{
    if (!Symbol('(')) {
        return std::nullopt;
    }
    std::vector<std::string> values;
    do {
        auto value = Delimited('\'', '\'');
        if (!value) {
            return std::nullopt;
        }
        values.push_back(std::move(*value));
    } while (Symbol(','));
    if (!Symbol(')')) {
        return std::nullopt;
    }
    return values;
}

bool IsWholeSheet(const TableName &table)
{
    return table.LastRow == SheetRows;
}

std::optional<Sql::Statement> Parser::SelectRest()
{
    if (!Symbol('*') || !Keyword("FROM")) {
        return std::nullopt;
    }
    auto table = Table();
    if (!table || !IsWholeSheet(*table)) {
        return std::nullopt;
    }
    return Select {std::move(*table)};
}

std::optional<Sql::Statement> Parser::CreateRest()
{
    if (!Keyword("TABLE")) {
        return std::nullopt;
    }
    auto table = Table();
    if (!table || (table->LastRow && !IsWholeSheet(*table))) {
        return std::nullopt;
    }
    auto columns = ColumnList(true);
    if (!columns) {
        return std::nullopt;
    }
    return CreateTable {std::move(*table), std::move(*columns)};
}

std::optional<Sql::Statement> Parser::DropRest()
{
    if (!Keyword("TABLE")) {
        return std::nullopt;
    }
    auto table = Table();
    if (!table || !IsWholeSheet(*table)) {
        return std::nullopt;
    }
    return DropTable {std::move(*table)};
}

std::optional<Sql::Statement> Parser::InsertRest()
{
    if (!Keyword("INTO")) {
        return std::nullopt;
    }
    auto table = Table();
    if (!table || !table->LastRow) {
        return std::nullopt;
    }
    auto columns = ColumnList(false);
    if (!columns || !Keyword("VALUES")) {
        return std::nullopt;
    }
    auto values = ValueList();
    if (!values || values->size() != columns->size()) {
        return std::nullopt;
    }
    return Insert {std::move(*table), std::move(*columns), std::move(*values)};
}

std::optional<Sql::Statement> Parser::WholeStatement()
{
    std::optional<Sql::Statement> statement;
    if (Keyword("SELECT")) {
        statement = SelectRest();
    } else if (Keyword("CREATE")) {
        statement = CreateRest();
    } else if (Keyword("DROP")) {
        statement = DropRest();
    } else if (Keyword("INSERT")) {
        statement = InsertRest();
    }
    if (!statement || !AtEnd()) {
        return std::nullopt;
    }
    return statement;
}

} // namespace

std::optional<Statement> Parse(std::string_view text)
{
    return Parser(text).WholeStatement();
}

} // namespace Sql
