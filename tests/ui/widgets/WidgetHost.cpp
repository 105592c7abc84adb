#include "tests/ui/widgets/WidgetHost.h"

#include "tests/ui/draw/DrawTestSupport.h"
#include "tests/support/TestSupport.h"
#include "tests/ui/support/HostFrame.h"

namespace widget_tests {

namespace {

const wchar_t kClassName[] = L"WidgetTestHost";

}  // namespace

CWidgetHost::CWidgetHost(int width, int height) : m_width(width), m_height(height)
{
    ui_test::RegisterTestClass(kClassName, &CWidgetHost::WindowProc);
    HWND frame = ui_test::HostFrame();
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
    m_pixels = ui_test::CopyClientPixels(m_window, m_width, m_height);
    for (uint32_t& pixel : m_pixels) pixel &= 0xFFFFFF;
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

void CWidgetHost::Notify(NotifyMsg& msg) { Record(msg); }

}  // namespace widget_tests
