#include "ui/core/WindowManagerUI.h"

#include <algorithm>

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

// Arrives with the control base: the root is then initialised and owned.
bool CWindowManagerUI::AttachRoot(CControlUI*) { return false; }
CControlUI* CWindowManagerUI::FindControlByName(const std::wstring& name) const
{
    auto it = m_nameMap.find(name);
    return it == m_nameMap.end() ? nullptr : it->second;
}
CControlUI* CWindowManagerUI::FindControlAt(POINT) const { return nullptr; }
void CWindowManagerUI::ForgetControl(CControlUI*) {}
void CWindowManagerUI::DeleteLater(CControlUI*) {}

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

// Focus, timers, capture and caret arrive with the window manager.
void CWindowManagerUI::FocusControl(CControlUI*) {}
void CWindowManagerUI::FocusPreviousTabStop(CControlUI*) {}
bool CWindowManagerUI::StartTimer(CControlUI*, UINT, UINT) { return false; }
bool CWindowManagerUI::StopTimer(CControlUI*, UINT) { return false; }
void CWindowManagerUI::StopAllTimers(CControlUI*) {}
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

// Delivery needs the sender's own notify handlers first, which come with
// the control base.
void CWindowManagerUI::SendNotification(CControlUI*, const std::wstring&, WPARAM, LPARAM, bool) {}
void CWindowManagerUI::SendNotification(NotifyMsg&, bool) {}

bool CWindowManagerUI::HandleWindowMessage(UINT, WPARAM, LPARAM, LRESULT& result)
{
    result = 0;
    return false;
}

bool CWindowManagerUI::PreHandleMessage(UINT, WPARAM, LPARAM, LRESULT& result)
{
    result = 0;
    return false;
}

bool CWindowManagerUI::PreTranslate(MSG*) { return false; }
