#include "sql_statement.h"

#include <gtest/gtest.h>

namespace {

using Texts = std::vector<std::string>;

template<typename Form>
Form ParsedAs(const std::string &text)
{
    const auto statement = Sql::Parse(text);
    EXPECT_TRUE(statement && std::holds_alternative<Form>(*statement)) << text;
    return statement && std::holds_alternative<Form>(*statement) ? std::get<Form>(*statement) : Form {};
}

TEST(SqlStatementTest, AcceptsEachFormTheWriterSends)
{
    const auto select = ParsedAs<Sql::Select>("SELECT * FROM [Results$A1:IV65536]");
    EXPECT_EQ(select.Table.Sheet, "Results");
    EXPECT_EQ(select.Table.LastRow, 65536);

    const auto create
        = ParsedAs<Sql::CreateTable>("CREATE TABLE [Results] ([Report] char(255), [-] char(255))");
    EXPECT_EQ(create.Table.Sheet, "Results");
    EXPECT_FALSE(create.Table.LastRow);
    EXPECT_EQ(create.Columns, (Texts {"Report", "-"}));

    const auto recreate
        = ParsedAs<Sql::CreateTable>("CREATE TABLE [My $ Sheet$A1:IV65536] ([Odd]]Name] char(255))");
    EXPECT_EQ(recreate.Table.Sheet, "My $ Sheet");
    EXPECT_EQ(recreate.Columns, Texts {"Odd]Name"});

    EXPECT_EQ(ParsedAs<Sql::DropTable>("DROP TABLE [Results$A1:IV65536]").Table.Sheet, "Results");

    const auto insert
        = ParsedAs<Sql::Insert>("INSERT INTO [Results$A1:IV2] ([Report], [-]) VALUES ('it''s', '')");
    EXPECT_EQ(insert.Table.LastRow, 2);
    EXPECT_EQ(insert.Columns, (Texts {"Report", "-"}));
    EXPECT_EQ(insert.Values, (Texts {"it's", ""}));

    const auto sheetWithDollar = ParsedAs<Sql::CreateTable>("CREATE TABLE [Cost$] ([A] char(255))");
    EXPECT_EQ(sheetWithDollar.Table.Sheet, "Cost$");
    EXPECT_FALSE(sheetWithDollar.Table.LastRow);
}

TEST(SqlStatementTest, RefusesEverythingElse)
{
    for (const char *text : {"", "SELECT * FROM [Results]", "SELECT A FROM [Results$A1:IV65536]",
             "SELECT * FROM [Results$A1:IV65536] WHERE 1", "select * from [Results$A1:IV65536]",
             "DROP TABLE [Results]", "DROP TABLE [Results$A1:IV100]", "CREATE TABLE [Results] ()",
             "CREATE TABLE [Results] ([A] char(254))", "CREATE TABLE [Results] ([A] char(255)",
             "CREATE TABLE [Results$A1:IV9] ([A] char(255))", "CREATE TABLE [] ([A] char(255))",
             "INSERT INTO [Results] ([A]) VALUES ('x')", "INSERT INTO [Results$A1:IV0] ([A]) VALUES ('x')",
             "INSERT INTO [Results$A1:IV65537] ([A]) VALUES ('x')",
             "INSERT INTO [Results$A1:IV01] ([A]) VALUES ('x')",
             "INSERT INTO [Results$A1:IV2] ([A], [B]) VALUES ('x')",
             "INSERT INTO [Results$A1:IV2] ([A]) VALUES ('x)",
             "INSERT INTO [Results$A1:IV2] ([A]) VALUES ('x'); DROP TABLE [Results$A1:IV65536]",
             "UPDATE [Results$A1:IV65536] SET [A] = 'x'", "DROPTABLE [Results$A1:IV65536]"}) {
        EXPECT_FALSE(Sql::Parse(text)) << text;
    }
}

} // namespace
