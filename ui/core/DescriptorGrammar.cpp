#include "ui/core/DescriptorGrammar.h"

#include "ui/core/ValueSyntax.h"

namespace {

bool IsBlank(wchar_t c) { return c == L' ' || c == L'\t' || c == L'\r' || c == L'\n'; }

// Four integers as left, top, right, bottom; missing ones are 0.
DescriptorRect ParseRectValue(const std::wstring& text)
{
    const value_syntax::IntQuad q = value_syntax::ParseIntList(text);
    DescriptorRect rect;
    rect.left = q.a;
    rect.top = q.b;
    rect.right = q.c;
    rect.bottom = q.d;
    return rect;
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
            // Blanks before the mask are allowed, as before a background colour.
            fields.mask = value_syntax::ParseColor(value, true);
        } else if (key == L"fade") {
            // A fade without digits keeps the image opaque.
            int fade = 255;
            if (value_syntax::ReadInt(value, fade)) fields.fade = fade < 0 ? 0 : (fade > 255 ? 255 : fade);
        } else if (key == L"hole") {
            fields.hole = value_syntax::ParseBool(value);
        } else if (key == L"xtiled") {
            fields.xtiled = value_syntax::ParseBool(value);
        } else if (key == L"ytiled") {
            fields.ytiled = value_syntax::ParseBool(value);
        } else if (key == L"hsl") {
            fields.hsl = value_syntax::ParseBool(value);
        }
    }
    return fields;
}
