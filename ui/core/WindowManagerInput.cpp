#include "ui/core/WindowManagerUI.h"

#include <windowsx.h>

#include <cwctype>

#include "ui/controls/ControlUI.h"
#include "ui/core/ResourceLocation.h"

// Input: the routing of the window's messages to the controls, focus and
// the tab order, mouse capture, hover and tooltips, and the pre-translation
// of queued messages. The router hands the messages that belong elsewhere
// (painting, delayed deletes, timer ticks) to their owners. UI thread only.
//
// Any event handed to a control may delete controls (a click that rebuilds
// a list, for example); ForgetControl then clears the pointers kept here,
// so after each delivery the state is read afresh.

namespace {

POINT PointOf(LPARAM lParam) { return POINT{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)}; }

// Bits 0 to 3 of a mouse message's wParam are the event's key state bits.
WORD MouseKeyState(WPARAM wParam)
{
    return static_cast<WORD>(wParam & (UIKEYSTATE_LBUTTON | UIKEYSTATE_RBUTTON | UIKEYSTATE_SHIFT | UIKEYSTATE_CONTROL));
}

WORD LiveKeyState()
{
    WORD state = 0;
    if (GetKeyState(VK_LBUTTON) < 0) state |= UIKEYSTATE_LBUTTON;
    if (GetKeyState(VK_RBUTTON) < 0) state |= UIKEYSTATE_RBUTTON;
    if (GetKeyState(VK_SHIFT) < 0) state |= UIKEYSTATE_SHIFT;
    if (GetKeyState(VK_CONTROL) < 0) state |= UIKEYSTATE_CONTROL;
    if (GetKeyState(VK_MENU) < 0) state |= UIKEYSTATE_ALT;
    return state;
}

bool ClassNameContains(CControlUI* control, const wchar_t* part)
{
    const wchar_t* name = control->GetClassName();
    return name && wcsstr(name, part) != nullptr;
}

}  // namespace

void CWindowManagerUI::Deliver(CControlUI* control, int type, POINT point, WPARAM wParam, LPARAM lParam,
                               WORD keyState, wchar_t key)
{
    if (!control) return;
    ControlEvent event;
    event.type = type;
    event.sender = control;
    event.timeStamp = GetTickCount();
    event.mousePoint = point;
    event.key = key;
    event.keyState = keyState;
    event.wParam = wParam;
    event.lParam = lParam;
    control->HandleEvent(event);
}

CControlUI* CWindowManagerUI::OwnControlAt(POINT point) const
{
    CControlUI* control = FindControlAt(point);
    return control && control->GetManager() == this ? control : nullptr;
}

