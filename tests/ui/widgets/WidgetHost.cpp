#include "tests/ui/widgets/WidgetHost.h"

#include "tests/ui/draw/DrawTestSupport.h"
#include "tests/support/TestSupport.h"
#include "ui/core/GdiObjects.h"

namespace widget_tests {

namespace {

const wchar_t kClassName[] = L"WidgetTestHost";
const wchar_t kFrameClassName[] = L"WidgetTestFrame";

void RegisterClasses(WNDPROC proc)
{
    static bool registered = false;
    if (registered) return;
    WNDCLASSEXW wc{};
    wc.cbSize = sizeof wc;
    wc.lpfnWndProc = proc;
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    wc.lpszClassName = kClassName;
    RegisterClassExW(&wc);
    wc.lpfnWndProc = DefWindowProcW;
    wc.lpszClassName = kFrameClassName;
    RegisterClassExW(&wc);
    registered = true;
}

// One top-level frame for the whole test program. Destroying a top-level
// window under a display without a window manager waits two seconds for a
// withdrawal that never comes; the hosts are children of this frame and
// come and go at once.
HWND Frame()
{
    static HWND frame = nullptr;
    if (!frame) {
        frame = CreateWindowExW(0, kFrameClassName, L"widgets", WS_POPUP | WS_VISIBLE | WS_CLIPCHILDREN, 0, 0,
                                1200, 900, nullptr, nullptr, GetModuleHandleW(nullptr), nullptr);
    }
    return frame;
}

}  // namespace

CWidgetHost::CWidgetHost(int width, int height) : m_width(width), m_height(height)
{
    RegisterClasses(&CWidgetHost::WindowProc);
    HWND frame = Frame();
    if (!frame) return;
    m_window = CreateWindowExW(0, kClassName, L"widgets", WS_CHILD | WS_CLIPSIBLINGS, 0, 0, width, height, frame,
                               nullptr, GetModuleHandleW(nullptr), this);
    if (!m_window) return;
    m_manager.Init(m_window);
    m_manager.AddNotifyListener(this);
    ShowWindow(m_window, SW_SHOWNORMAL);
    Pump();
}

CWidgetHost::~CWidgetHost()
{
    m_manager.RemoveNotifyListener(this);
    if (m_window) {
        SetWindowLongPtrW(m_window, GWLP_USERDATA, 0);
        DestroyWindow(m_window);
    }
    Pump();
}

LRESULT CALLBACK CWidgetHost::WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_NCCREATE) {
        auto* create = reinterpret_cast<CREATESTRUCTW*>(lParam);
        SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(create->lpCreateParams));
    }
    auto* host = reinterpret_cast<CWidgetHost*>(GetWindowLongPtrW(window, GWLP_USERDATA));
    if (host) {
        LRESULT result = 0;
        if (host->m_manager.HandleWindowMessage(message, wParam, lParam, result)) return result;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

void CWidgetHost::Attach(CControlUI* root)
{
    m_manager.AttachRoot(root);
    RepaintAll();
}

void CWidgetHost::Pump()
{
    MSG msg;
    for (int i = 0; i < 1000 && PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE); ++i) {
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
}

void CWidgetHost::Paint()
{
    // Hosts alive at once overlap in the frame; the one read comes to the top.
    SetWindowPos(m_window, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    Pump();
    UpdateWindow(m_window);
    Pump();
    Copy();
}

void CWidgetHost::RepaintAll()
{
    InvalidateRect(m_window, nullptr, FALSE);
    Paint();
}

void CWidgetHost::Copy()
{
    m_pixels.assign(static_cast<size_t>(m_width) * m_height, 0);
    HDC windowDc = GetDC(m_window);
    CMemoryDC memory(windowDc);
    uint8_t* bits = nullptr;
    HBITMAP bitmap = CreateDib32(m_width, m_height, &bits);
    if (bitmap && bits && memory.Get()) {
        HGDIOBJ old = SelectObject(memory.Get(), bitmap);
        BitBlt(memory.Get(), 0, 0, m_width, m_height, windowDc, 0, 0, SRCCOPY);
        GdiFlush();
        const uint32_t* p = reinterpret_cast<const uint32_t*>(bits);
        for (size_t i = 0; i < m_pixels.size(); ++i) m_pixels[i] = p[i] & 0xFFFFFF;
        SelectObject(memory.Get(), old);
    }
    if (bitmap) DeleteObject(bitmap);
    ReleaseDC(m_window, windowDc);
}

DWORD CWidgetHost::Pixel(int x, int y) const
{
    if (x < 0 || y < 0 || x >= m_width || y >= m_height || m_pixels.empty()) return 0xFFFFFFFF;
    return m_pixels[static_cast<size_t>(y) * m_width + x];
}

int CWidgetHost::CountInRow(int y, int x0, int x1, DWORD rgb) const
{
    int count = 0;
    for (int x = x0; x < x1; ++x)
        if (Pixel(x, y) == rgb) ++count;
    return count;
}

bool CWidgetHost::SavePng(const std::wstring& path) const
{
    std::vector<uint32_t> argb(m_pixels.size());
    for (size_t i = 0; i < argb.size(); ++i) argb[i] = 0xFF000000 | m_pixels[i];
    return testing_support::WriteBytes(path, draw_test::MakePng(m_width, m_height, argb));
}

void CWidgetHost::MouseMove(int x, int y)
{
    SendMessageW(m_window, WM_MOUSEMOVE, 0, MAKELPARAM(x, y));
    Pump();
}

void CWidgetHost::MouseDown(int x, int y)
{
    SendMessageW(m_window, WM_MOUSEMOVE, 0, MAKELPARAM(x, y));
    SendMessageW(m_window, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(x, y));
    Pump();
}

void CWidgetHost::MouseUp(int x, int y)
{
    SendMessageW(m_window, WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(x, y));
    SendMessageW(m_window, WM_LBUTTONUP, 0, MAKELPARAM(x, y));
    Pump();
}

void CWidgetHost::Click(int x, int y)
{
    MouseDown(x, y);
    MouseUp(x, y);
}

void CWidgetHost::Key(UINT vk)
{
    SendMessageW(m_window, WM_KEYDOWN, vk, 1);
    SendMessageW(m_window, WM_KEYUP, vk, 0xC0000001);
    Pump();
}

void CWidgetHost::Notify(NotifyMsg& msg) { m_notes.push_back(Note{msg.type, msg.sender, msg.wParam}); }

int CWidgetHost::Count(const std::wstring& type, CControlUI* sender) const
{
    int count = 0;
    for (const Note& n : m_notes)
        if (n.type == type && (!sender || n.sender == sender)) ++count;
    return count;
}

}  // namespace widget_tests
