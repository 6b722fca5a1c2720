#include "text_encoding.h"

#include <gtest/gtest.h>

using namespace Encoding;

TEST(TextEncoding, EveryWindows1252ByteRoundTripsThroughUtf8)
{
    std::string all;
    for (int byte = 1; byte < 256; ++byte) {
        all += static_cast<char>(byte);
    }
    EXPECT_EQ(Utf8ToWindows1252(Windows1252ToUtf8(all)), all);
    EXPECT_EQ(Windows1252ToUtf8("\xB5g/L \xB2 \x80 \x81"), "\u00B5g/L \u00B2 \u20AC \u0081");
}

TEST(TextEncoding, Utf8ThatWindows1252CannotHold)
{
    EXPECT_EQ(Utf8ToWindows1252("\u0141\u00F3d\u017A"), std::nullopt); // Ł has no byte
    EXPECT_EQ(Utf8ToWindows1252("\xC0\x80"), std::nullopt); // overlong NUL
    EXPECT_EQ(Utf8ToWindows1252("\xE2\x82"), std::nullopt); // cut short
    EXPECT_EQ(Utf8ToWindows1252("\u20AC\u00E9"), "\x80\xE9");
}

TEST(TextEncoding, Utf16)
{
    EXPECT_EQ(Utf16ToUtf8(u"Flow \u263A \U0001F363"), "Flow \u263A \U0001F363");
    EXPECT_EQ(Utf16ToUtf8(std::u16string {u'a', char16_t(0xD800), u'b'}), "a\uFFFDb");
    EXPECT_EQ(Utf16ToUtf8(std::u16string {char16_t(0xDC00)}), "\uFFFD");
    EXPECT_EQ(Utf16ToWindows1252(u"Cost (\u20AC) \u00B5g"), "Cost (\x80) \xB5g");
    EXPECT_EQ(Utf16ToWindows1252(u"\u263A"), std::nullopt);
    EXPECT_EQ(Windows1252ToUtf16("Cost (\x80) \xB5g\x81"), u"Cost (\u20AC) \u00B5g\u0081");
}
