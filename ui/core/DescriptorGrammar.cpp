#include "ui/core/DescriptorGrammar.h"

#include <climits>

namespace {

bool IsBlank(wchar_t c) { return c == L' ' || c == L'\t' || c == L'\r' || c == L'\n'; }

int HexDigit(wchar_t c)
{
    if (c >= L'0' && c <= L'9') return c - L'0';
    if (c >= L'a' && c <= L'f') return c - L'a' + 10;
    if (c >= L'A' && c <= L'F') return c - L'A' + 10;
    return -1;
}

// One decimal number at pos, with optional leading blanks and sign; values
// beyond the int range saturate instead of overflowing.
bool ReadInt(const std::wstring& text, size_t& pos, int& value)
{
    size_t p = pos;
    while (p < text.size() && IsBlank(text[p])) ++p;
    bool negative = false;
    if (p < text.size() && (text[p] == L'-' || text[p] == L'+')) negative = text[p++] == L'-';
    size_t digitsStart = p;
    long long magnitude = 0;
    while (p < text.size() && text[p] >= L'0' && text[p] <= L'9') {
        if (magnitude <= INT_MAX) magnitude = magnitude * 10 + (text[p] - L'0');
        ++p;
    }
    if (p == digitsStart) return false;
    if (magnitude > INT_MAX) magnitude = INT_MAX;
    value = static_cast<int>(negative ? -magnitude : magnitude);
    pos = p;
    return true;
}

}  // namespace

std::vector<DescriptorPair> ReadDescriptorPairs(const std::wstring& text)
{
    std::vector<DescriptorPair> pairs;
    size_t pos = 0;
    const size_t n = text.size();
    for (;;) {
        // 1. Blanks before the key.
        while (pos < n && IsBlank(text[pos])) ++pos;
        if (pos >= n) break;
        // 2. The key runs to '=' or a blank.
        size_t keyStart = pos;
        while (pos < n && text[pos] != L'=' && !IsBlank(text[pos])) ++pos;
        std::wstring key = text.substr(keyStart, pos - keyStart);
        // 3. Optional blanks, '=', optional blanks, the opening apostrophe.
        while (pos < n && IsBlank(text[pos])) ++pos;
        if (pos >= n || text[pos] != L'=') break;
        ++pos;
        while (pos < n && IsBlank(text[pos])) ++pos;
        if (pos >= n || text[pos] != L'\'') break;
        ++pos;
        // 4. The value runs to the closing apostrophe, which must exist.
        size_t close = text.find(L'\'', pos);
        if (close == std::wstring::npos) break;
        pairs.emplace_back(std::move(key), text.substr(pos, close - pos));
        pos = close + 1;
        // 5. Another pair is read only after a blank.
        if (pos >= n || !IsBlank(text[pos])) break;
    }
    return pairs;
}

std::vector<int> ParseIntList(const std::wstring& text, size_t maxCount)
{
    std::vector<int> values;
    size_t pos = 0;
    while (values.size() < maxCount) {
        int value = 0;
        if (!ReadInt(text, pos, value)) break;
        values.push_back(value);
        if (pos >= text.size()) break;
        ++pos;  // the single separating character, whatever it is
    }
    return values;
}

DescriptorRect ParseRectValue(const std::wstring& text)
{
    std::vector<int> v = ParseIntList(text, 4);
    v.resize(4, 0);
    DescriptorRect rect;
    rect.left = v[0];
    rect.top = v[1];
    rect.right = v[2];
    rect.bottom = v[3];
    return rect;
}

bool ParseColorValue(const std::wstring& text, uint32_t& colour)
{
    size_t pos = 0;
    while (pos < text.size() && IsBlank(text[pos])) ++pos;
    if (pos < text.size() && text[pos] == L'#') ++pos;
    uint32_t value = 0;
    int digits = 0;
    for (; pos < text.size(); ++pos) {
        int d = HexDigit(text[pos]);
        if (d < 0) break;
        if (digits < 8) value = (value << 4) | static_cast<uint32_t>(d);
        ++digits;
    }
    if (digits == 0) return false;
    colour = value;
    return true;
}

DescriptorFields ParseDescriptorText(const std::wstring& text)
{
    DescriptorFields fields;
    fields.file = text;
    for (const DescriptorPair& pair : ReadDescriptorPairs(text)) {
        const std::wstring& key = pair.first;
        const std::wstring& value = pair.second;
        if (value.empty()) continue;
        if (key == L"file") {
            fields.file = value;
        } else if (key == L"res") {
            fields.file = value;
            fields.isResource = true;
        } else if (key == L"restype") {
            fields.resourceType = value;
        } else if (key == L"dest") {
            fields.dest = ParseRectValue(value);
        } else if (key == L"source") {
            fields.source = ParseRectValue(value);
        } else if (key == L"corner") {
            fields.corner = ParseRectValue(value);
        } else if (key == L"mask") {
            uint32_t mask = 0;
            if (ParseColorValue(value, mask)) fields.mask = mask;
        } else if (key == L"fade") {
            size_t pos = 0;
            int fade = 255;
            if (ReadInt(value, pos, fade)) fields.fade = fade < 0 ? 0 : (fade > 255 ? 255 : fade);
        } else if (key == L"hole") {
            fields.hole = value == L"true";
        } else if (key == L"xtiled") {
            fields.xtiled = value == L"true";
        } else if (key == L"ytiled") {
            fields.ytiled = value == L"true";
        } else if (key == L"hsl") {
            fields.hsl = value == L"true";
        }
    }
    return fields;
}
