#pragma once

// A plain native window whose procedure hands every message to a window
// manager, and a message pump that pre-translates as the window base's
// modal loop does: the host for control trees in the manager's tests, with
// the painted pixels read back from the screen and from the back buffer.

#include <windows.h>

#include <cstdint>
#include <functional>

#include "ui/core/WindowManagerUI.h"

namespace ui_test {

class CManagerTestWindow {
public:
    explicit CManagerTestWindow(int width, int height, DWORD exStyle = 0);
    ~CManagerTestWindow();
    CManagerTestWindow(const CManagerTestWindow&) = delete;
    CManagerTestWindow& operator=(const CManagerTestWindow&) = delete;

    HWND Handle() const { return m_window; }
    CWindowManagerUI& Manager() { return m_manager; }

    // Runs the thread's queue (PreTranslate first) for the given time, or
    // until done answers true; false when it never did.
    void Pump(DWORD milliseconds);
    bool PumpUntil(const std::function<bool()>& done, DWORD timeoutMs = 5000);
    // Paints what is invalid now.
    void PaintNow();

    // 0x00RRGGBB as the screen shows it.
    DWORD WindowPixel(int x, int y) const;
    // 0xAARRGGBB of the back buffer (alpha only meaningful when layered).
    uint32_t BufferPixel(int x, int y) const;
    SIZE BufferSize() const;
    // A client point in screen coordinates, packed for a message.
    LPARAM ScreenPoint(int x, int y) const;

private:
    static LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    CWindowManagerUI m_manager;
    HWND m_window = nullptr;
};

// GDI objects alive in this process: the system's count where it keeps one,
// else (Wine, whose count is a stub) the live entries of the handle table.
int GdiObjectCount();

}  // namespace ui_test
