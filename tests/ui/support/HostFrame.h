#pragma once

// What the test hosts of real windows share: their window classes, one
// top-level frame to hold them and the copying of a window's client area
// into pixels.

#include <windows.h>

#include <cstdint>
#include <vector>

#include "ui/core/GdiObjects.h"

namespace ui_test {

// A window class for test windows, registered at the first call; later
// calls for the same name change nothing.
inline void RegisterTestClass(const wchar_t* name, WNDPROC proc, UINT style = 0)
{
    WNDCLASSEXW wc{};
    wc.cbSize = sizeof wc;
    wc.style = style;
    wc.lpfnWndProc = proc;
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    wc.lpszClassName = name;
    RegisterClassExW(&wc);
}

// One top-level frame over the whole screen for the test program: a
// top-level window destroyed under a display without a window manager
// waits two seconds for a withdrawal that never comes, so the hosts are
// children of this frame and come and go at once.
inline HWND HostFrame()
{
    static HWND frame = CreateWindowExW(0, L"Static", L"test hosts", WS_POPUP | WS_VISIBLE | WS_CLIPCHILDREN, 0, 0,
                                        GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN), nullptr,
                                        nullptr, GetModuleHandleW(nullptr), nullptr);
    return frame;
}

// The top-left width x height pixels of the window's client area as the
// screen shows them, 32 bits each (blue in the low byte), row by row; all 0
// when the copy failed.
inline std::vector<uint32_t> CopyClientPixels(HWND window, int width, int height)
{
    std::vector<uint32_t> pixels(static_cast<size_t>(width) * height, 0);
    HDC source = GetDC(window);
    CMemoryDC memory(source);
    uint8_t* bits = nullptr;
    HBITMAP bitmap = CreateDib32(width, height, &bits);
    if (memory.Get() && bitmap && bits) {
        HGDIOBJ old = SelectObject(memory.Get(), bitmap);
        BitBlt(memory.Get(), 0, 0, width, height, source, 0, 0, SRCCOPY);
        GdiFlush();
        const auto* p = reinterpret_cast<const uint32_t*>(bits);
        pixels.assign(p, p + pixels.size());
        SelectObject(memory.Get(), old);
    }
    if (bitmap) DeleteObject(bitmap);
    ReleaseDC(window, source);
    return pixels;
}

}  // namespace ui_test
