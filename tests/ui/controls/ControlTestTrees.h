#pragma once

// Building small control trees from attribute lists, and a real 32-bit
// DIB section to paint them into, for the control tests.

#include <windows.h>

#include <string>

#include "tests/ui/draw/DrawTestSupport.h"
#include "tests/ui/support/TestTrees.h"
#include "ui/controls/ControlUI.h"

namespace control_tests {

using ui_test::AddChild;
using ui_test::Attributes;
using ui_test::Make;

inline bool SameRect(const RECT& a, const RECT& b)
{
    return a.left == b.left && a.top == b.top && a.right == b.right && a.bottom == b.bottom;
}

inline std::string RectText(const RECT& r)
{
    return "(" + std::to_string(r.left) + ", " + std::to_string(r.top) + ", " + std::to_string(r.right) + ", " +
           std::to_string(r.bottom) + ")";
}

#define EXPECT_RECT(actual, l, t, r, b) \
    EXPECT_PRED2(::control_tests::SameRect, (actual), (RECT{l, t, r, b})) << ::control_tests::RectText(actual)

// The drawing tests' canvas, starting white with alpha 0.
class Canvas : public draw_test::Canvas {
public:
    Canvas(int width, int height) : draw_test::Canvas(width, height, 0xFFFFFF) {}
    bool Ok() const { return Dc() != nullptr; }
    RECT Whole() const { return Rect(); }
    void Clear(DWORD rgb) { Fill(rgb); }
};

}  // namespace control_tests
