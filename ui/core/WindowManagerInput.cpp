#include "ui/core/WindowManagerUI.h"

#include "ui/controls/ControlUI.h"

// Input: the routing of the window's messages to the controls, focus and
// the tab order, mouse capture, hover and tooltips. The router hands the
// messages that belong elsewhere (delayed deletes, timer ticks) to their
// owners. UI thread only.

bool CWindowManagerUI::HandleWindowMessage(UINT message, WPARAM wParam, LPARAM, LRESULT& result)
{
    result = 0;
    switch (message) {
    case WM_APP + 1:
        DeleteDelayed();
        return true;
    case WM_TIMER:
        // 241 is the caret's blink, which the caret code owns.
        if (wParam == 241) return false;
        DeliverTimer(wParam);
        return true;
    default:
        return false;
    }
}

bool CWindowManagerUI::PreHandleMessage(UINT, WPARAM, LPARAM, LRESULT& result)
{
    result = 0;
    return false;
}

bool CWindowManagerUI::PreTranslate(MSG*) { return false; }

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

// Arrives with the window manager's input routing.
void CWindowManagerUI::FocusPreviousTabStop(CControlUI*) {}

void CWindowManagerUI::CaptureMouse() {}
void CWindowManagerUI::ReleaseMouse() {}
