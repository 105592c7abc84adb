#pragma once

#include <cstddef>
#include <string>

// UTF-16 is the program's text everywhere; JSON documents and usage-event
// names are UTF-8 and are converted only at that boundary.
std::string WideToUtf8(const std::wstring& text);
std::wstring Utf8ToWide(const std::string& text);

// Decodes length bytes of UTF-8 into out, which has room for length + 1
// units, and returns the units written; no terminator is added. Callers
// that own a large buffer (the markup loader) decode straight into it.
size_t Utf8ToWide(const char* bytes, size_t length, wchar_t* out);

// An integer in decimal as wide text. The standard library's wide
// conversion formats through the C99 printf family, which would be linked
// in for this alone; the narrow one is plain code.
template <typename Integer>
std::wstring DecimalText(Integer value)
{
    const std::string digits = std::to_string(value);
    return std::wstring(digits.begin(), digits.end());
}
