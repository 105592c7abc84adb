#include <gtest/gtest.h>

#include <string>

#include "base/JsonReader.h"
#include "base/JsonWriter.h"

namespace {

// The written text without its line breaks and indentation, which the
// writer never puts inside a string: a short way to state a whole value.
std::string Compact(const Json::Value& value)
{
    std::string text = JsonWriter::Write(value);
    std::string compact;
    for (char c : text)
        if (c != '\n' && c != '\t') compact += c;
    return compact;
}

std::string Nested(int depth, const std::string& inside)
{
    return std::string(static_cast<size_t>(depth), '[') + inside + std::string(static_cast<size_t>(depth), ']');
}

struct Case {
    std::string text;
    bool ok;
    std::string value;  // compact written form when ok
};

// What jsoncpp's reader accepts and refuses at its default settings, quirks
// included; the native fuzzer compares the two readers on any bytes.
const Case kCases[] = {
    // Structure, comments, trailing commas and what follows the root.
    {"{\"a\": 1, \"b\": [true, false, null]}", true, "{\"a\" : 1,\"b\" : [true,false,null]}"},
    {"\xEF\xBB\xBF[1]", true, "[1]"},
    {"// line\r\n{\"a\" : /* here */ 1} // after", true, "{\"a\" : 1}"},
    {"{\"a\" /* not before the colon */ : 1}", false, ""},
    {"{\"a\": 1,}", true, "{\"a\" : 1}"},
    {"[1, 2,]", true, "[1,2]"},
    {"[1, /* c */]", false, ""},
    {"[,]", false, ""},
    {"{,}", false, ""},
    {"{\"a\" 1}", false, ""},
    {"{\"a\": 1 /* c */ \"skipped\" \"b\": 2}", true, "{\"a\" : 1,\"b\" : 2}"},
    {"{\"a\": 1 \"b\": 2}", false, ""},
    {"[1 2]", false, ""},
    {"{} trailing", true, "{}"},
    {"1 2", true, "1"},
    {"", false, ""},
    {" \t\r\n", false, ""},
    {std::string("\0[1]", 4), false, ""},
    {std::string("[1]\0x", 5), true, "[1]"},
    {std::string("[1,\0]", 5), false, ""},
    {"/* open", false, ""},
    {"{\"a\":1,\"a\":{\"b\":2}}", true, "{\"a\" : {\"b\" : 2}}"},
    {"{\"a\":{\"b\":2},\"a\":3}", true, "{\"a\" : 3}"},
    {"tru", false, ""},
    {"True", false, ""},
    {"'a'", false, ""},
    {"{1: 2}", false, ""},
    // Numbers.
    {"[-, +5, 0123, 1., 1.e2, -0, -0.0, 0.1, 1e-400]", true,
     "[0,5.0,123,1.0,100.0,0,-0.0,0.10000000000000001,0.0]"},
    {"[18446744073709551615, 18446744073709551616]", true, "[18446744073709551615,1.8446744073709552e+19]"},
    {"[9223372036854775807, 9223372036854775808]", true, "[9223372036854775807,9223372036854775808]"},
    {"[-9223372036854775808, -9223372036854775809]", true, "[-9223372036854775808,-9.2233720368547758e+18]"},
    {"1.5.3", true, "1.5"},
    {"+", false, ""},
    {"1e", false, ""},
    {"1e+", false, ""},
    {"-.e5", false, ""},
    {"1e400", false, ""},
    {"-1e400", false, ""},
    {"-Infinity", false, ""},
    {"NaN", false, ""},
    {".5", false, ""},
    // Strings and escapes.
    {"\"\\u00e9\\u4E2D\\ud83d\\ude00\"", true, "\"\\u00e9\\u4e2d\\ud83d\\ude00\""},
    {"\"\\/\\b\\f\\n\\r\\t\\\"\\\\\"", true, "\"/\\b\\f\\n\\r\\t\\\"\\\\\""},
    {"\"\\ud800\\u0041\"", true, "\"\\ud800\\udc41\""},
    {"\"\\ud800x\"", false, ""},
    {"\"\\ud800\\n12345\"", false, ""},
    {"\"\\x\"", false, ""},
    {"\"\\u12\"", false, ""},
    {"\"\\u12g4\"", false, ""},
    {"\"open", false, ""},
    {"\"ends in \\", false, ""},
    {"\"raw\x01\x7f\"", true, "\"raw\\u0001\x7f\""},
    {"{\"k\\u0000\": \"\\u0000\"}", true, "{\"k\\u0000\" : \"\\u0000\"}"},
    // Depth: a value inside 1000 containers is one too deep.
    {Nested(999, "1"), true, Nested(999, "1")},
    {Nested(1000, ""), true, Nested(1000, "")},
    {Nested(1000, "1"), false, ""},
    {Nested(1001, ""), false, ""},
};

}  // namespace

TEST(JsonReader, AcceptsAndRefusesWhatJsoncppDoes)
{
    for (const Case& c : kCases) {
        SCOPED_TRACE(c.text.substr(0, 80));
        Json::Value value;
        bool ok = JsonReader::Parse(c.text.data(), c.text.data() + c.text.size(), value);
        EXPECT_EQ(c.ok, ok);
        if (ok && c.ok) {
            EXPECT_EQ(c.value, Compact(value));
        }
    }
}

TEST(JsonReader, KeepsStringBytesAndNumberKinds)
{
    const std::string text =
        "[\"\\u00e9\\ud83d\\ude00\\udc00\\u0000\", \"\x01\xff\xc3\x28\", -9223372036854775808, "
        "18446744073709551615, 4294967296, 2.5]";
    Json::Value value;
    ASSERT_TRUE(JsonReader::Parse(text.data(), text.data() + text.size(), value));
    EXPECT_EQ(std::string("\xc3\xa9\xf0\x9f\x98\x80\xed\xb0\x80\0", 10), value[0].asString());
    EXPECT_EQ("\x01\xff\xc3\x28", value[1].asString());
    EXPECT_EQ(Json::intValue, value[2].type());
    EXPECT_EQ(Json::Value::minInt64, value[2].asInt64());
    EXPECT_EQ(Json::uintValue, value[3].type());
    EXPECT_EQ(Json::Value::maxUInt64, value[3].asUInt64());
    EXPECT_EQ(Json::intValue, value[4].type());
    EXPECT_EQ(Json::realValue, value[5].type());
}
