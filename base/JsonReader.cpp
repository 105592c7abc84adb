#include "base/JsonReader.h"

#include <cmath>
#include <cstdlib>

namespace {

// A value this many containers deep is refused, as jsoncpp's reader refuses
// it by default; it also bounds the recursion below.
const size_t kDepthLimit = 1000;

// Keys this long are refused, as by jsoncpp (whose values cannot hold them).
const size_t kKeyLengthLimit = size_t(1) << 30;

}  // namespace

bool JsonReader::Parse(const char* begin, const char* end, Json::Value& root)
{
    if (end - begin >= 3 && begin[0] == '\xEF' && begin[1] == '\xBB' && begin[2] == '\xBF') begin += 3;
    JsonReader reader(begin, end);
    return reader.ReadValue(root, 0);
}

bool JsonReader::ReadValue(Json::Value& value, size_t depth)
{
    if (depth >= kDepthLimit) return false;
    Token token;
    SkipCommentTokens(token);
    switch (token.type) {
    case TokenType::ObjectBegin:
        return ReadObject(value, depth);
    case TokenType::ArrayBegin:
        return ReadArray(value, depth);
    case TokenType::Number:
        return DecodeNumber(token, value);
    case TokenType::String: {
        std::string decoded;
        if (!DecodeString(token, decoded)) return false;
        value = Json::Value(decoded);
        return true;
    }
    case TokenType::True:
        value = Json::Value(true);
        return true;
    case TokenType::False:
        value = Json::Value(false);
        return true;
    case TokenType::Null:
        value = Json::Value();
        return true;
    default:
        return false;
    }
}

bool JsonReader::ReadObject(Json::Value& value, size_t depth)
{
    value = Json::Value(Json::objectValue);
    Token name;
    std::string key;
    while (ReadToken(name)) {
        bool nameOk = true;
        while (name.type == TokenType::Comment && nameOk) nameOk = ReadToken(name);
        if (!nameOk) break;
        // An empty object, or a trailing comma.
        if (name.type == TokenType::ObjectEnd) return true;
        if (name.type != TokenType::String) break;
        key.clear();
        if (!DecodeString(name, key)) return false;
        if (key.size() >= kKeyLengthLimit) return false;

        Token colon;
        if (!ReadToken(colon) || colon.type != TokenType::MemberSeparator) return false;
        if (!ReadValue(value[key], depth + 1)) return false;

        // After a comment the next token is taken in place of the comma
        // whatever it is (jsoncpp does the same); only "}" ends the object.
        Token comma;
        if (!ReadToken(comma) || (comma.type != TokenType::ObjectEnd && comma.type != TokenType::ArraySeparator &&
                                  comma.type != TokenType::Comment))
            return false;
        bool commaOk = true;
        while (comma.type == TokenType::Comment && commaOk) commaOk = ReadToken(comma);
        if (comma.type == TokenType::ObjectEnd) return true;
    }
    return false;
}

bool JsonReader::ReadArray(Json::Value& value, size_t depth)
{
    value = Json::Value(Json::arrayValue);
    Json::ArrayIndex index = 0;
    for (;;) {
        // An empty array, or a trailing comma; a comment before the "]"
        // is not looked past here.
        SkipSpaces();
        if (m_current != m_end && *m_current == ']') {
            ++m_current;
            return true;
        }
        if (!ReadValue(value[index++], depth + 1)) return false;

        Token separator;
        bool ok = ReadToken(separator);
        while (separator.type == TokenType::Comment && ok) ok = ReadToken(separator);
        if (!ok || (separator.type != TokenType::ArraySeparator && separator.type != TokenType::ArrayEnd))
            return false;
        if (separator.type == TokenType::ArrayEnd) return true;
    }
}

void JsonReader::SkipCommentTokens(Token& token)
{
    do {
        ReadToken(token);
    } while (token.type == TokenType::Comment);
}

