#pragma once

// One native window and the object that answers its messages. The object
// registers its class (or a superclass of a system class), creates the
// window with itself as the creation parameter and is bound to it until
// WM_NCDESTROY: through the window's user data, or through the "WndX"
// property for windows served by the control procedure (superclassed and
// subclassed system controls, whose user data belongs to the control).
// UI thread only.

#include <windows.h>

class CWindowWnd {
public:
    CWindowWnd() = default;
    CWindowWnd(const CWindowWnd&) = delete;
    CWindowWnd& operator=(const CWindowWnd&) = delete;

    // The virtual operations keep this order: derived windows and popups
    // rely on it.
    virtual void Show(bool show = true, bool takeFocus = true);
    virtual LRESULT ProcessMessage(UINT message, WPARAM wParam, LPARAM lParam);
    virtual const wchar_t* WindowClassName() const = 0;
    virtual const wchar_t* SuperClassName() const;
    virtual UINT ClassStyle() const;
    virtual void OnWindowGone(HWND window);
    virtual void OnFirstPaint();
    // A window that still exists is destroyed without reaching this object.
    virtual ~CWindowWnd();

    HWND GetHWND() const { return m_hWnd; }
    operator HWND() const { return m_hWnd; }

    HWND Create(HWND parent, const wchar_t* title, DWORD style, DWORD exStyle, int x = CW_USEDEFAULT,
                int y = CW_USEDEFAULT, int width = CW_USEDEFAULT, int height = CW_USEDEFAULT);
    HWND Create(HWND parent, const wchar_t* title, DWORD style, DWORD exStyle, const RECT& rect);
    // Serves an existing window through the control procedure.
    HWND Subclass(HWND window);
    void RestoreWindowProc();

    UINT RunModal();
    void Close(UINT code = 0);
    void CenterOnOwner();
    void SetWindowIcons(UINT resourceId);

protected:
    static LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    static LRESULT CALLBACK ControlProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

    HWND m_hWnd = nullptr;
    WNDPROC m_previousProc = ::DefWindowProcW;
    bool m_subclassed = false;

private:
    bool RegisterWindowClass();
    bool RegisterSuperclass();
    // Finds the window's object (bound through the user data, or through a
    // property for superclassed controls) and hands it the message.
    static LRESULT Route(HWND window, UINT message, WPARAM wParam, LPARAM lParam, bool property);
    // The last message of a window: the binding ends here.
    LRESULT FinalMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam, bool property);

    bool m_inModalLoop = false;
};
