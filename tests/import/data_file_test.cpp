#include "data_file.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace {

std::span<const std::uint8_t> Bytes(std::string_view text)
{
    return {reinterpret_cast<const std::uint8_t *>(text.data()), text.size()};
}

} // namespace

TEST(DataFile, FormatIsToldByTheFirstBytes)
{
    using DataFile::Format;
    EXPECT_EQ(DataFile::FormatOf(Bytes("\xD0\xCF\x11\xE0\xA1\xB1\x1A\xE1 and more")), Format::Xls);
    EXPECT_EQ(DataFile::FormatOf(Bytes("PK\x03\x04")), Format::Xlsx);
    EXPECT_EQ(DataFile::FormatOf(Bytes("\xD0\xCF\x11\xE0")), Format::DelimitedText); // cut short
    EXPECT_EQ(DataFile::FormatOf(Bytes("PK,1\n")), Format::DelimitedText);
    EXPECT_EQ(DataFile::FormatOf({}), Format::DelimitedText);
}

TEST(DataFile, WorkbooksTellTheirDateSystem)
{
    const auto examples = DataFile::OpenDataFile(ORVANE_SOURCE_DIR "/examples/closed_loop_continuous.xls");
    ASSERT_NE(examples.Book, nullptr);
    EXPECT_FALSE(examples.Book->Uses1904Dates());
    const std::string dates1904 = ORVANE_SOURCE_DIR "/../shared/xls-corpus/files/calamine__date_1904.xls";
    if (!std::filesystem::exists(dates1904)) {
        GTEST_SKIP() << "the shared corpus is absent";
    }
    const auto book = DataFile::OpenDataFile(dates1904).Book;
    ASSERT_NE(book, nullptr);
    EXPECT_TRUE(book->Uses1904Dates());
}
