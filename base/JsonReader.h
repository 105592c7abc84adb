#pragma once

#include <cstddef>
#include <string>

#include <json/value.h>

// Reads a JSON document into a Json::Value without the C++ stream and locale
// library, which the reader that comes with jsoncpp pulls into the program
// for its number conversion alone (well over half a megabyte of setup.exe).
//
// It accepts and refuses exactly what jsoncpp's CharReaderBuilder does at its
// default settings, quirks included, because documents already on users'
// disks and the service's replies were written against that reader:
// - "//" and "/* */" comments wherever a token may stand (and dropped: the
//   values carry no comments);
// - a trailing comma before "]" or "}";
// - anything after the root value is ignored; a leading UTF-8 byte-order
//   mark is skipped; a NUL byte outside a string ends the text;
// - a later duplicate key replaces the earlier one;
// - integers stay integers while they fit in 64 bits (signed, else
//   unsigned), other numbers are doubles and fail when they overflow;
//   leading zeros and a leading "+" are accepted, a lone "-" reads as 0;
// - string bytes are taken as they are (control characters and bad UTF-8
//   included); "\u" escapes become UTF-8, a high surrogate takes the next
//   "\u" escape as its pair without checking it;
// - a value nested 1000 containers deep fails (jsoncpp throws there).
class JsonReader {
public:
    // Parses [begin, end); on failure root holds whatever was read so far.
    static bool Parse(const char* begin, const char* end, Json::Value& root);

private:
    enum class TokenType {
        EndOfStream,
        ObjectBegin,
        ObjectEnd,
        ArrayBegin,
        ArrayEnd,
        String,
        Number,
        True,
        False,
        Null,
        ArraySeparator,
        MemberSeparator,
        Comment,
        Error
    };
    struct Token {
        TokenType type = TokenType::Error;
        const char* start = nullptr;
        const char* end = nullptr;
    };

    JsonReader(const char* begin, const char* end) : m_current(begin), m_end(end) {}

    bool ReadValue(Json::Value& value, size_t depth);
    bool ReadObject(Json::Value& value, size_t depth);
    bool ReadArray(Json::Value& value, size_t depth);

    bool ReadToken(Token& token);
    void SkipCommentTokens(Token& token);
    void SkipSpaces();
    bool Match(const char* pattern, size_t length);
    bool ReadComment();
    bool ReadCStyleComment();
    void ReadCppStyleComment();
    bool ReadString();
    bool ReadNumber(bool checkInfinity);
    char NextChar();

    static bool DecodeNumber(const Token& token, Json::Value& value);
    static bool DecodeDouble(const Token& token, Json::Value& value);
    static bool DecodeString(const Token& token, std::string& decoded);
    static bool DecodeCodePoint(const char*& current, const char* end, unsigned& codePoint);
    static bool DecodeHexUnit(const char*& current, const char* end, unsigned& unit);
    static void AppendUtf8(std::string& text, unsigned codePoint);

    const char* m_current;
    const char* m_end;
};
