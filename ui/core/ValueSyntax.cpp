#include "ui/core/ValueSyntax.h"

#include <climits>
#include <cstdint>
#include <cwchar>

namespace value_syntax {

namespace {

// wcstol clamps to long's range, which on 64-bit native builds is wider than int.
int ClampToInt(long number)
{
    if (number > INT_MAX) return INT_MAX;
    if (number < INT_MIN) return INT_MIN;
    return static_cast<int>(number);
}

// Reads up to four numbers with the given reader; each after the character
// at which the previous stopped.
template <class T, class Reader>
void ReadFour(const wchar_t* text, T* out[4], Reader read)
{
    const wchar_t* cursor = text;
    for (int i = 0; i < 4; ++i) {
        wchar_t* end = nullptr;
        *out[i] = read(cursor, &end);
        if (*end == L'\0') return;
        cursor = end + 1;
    }
}

}  // namespace

bool ParseBool(const std::wstring& value) { return value == L"true"; }

int ParseInt(const std::wstring& value)
{
    int number = 0;
    ReadInt(value, number);
    return number;
}

bool ReadInt(const std::wstring& value, int& number)
{
    wchar_t* end = nullptr;
    long read = std::wcstol(value.c_str(), &end, 10);
    if (end == value.c_str()) return false;
    number = ClampToInt(read);
    return true;
}

IntQuad ParseIntList(const std::wstring& value)
{
    IntQuad quad;
    int* out[4] = {&quad.a, &quad.b, &quad.c, &quad.d};
    ReadFour(value.c_str(), out,
             [](const wchar_t* s, wchar_t** end) { return ClampToInt(std::wcstol(s, end, 10)); });
    return quad;
}

FractionQuad ParseFractionList(const std::wstring& value)
{
    FractionQuad quad;
    double* out[4] = {&quad.a, &quad.b, &quad.c, &quad.d};
    ReadFour(value.c_str(), out, [](const wchar_t* s, wchar_t** end) { return std::wcstod(s, end); });
    return quad;
}

uint32_t ParseColor(const std::wstring& value, bool skipBlanks)
{
    uint32_t colour = 0;
    ReadColor(value, skipBlanks, colour);
    return colour;
}

bool ReadColor(const std::wstring& value, bool skipBlanks, uint32_t& colour)
{
    const wchar_t* text = value.c_str();
    if (skipBlanks) {
        while (*text != L'\0' && *text <= 32) ++text;
    }
    if (*text == L'#') ++text;
    // Out-of-range values saturate the same way whatever the width of long.
    wchar_t* end = nullptr;
    unsigned long long number = std::wcstoull(text, &end, 16);
    if (end == text) return false;
    colour = number > UINT32_MAX ? UINT32_MAX : static_cast<uint32_t>(number);
    return true;
}

}  // namespace value_syntax
