#include <gtest/gtest.h>

#include <limits>
#include <string>

#include "base/JsonWriter.h"

// The texts below are jsoncpp's StreamWriterBuilder's at its default
// settings; the native fuzzer compares the two writers on any value read.

// data.json as every build has written it: older builds must read what this
// one writes and the other way round.
TEST(JsonWriter, WritesTheDataFileAsBefore)
{
    Json::Value root(Json::objectValue);
    root["software_version"] = "\xe6\x99\xb4 3.2";
    root["install_file_path"] = "C:\\Temp\\setup_1.exe";
    root["device_id"] = "001a2b3c4d5e";
    const std::string expected =
        "{\n"
        "\t\"device_id\" : \"001a2b3c4d5e\",\n"
        "\t\"install_file_path\" : \"C:\\\\Temp\\\\setup_1.exe\",\n"
        "\t\"software_version\" : \"\\u6674 3.2\"\n"
        "}";
    EXPECT_EQ(expected, JsonWriter::Write(root));
}

TEST(JsonWriter, LaysOutNestedValuesLikeJsoncpp)
{
    Json::Value root(Json::objectValue);
    root["ct"] = Json::Value(Json::UInt64(1700000000123));
    root["host"]["os"] = "10.0.19045";
    root["list"].append(1);
    root["list"].append(Json::Value(Json::objectValue));
    root["list"].append(Json::Value(Json::arrayValue));
    root["list"][3]["k"] = Json::Value();
    root["list"].append(Json::Value(Json::arrayValue))[0] = -2.5;
    const std::string expected =
        "{\n"
        "\t\"ct\" : 1700000000123,\n"
        "\t\"host\" : \n"
        "\t{\n"
        "\t\t\"os\" : \"10.0.19045\"\n"
        "\t},\n"
        "\t\"list\" : \n"
        "\t[\n"
        "\t\t1,\n"
        "\t\t{},\n"
        "\t\t[],\n"
        "\t\t{\n"
        "\t\t\t\"k\" : null\n"
        "\t\t},\n"
        "\t\t[\n"
        "\t\t\t-2.5\n"
        "\t\t]\n"
        "\t]\n"
        "}";
    EXPECT_EQ(expected, JsonWriter::Write(root));
}

TEST(JsonWriter, EscapesAndNumbersMatchJsoncpp)
{
    struct Row {
        Json::Value value;
        const char* text;
    };
    const Row rows[] = {
        {Json::Value(), "null"},
        {Json::Value(true), "true"},
        {Json::Value(Json::Int64(-9223372036854775807 - 1)), "-9223372036854775808"},
        {Json::Value(Json::UInt64(18446744073709551615u)), "18446744073709551615"},
        {Json::Value(1.0), "1.0"},
        {Json::Value(0.1), "0.10000000000000001"},
        {Json::Value(-0.0), "-0.0"},
        {Json::Value(1e300), "1.0000000000000001e+300"},
        {Json::Value(std::numeric_limits<double>::infinity()), "1e+9999"},
        {Json::Value(-std::numeric_limits<double>::infinity()), "-1e+9999"},
        {Json::Value(std::numeric_limits<double>::quiet_NaN()), "null"},
        // Controls, quotes and the slash; DEL stays as it is.
        {Json::Value(std::string("\"\\/\b\f\n\r\t\x01\x1f\x7f\0", 12)), "\"\\\"\\\\/\\b\\f\\n\\r\\t\\u0001\\u001f\x7f\\u0000\""},
        // Two, three and four bytes; beyond the basic plane as a pair.
        {Json::Value("\xc3\xa9\xe4\xb8\xad\xf0\x9f\x98\x80"), "\"\\u00e9\\u4e2d\\ud83d\\ude00\""},
        // Bytes that are not UTF-8 become U+FFFD as jsoncpp decodes them:
        // a cut sequence at the end, an overlong form, an encoded surrogate,
        // a stray continuation byte taking the next byte with it.
        {Json::Value("a\xe4\xb8"), "\"a\\ufffd\\ufffd\""},
        {Json::Value("\xc0\xaf"), "\"\\ufffd\""},
        {Json::Value("\xed\xa0\x80"), "\"\\ufffd\""},
        {Json::Value("\x80\x41z"), "\"\\ufffdz\""},
        {Json::Value("\xff"), "\"\\ufffd\""},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.text);
        EXPECT_EQ(row.text, JsonWriter::Write(row.value));
    }
}
