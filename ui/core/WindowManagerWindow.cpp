#include "ui/core/WindowManagerUI.h"

#include <algorithm>

#include "ui/controls/ControlUI.h"

// The window side of the manager. The listener lists, option groups and
// the layered-window settings need nothing of the controls and work now;
// painting, input routing, focus, timers, caret and tooltips arrive with
// the window manager and the control base, and until then their bodies
// here do nothing and report that nothing was done.

namespace {

template <typename T>
bool AddUnique(std::vector<T*>& list, T* item)
{
    if (!item || std::find(list.begin(), list.end(), item) != list.end()) return false;
    list.push_back(item);
    return true;
}

template <typename T>
bool RemoveItem(std::vector<T*>& list, T* item)
{
    auto it = std::find(list.begin(), list.end(), item);
    if (it == list.end()) return false;
    list.erase(it);
    return true;
}

using SetLayeredWindowAttributesFn = BOOL(WINAPI*)(HWND, COLORREF, BYTE, DWORD);

SetLayeredWindowAttributesFn LayeredAttributes()
{
    static SetLayeredWindowAttributesFn fn = [] {
        HMODULE user = GetModuleHandleW(L"User32.dll");
        return user ? reinterpret_cast<SetLayeredWindowAttributesFn>(
                          reinterpret_cast<void*>(GetProcAddress(user, "SetLayeredWindowAttributes")))
                    : nullptr;
    }();
    return fn;
}

}  // namespace

void CWindowManagerUI::Init(HWND window)
{
    if (m_window && m_windowDC) ReleaseDC(m_window, m_windowDC);
    m_window = window;
    m_windowDC = window ? GetDC(window) : nullptr;
}

bool CWindowManagerUI::AttachRoot(CControlUI* root)
{
    if (!root) return false;
    FocusControl(nullptr);
    m_key = m_hover = m_click = nullptr;
    if (m_root && m_root != root) {
        m_overlayPainters.clear();
        DeleteLater(m_root);
    }
    m_root = root;
    m_firstLayout = true;
    m_layoutNeeded = true;
    m_focusNeeded = true;
    RegisterTree(root, nullptr);
    return true;
}
CControlUI* CWindowManagerUI::FindControlByName(const std::wstring& name) const
{
    auto it = m_nameMap.find(name);
    return it == m_nameMap.end() ? nullptr : it->second;
}
CControlUI* CWindowManagerUI::FindControlAt(POINT point) const
{
    if (!m_root) return nullptr;
    return m_root->FindControl([](CControlUI* c, void*) { return c; }, &point,
                               UIFIND_VISIBLE | UIFIND_HITTEST | UIFIND_TOP_FIRST);
}

void CWindowManagerUI::ForgetControl(CControlUI* control)
{
    if (!control) return;
    if (m_focus == control) m_focus = nullptr;
    if (m_hover == control) m_hover = nullptr;
    if (m_click == control) m_click = nullptr;
    if (m_key == control) m_key = nullptr;
    StopAllTimers(control);
    // A dying control must not be painted as an overlay either.
    RemoveItem(m_overlayPainters, control);
    auto it = m_nameMap.find(control->GetName());
    if (it != m_nameMap.end() && it->second == control) m_nameMap.erase(it);
    if (m_root == control) m_root = nullptr;
}

void CWindowManagerUI::DeleteLater(CControlUI* control)
{
    if (!control) return;
    // Detached controls are deleted without a manager, so every control of
    // the subtree is forgotten and gives back its images now; a name, a
    // focus or a timer left behind would point at freed memory.
    control->FindControl(
        [](CControlUI* c, void* self) -> CControlUI* {
            auto* manager = static_cast<CWindowManagerUI*>(self);
            if (c->GetManager() == manager) {
                manager->ForgetControl(c);
                c->ReleaseImages();
            }
            return nullptr;
        },
        this, 0);
    // Out of the tree as well: its old parent may be gone before it is.
    control->SetManager(nullptr, nullptr, false);
    AddUnique(m_delayedDeletes, control);
    if (m_window) PostMessageW(m_window, WM_APP + 1, 0, 0);
}

