#pragma once

// A small streaming JSON writer: what the batch tool needs and no more. Strings must be
// UTF-8; numbers that are not finite are written as null.

#include <ostream>
#include <string_view>
#include <vector>

class JsonWriter
{
public:
    explicit JsonWriter(std::ostream &out)
        : out(out)
    { }

    JsonWriter &BeginObject();
    JsonWriter &EndObject();
    JsonWriter &BeginArray();
    JsonWriter &EndArray();
    JsonWriter &Key(std::string_view name);
    JsonWriter &Number(double value);
    JsonWriter &Integer(long long value);
    JsonWriter &String(std::string_view text);

private:
    void BeforeValue();

    std::ostream &out;
    std::vector<bool> firstInLevel; // one entry per open object or array
    bool afterKey = false;
};