bool CWindowManagerUI::HandleWindowMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result)
{
    result = 0;
    if (!m_window) return false;
    // The filters are asked first; the first that handles a message ends it.
    for (size_t i = 0; i < m_filters.size(); ++i) {
        bool handled = false;
        LRESULT filtered = m_filters[i]->FilterMessage(message, wParam, lParam, handled);
        if (handled) {
            result = filtered;
            return true;
        }
    }
    switch (message) {
    case WM_APP + 1:
        DeleteDelayed();
        return true;
    case WM_PAINT:
        Paint();
        return true;
    case WM_PRINTCLIENT:
        PrintClient(reinterpret_cast<HDC>(wParam), lParam);
        return false;
    case WM_SIZE:
        if (m_focus) Deliver(m_focus, UIEVENT_WINDOWSIZE, m_lastMousePoint, wParam, lParam, 0);
        if (m_root) m_root->RequestLayout();
        return true;
    case WM_ERASEBKGND:
        result = 1;
        return true;
    case WM_GETMINMAXINFO: {
        auto* info = reinterpret_cast<MINMAXINFO*>(lParam);
        if (m_minTrackSize.cx > 0) info->ptMinTrackSize.x = m_minTrackSize.cx;
        if (m_minTrackSize.cy > 0) info->ptMinTrackSize.y = m_minTrackSize.cy;
        if (m_maxTrackSize.cx > 0) info->ptMaxTrackSize.x = m_maxTrackSize.cx;
        if (m_maxTrackSize.cy > 0) info->ptMaxTrackSize.y = m_maxTrackSize.cy;
        return false;
    }
    case WM_TIMER:
        if (wParam == kCaretTimerId) {
            BlinkCaret();
            return true;
        }
        DeliverTimer(wParam);
        return true;
    case WM_SETCURSOR: {
        if (LOWORD(lParam) != HTCLIENT) return false;
        if (m_mouseCaptured) {
            result = TRUE;
            return true;
        }
        POINT point;
        GetCursorPos(&point);
        ScreenToClient(m_window, &point);
        CControlUI* control = OwnControlAt(point);
        if (!control || !(control->GetInputFlags() & UIFLAG_SETCURSOR)) return false;
        Deliver(control, UIEVENT_SETCURSOR, point, wParam, lParam, LiveKeyState());
        result = TRUE;
        return true;
    }
    case WM_MOUSEMOVE:
        OnMouseMove(wParam, lParam);
        return false;
    case WM_LBUTTONDOWN:
        ::SetFocus(m_window);
        PressOn(UIEVENT_BUTTONDOWN, true, wParam, lParam);
        return false;
    case WM_LBUTTONUP:
        ReleaseClick(UIEVENT_BUTTONUP, PointOf(lParam), wParam, lParam, MouseKeyState(wParam));
        return false;
    case WM_LBUTTONDBLCLK:
        ::SetFocus(m_window);
        PressOn(UIEVENT_DBLCLICK, false, wParam, lParam);
        return false;
    case WM_RBUTTONDOWN:
        ::SetFocus(m_window);
        PressOn(UIEVENT_RBUTTONDOWN, true, wParam, lParam);
        return false;
    case WM_RBUTTONUP:
        PressOn(UIEVENT_RBUTTONUP, true, wParam, lParam);
        return false;
    case WM_CONTEXTMENU: {
        POINT point = PointOf(lParam);
        ScreenToClient(m_window, &point);
        ReleaseClick(UIEVENT_CONTEXTMENU, point, wParam, lParam, 0);
        return false;
    }
    case WM_MOUSEWHEEL: {
        POINT point = PointOf(lParam);
        ScreenToClient(m_window, &point);
        CControlUI* control = OwnControlAt(point);
        if (!control) return false;
        // A negative delta turns the wheel towards the user: down, 1.
        const int delta = GET_WHEEL_DELTA_WPARAM(wParam);
        Deliver(control, UIEVENT_SCROLLWHEEL, point, delta < 0 ? 1 : 0, lParam, MouseKeyState(GET_KEYSTATE_WPARAM(wParam)));
        // What lies under the cursor may have scrolled away from it.
        SendMessageW(m_window, WM_MOUSEMOVE, 0, MAKELPARAM(m_lastMousePoint.x, m_lastMousePoint.y));
        return false;
    }
    case WM_MOUSEHOVER:
        OnMouseHover(wParam, lParam);
        return true;
    case WM_MOUSELEAVE:
        HideToolTip();
        // A hover report ends only the hover half of the tracking: the leave
        // still comes when the pointer goes without another move inside, and
        // the control under it must hear of it as well.
        if (m_mouseTracking || m_hover) SendMessageW(m_window, WM_MOUSEMOVE, 0, MAKELPARAM(-1, -1));
        m_mouseTracking = false;
        return false;
    case WM_KEYDOWN:
        if (!m_focus) return false;
        m_key = m_focus;
        Deliver(m_focus, UIEVENT_KEYDOWN, m_lastMousePoint, wParam, lParam, LiveKeyState(), static_cast<wchar_t>(wParam));
        return false;
    case WM_KEYUP: {
        if (!m_key) return false;
        CControlUI* control = m_key;
        m_key = nullptr;
        Deliver(control, UIEVENT_KEYUP, m_lastMousePoint, wParam, lParam, LiveKeyState(), static_cast<wchar_t>(wParam));
        return false;
    }
    case WM_CHAR:
        if (m_focus)
            Deliver(m_focus, UIEVENT_CHAR, m_lastMousePoint, wParam, lParam, LiveKeyState(), static_cast<wchar_t>(wParam));
        return false;
    case WM_CLOSE: {
        if (CControlUI* hover = m_hover) {
            m_hover = nullptr;
            Deliver(hover, UIEVENT_MOUSELEAVE, m_lastMousePoint, wParam, lParam, 0);
        }
        if (CControlUI* click = m_click) {
            m_click = nullptr;
            ReleaseMouse();
            Deliver(click, UIEVENT_BUTTONUP, m_lastMousePoint, wParam, lParam, 0);
        }
        FocusControl(nullptr);
        // The tooltip dies with its owner window.
        m_toolTip = nullptr;
        return false;
    }
    case WM_SYSCOMMAND:
        // Recorded only; the window's own handling must still restore it.
        if ((wParam & 0xFFF0) == SC_RESTORE) m_restoreRequested = true;
        return false;
    case WM_COMMAND:
    case WM_NOTIFY:
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORSTATIC:
        return Reflect(message, wParam, lParam, result);
    default:
        return false;
    }
}