bool JsonReader::ReadToken(Token& token)
{
    SkipSpaces();
    token.start = m_current;
    char c = NextChar();
    bool ok = true;
    switch (c) {
    case '{': token.type = TokenType::ObjectBegin; break;
    case '}': token.type = TokenType::ObjectEnd; break;
    case '[': token.type = TokenType::ArrayBegin; break;
    case ']': token.type = TokenType::ArrayEnd; break;
    case '"':
        token.type = TokenType::String;
        ok = ReadString();
        break;
    case '/':
        token.type = TokenType::Comment;
        ok = ReadComment();
        break;
    case '0': case '1': case '2': case '3': case '4':
    case '5': case '6': case '7': case '8': case '9':
        token.type = TokenType::Number;
        ReadNumber(false);
        break;
    case '-':
    case '+':
        // "-Infinity" and "+Infinity" are refused; "-I" is where that shows.
        token.type = TokenType::Number;
        ok = ReadNumber(true);
        break;
    case 't':
        token.type = TokenType::True;
        ok = Match("rue", 3);
        break;
    case 'f':
        token.type = TokenType::False;
        ok = Match("alse", 4);
        break;
    case 'n':
        token.type = TokenType::Null;
        ok = Match("ull", 3);
        break;
    case ',': token.type = TokenType::ArraySeparator; break;
    case ':': token.type = TokenType::MemberSeparator; break;
    case 0: token.type = TokenType::EndOfStream; break;
    default: ok = false; break;
    }
    if (!ok) token.type = TokenType::Error;
    token.end = m_current;
    return ok;
}

void JsonReader::SkipSpaces()
{
    while (m_current != m_end) {
        char c = *m_current;
        if (c != ' ' && c != '\t' && c != '\r' && c != '\n') break;
        ++m_current;
    }
}

bool JsonReader::Match(const char* pattern, size_t length)
{
    if (static_cast<size_t>(m_end - m_current) < length) return false;
    for (size_t i = 0; i < length; ++i)
        if (m_current[i] != pattern[i]) return false;
    m_current += length;
    return true;
}

bool JsonReader::ReadComment()
{
    char c = NextChar();
    if (c == '*') return ReadCStyleComment();
    if (c == '/') {
        ReadCppStyleComment();
        return true;
    }
    return false;
}

bool JsonReader::ReadCStyleComment()
{
    // Stops one byte short of the end, so that "/*/" at the very end of
    // the text counts as a closed comment, as it does for jsoncpp.
    while (m_current + 1 < m_end) {
        char c = NextChar();
        if (c == '*' && *m_current == '/') break;
    }
    return NextChar() == '/';
}

void JsonReader::ReadCppStyleComment()
{
    while (m_current != m_end) {
        char c = NextChar();
        if (c == '\n') break;
        if (c == '\r') {
            if (m_current != m_end && *m_current == '\n') ++m_current;
            break;
        }
    }
}

bool JsonReader::ReadString()
{
    char c = 0;
    while (m_current != m_end) {
        c = NextChar();
        if (c == '\\')
            NextChar();
        else if (c == '"')
            break;
    }
    return c == '"';
}

bool JsonReader::ReadNumber(bool checkInfinity)
{
    const char* p = m_current;
    if (checkInfinity && p != m_end && *p == 'I') {
        m_current = p + 1;
        return false;
    }
    // Each step leaves m_current on the first byte it did not take.
    auto next = [&]() -> char { return (m_current = p) < m_end ? *p++ : '\0'; };
    char c = '0';
    while (c >= '0' && c <= '9') c = next();
    if (c == '.') {
        c = next();
        while (c >= '0' && c <= '9') c = next();
    }
    if (c == 'e' || c == 'E') {
        c = next();
        if (c == '+' || c == '-') c = next();
        while (c >= '0' && c <= '9') c = next();
    }
    return true;
}

char JsonReader::NextChar()
{
    if (m_current == m_end) return 0;
    return *m_current++;
}

bool JsonReader::DecodeNumber(const Token& token, Json::Value& value)
{
    const char* current = token.start;
    const bool negative = *current == '-';
    if (negative) ++current;

    // Accumulate while the magnitude fits the type it will be stored in:
    // down to the smallest signed value, up to the largest unsigned one.
    const Json::LargestUInt threshold =
        negative ? Json::LargestUInt(-(Json::Value::minLargestInt / 10)) : Json::Value::maxLargestUInt / 10;
    const unsigned lastDigitLimit = negative ? unsigned(-(Json::Value::minLargestInt % 10))
                                             : unsigned(Json::Value::maxLargestUInt % 10);
    Json::LargestUInt magnitude = 0;
    while (current < token.end) {
        char c = *current++;
        if (c < '0' || c > '9') return DecodeDouble(token, value);
        unsigned digit = static_cast<unsigned>(c - '0');
        if (magnitude >= threshold && (magnitude > threshold || current != token.end || digit > lastDigitLimit))
            return DecodeDouble(token, value);
        magnitude = magnitude * 10 + digit;
    }
    if (negative) {
        // Negated in two parts, since the smallest value's magnitude does
        // not fit the signed type.
        const auto lastDigit = static_cast<Json::LargestInt>(magnitude % 10);
        value = Json::Value(-static_cast<Json::LargestInt>(magnitude / 10) * 10 - lastDigit);
    } else if (magnitude <= static_cast<Json::LargestUInt>(Json::Value::maxLargestInt)) {
        value = Json::Value(static_cast<Json::LargestInt>(magnitude));
    } else {
        value = Json::Value(magnitude);
    }
    return true;
}

