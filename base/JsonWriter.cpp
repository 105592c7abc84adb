#include "base/JsonWriter.h"

#include <json/writer.h>

namespace {

const unsigned kReplacementCharacter = 0xFFFD;

// Decodes one character the way jsoncpp's writer does, which is lenient in
// its own way: continuation bytes are not checked, a lead byte 0x80-0xBF
// starts a two-byte sequence, and a sequence cut short by the end is one
// U+FFFD for its first byte only. Leaves text on the sequence's last byte.
unsigned DecodeUtf8(const char*& text, const char* end)
{
    const unsigned first = static_cast<unsigned char>(*text);
    if (first < 0x80) return first;
    auto byte = [&](int index) { return static_cast<unsigned>(static_cast<unsigned char>(text[index])) & 0x3F; };
    if (first < 0xE0) {
        if (end - text < 2) return kReplacementCharacter;
        unsigned code = ((first & 0x1F) << 6) | byte(1);
        text += 1;
        return code < 0x80 ? kReplacementCharacter : code;
    }
    if (first < 0xF0) {
        if (end - text < 3) return kReplacementCharacter;
        unsigned code = ((first & 0x0F) << 12) | (byte(1) << 6) | byte(2);
        text += 2;
        if (code >= 0xD800 && code <= 0xDFFF) return kReplacementCharacter;
        return code < 0x800 ? kReplacementCharacter : code;
    }
    if (first < 0xF8) {
        if (end - text < 4) return kReplacementCharacter;
        unsigned code = ((first & 0x07) << 18) | (byte(1) << 12) | (byte(2) << 6) | byte(3);
        text += 3;
        return code < 0x10000 ? kReplacementCharacter : code;
    }
    return kReplacementCharacter;
}

void AppendEscape(std::string& out, unsigned unit)
{
    static const char kHex[] = "0123456789abcdef";
    out += "\\u";
    for (int shift = 12; shift >= 0; shift -= 4) out += kHex[(unit >> shift) & 0xF];
}

}  // namespace

std::string JsonWriter::Write(const Json::Value& root)
{
    JsonWriter writer;
    writer.WriteValue(root);
    return writer.m_out;
}

std::string JsonWriter::Quote(const char* text, size_t length)
{
    std::string out;
    out.reserve(length + 2);
    out += '"';
    const char* end = text + length;
    for (const char* c = text; c != end; ++c) {
        switch (*c) {
        case '"': out += "\\\""; break;
        case '\\': out += "\\\\"; break;
        case '\b': out += "\\b"; break;
        case '\f': out += "\\f"; break;
        case '\n': out += "\\n"; break;
        case '\r': out += "\\r"; break;
        case '\t': out += "\\t"; break;
        default: {
            unsigned code = DecodeUtf8(c, end);
            if (code < 0x20) {
                AppendEscape(out, code);
            } else if (code < 0x80) {
                out += static_cast<char>(code);
            } else if (code < 0x10000) {
                AppendEscape(out, code);
            } else {
                // Beyond the basic plane as a surrogate pair; jsoncpp masks
                // rather than refuses the values past U+10FFFF.
                code -= 0x10000;
                AppendEscape(out, 0xD800 + ((code >> 10) & 0x3FF));
                AppendEscape(out, 0xDC00 + (code & 0x3FF));
            }
            break;
        }
        }
    }
    out += '"';
    return out;
}

void JsonWriter::WriteValue(const Json::Value& value)
{
    // The number texts come from jsoncpp's own formatting functions, which
    // use no streams, so numbers read back exactly as before.
    switch (value.type()) {
    case Json::nullValue:
        m_out += "null";
        break;
    case Json::intValue:
        m_out += Json::valueToString(value.asLargestInt());
        break;
    case Json::uintValue:
        m_out += Json::valueToString(value.asLargestUInt());
        break;
    case Json::realValue:
        m_out += Json::valueToString(value.asDouble());
        break;
    case Json::stringValue: {
        const char* begin = nullptr;
        const char* end = nullptr;
        if (value.getString(&begin, &end)) m_out += Quote(begin, static_cast<size_t>(end - begin));
        break;
    }
    case Json::booleanValue:
        m_out += value.asBool() ? "true" : "false";
        break;
    case Json::arrayValue:
        WriteArray(value);
        break;
    case Json::objectValue:
        WriteObject(value);
        break;
    }
}

void JsonWriter::WriteArray(const Json::Value& value)
{
    const Json::ArrayIndex size = value.size();
    if (size == 0) {
        m_out += "[]";
        return;
    }
    WriteWithIndent("[");
    m_indent += '\t';
    for (Json::ArrayIndex index = 0;;) {
        // An element starts its own line, and an object or array element
        // opens on that line rather than below it.
        if (!m_indented) {
            m_out += '\n';
            m_out += m_indent;
        }
        m_indented = true;
        WriteValue(value[index]);
        m_indented = false;
        if (++index == size) break;
        m_out += ',';
    }
    m_indent.pop_back();
    WriteWithIndent("]");
}

void JsonWriter::WriteObject(const Json::Value& value)
{
    if (value.empty()) {
        m_out += "{}";
        return;
    }
    WriteWithIndent("{");
    m_indent += '\t';
    for (auto member = value.begin(); member != value.end();) {
        const char* nameEnd = nullptr;
        const char* name = member.memberName(&nameEnd);
        WriteWithIndent(Quote(name, static_cast<size_t>(nameEnd - name)));
        m_out += " : ";
        WriteValue(*member);
        if (++member == value.end()) break;
        m_out += ',';
    }
    m_indent.pop_back();
    WriteWithIndent("}");
}

void JsonWriter::WriteWithIndent(const std::string& text)
{
    if (!m_indented) {
        m_out += '\n';
        m_out += m_indent;
    }
    m_out += text;
    m_indented = false;
}