bool CWindowManagerUI::AddOverlayPainter(CControlUI* control) { return AddUnique(m_overlayPainters, control); }
bool CWindowManagerUI::RemoveOverlayPainter(CControlUI* control) { return RemoveItem(m_overlayPainters, control); }

bool CWindowManagerUI::JoinOptionGroup(const std::wstring& group, CControlUI* option)
{
    if (!option) return false;
    auto it = m_optionGroups.find(group);
    if (it == m_optionGroups.end()) {
        std::vector<CControlUI*> list;
        list.reserve(6);
        list.push_back(option);
        m_optionGroups.emplace(group, std::move(list));
        return true;
    }
    return AddUnique(it->second, option);
}

void CWindowManagerUI::LeaveOptionGroup(const std::wstring& group, CControlUI* option)
{
    auto it = m_optionGroups.find(group);
    if (it == m_optionGroups.end()) return;
    RemoveItem(it->second, option);
    if (it->second.empty()) m_optionGroups.erase(it);
}

const std::vector<CControlUI*>* CWindowManagerUI::OptionGroup(const std::wstring& group) const
{
    auto it = m_optionGroups.find(group);
    return it == m_optionGroups.end() ? nullptr : &it->second;
}

void CWindowManagerUI::RepaintRect(const RECT& rect)
{
    if (m_window) InvalidateRect(m_window, &rect, FALSE);
}

void CWindowManagerUI::SetInitialSize(int cx, int cy)
{
    m_initialSize.cx = cx;
    m_initialSize.cy = cy;
}

void CWindowManagerUI::SetWindowAlpha(int alpha)
{
    m_opacity = static_cast<BYTE>(std::clamp(alpha, 0, 255));
    if (!m_window) return;
    SetLayeredWindowAttributesFn fn = LayeredAttributes();
    if (!fn) return;
    LONG style = GetWindowLongW(m_window, GWL_EXSTYLE);
    SetWindowLongW(m_window, GWL_EXSTYLE, style | WS_EX_LAYERED);
    fn(m_window, 0, m_opacity, LWA_ALPHA);
}

void CWindowManagerUI::SetColorKey(DWORD colour)
{
    if (!m_window) return;
    SetLayeredWindowAttributesFn fn = LayeredAttributes();
    if (!fn) return;
    LONG style = GetWindowLongW(m_window, GWL_EXSTYLE);
    SetWindowLongW(m_window, GWL_EXSTYLE, style | WS_EX_LAYERED);
    fn(m_window, CDrawKit::ToColorRef(colour), 0, LWA_COLORKEY);
}