bool CWindowManagerUI::Reflect(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result)
{
    HWND child = nullptr;
    if (message == WM_NOTIFY) {
        const auto* header = reinterpret_cast<const NMHDR*>(lParam);
        if (!header) return true;
        child = header->hwndFrom;
    } else {
        child = reinterpret_cast<HWND>(lParam);
    }
    if (!child) return message == WM_NOTIFY;
    result = SendMessageW(child, message + UIMSG_REFLECT_OFFSET, wParam, lParam);
    return true;
}

void CWindowManagerUI::OnMouseMove(WPARAM wParam, LPARAM lParam)
{
    // 1. Leave and hover reports, asked for once per entry.
    if (!m_mouseTracking) {
        TRACKMOUSEEVENT track{sizeof track, TME_HOVER | TME_LEAVE, m_window, HOVER_DEFAULT};
        track.dwHoverTime = m_toolTip ? static_cast<DWORD>(SendMessageW(m_toolTip, TTM_GETDELAYTIME, TTDT_INITIAL, 0)) : 400;
        if (TrackMouseEvent(&track)) m_mouseTracking = true;
    }
    // 2. Enter and leave.
    const POINT point = PointOf(lParam);
    m_lastMousePoint = point;
    CControlUI* control = OwnControlAt(point);
    // A handler of enter or leave may change the tree, so the control under
    // the point is looked up again only after one ran.
    const bool delivered = control != m_hover;
    if (delivered) {
        if (CControlUI* old = m_hover) {
            m_hover = nullptr;
            Deliver(old, UIEVENT_MOUSELEAVE, point, wParam, lParam, MouseKeyState(wParam));
            HideToolTip();
            control = OwnControlAt(point);
        }
        if (control) {
            m_hover = control;
            Deliver(control, UIEVENT_MOUSEENTER, point, wParam, lParam, MouseKeyState(wParam));
        }
    }
    // 3. The move, to the pressed control while a button is held.
    CControlUI* target = m_click ? m_click : delivered ? OwnControlAt(point) : control;
    if (target) Deliver(target, UIEVENT_MOUSEMOVE, point, wParam, lParam, MouseKeyState(wParam));
}

