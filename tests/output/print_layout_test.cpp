#include "print_layout.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace {

// Every character 10 pixels wide keeps the expected breaks easy to count.
int TenPixelsEach(std::string_view text)
{
    return static_cast<int>(text.size()) * 10;
}

std::string WithoutSpaces(std::string text)
{
    std::erase(text, ' ');
    return text;
}

TEST(PrintLines, LineEndsAreCrLfLoneLfOrLoneCrAndNeverPrinted)
{
    EXPECT_EQ(BreakIntoPrintLines("a\r\nb\nc\r\n\r\nd\re", 1000, TenPixelsEach),
        (std::vector<std::string> {"a", "b", "c", "", "d", "e"}));
    // Leading spaces are skipped; a text ending in a line end has no empty line after it.
    EXPECT_EQ(BreakIntoPrintLines("   x\r\n", 1000, TenPixelsEach), (std::vector<std::string> {"x"}));
}

TEST(PrintLines, LongLineBreaksAfterItsLastSpaceThatFitsLosingNothing)
{
    EXPECT_EQ(BreakIntoPrintLines("the quick brown fox jumps", 100, TenPixelsEach),
        (std::vector<std::string> {"the quick ", "brown fox ", "jumps"}));
    // A word that just reaches the width is cut as well: the line stops on reaching it.
    EXPECT_EQ(BreakIntoPrintLines("ab cdefgh ij", 60, TenPixelsEach),
        (std::vector<std::string> {"ab ", "cdefg", "h ij"}));

    const std::string text = "Steady-State Permeation Rate (SSPR): 0.123456 ug/cm2/min, determined between "
                             "120.5 and 240.25 minutes of the test, with a\r\nsecond line\tand a tab";
    for (const int width : {35, 80, 150, 400}) {
        const std::vector<std::string> lines = BreakIntoPrintLines(text, width, TenPixelsEach);
        std::string joined;
        for (const std::string &line : lines) {
            // Only a trailing space may reach past the width: it prints as nothing.
            EXPECT_LE(TenPixelsEach(line.substr(0, line.find_last_not_of(' ') + 1)), width) << line;
            joined += line;
        }
        std::string expected = text;
        std::erase(expected, '\r');
        std::erase(expected, '\n');
        EXPECT_EQ(WithoutSpaces(joined), WithoutSpaces(expected)) << "width " << width;
    }
}

TEST(PrintLines, WordWiderThanTheLineIsCutAtCharacters)
{
    EXPECT_EQ(BreakIntoPrintLines("abcdefghij", 40, TenPixelsEach),
        (std::vector<std::string> {"abc", "def", "ghi", "j"}));
    // Narrower than one character: a character per line rather than no progress at all.
    EXPECT_EQ(BreakIntoPrintLines("ab c", 5, TenPixelsEach), (std::vector<std::string> {"a", "b", "c"}));
}

TEST(PrintLines, PagesHoldWholeLinesPerPage)
{
    std::string text;
    for (int i = 0; i < 130; ++i) {
        text += "line " + std::to_string(i) + "\r\n";
    }
    const std::vector<std::string> lines = BreakIntoPrintLines(text, 1000, TenPixelsEach);
    ASSERT_EQ(lines.size(), 130u);
    const int perPage = LinesPerPage(609, 10);
    EXPECT_EQ(perPage, 60);
    EXPECT_EQ(PageCount(lines.size(), perPage), 3);
    EXPECT_EQ(lines.size() - 2 * perPage, 10u);
    EXPECT_EQ(PageCount(120, perPage), 2);
    EXPECT_EQ(LinesPerPage(5, 10), 1);
}

TEST(PrintLines, TabsMoveToTheNextStop)
{
    const std::vector<TabbedRun> runs = TabbedRuns("\tA\tBC\t\tD", 200, TenPixelsEach);
    ASSERT_EQ(runs.size(), 3u);
    EXPECT_EQ(runs[0].Text, "A");
    EXPECT_EQ(runs[0].Offset, 200);
    EXPECT_EQ(runs[1].Offset, 400);
    EXPECT_EQ(runs[2].Offset, 800);
    // A run ending on a stop goes on to the next one.
    EXPECT_EQ(TabbedWidth(std::string(20, 'x') + "\tx", 200, TenPixelsEach), 410);
    EXPECT_EQ(TabbedWidth("abc", 200, TenPixelsEach), 30);
}

TEST(GraphStrips, PagesFollowThePrinterToScreenRatio)
{
    // Narrower than the page: one page with the whole picture, not stretched to the page.
    ASSERT_EQ(GraphStrips(700, 9000, 12.5).size(), 1u);
    EXPECT_EQ(GraphStrips(700, 9000, 12.5)[0].PageWidth, 8750);
    EXPECT_EQ(GraphStrips(700, 9000, 12.5)[0].SourceWidth, 700);

    const std::vector<GraphStrip> strips = GraphStrips(700, 4000, 1200.0 / 96);
    ASSERT_EQ(strips.size(), 3u);
    EXPECT_EQ(strips[0].SourceX, 0);
    EXPECT_EQ(strips[0].SourceWidth, 320);
    EXPECT_EQ(strips[0].PageWidth, 4000);
    EXPECT_EQ(strips[1].SourceX, 320);
    EXPECT_EQ(strips[2].SourceX, 640);
    EXPECT_EQ(strips[2].SourceWidth, 60);
    EXPECT_EQ(strips[2].PageWidth, 750);

    // Strips that do not divide evenly still reach the picture's last column.
    const std::vector<GraphStrip> uneven = GraphStrips(700, 4001, 1200.0 / 72);
    ASSERT_EQ(uneven.size(), 3u);
    EXPECT_EQ(uneven[1].SourceX, uneven[0].SourceWidth);
    EXPECT_EQ(uneven[2].SourceX + uneven[2].SourceWidth, 700);

    EXPECT_TRUE(GraphStrips(700, 0, 12.5).empty());
    EXPECT_TRUE(GraphStrips(700, 4000, 0).empty());
}

} // namespace
