#include "json_writer.h"

#include <gtest/gtest.h>

#include <limits>
#include <sstream>

namespace {

TEST(JsonWriter, SeparatesMembersAndNestsContainers)
{
    std::ostringstream out;
    JsonWriter json(out);
    json.BeginObject()
        .Key("a")
        .Integer(1)
        .Key("b")
        .BeginArray()
        .BeginArray()
        .Number(0.5)
        .Number(-2)
        .EndArray();
    json.BeginArray().EndArray().EndArray().Key("c").BeginObject().EndObject().EndObject();
    EXPECT_EQ(out.str(), R"({"a":1,"b":[[0.5,-2],[]],"c":{}})");
}

TEST(JsonWriter, NonFiniteNumbersAreNullAndFiniteOnesRoundTrip)
{
    std::ostringstream out;
    JsonWriter json(out);
    json.BeginArray()
        .Number(std::numeric_limits<double>::quiet_NaN())
        .Number(std::numeric_limits<double>::infinity())
        .Number(-std::numeric_limits<double>::infinity())
        .Number(0.1)
        .Number(1e-300)
        .Number(319.46990000000005)
        .EndArray();
    EXPECT_EQ(out.str(), "[null,null,null,0.1,1e-300,319.46990000000005]");
}

TEST(JsonWriter, EscapesQuotesBackslashesAndControlCharacters)
{
    std::ostringstream out;
    JsonWriter(out).String("a\"b\\c\r\n\t\x01\x1F\x7F \xC2\xB5");
    EXPECT_EQ(out.str(), "\"a\\\"b\\\\c\\r\\n\\t\\u0001\\u001f\\u007f \xC2\xB5\"");
}

} // namespace
