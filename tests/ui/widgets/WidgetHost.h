#pragma once

// A real top-level window under the test display whose messages go to a
// window manager, with the notifications it sends recorded, input given
// as window messages and the painted client area read back as pixels.

#include <windows.h>

#include <cstdint>
#include <string>
#include <vector>

#include "tests/ui/support/NoteLog.h"
#include "ui/controls/ControlUI.h"
#include "ui/core/WindowManagerUI.h"

namespace widget_tests {

class CWidgetHost : public INotifyUI, public ui_test::NoteLog {
public:
    CWidgetHost(int width, int height);
    ~CWidgetHost();
    CWidgetHost(const CWidgetHost&) = delete;
    CWidgetHost& operator=(const CWidgetHost&) = delete;

    bool Ok() const { return m_window != nullptr; }
    HWND Window() const { return m_window; }
    CWindowManagerUI& Manager() { return m_manager; }
    // Hands the tree to the manager and paints it once.
    void Attach(CControlUI* root);

    // Paints what is invalid, then copies the client area for Pixel.
    void Paint();
    // The whole client area repainted and copied.
    void RepaintAll();
    // 0x00RRGGBB from the last copy.
    DWORD Pixel(int x, int y) const;
    const std::vector<uint32_t>& Pixels() const { return m_pixels; }
    int Width() const { return m_width; }
    int Height() const { return m_height; }
    // How many pixels of row y in [x0, x1) have the colour.
    int CountInRow(int y, int x0, int x1, DWORD rgb) const;
    bool SavePng(const std::wstring& path) const;

    // Input as the system would deliver it, one message at a time.
    void MouseMove(int x, int y);
    void MouseDown(int x, int y);
    void MouseUp(int x, int y);
    void Click(int x, int y);
    void Key(UINT vk);
    void Pump();

    void Notify(NotifyMsg& msg) override;

private:
    static LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    void Copy();

    int m_width;
    int m_height;
    HWND m_window = nullptr;
    CWindowManagerUI m_manager;
    std::vector<uint32_t> m_pixels;
};

// A control's colour as 0x00RRGGBB, as it lands in the pixels.
inline DWORD Rgb(DWORD argb) { return argb & 0xFFFFFF; }

}  // namespace widget_tests
