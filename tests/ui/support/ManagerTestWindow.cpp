#include "tests/ui/support/ManagerTestWindow.h"

#include "tests/ui/support/HostFrame.h"

namespace ui_test {

namespace {

const wchar_t kClassName[] = L"ManagerTestWindow";

}  // namespace

CManagerTestWindow::CManagerTestWindow(int width, int height, DWORD exStyle)
{
    RegisterTestClass(kClassName, DefWindowProcW, CS_DBLCLKS);
    m_window = CreateWindowExW(exStyle | WS_EX_TOOLWINDOW, kClassName, L"manager test", WS_POPUP, 40, 40, width, height, nullptr,
                               nullptr, GetModuleHandleW(nullptr), nullptr);
    if (!m_window) return;
    m_manager.Init(m_window);
    SetWindowLongPtrW(m_window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
    SetWindowLongPtrW(m_window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&WindowProc));
    // Not activated: Wine waits two seconds for the (absent) window
    // manager when an activated window goes away.
    ShowWindow(m_window, SW_SHOWNOACTIVATE);
}

CManagerTestWindow::~CManagerTestWindow()
{
    if (m_window) DestroyWindow(m_window);
}

LRESULT CALLBACK CManagerTestWindow::WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    auto* self = reinterpret_cast<CManagerTestWindow*>(GetWindowLongPtrW(window, GWLP_USERDATA));
    if (message == WM_NCDESTROY) {
        SetWindowLongPtrW(window, GWLP_USERDATA, 0);
        if (self) self->m_window = nullptr;
    }
    LRESULT result = 0;
    if (self && self->m_manager.HandleWindowMessage(message, wParam, lParam, result)) return result;
    return DefWindowProcW(window, message, wParam, lParam);
}

void CManagerTestWindow::Pump(DWORD milliseconds)
{
    PumpUntil([] { return false; }, milliseconds);
}

bool CManagerTestWindow::PumpUntil(const std::function<bool()>& done, DWORD timeoutMs)
{
    const DWORD start = GetTickCount();
    // The condition and the clock are looked at after every message: with
    // many short timers (or a slow Wine) the queue may never run empty,
    // and a pump that waited for that would never end.
    for (;;) {
        MSG msg;
        while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
            if (!CWindowManagerUI::PreTranslate(&msg)) {
                TranslateMessage(&msg);
                DispatchMessageW(&msg);
            }
            if (done()) return true;
            if (GetTickCount() - start >= timeoutMs) return false;
        }
        if (done()) return true;
        if (GetTickCount() - start >= timeoutMs) return false;
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 5, QS_ALLINPUT);
    }
}

void CManagerTestWindow::PaintNow()
{
    if (m_window) UpdateWindow(m_window);
}

DWORD CManagerTestWindow::WindowPixel(int x, int y) const
{
    HDC dc = GetDC(m_window);
    COLORREF c = GetPixel(dc, x, y);
    ReleaseDC(m_window, dc);
    return static_cast<DWORD>(GetRValue(c)) << 16 | static_cast<DWORD>(GetGValue(c)) << 8 | GetBValue(c);
}

uint32_t CManagerTestWindow::BufferPixel(int x, int y) const
{
    HDC dc = m_manager.GetBackBufferDC();
    if (!dc) return 0xDEADBEEF;
    auto* bitmap = static_cast<HBITMAP>(GetCurrentObject(dc, OBJ_BITMAP));
    DIBSECTION dib{};
    if (GetObjectW(bitmap, sizeof dib, &dib) == sizeof dib && dib.dsBm.bmBits) {
        // A layered buffer: the pixels with their alpha, top-down BGRA.
        GdiFlush();
        const auto* row = static_cast<const uint8_t*>(dib.dsBm.bmBits) + static_cast<size_t>(y) * dib.dsBm.bmWidthBytes;
        const uint8_t* p = row + x * 4;
        return static_cast<uint32_t>(p[3]) << 24 | static_cast<uint32_t>(p[2]) << 16 | static_cast<uint32_t>(p[1]) << 8 | p[0];
    }
    COLORREF c = GetPixel(dc, x, y);
    return 0xFF000000u | static_cast<uint32_t>(GetRValue(c)) << 16 | static_cast<uint32_t>(GetGValue(c)) << 8 |
           GetBValue(c);
}

SIZE CManagerTestWindow::BufferSize() const
{
    HDC dc = m_manager.GetBackBufferDC();
    if (!dc) return SIZE{0, 0};
    BITMAP bm{};
    GetObjectW(GetCurrentObject(dc, OBJ_BITMAP), sizeof bm, &bm);
    return SIZE{bm.bmWidth, bm.bmHeight};
}

LPARAM CManagerTestWindow::ScreenPoint(int x, int y) const
{
    POINT p{x, y};
    ClientToScreen(m_window, &p);
    return MAKELPARAM(p.x, p.y);
}

int GdiObjectCount()
{
    const DWORD reported = GetGuiResources(GetCurrentProcess(), GR_GDIOBJECTS);
    if (reported > 0) return static_cast<int>(reported);
    // Wine answers 0; its handles carry the table index in the low word and
    // are accepted without the generation in the high word.
    int count = 0;
    for (UINT_PTR index = 1; index < 0x10000; ++index)
        if (GetObjectType(reinterpret_cast<HGDIOBJ>(index)) != 0) ++count;
    return count;
}

}  // namespace ui_test
