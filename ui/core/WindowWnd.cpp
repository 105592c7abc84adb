#include "ui/core/WindowWnd.h"

#include "ui/core/ResourceLocation.h"
#include "ui/core/WindowManagerUI.h"

namespace {

const wchar_t kBindingProperty[] = L"WndX";

HINSTANCE ModuleInstance()
{
    HINSTANCE instance = ResourceLocation::GetModuleInstance();
    return instance ? instance : GetModuleHandleW(nullptr);
}

bool RegisteredOrExisting(ATOM atom) { return atom != 0 || GetLastError() == ERROR_CLASS_ALREADY_EXISTS; }

}  // namespace

CWindowWnd::~CWindowWnd()
{
    if (!m_hWnd || !IsWindow(m_hWnd)) return;
    // The object is going away: the window's last messages must not find it.
    HWND window = m_hWnd;
    SetWindowLongPtrW(window, GWLP_USERDATA, 0);
    RemovePropW(window, kBindingProperty);
    RestoreWindowProc();
    m_hWnd = nullptr;
    DestroyWindow(window);
}

void CWindowWnd::Show(bool show, bool takeFocus)
{
    if (!m_hWnd || !IsWindow(m_hWnd)) return;
    ShowWindow(m_hWnd, show ? (takeFocus ? SW_SHOWNORMAL : SW_SHOWNOACTIVATE) : SW_HIDE);
}

LRESULT CWindowWnd::ProcessMessage(UINT message, WPARAM wParam, LPARAM lParam)
{
    return CallWindowProcW(m_previousProc, m_hWnd, message, wParam, lParam);
}

const wchar_t* CWindowWnd::SuperClassName() const { return nullptr; }

UINT CWindowWnd::ClassStyle() const { return 0; }

void CWindowWnd::OnWindowGone(HWND) {}

void CWindowWnd::OnFirstPaint() {}

bool CWindowWnd::RegisterWindowClass()
{
    WNDCLASSW wc{};
    wc.style = ClassStyle();
    wc.lpfnWndProc = &CWindowWnd::WindowProc;
    wc.hInstance = ModuleInstance();
    wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    wc.lpszClassName = WindowClassName();
    return RegisteredOrExisting(RegisterClassW(&wc));
}

bool CWindowWnd::RegisterSuperclass()
{
    WNDCLASSEXW wc{};
    wc.cbSize = sizeof wc;
    HINSTANCE instance = ModuleInstance();
    if (!GetClassInfoExW(nullptr, SuperClassName(), &wc) && !GetClassInfoExW(instance, SuperClassName(), &wc))
        return false;
    m_previousProc = wc.lpfnWndProc;
    wc.lpfnWndProc = &CWindowWnd::ControlProc;
    wc.hInstance = instance;
    wc.lpszClassName = WindowClassName();
    return RegisteredOrExisting(RegisterClassExW(&wc));
}

HWND CWindowWnd::Create(HWND parent, const wchar_t* title, DWORD style, DWORD exStyle, int x, int y, int width,
                        int height)
{
    bool registered = SuperClassName() ? RegisterSuperclass() : RegisterWindowClass();
    if (!registered) return nullptr;
    // WM_NCCREATE binds this object, so m_hWnd is set before the call returns.
    HWND window = CreateWindowExW(exStyle, WindowClassName(), title, style, x, y, width, height, parent,
                                  nullptr, ModuleInstance(), this);
    if (!window) m_hWnd = nullptr;
    return window;
}

HWND CWindowWnd::Create(HWND parent, const wchar_t* title, DWORD style, DWORD exStyle, const RECT& rect)
{
    return Create(parent, title, style, exStyle, rect.left, rect.top, rect.right - rect.left,
                  rect.bottom - rect.top);
}

HWND CWindowWnd::Subclass(HWND window)
{
    if (!window || !IsWindow(window) || m_subclassed) return nullptr;
    m_previousProc = reinterpret_cast<WNDPROC>(
        SetWindowLongPtrW(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&CWindowWnd::ControlProc)));
    if (!m_previousProc) {
        m_previousProc = ::DefWindowProcW;
        return nullptr;
    }
    SetPropW(window, kBindingProperty, this);
    m_subclassed = true;
    m_hWnd = window;
    return window;
}

void CWindowWnd::RestoreWindowProc()
{
    if (!m_subclassed) return;
    SetWindowLongPtrW(m_hWnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(m_previousProc));
    m_subclassed = false;
}

LRESULT CWindowWnd::FinalMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam, bool property)
{
    LRESULT result = CallWindowProcW(m_previousProc, window, message, wParam, lParam);
    if (property)
        RemovePropW(window, kBindingProperty);
    else
        SetWindowLongPtrW(window, GWLP_USERDATA, 0);
    RestoreWindowProc();
    m_hWnd = nullptr;
    // A modal loop waiting in GetMessage for this window must wake up to
    // see that it is gone, whatever destroyed it.
    if (m_inModalLoop) PostThreadMessageW(GetCurrentThreadId(), WM_NULL, 0, 0);
    OnWindowGone(window);
    return result;
}

