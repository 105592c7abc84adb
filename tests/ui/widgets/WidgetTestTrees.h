#pragma once

// Building control trees from attribute lists for the widget tests, and
// finding where text was drawn.

#include <windows.h>

#include <algorithm>
#include <memory>
#include <vector>

#include "tests/ui/support/TestTrees.h"
#include "tests/ui/widgets/WidgetHost.h"

namespace widget_tests {

using ui_test::AddChild;
using ui_test::Attributes;
using ui_test::Make;

// The bounding box of the pixels inside area that differ from background;
// empty when there are none.
inline RECT InkBox(const CWidgetHost& host, const RECT& area, DWORD background)
{
    RECT box{area.right, area.bottom, area.left, area.top};
    for (int y = area.top; y < area.bottom; ++y)
        for (int x = area.left; x < area.right; ++x) {
            if (host.Pixel(x, y) == background) continue;
            box.left = std::min<LONG>(box.left, x);
            box.top = std::min<LONG>(box.top, y);
            box.right = std::max<LONG>(box.right, x + 1);
            box.bottom = std::max<LONG>(box.bottom, y + 1);
        }
    if (box.right <= box.left) return RECT{0, 0, 0, 0};
    return box;
}

// Rows of area with ink, counted in separate bands (lines of text).
inline int InkBands(const CWidgetHost& host, const RECT& area, DWORD background)
{
    int bands = 0;
    bool inBand = false;
    for (int y = area.top; y < area.bottom; ++y) {
        bool ink = false;
        for (int x = area.left; x < area.right && !ink; ++x) ink = host.Pixel(x, y) != background;
        if (ink && !inBand) ++bands;
        inBand = ink;
    }
    return bands;
}

// The pixels of area as a pattern of ink (1) and background (0), to
// compare two drawings of the same size.
inline std::vector<bool> InkPattern(const CWidgetHost& host, const RECT& area, DWORD background)
{
    std::vector<bool> pattern;
    for (int y = area.top; y < area.bottom; ++y)
        for (int x = area.left; x < area.right; ++x) pattern.push_back(host.Pixel(x, y) != background);
    return pattern;
}

}  // namespace widget_tests
