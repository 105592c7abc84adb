#include "ui/core/WindowImplBase.h"

#include <windowsx.h>

#include <cwchar>
#include <cwctype>
#include <string>

#include "ui/controls/ControlUI.h"
#include "ui/core/LayoutBuilder.h"
#include "ui/core/ResourceLocation.h"

namespace {

MONITORINFO MonitorOf(HWND window)
{
    MONITORINFO info{};
    info.cbSize = sizeof info;
    GetMonitorInfoW(MonitorFromWindow(window, MONITOR_DEFAULTTONEAREST), &info);
    return info;
}

// Controls that take their own clicks inside the caption strip.
bool TakesOwnClicks(const CControlUI* control)
{
    const wchar_t* name = control->GetClassName();
    return _wcsicmp(name, L"ButtonUI") == 0 || _wcsicmp(name, L"OptionUI") == 0 || _wcsicmp(name, L"TextUI") == 0;
}

// "C:\..." or "\\server\...": a path that needs no folder before it.
bool IsFullPath(const std::wstring& path)
{
    if (path.size() >= 3 && std::iswalpha(path[0]) && path[1] == L':' && (path[2] == L'\\' || path[2] == L'/'))
        return true;
    return path.size() >= 2 && path[0] == L'\\' && path[1] == L'\\';
}

}  // namespace

UI_BEGIN_NOTIFY_MAP(WindowImplBase, CNotifyPump)
UI_NOTIFY_MESSAGE(L"click", L"", &WindowImplBase::OnClick)
UI_END_NOTIFY_MAP()

WindowImplBase::~WindowImplBase()
{
    // Destroyed here, while this object can still answer the window's last
    // messages and the manager still exists for the tree's teardown.
    if (m_hWnd && IsWindow(m_hWnd)) DestroyWindow(m_hWnd);
    delete m_formerRoot;
    m_formerRoot = nullptr;
}

void WindowImplBase::OnSkinLoaded() {}

void WindowImplBase::OnClick(NotifyMsg& msg)
{
    if (!msg.sender) return;
    const std::wstring name = msg.sender->GetName();
    if (name == L"closebtn")
        Close(1);
    else if (name == L"minbtn")
        SendMessageW(m_hWnd, WM_SYSCOMMAND, SC_MINIMIZE, 0);
    else if (name == L"maxbtn")
        SendMessageW(m_hWnd, WM_SYSCOMMAND, SC_MAXIMIZE, 0);
    else if (name == L"restorebtn")
        SendMessageW(m_hWnd, WM_SYSCOMMAND, SC_RESTORE, 0);
}

LRESULT WindowImplBase::OnDefaultKey(WPARAM key)
{
    if (key == VK_ESCAPE) {
        Close(0);
        return 1;
    }
    return 0;
}

int WindowImplBase::SkinSourceKind() const { return kSkinFromFile; }
std::wstring WindowImplBase::SkinArchiveName() { return std::wstring(); }
std::wstring WindowImplBase::SkinArchiveResource() { return std::wstring(); }

#define NOT_HANDLED(Name)                                                   \
    LRESULT WindowImplBase::Name(UINT, WPARAM, LPARAM, bool& handled)       \
    {                                                                       \
        handled = false;                                                    \
        return 0;                                                           \
    }
NOT_HANDLED(OnClose)
NOT_HANDLED(OnDestroy)
NOT_HANDLED(OnMouseWheel)
NOT_HANDLED(OnMouseHover)
NOT_HANDLED(OnChar)
NOT_HANDLED(OnKeyDown)
NOT_HANDLED(OnKillFocus)
NOT_HANDLED(OnSetFocus)
NOT_HANDLED(OnLButtonDown)
NOT_HANDLED(OnLButtonUp)
NOT_HANDLED(OnRButtonDown)
NOT_HANDLED(OnRButtonUp)
NOT_HANDLED(OnMouseMove)
NOT_HANDLED(OnOtherMessage)
#undef NOT_HANDLED