LRESULT CALLBACK CWindowWnd::WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    return Route(window, message, wParam, lParam, false);
}

LRESULT CALLBACK CWindowWnd::ControlProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    return Route(window, message, wParam, lParam, true);
}

LRESULT CWindowWnd::Route(HWND window, UINT message, WPARAM wParam, LPARAM lParam, bool property)
{
    CWindowWnd* self = nullptr;
    if (message == WM_NCCREATE) {
        auto* create = reinterpret_cast<CREATESTRUCTW*>(lParam);
        self = static_cast<CWindowWnd*>(create->lpCreateParams);
        if (self) {
            self->m_hWnd = window;
            if (property)
                SetPropW(window, kBindingProperty, self);
            else
                SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
        }
    } else {
        self = property ? static_cast<CWindowWnd*>(GetPropW(window, kBindingProperty))
                        : reinterpret_cast<CWindowWnd*>(GetWindowLongPtrW(window, GWLP_USERDATA));
        if (self && message == WM_NCDESTROY) return self->FinalMessage(window, message, wParam, lParam, property);
    }
    if (self) return self->ProcessMessage(message, wParam, lParam);
    return DefWindowProcW(window, message, wParam, lParam);
}

UINT CWindowWnd::RunModal()
{
    if (!m_hWnd || !IsWindow(m_hWnd)) return 0;
    UINT result = 0;
    HWND window = m_hWnd;
    HWND owner = GetWindow(window, GW_OWNER);
    ShowWindow(window, SW_SHOWNORMAL);
    if (owner) EnableWindow(owner, FALSE);
    m_inModalLoop = true;
    MSG msg{};
    bool quit = false;
    while (IsWindow(window)) {
        BOOL got = GetMessageW(&msg, nullptr, 0, 0);
        if (got == 0) {
            quit = true;
            break;
        }
        if (got == -1) break;
        if (msg.message == WM_CLOSE && msg.hwnd == window) {
            result = static_cast<UINT>(msg.wParam);
            if (owner) {
                EnableWindow(owner, TRUE);
                SetFocus(owner);
            }
        }
        if (!CWindowManagerUI::PreTranslate(&msg)) {
            TranslateMessage(&msg);
            DispatchMessageW(&msg);
        }
    }
    m_inModalLoop = false;
    if (owner) {
        EnableWindow(owner, TRUE);
        SetFocus(owner);
    }
    if (quit) PostQuitMessage(static_cast<int>(msg.wParam));
    return result;
}

void CWindowWnd::Close(UINT code)
{
    if (!m_hWnd || !IsWindow(m_hWnd)) return;
    PostMessageW(m_hWnd, WM_CLOSE, code, 0);
}

void CWindowWnd::CenterOnOwner()
{
    if (!m_hWnd || !IsWindow(m_hWnd)) return;
    RECT own{};
    GetWindowRect(m_hWnd, &own);
    const int width = own.right - own.left;
    const int height = own.bottom - own.top;
    HWND owner = GetWindow(m_hWnd, GW_OWNER);

    MONITORINFO monitor{};
    monitor.cbSize = sizeof monitor;
    GetMonitorInfoW(MonitorFromWindow(owner ? owner : m_hWnd, MONITOR_DEFAULTTONEAREST), &monitor);
    const RECT area = monitor.rcWork;

    RECT centre = area;
    if (owner && !IsIconic(owner)) GetWindowRect(owner, &centre);
    int x = (centre.left + centre.right) / 2 - width / 2;
    int y = (centre.top + centre.bottom) / 2 - height / 2;
    if (x < area.left)
        x = area.left;
    else if (x + width > area.right)
        x = area.right - width;
    if (y < area.top)
        y = area.top;
    else if (y + height > area.bottom)
        y = area.bottom - height;
    SetWindowPos(m_hWnd, nullptr, x, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void CWindowWnd::SetWindowIcons(UINT resourceId)
{
    if (!m_hWnd) return;
    // Shared icons belong to the system, so nothing here must free them.
    HINSTANCE instance = ModuleInstance();
    auto load = [instance, resourceId](int cx, int cy) {
        return static_cast<HICON>(LoadImageW(instance, MAKEINTRESOURCEW(resourceId), IMAGE_ICON,
                                             GetSystemMetrics(cx), GetSystemMetrics(cy), LR_SHARED));
    };
    HICON large = load(SM_CXICON, SM_CYICON);
    HICON smallIcon = load(SM_CXSMICON, SM_CYSMICON);
    if (large) SendMessageW(m_hWnd, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(large));
    if (smallIcon) SendMessageW(m_hWnd, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(smallIcon));
}
