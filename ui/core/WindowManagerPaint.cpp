#include "ui/core/WindowManagerUI.h"

#include <algorithm>
#include <cstring>

#include "ui/controls/ControlUI.h"

// Painting: lazy layout, the back buffer, ordinary and layered painting,
// printing, invalidation, the window's size and opacity and the colour key.
// UI thread only.

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

// Controls of the product skins whose every pixel must stay opaque in a
// layered window, even where their GDI text left alpha at 0 over black.
const wchar_t* const kOpaqueAreas[] = {L"mainWindowLayout", L"layoutLogList"};

CControlUI* FindUpdateNeeded(CControlUI* control, void*)
{
    return control->IsUpdateNeeded() ? control : nullptr;
}

}  // namespace

void CWindowManagerUI::LayOutBeforePaint(const RECT& client)
{
    if (!m_layoutNeeded) return;
    m_layoutNeeded = false;
    if (IsRectEmpty(&client)) return;
    if (!m_root->IsUpdateNeeded()) {
        // Only the controls that asked, root first, until none is left. A
        // control whose placing does not clear its flag would be found for
        // ever, so the walk stops when the same one comes back at once.
        CControlUI* previous = nullptr;
        while (CControlUI* control = m_root->FindControl(FindUpdateNeeded, nullptr, UIFIND_VISIBLE | UIFIND_ME_FIRST)) {
            if (control == previous) break;
            control->SetPos(control->GetPos(), true);
            previous = control;
        }
    } else if (!IsIconic(m_window)) {
        m_root->SetPos(client, true);
        // A new layout may have a new size: the buffer is made anew.
        m_backBuffer.Reset();
    }
    if (m_firstLayout) {
        m_firstLayout = false;
        SendNotification(m_root, NotifyName::WindowInit);
    }
}

void CWindowManagerUI::Paint()
{
    // 1. Nothing to paint, or no tree to paint it with.
    RECT update;
    if (!GetUpdateRect(m_window, &update, FALSE)) return;
    if (!m_root) {
        PAINTSTRUCT ps;
        BeginPaint(m_window, &ps);
        EndPaint(m_window, &ps);
        return;
    }
    // 2. The layout that was asked for since the last paint.
    RECT client;
    GetClientRect(m_window, &client);
    LayOutBeforePaint(client);
    if (!m_root) return;
    // 3-4. Into the back buffer and on to the window.
    if (m_layeredPaint)
        PaintLayered(client);
    else
        PaintOffscreen(client);
    // 5. A paint that asked for layout again is followed by another one.
    if (m_layoutNeeded) InvalidateRect(m_window, nullptr, FALSE);
}

void CWindowManagerUI::PaintOffscreen(const RECT& client)
{
    PAINTSTRUCT ps;
    HDC windowDc = BeginPaint(m_window, &ps);
    if (!windowDc) return;
    const RECT paint = ps.rcPaint;
    if (!m_offscreenPaint || !m_backBuffer.Ensure(windowDc, client.right - client.left, client.bottom - client.top, false)) {
        m_root->Paint(windowDc, paint);
        PaintCaret(windowDc, paint);
        for (size_t i = 0; i < m_overlayPainters.size(); ++i) m_overlayPainters[i]->PaintOverlay(windowDc, paint);
        EndPaint(m_window, &ps);
        return;
    }
    HDC dc = m_backBuffer.Dc();
    // Translucent fills cover whole controls; the clip keeps them from
    // blending twice over buffer pixels outside this paint.
    const int saved = SaveDC(dc);
    IntersectClipRect(dc, paint.left, paint.top, paint.right, paint.bottom);
    m_root->Paint(dc, paint);
    PaintCaret(dc, paint);
    for (size_t i = 0; i < m_overlayPainters.size(); ++i) m_overlayPainters[i]->PaintOverlay(dc, paint);
    RestoreDC(dc, saved);
    BitBlt(windowDc, paint.left, paint.top, paint.right - paint.left, paint.bottom - paint.top, dc, paint.left,
           paint.top, SRCCOPY);
    EndPaint(m_window, &ps);
}

