#pragma once

// A real top-level window served by a window manager, for tests that drive
// controls with real window messages and read back what was painted.

#include <windows.h>

#include <functional>
#include <string>
#include <vector>

#include <cstdint>

#include "tests/ui/support/HostFrame.h"
#include "tests/ui/support/NoteLog.h"
#include "ui/controls/ControlUI.h"
#include "ui/core/WindowManagerUI.h"
#include "ui/core/WindowWnd.h"

namespace control_tests {

// What a window shows: its client area copied into a 32-bit DIB.
class Shot {
public:
    explicit Shot(HWND window)
    {
        RECT client{};
        GetClientRect(window, &client);
        width = client.right;
        height = client.bottom;
        pixels = ui_test::CopyClientPixels(window, width, height);
    }
    // 0xRRGGBB.
    DWORD At(int x, int y) const { return pixels[static_cast<size_t>(y) * width + x] & 0xFFFFFF; }
    int Count(const RECT& r, DWORD rgb) const
    {
        int n = 0;
        for (int y = r.top; y < r.bottom; ++y)
            for (int x = r.left; x < r.right; ++x) n += At(x, y) == rgb ? 1 : 0;
        return n;
    }
    // Pixels of a rectangle that differ from rgb.
    int CountOther(const RECT& r, DWORD rgb) const { return (r.right - r.left) * (r.bottom - r.top) - Count(r, rgb); }

    int width = 0;
    int height = 0;
    std::vector<uint32_t> pixels;
};

class CHostWindow : public CWindowWnd, public INotifyUI, public ui_test::NoteLog {
public:
    CHostWindow() = default;
    ~CHostWindow() override
    {
        if (m_hWnd) DestroyWindow(m_hWnd);
    }

    // Opens a window at screen point (x, y) of the given size holding the
    // tree, and pumps until it has been painted once.
    bool Open(CControlUI* root, int x, int y, int width, int height)
    {
        HWND frame = ui_test::HostFrame();
        if (!frame || !Create(frame, L"control host", WS_CHILD | WS_CLIPCHILDREN | WS_CLIPSIBLINGS, 0, x, y, width,
                              height))
            return false;
        manager.Init(m_hWnd);
        manager.AttachRoot(root);
        manager.AddNotifyListener(this);
        ShowWindow(m_hWnd, SW_SHOWNORMAL);
        SetForegroundWindow(frame);
        UpdateWindow(m_hWnd);
        Pump();
        return true;
    }

    const wchar_t* WindowClassName() const override { return L"ControlTestHost"; }

    LRESULT ProcessMessage(UINT message, WPARAM wParam, LPARAM lParam) override
    {
        LRESULT result = 0;
        if (manager.HandleWindowMessage(message, wParam, lParam, result)) return result;
        return CWindowWnd::ProcessMessage(message, wParam, lParam);
    }

    void Notify(NotifyMsg& msg) override
    {
        Record(msg);
        if (onNotify) onNotify(msg);
    }

    // Runs the thread's messages as a modal loop would, for about ms.
    static void Pump(DWORD ms = 60)
    {
        const DWORD start = GetTickCount();
        do {
            MSG msg;
            while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
                if (!CWindowManagerUI::PreTranslate(&msg)) {
                    TranslateMessage(&msg);
                    DispatchMessageW(&msg);
                }
            }
            Sleep(5);
        } while (GetTickCount() - start < ms);
    }

    // A left click at a client point of any window, as posted input.
    static void Click(HWND window, int x, int y)
    {
        const LPARAM point = MAKELPARAM(x, y);
        PostMessageW(window, WM_MOUSEMOVE, 0, point);
        PostMessageW(window, WM_LBUTTONDOWN, MK_LBUTTON, point);
        PostMessageW(window, WM_LBUTTONUP, 0, point);
        Pump();
    }
    static void Key(HWND window, UINT key)
    {
        PostMessageW(window, WM_KEYDOWN, key, 1);
        PostMessageW(window, WM_KEYUP, key, 0xC0000001);
        Pump();
    }

    CWindowManagerUI manager;
    std::function<void(NotifyMsg&)> onNotify;
};

}  // namespace control_tests
