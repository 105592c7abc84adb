#include "ui/core/CodePage.h"

#include "base/StringConvert.h"

// The native build's conversions. UTF-8 goes through the one codec that
// every layer shares; the ANSI code page of the native build is Latin-1.

namespace codepage {

std::wstring DecodeUtf8(const char* bytes, size_t length)
{
    std::wstring text;
    if (!bytes || length == 0) return text;
    text.resize(length + 1);
    text.resize(Utf8ToWide(bytes, length, &text[0]));
    return text;
}

size_t DecodeUtf8(const char* bytes, size_t length, wchar_t* out) { return Utf8ToWide(bytes, length, out); }

std::string EncodeUtf8(const std::wstring& text) { return WideToUtf8(text); }

std::wstring DecodeAnsi(const char* bytes, size_t length)
{
    std::wstring text;
    if (!bytes) return text;
    text.reserve(length);
    for (size_t i = 0; i < length; ++i) text.push_back(static_cast<wchar_t>(static_cast<unsigned char>(bytes[i])));
    return text;
}

bool EncodeAnsi(const std::wstring& text, std::string& bytes)
{
    bytes.clear();
    for (wchar_t c : text) {
        if (static_cast<unsigned long>(c) > 0xFF) {
            bytes.clear();
            return false;
        }
        bytes.push_back(static_cast<char>(static_cast<unsigned char>(c)));
    }
    return true;
}

}  // namespace codepage