void CWindowManagerUI::PaintLayered(const RECT& client)
{
    const LONG exStyle = GetWindowLongW(m_window, GWL_EXSTYLE);
    if (!(exStyle & WS_EX_LAYERED)) SetWindowLongW(m_window, GWL_EXSTYLE, exStyle | WS_EX_LAYERED);
    PAINTSTRUCT ps;
    HDC windowDc = BeginPaint(m_window, &ps);
    const int width = client.right - client.left;
    const int height = client.bottom - client.top;
    if (!windowDc || !m_backBuffer.Ensure(windowDc, width, height, true)) {
        EndPaint(m_window, &ps);
        return;
    }
    HDC dc = m_backBuffer.Dc();
    uint8_t* bits = m_backBuffer.Bits();
    // 1. The whole client area, from transparent black.
    std::memset(bits, 0, static_cast<size_t>(width) * height * 4);
    m_root->Paint(dc, client);
    PaintCaret(dc, client);
    for (size_t i = 0; i < m_overlayPainters.size(); ++i) m_overlayPainters[i]->PaintOverlay(dc, ps.rcPaint);
    GdiFlush();
    // 2. GDI writes no alpha: what it drew is left at 0 and made opaque.
    const size_t count = static_cast<size_t>(width) * height;
    for (size_t i = 0; i < count; ++i) {
        uint8_t* p = bits + i * 4;
        if (p[3] == 0 && (p[0] | p[1] | p[2]) != 0) p[3] = 255;
    }
    // 3. The named areas are opaque throughout.
    for (const wchar_t* name : kOpaqueAreas) {
        CControlUI* area = FindControlByName(name);
        if (!area || !area->IsVisible()) continue;
        RECT r;
        if (!IntersectRect(&r, &area->GetPos(), &client)) continue;
        for (LONG y = r.top; y < r.bottom; ++y)
            for (LONG x = r.left; x < r.right; ++x) bits[(static_cast<size_t>(y) * width + x) * 4 + 3] = 255;
    }
    // 4. To the screen with per-pixel alpha.
    RECT window;
    GetWindowRect(m_window, &window);
    POINT destination{window.left, window.top};
    POINT source{0, 0};
    SIZE size{width, height};
    BLENDFUNCTION blend{AC_SRC_OVER, 0, 255, AC_SRC_ALPHA};
    UpdateLayeredWindow(m_window, nullptr, &destination, &size, dc, &source, 0, &blend, ULW_ALPHA);
    EndPaint(m_window, &ps);
}

void CWindowManagerUI::PrintClient(HDC dc, LPARAM flags)
{
    if (!m_root || !dc) return;
    RECT client;
    GetClientRect(m_window, &client);
    m_root->Paint(dc, client);
    if (!(flags & PRF_CHILDREN)) return;
    // Child windows (the edit overlay) are printed at their places.
    for (HWND child = ::GetWindow(m_window, GW_CHILD); child; child = ::GetWindow(child, GW_HWNDNEXT)) {
        if (!IsWindowVisible(child)) continue;
        RECT r;
        GetWindowRect(child, &r);
        MapWindowPoints(nullptr, m_window, reinterpret_cast<POINT*>(&r), 2);
        POINT oldOrigin;
        OffsetViewportOrgEx(dc, r.left, r.top, &oldOrigin);
        SendMessageW(child, WM_PRINT, reinterpret_cast<WPARAM>(dc),
                     PRF_NONCLIENT | PRF_CLIENT | PRF_ERASEBKGND | PRF_CHILDREN);
        SetViewportOrgEx(dc, oldOrigin.x, oldOrigin.y, nullptr);
    }
}

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
    // A value outside 0 to 255 asks for no translucency at all.
    const bool layered = alpha >= 0 && alpha <= 255;
    LONG style = GetWindowLongW(m_window, GWL_EXSTYLE);
    SetWindowLongW(m_window, GWL_EXSTYLE, layered ? style | WS_EX_LAYERED : style & ~WS_EX_LAYERED);
    if (layered) fn(m_window, 0, m_opacity, LWA_ALPHA);
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
