#include "ui/core/WindowManagerUI.h"

#include <algorithm>

// Painting: invalidation, the window's size and opacity, the colour key and
// layered painting. UI thread only.

namespace {

using SetLayeredWindowAttributesFn = BOOL(WINAPI*)(HWND, COLORREF, BYTE, DWORD);

SetLayeredWindowAttributesFn LayeredAttributes()
{
    static SetLayeredWindowAttributesFn fn = [] {
        HMODULE user = GetModuleHandleW(L"User32.dll");
        return user ? reinterpret_cast<SetLayeredWindowAttributesFn>(
                          reinterpret_cast<void*>(GetProcAddress(user, "SetLayeredWindowAttributes")))
                    : nullptr;
    }();
    return fn;
}

}  // namespace

void CWindowManagerUI::RepaintRect(const RECT& rect)
{
    if (m_window) InvalidateRect(m_window, &rect, FALSE);
}

void CWindowManagerUI::SetInitialSize(int cx, int cy)
{
    m_initialSize.cx = cx;
    m_initialSize.cy = cy;
}

void CWindowManagerUI::SetWindowAlpha(int alpha)
{
    m_opacity = static_cast<BYTE>(std::clamp(alpha, 0, 255));
    if (!m_window) return;
    SetLayeredWindowAttributesFn fn = LayeredAttributes();
    if (!fn) return;
    LONG style = GetWindowLongW(m_window, GWL_EXSTYLE);
    SetWindowLongW(m_window, GWL_EXSTYLE, style | WS_EX_LAYERED);
    fn(m_window, 0, m_opacity, LWA_ALPHA);
}

void CWindowManagerUI::SetColorKey(DWORD colour)
{
    if (!m_window) return;
    SetLayeredWindowAttributesFn fn = LayeredAttributes();
    if (!fn) return;
    LONG style = GetWindowLongW(m_window, GWL_EXSTYLE);
    SetWindowLongW(m_window, GWL_EXSTYLE, style | WS_EX_LAYERED);
    fn(m_window, CDrawKit::ToColorRef(colour), 0, LWA_COLORKEY);
}

void CWindowManagerUI::SetLayeredPaint(bool layered)
{
    if (layered == m_layeredPaint) return;
    m_layeredPaint = layered;
    if (m_window) InvalidateRect(m_window, nullptr, FALSE);
}
