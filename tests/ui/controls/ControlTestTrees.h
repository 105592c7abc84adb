#pragma once

// Building small control trees from attribute lists, and a real 32-bit
// DIB section to paint them into, for the control tests.

#include <windows.h>

#include <initializer_list>
#include <string>
#include <utility>

#include "ui/controls/ContainerUI.h"
#include "ui/controls/ControlUI.h"
#include "ui/core/GdiObjects.h"

namespace control_tests {

using Attributes = std::initializer_list<std::pair<const wchar_t*, const wchar_t*>>;

template <class T>
T* Make(Attributes attributes)
{
    T* control = new T;
    for (const auto& a : attributes) control->SetAttribute(a.first, a.second);
    return control;
}

// Adds first, then applies the attributes, as the layout builder does.
template <class T>
T* AddChild(CContainerUI* parent, Attributes attributes)
{
    T* control = new T;
    parent->Add(control);
    for (const auto& a : attributes) control->SetAttribute(a.first, a.second);
    return control;
}

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

// A top-down 32-bit DIB selected into a memory DC.
class Canvas {
public:
    Canvas(int width, int height) : m_width(width), m_height(height)
    {
        m_dc = CreateCompatibleDC(nullptr);
        uint8_t* bits = nullptr;
        m_bitmap = CreateDib32(width, height, &bits);
        m_bits = reinterpret_cast<decltype(m_bits)>(bits);
        if (m_dc && m_bitmap) m_old = SelectObject(m_dc, m_bitmap);
        Clear(0xFFFFFF);
    }
    ~Canvas()
    {
        if (m_old) SelectObject(m_dc, m_old);
        if (m_bitmap) DeleteObject(m_bitmap);
        if (m_dc) DeleteDC(m_dc);
    }
    Canvas(const Canvas&) = delete;
    Canvas& operator=(const Canvas&) = delete;

    bool Ok() const { return m_dc && m_bitmap && m_bits; }
    HDC Dc() const { return m_dc; }
    RECT Whole() const { return RECT{0, 0, m_width, m_height}; }
    void Clear(DWORD rgb)
    {
        GdiFlush();
        if (!m_bits) return;
        for (int i = 0; i < m_width * m_height; ++i) m_bits[i] = rgb;
    }
    // 0xRRGGBB of one pixel.
    DWORD Pixel(int x, int y) const
    {
        GdiFlush();
        return m_bits[y * m_width + x] & 0xFFFFFF;
    }

private:
    int m_width;
    int m_height;
    HDC m_dc = nullptr;
    HBITMAP m_bitmap = nullptr;
    HGDIOBJ m_old = nullptr;
    DWORD* m_bits = nullptr;
};

}  // namespace control_tests
