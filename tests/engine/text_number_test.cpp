#include "text_number.h"

#include <clocale>

#include <gtest/gtest.h>

TEST(LeadingNumber, ReadsTheLeadingDecimalNumberOnly)
{
    EXPECT_EQ(LeadingNumber("1.5"), 1.5);
    EXPECT_EQ(LeadingNumber("  -2.5e1 mL"), -25.0);
    EXPECT_EQ(LeadingNumber("12.5 min"), 12.5);
    EXPECT_EQ(LeadingNumber(".5"), 0.5);
    EXPECT_EQ(LeadingNumber("+3."), 3.0);
    EXPECT_EQ(LeadingNumber("1e"), 1.0); // an exponent letter without digits is not part of it
    EXPECT_EQ(LeadingNumber(""), 0.0);
    EXPECT_EQ(LeadingNumber("abc"), 0.0);
    EXPECT_EQ(LeadingNumber("-"), 0.0);
    EXPECT_EQ(LeadingNumber("."), 0.0);
}

TEST(LeadingNumber, NeverTurnsWordsIntoSpecialValues)
{
    EXPECT_EQ(LeadingNumber("nan"), 0.0);
    EXPECT_EQ(LeadingNumber("Infinity"), 0.0);
    EXPECT_EQ(LeadingNumber("0x1A"), 0.0);
}

TEST(LeadingNumber, IgnoresTheProcessLocale)
{
    // scripts/test.sh generates this locale; its decimal separator is the comma.
    if (!std::setlocale(LC_ALL, "de_DE.UTF-8")) {
        GTEST_SKIP() << "the de_DE.UTF-8 locale is not installed";
    }
    const double fromPoint = LeadingNumber("1.5");
    const double fromComma = LeadingNumber("1,5");
    std::setlocale(LC_ALL, "C");
    EXPECT_EQ(fromPoint, 1.5);
    EXPECT_EQ(fromComma, 1.0);
}

TEST(LeadingInteger, ReadsLikeAtoiAndSaturates)
{
    EXPECT_EQ(LeadingInteger(" 42abc"), 42);
    EXPECT_EQ(LeadingInteger("-7.9"), -7);
    EXPECT_EQ(LeadingInteger("x"), 0);
    EXPECT_EQ(LeadingInteger("99999999999999999999"), 2147483647);
    EXPECT_EQ(LeadingInteger("-99999999999999999999"), -2147483647 - 1);
}
