#pragma once

// The small value languages of skins, as pure functions of their text:
// the key='value' pairs of image descriptors, rectangles and integer lists,
// and hexadecimal colours. No Windows header is needed, so these build and
// run natively as well (fuzzing, quick checks on the host).

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

// Up to maxCount decimal integers, each separated from the next by a single
// character ("2,2,15,2"). Numbers that are missing are not in the result.
std::vector<int> ParseIntList(const std::wstring& text, size_t maxCount);

// Four integers as left, top, right, bottom; missing ones are 0.
DescriptorRect ParseRectValue(const std::wstring& text);

// Hexadecimal colour with an optional leading '#'. False when no digit
// follows; digits beyond the eighth are ignored.
bool ParseColorValue(const std::wstring& text, uint32_t& colour);