void CWindowManagerUI::SetLayeredPaint(bool layered)
{
    if (layered == m_layeredPaint) return;
    m_layeredPaint = layered;
    if (m_window) InvalidateRect(m_window, nullptr, FALSE);
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

// Arrives with the window manager's input routing.
void CWindowManagerUI::FocusPreviousTabStop(CControlUI*) {}

bool CWindowManagerUI::StartTimer(CControlUI* control, UINT id, UINT milliseconds)
{
    if (!control || !m_window) return false;
    for (TimerRecord& record : m_timers) {
        if (record.control == control && record.window == m_window && record.id == id) {
            if (!record.stopped) return false;
            if (!SetTimer(m_window, record.windowTimerId, milliseconds, nullptr)) return false;
            record.stopped = false;
            return true;
        }
    }
    // The counter wraps at 255. Ids that the caret blink (241) or a live
    // record already holds, and 0, are passed over: a second owner of one
    // window timer id would steal the first one's ticks.
    UINT_PTR windowId = 0;
    for (int tries = 0; tries < 256 && windowId == 0; ++tries) {
        m_timerCounter = (m_timerCounter + 1) % 255;
        UINT_PTR candidate = m_timerCounter;
        if (candidate == 0 || candidate == 241) continue;
        bool taken = false;
        for (const TimerRecord& record : m_timers)
            if (record.window == m_window && record.windowTimerId == candidate) taken = true;
        if (!taken) windowId = candidate;
    }
    if (windowId == 0) return false;
    if (!SetTimer(m_window, windowId, milliseconds, nullptr)) return false;
    m_timers.push_back(TimerRecord{control, id, m_window, windowId, false});
    return true;
}

bool CWindowManagerUI::StopTimer(CControlUI* control, UINT id)
{
    for (TimerRecord& record : m_timers) {
        if (record.control == control && record.window == m_window && record.id == id) {
            if (!record.stopped) {
                KillTimer(record.window, record.windowTimerId);
                record.stopped = true;
            }
            return true;
        }
    }
    return false;
}

void CWindowManagerUI::StopAllTimers(CControlUI* control)
{
    auto end = std::remove_if(m_timers.begin(), m_timers.end(), [control](const TimerRecord& record) {
        if (record.control != control) return false;
        if (!record.stopped) KillTimer(record.window, record.windowTimerId);
        return true;
    });
    m_timers.erase(end, m_timers.end());
}
void CWindowManagerUI::CaptureMouse() {}
void CWindowManagerUI::ReleaseMouse() {}
bool CWindowManagerUI::EnableCaret(bool) { return false; }
bool CWindowManagerUI::MoveCaret(CControlUI*, int, int) { return false; }
void CWindowManagerUI::PaintCaret(HDC, const RECT&) {}

bool CWindowManagerUI::AddNotifyListener(INotifyUI* listener) { return AddUnique(m_notifyListeners, listener); }
bool CWindowManagerUI::RemoveNotifyListener(INotifyUI* listener) { return RemoveItem(m_notifyListeners, listener); }
bool CWindowManagerUI::AddPreFilter(IMessageFilterUI* filter) { return AddUnique(m_preFilters, filter); }
bool CWindowManagerUI::RemovePreFilter(IMessageFilterUI* filter) { return RemoveItem(m_preFilters, filter); }
bool CWindowManagerUI::AddFilter(IMessageFilterUI* filter) { return AddUnique(m_filters, filter); }
bool CWindowManagerUI::RemoveFilter(IMessageFilterUI* filter) { return RemoveItem(m_filters, filter); }
bool CWindowManagerUI::AddTranslator(ITranslateAccelerator* translator) { return AddUnique(m_translators, translator); }
bool CWindowManagerUI::RemoveTranslator(ITranslateAccelerator* translator) { return RemoveItem(m_translators, translator); }

void CWindowManagerUI::SendNotification(CControlUI* control, const std::wstring& type, WPARAM wParam,
                                        LPARAM lParam, bool async)
{
    NotifyMsg msg;
    msg.type = type;
    msg.sender = control;
    msg.wParam = wParam;
    msg.lParam = lParam;
    SendNotification(msg, async);
}

// Delivery is synchronous whatever the caller asks: listeners rely on a
// notification having arrived when the call returns.
void CWindowManagerUI::SendNotification(NotifyMsg& msg, bool)
{
    msg.mousePoint = m_lastMousePoint;
    msg.timeStamp = GetTickCount();
    if (m_virtualWindows && msg.sender) msg.virtualWindowName = msg.sender->GetVirtualWindowName();
    if (msg.sender) msg.sender->NotifyHandlers().Invoke(&msg);
    // By index: a listener may add another while it is being told.
    for (size_t i = 0; i < m_notifyListeners.size(); ++i) m_notifyListeners[i]->Notify(msg);
}

bool CWindowManagerUI::HandleWindowMessage(UINT message, WPARAM wParam, LPARAM, LRESULT& result)
{
    result = 0;
    switch (message) {
    case WM_APP + 1:
        DeleteDelayed();
        return true;
    case WM_TIMER:
        // 241 is the caret's blink, which the input routing owns.
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