bool JsonReader::DecodeDouble(const Token& token, Json::Value& value)
{
    // The token holds only signs, digits, "." and "e"; strtod takes the same
    // text that a stream extraction would, and like it must use all of it
    // and stay finite (an overflow is an error, an underflow is not).
    const std::string text(token.start, token.end);
    char* stop = nullptr;
    double number = std::strtod(text.c_str(), &stop);
    if (stop == text.c_str() || *stop != '\0' || !std::isfinite(number)) return false;
    value = Json::Value(number);
    return true;
}

bool JsonReader::DecodeString(const Token& token, std::string& decoded)
{
    decoded.reserve(static_cast<size_t>(token.end - token.start - 2));
    const char* current = token.start + 1;
    const char* end = token.end - 1;
    while (current != end) {
        char c = *current++;
        if (c != '\\') {
            decoded += c;
            continue;
        }
        if (current == end) return false;
        switch (*current++) {
        case '"': decoded += '"'; break;
        case '/': decoded += '/'; break;
        case '\\': decoded += '\\'; break;
        case 'b': decoded += '\b'; break;
        case 'f': decoded += '\f'; break;
        case 'n': decoded += '\n'; break;
        case 'r': decoded += '\r'; break;
        case 't': decoded += '\t'; break;
        case 'u': {
            unsigned codePoint = 0;
            if (!DecodeCodePoint(current, end, codePoint)) return false;
            AppendUtf8(decoded, codePoint);
            break;
        }
        default:
            return false;
        }
    }
    return true;
}

bool JsonReader::DecodeCodePoint(const char*& current, const char* end, unsigned& codePoint)
{
    if (!DecodeHexUnit(current, end, codePoint)) return false;
    if (codePoint < 0xD800 || codePoint > 0xDBFF) return true;
    // A high surrogate: the next escape is its pair, whatever its value.
    if (end - current < 6) return false;
    if (*current++ != '\\' || *current++ != 'u') return false;
    unsigned low = 0;
    if (!DecodeHexUnit(current, end, low)) return false;
    codePoint = 0x10000 + ((codePoint & 0x3FF) << 10) + (low & 0x3FF);
    return true;
}

bool JsonReader::DecodeHexUnit(const char*& current, const char* end, unsigned& unit)
{
    if (end - current < 4) return false;
    unsigned result = 0;
    for (int i = 0; i < 4; ++i) {
        char c = *current++;
        result *= 16;
        if (c >= '0' && c <= '9')
            result += static_cast<unsigned>(c - '0');
        else if (c >= 'a' && c <= 'f')
            result += static_cast<unsigned>(c - 'a' + 10);
        else if (c >= 'A' && c <= 'F')
            result += static_cast<unsigned>(c - 'A' + 10);
        else
            return false;
    }
    unit = result;
    return true;
}

void JsonReader::AppendUtf8(std::string& text, unsigned codePoint)
{
    // Surrogates that stand alone are encoded like any other code point.
    if (codePoint <= 0x7F) {
        text += static_cast<char>(codePoint);
    } else if (codePoint <= 0x7FF) {
        text += static_cast<char>(0xC0 | (codePoint >> 6));
        text += static_cast<char>(0x80 | (codePoint & 0x3F));
    } else if (codePoint <= 0xFFFF) {
        text += static_cast<char>(0xE0 | (codePoint >> 12));
        text += static_cast<char>(0x80 | ((codePoint >> 6) & 0x3F));
        text += static_cast<char>(0x80 | (codePoint & 0x3F));
    } else {
        text += static_cast<char>(0xF0 | (codePoint >> 18));
        text += static_cast<char>(0x80 | ((codePoint >> 12) & 0x3F));
        text += static_cast<char>(0x80 | ((codePoint >> 6) & 0x3F));
        text += static_cast<char>(0x80 | (codePoint & 0x3F));
    }
}
