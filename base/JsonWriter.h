#pragma once

#include <cstddef>
#include <string>

#include <json/value.h>

// Writes a Json::Value as text without the C++ stream library, byte for byte
// as jsoncpp's StreamWriterBuilder writes it at its default settings, so
// that files written by older and newer builds read the same: one tab of
// indentation a level, " : " after a key, members in key order, every
// non-empty array and object over several lines (an object that is a
// member's value starts on a line of its own), no line feed at the end,
// characters outside ASCII and controls as "\u" escapes (bytes that are not
// UTF-8 become U+FFFD the way jsoncpp decodes them), doubles with 17
// significant digits. Comments attached to values are not written: the
// program's own reader never attaches any.
class JsonWriter {
public:
    static std::string Write(const Json::Value& root);

    // A string as a quoted JSON string, with the escapes described above.
    static std::string Quote(const char* text, size_t length);

private:
    void WriteValue(const Json::Value& value);
    void WriteArray(const Json::Value& value);
    void WriteObject(const Json::Value& value);
    // Starts a new, indented line unless the line just begun is still empty.
    void WriteWithIndent(const std::string& text);

    std::string m_out;
    std::string m_indent;
    bool m_indented = true;
};