void CWindowManagerUI::OnMouseHover(WPARAM wParam, LPARAM lParam)
{
    m_mouseTracking = false;
    const POINT point = PointOf(lParam);
    if (m_hover) Deliver(m_hover, UIEVENT_MOUSEHOVER, point, wParam, lParam, MouseKeyState(wParam));
    CControlUI* control = OwnControlAt(point);
    if (!control) return;
    const std::wstring text = ReplaceLanguageTokens(control->GetToolTip());
    if (text.empty()) return;
    // 1. The tooltip window, made the first time one is shown.
    if (!m_toolTip) {
        HINSTANCE instance = ResourceLocation::GetModuleInstance();
        if (!instance) instance = GetModuleHandleW(nullptr);
        InitialiseCommonControls();
        m_toolTip = CreateWindowExW(0, TOOLTIPS_CLASSW, nullptr, WS_POPUP | TTS_NOPREFIX | TTS_ALWAYSTIP,
                                    CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, m_window, nullptr,
                                    instance, nullptr);
        if (!m_toolTip) return;
        m_toolInfo = TOOLINFOW{};
        m_toolInfo.cbSize = sizeof m_toolInfo;
        m_toolInfo.uFlags = TTF_IDISHWND;
        m_toolInfo.hwnd = m_window;
        m_toolInfo.uId = reinterpret_cast<UINT_PTR>(m_window);
        m_toolInfo.hinst = instance;
        m_toolTipText = text;
        m_toolInfo.lpszText = &m_toolTipText[0];
        m_toolInfo.rect = control->GetPos();
        SendMessageW(m_toolTip, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&m_toolInfo));
        m_toolTipPoint = point;
    }
    SendMessageW(m_toolTip, TTM_SETMAXTIPWIDTH, 0, control->GetToolTipWidth());
    // 2. Its rectangle and text follow the control under a moved point.
    if (point.x != m_toolTipPoint.x || point.y != m_toolTipPoint.y || text != m_toolTipText) {
        m_toolTipText = text;
        m_toolInfo.lpszText = &m_toolTipText[0];
        m_toolInfo.rect = control->GetPos();
        SendMessageW(m_toolTip, TTM_SETTOOLINFOW, 0, reinterpret_cast<LPARAM>(&m_toolInfo));
        SendMessageW(m_toolTip, TTM_UPDATETIPTEXTW, 0, reinterpret_cast<LPARAM>(&m_toolInfo));
        m_toolTipPoint = point;
    }
    // 3. Shown.
    SendMessageW(m_toolTip, TTM_TRACKACTIVATE, TRUE, reinterpret_cast<LPARAM>(&m_toolInfo));
}

void CWindowManagerUI::HideToolTip()
{
    if (m_toolTip) SendMessageW(m_toolTip, TTM_TRACKACTIVATE, FALSE, reinterpret_cast<LPARAM>(&m_toolInfo));
}

bool CWindowManagerUI::PreHandleMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result)
{
    result = 0;
    for (size_t i = 0; i < m_preFilters.size(); ++i) {
        bool handled = false;
        LRESULT filtered = m_preFilters[i]->FilterMessage(message, wParam, lParam, handled);
        if (handled) {
            result = filtered;
            return true;
        }
    }
    switch (message) {
    case WM_KEYDOWN:
        // Tab moves no focus in these windows; only a rich edit that takes
        // tabs as text gets to see it.
        if (wParam != VK_TAB) return false;
        if (m_focus && m_focus->IsVisible() && m_focus->IsEnabled() && ClassNameContains(m_focus, L"RichEditUI"))
            return false;
        return true;
    case WM_SYSKEYDOWN:
        if (m_focus)
            Deliver(m_focus, UIEVENT_SYSKEY, m_lastMousePoint, wParam, lParam, LiveKeyState(), static_cast<wchar_t>(wParam));
        return false;
    case WM_SYSCHAR: {
        if (!m_root) return false;
        struct Search {
            wchar_t key;
        } search{static_cast<wchar_t>(towupper(static_cast<wint_t>(wParam)))};
        CControlUI* found = m_root->FindControl(
            [](CControlUI* c, void* data) -> CControlUI* {
                const wchar_t key = static_cast<Search*>(data)->key;
                if (c->GetShortcut() != key || ClassNameContains(c, L"LabelUI")) return nullptr;
                return c;
            },
            &search, UIFIND_ENABLED | UIFIND_VISIBLE | UIFIND_ME_FIRST | UIFIND_TOP_FIRST);
        if (!found) return false;
        found->SetFocus();
        found->Activate();
        return true;
    }
    default:
        return false;
    }
}

