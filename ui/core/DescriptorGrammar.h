#pragma once

// The image descriptor language of skins, as pure functions of its text:
// the key='value' pairs and what they say. The numbers and colours inside
// the values are read by the one value reader (ValueSyntax.h). No Windows
// header is needed, so this builds and runs natively as well (fuzzing,
// quick checks on the host).

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

struct DescriptorRect {
    int left = 0;
    int top = 0;
    int right = 0;
    int bottom = 0;
    bool IsZero() const { return left == 0 && top == 0 && right == 0 && bottom == 0; }
    bool operator==(const DescriptorRect& o) const
    {
        return left == o.left && top == o.top && right == o.right && bottom == o.bottom;
    }
};

// What an image descriptor's text says, before any image is looked up.
struct DescriptorFields {
    std::wstring file;
    bool isResource = false;
    std::wstring resourceType;
    DescriptorRect dest;
    DescriptorRect source;
    DescriptorRect corner;
    uint32_t mask = 0;
    int fade = 255;
    bool hole = false;
    bool xtiled = false;
    bool ytiled = false;
    bool hsl = false;
};

using DescriptorPair = std::pair<std::wstring, std::wstring>;

// Reads key='value' pairs from the start of the text. Reading ends at the
// first deviation from the grammar; the pairs read until then are kept.
std::vector<DescriptorPair> ReadDescriptorPairs(const std::wstring& text);

// The whole descriptor: the text itself is the file name unless a pair
// names one, so a bare file name is a valid descriptor.
DescriptorFields ParseDescriptorText(const std::wstring& text);