LRESULT WindowImplBase::OnNcActivate(UINT, WPARAM wParam, LPARAM, bool& handled)
{
    if (IsIconic(m_hWnd)) handled = false;
    return wParam ? FALSE : TRUE;
}

LRESULT WindowImplBase::OnNcCalcSize(UINT, WPARAM, LPARAM lParam, bool&)
{
    // Both forms of the message start with the proposed window rectangle.
    auto* proposed = reinterpret_cast<RECT*>(lParam);
    if (proposed && IsZoomed(m_hWnd)) {
        const RECT work = MonitorOf(m_hWnd).rcWork;
        proposed->right = proposed->left + (work.right - work.left);
        proposed->bottom = proposed->top + (work.bottom - work.top);
        return WVR_REDRAW;
    }
    return 0;
}

LRESULT WindowImplBase::OnNcPaint(UINT, WPARAM, LPARAM, bool&) { return 0; }

LRESULT WindowImplBase::OnNcHitTest(UINT, WPARAM, LPARAM lParam, bool&)
{
    POINT pt{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
    ScreenToClient(m_hWnd, &pt);
    RECT client{};
    GetClientRect(m_hWnd, &client);

    // 1. The resize borders, while the window can be resized at all.
    if (!IsZoomed(m_hWnd)) {
        const RECT box = m_manager.GetResizeBorder();
        const bool left = pt.x < client.left + box.left;
        const bool right = pt.x >= client.right - box.right;
        if (pt.y < client.top + box.top) return left ? HTTOPLEFT : right ? HTTOPRIGHT : HTTOP;
        if (pt.y >= client.bottom - box.bottom) return left ? HTBOTTOMLEFT : right ? HTBOTTOMRIGHT : HTBOTTOM;
        if (left) return HTLEFT;
        if (right) return HTRIGHT;
    }
    // 2. The caption strip drags the window, except over controls that
    // take their own clicks.
    const RECT caption = m_manager.GetCaptionArea();
    if (pt.x >= client.left + caption.left && pt.x < client.right - caption.right && pt.y >= caption.top &&
        pt.y < caption.bottom) {
        CControlUI* control = m_manager.FindControlAt(pt);
        if (control && !TakesOwnClicks(control)) return HTCAPTION;
    }
    return HTCLIENT;
}

LRESULT WindowImplBase::OnGetMinMaxInfo(UINT, WPARAM, LPARAM lParam, bool& handled)
{
    auto* info = reinterpret_cast<MINMAXINFO*>(lParam);
    const MONITORINFO monitor = MonitorOf(m_hWnd);
    RECT work = monitor.rcWork;
    OffsetRect(&work, -monitor.rcMonitor.left, -monitor.rcMonitor.top);
    info->ptMaxPosition = POINT{work.left, work.top};
    info->ptMaxTrackSize = POINT{work.right - work.left, work.bottom - work.top};
    const SIZE minimum = m_manager.GetMinTrackSize();
    info->ptMinTrackSize = POINT{minimum.cx, minimum.cy};
    // The manager applies the skin's own limits after this.
    handled = false;
    return 0;
}

LRESULT WindowImplBase::OnSize(UINT, WPARAM, LPARAM, bool& handled)
{
    const SIZE corner = m_manager.GetCornerSize();
    if (!IsIconic(m_hWnd) && (corner.cx != 0 || corner.cy != 0)) {
        RECT window{};
        GetWindowRect(m_hWnd, &window);
        HRGN region = CreateRoundRectRgn(0, 0, window.right - window.left + 1, window.bottom - window.top + 1,
                                         corner.cx, corner.cy);
        // On success the region belongs to the window.
        if (region && !SetWindowRgn(m_hWnd, region, TRUE)) DeleteObject(region);
    }
    handled = false;
    return 0;
}

LRESULT WindowImplBase::OnSysCommand(UINT message, WPARAM wParam, LPARAM lParam, bool&)
{
    if ((wParam & 0xFFF0) == SC_CLOSE) {
        // Sent, not posted: a modal loop sees no close code and ends with 0.
        SendMessageW(m_hWnd, WM_CLOSE, 0, 0);
        return 0;
    }
    const bool wasZoomed = IsZoomed(m_hWnd) != FALSE;
    LRESULT result = CWindowWnd::ProcessMessage(message, wParam, lParam);
    if (!m_hWnd) return result;
    const bool zoomed = IsZoomed(m_hWnd) != FALSE;
    if (zoomed != wasZoomed) {
        CControlUI* maximise = m_manager.FindControlByName(L"maxbtn");
        CControlUI* restore = m_manager.FindControlByName(L"restorebtn");
        if (maximise && restore) {
            maximise->SetVisible(!zoomed);
            restore->SetVisible(zoomed);
        }
    }
    return result;
}

bool WindowImplBase::UseArchiveResource()
{
    const std::wstring name = SkinArchiveResource();
    HMODULE module = ResourceLocation::GetResourceModule();
    HRSRC found = module ? FindResourceW(module, name.c_str(), L"ZIPRES") : nullptr;
    if (!found) {
        module = GetModuleHandleW(nullptr);
        found = FindResourceW(module, name.c_str(), L"ZIPRES");
    }
    if (!found) return false;
    HGLOBAL loaded = LoadResource(module, found);
    const DWORD size = SizeofResource(module, found);
    const void* data = loaded ? LockResource(loaded) : nullptr;
    if (!data || size == 0) return false;
    // The archive reads from these bytes for the rest of the process.
    auto* copy = new unsigned char[size];
    memcpy(copy, data, size);
    ResourceLocation::UseSkinArchiveBytes(copy, size);
    return true;
}

LRESULT WindowImplBase::OnCreate(UINT, WPARAM, LPARAM, bool&)
{
    // 1. Borderless, with the frame recalculated at the client size.
    SetWindowLongW(m_hWnd, GWL_STYLE, StyleWithoutCaption() | WS_CLIPSIBLINGS | WS_CLIPCHILDREN);
    RECT client{};
    GetClientRect(m_hWnd, &client);
    SetWindowPos(m_hWnd, nullptr, 0, 0, client.right - client.left, client.bottom - client.top,
                 SWP_FRAMECHANGED | SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);

    // 2. The manager, with this object asked first about every key.
    m_manager.Init(m_hWnd);
    m_manager.AddPreFilter(this);

    // 3. The resource folder: beside the module, unless the window names a
    // full path (a tool that shows skins straight from a vendor's folder).
    const std::wstring skinFolder = GetSkinFolder();
    std::wstring folder = IsFullPath(skinFolder) ? skinFolder : ResourceLocation::GetModuleFolder() + skinFolder;
    if (!folder.empty() && folder.back() != L'\\' && folder.back() != L'/') folder += L'\\';
    ResourceLocation::SetResourceFolder(folder);

    // 4. The archive the skin comes from, when it has one of its own.
    const int kind = SkinSourceKind();
    if (kind == kSkinFromArchiveFile) {
        ResourceLocation::UseSkinArchive(SkinArchiveName());
    } else if (kind == kSkinFromArchiveResource) {
        if (!UseArchiveResource()) return 0;
    }

    // 5. The tree.
    CLayoutBuilder builder;
    const std::wstring skin = GetSkinFileName();
    CControlUI* root = nullptr;
    if (kind == kSkinFromResource) {
        const int id = static_cast<int>(std::wcstol(skin.c_str(), nullptr, 10));
        root = builder.Create(MAKEINTRESOURCEW(id), L"xml", this, &m_manager);
    } else {
        root = builder.Create(skin.c_str(), nullptr, this, &m_manager);
    }

    // 6. Attached, or the user is told.
    if (root) {
        m_manager.AttachRoot(root);
        m_manager.AddNotifyListener(this);
        OnSkinLoaded();
    } else {
        MessageBoxW(nullptr, L"failed to load skin file", L"Lumeta", MB_OK | MB_ICONERROR);
    }
    return 0;
}

LONG WindowImplBase::StyleWithoutCaption()
{
    return GetWindowLongW(m_hWnd, GWL_STYLE) & ~static_cast<LONG>(WS_CAPTION);
}

UINT WindowImplBase::ClassStyle() const { return CS_DBLCLKS; }

bool WindowImplBase::RouteToHandler(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result, bool& handled)
{
    using Handler = LRESULT (WindowImplBase::*)(UINT, WPARAM, LPARAM, bool&);
    Handler handler = nullptr;
    switch (message) {
    case WM_CREATE: handler = &WindowImplBase::OnCreate; break;
    case WM_DESTROY: handler = &WindowImplBase::OnDestroy; break;
    case WM_SIZE: handler = &WindowImplBase::OnSize; break;
    case WM_SETFOCUS: handler = &WindowImplBase::OnSetFocus; break;
    case WM_KILLFOCUS: handler = &WindowImplBase::OnKillFocus; break;
    case WM_CLOSE: handler = &WindowImplBase::OnClose; break;
    case WM_GETMINMAXINFO: handler = &WindowImplBase::OnGetMinMaxInfo; break;
    case WM_NCCALCSIZE: handler = &WindowImplBase::OnNcCalcSize; break;
    case WM_NCHITTEST: handler = &WindowImplBase::OnNcHitTest; break;
    case WM_NCPAINT: handler = &WindowImplBase::OnNcPaint; break;
    case WM_NCACTIVATE: handler = &WindowImplBase::OnNcActivate; break;
    case WM_KEYDOWN: handler = &WindowImplBase::OnKeyDown; break;
    case WM_CHAR: handler = &WindowImplBase::OnChar; break;
    case WM_SYSCOMMAND: handler = &WindowImplBase::OnSysCommand; break;
    case WM_MOUSEMOVE: handler = &WindowImplBase::OnMouseMove; break;
    case WM_LBUTTONDOWN: handler = &WindowImplBase::OnLButtonDown; break;
    case WM_LBUTTONUP: handler = &WindowImplBase::OnLButtonUp; break;
    case WM_RBUTTONDOWN: handler = &WindowImplBase::OnRButtonDown; break;
    case WM_RBUTTONUP: handler = &WindowImplBase::OnRButtonUp; break;
    case WM_MOUSEWHEEL: handler = &WindowImplBase::OnMouseWheel; break;
    case WM_MOUSEHOVER: handler = &WindowImplBase::OnMouseHover; break;
    default: return false;
    }
    handled = true;
    result = (this->*handler)(message, wParam, lParam, handled);
    return true;
}

LRESULT WindowImplBase::ProcessMessage(UINT message, WPARAM wParam, LPARAM lParam)
{
    LRESULT result = 0;
    bool handled = false;
    if (RouteToHandler(message, wParam, lParam, result, handled) && handled) return result;
    handled = true;
    result = OnOtherMessage(message, wParam, lParam, handled);
    if (handled) return result;
    // A handler above may have destroyed the window.
    if (!m_hWnd) return result;
    if (m_manager.HandleWindowMessage(message, wParam, lParam, result)) {
        if (message == WM_PAINT && !m_firstPaintDone) {
            m_firstPaintDone = true;
            OnFirstPaint();
        }
        return result;
    }
    return CWindowWnd::ProcessMessage(message, wParam, lParam);
}

void WindowImplBase::OnWindowGone(HWND)
{
    m_manager.RemovePreFilter(this);
    m_manager.RemoveNotifyListener(this);
    // Out of the manager's reach, but kept: the application may still read
    // its controls after the modal loop has ended.
    CControlUI* root = m_manager.GetRoot();
    m_manager.ForgetControl(root);
    if (root && m_manager.GetRoot() != root && root != m_formerRoot) {
        delete m_formerRoot;
        m_formerRoot = root;
    }
}

void WindowImplBase::Notify(NotifyMsg& msg) { NotifyPump(msg); }

LRESULT WindowImplBase::FilterMessage(UINT message, WPARAM wParam, LPARAM, bool&)
{
    if (message == WM_KEYDOWN && (wParam == VK_RETURN || wParam == VK_ESCAPE)) OnDefaultKey(wParam);
    return 0;
}

CControlUI* WindowImplBase::MakeControl(const std::wstring&) { return nullptr; }