bool CWindowManagerUI::PreTranslate(MSG* msg)
{
    if (!msg || !msg->hwnd) return false;
    const auto& live = LiveManagers();
    CWindowManagerUI* manager = nullptr;
    const bool child = (GetWindowLongW(msg->hwnd, GWL_STYLE) & WS_CHILD) != 0;
    // A child window's message belongs to the latest manager whose window
    // is the child or one of its ancestors; a top-level window's to its own.
    for (auto it = live.rbegin(); it != live.rend() && !manager; ++it) {
        if (!child) {
            if ((*it)->m_window == msg->hwnd) manager = *it;
            continue;
        }
        for (HWND w = msg->hwnd; w; w = GetParent(w))
            if ((*it)->m_window == w) {
                manager = *it;
                break;
            }
    }
    if (!manager) return false;
    for (size_t i = 0; i < manager->m_translators.size(); ++i)
        if (manager->m_translators[i]->TranslateAccelerator(msg) == 0) return true;
    LRESULT result = 0;
    return manager->PreHandleMessage(msg->message, msg->wParam, msg->lParam, result);
}

void CWindowManagerUI::FocusControl(CControlUI* control)
{
    if (m_window && ::GetFocus() != m_window && control != m_focus) ::SetFocus(m_window);
    if (control == m_focus) return;
    if (m_focus) {
        CControlUI* old = m_focus;
        ControlEvent event;
        event.type = UIEVENT_KILLFOCUS;
        event.sender = control;
        event.timeStamp = GetTickCount();
        old->HandleEvent(event);
        SendNotification(old, NotifyName::KillFocus);
        m_focus = nullptr;
    }
    if (!control) return;
    if (control->GetManager() != this || !control->IsVisible() || !control->IsEnabled()) return;
    m_focus = control;
    ControlEvent event;
    event.type = UIEVENT_SETFOCUS;
    event.sender = control;
    event.timeStamp = GetTickCount();
    control->HandleEvent(event);
    SendNotification(control, NotifyName::SetFocus);
}

void CWindowManagerUI::FocusPreviousTabStop(CControlUI* control)
{
    if (m_window) ::SetFocus(m_window);
    if (!control || !m_root) return;
    if (CControlUI* old = m_focus) {
        m_focus = nullptr;
        // The event names the control the focus moves back from.
        ControlEvent event;
        event.type = UIEVENT_KILLFOCUS;
        event.sender = control;
        event.timeStamp = GetTickCount();
        event.mousePoint = m_lastMousePoint;
        old->HandleEvent(event);
        SendNotification(old, NotifyName::KillFocus);
    }
    struct Search {
        CControlUI* target;
        CControlUI* last;
    } search{control, nullptr};
    m_root->FindControl(
        [](CControlUI* c, void* data) -> CControlUI* {
            auto* s = static_cast<Search*>(data);
            if (c == s->target) return c;
            if (c->GetInputFlags() & UIFLAG_TABSTOP) s->last = c;
            return nullptr;
        },
        &search, UIFIND_VISIBLE | UIFIND_ENABLED | UIFIND_ME_FIRST);
    m_focus = search.last;
    m_focusNeeded = true;
    if (m_root) m_root->RequestLayout();
}

void CWindowManagerUI::PressOn(int type, bool takeFocus, WPARAM wParam, LPARAM lParam)
{
    const POINT point = PointOf(lParam);
    m_lastMousePoint = point;
    CControlUI* control = OwnControlAt(point);
    if (!control) return;
    m_click = control;
    if (takeFocus) control->SetFocus();
    CaptureMouse();
    // Taking the focus may have changed the tree.
    if (m_click == control) Deliver(control, type, point, wParam, lParam, MouseKeyState(wParam));
}

void CWindowManagerUI::ReleaseClick(int type, POINT point, WPARAM wParam, LPARAM lParam, WORD keyState)
{
    m_lastMousePoint = point;
    if (!m_click) return;
    CControlUI* control = m_click;
    ReleaseMouse();
    m_click = nullptr;
    Deliver(control, type, point, wParam, lParam, keyState);
}

void CWindowManagerUI::CaptureMouse()
{
    if (!m_window) return;
    ::SetCapture(m_window);
    m_mouseCaptured = true;
}

void CWindowManagerUI::ReleaseMouse()
{
    if (m_mouseCaptured) ::ReleaseCapture();
    m_mouseCaptured = false;
}
