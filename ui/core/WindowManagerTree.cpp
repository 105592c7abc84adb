#include "ui/core/WindowManagerUI.h"

#include <algorithm>

#include "ui/controls/ControlUI.h"

// The manager's side of the control tree and its notifications: attaching
// the root and adopting subtrees, the name map and the searches, deleting
// the controls that were removed while they may still have been on the call
// stack, the tree's end with the manager, overlay painters, option groups,
// and the listener lists that notifications go to. UI thread only.

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

}  // namespace

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

void CWindowManagerUI::RegisterTree(CControlUI* control, CControlUI* parent)
{
    if (!control) return;
    control->SetManager(this, parent, true);
    // A later control with a name already in the map replaces the earlier.
    control->FindControl(
        [](CControlUI* c, void* self) -> CControlUI* {
            const std::wstring name = c->GetName();
            if (!name.empty()) static_cast<CWindowManagerUI*>(self)->m_nameMap[name] = c;
            return nullptr;
        },
        this, 0);
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
    if (m_caretOwner == control) m_caretOwner = nullptr;
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

void CWindowManagerUI::DeleteDelayed()
{
    // Deleting may hand further controls to DeleteLater, so the list is
    // taken over before anything is deleted.
    while (!m_delayedDeletes.empty()) {
        std::vector<CControlUI*> batch;
        batch.swap(m_delayedDeletes);
        for (CControlUI* control : batch) delete control;
    }
}

void CWindowManagerUI::ReleaseTree()
{
    DeleteDelayed();
    CControlUI* root = m_root;
    m_root = nullptr;
    m_focus = m_hover = m_click = m_key = nullptr;
    delete root;
    DeleteDelayed();
    for (const TimerRecord& record : m_timers)
        if (!record.stopped) KillTimer(record.window, record.windowTimerId);
    m_timers.clear();
    m_overlayPainters.clear();
    m_nameMap.clear();
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

bool CWindowManagerUI::AddNotifyListener(INotifyUI* listener) { return AddUnique(m_notifyListeners, listener); }
bool CWindowManagerUI::RemoveNotifyListener(INotifyUI* listener)
{
    auto it = std::find(m_notifyListeners.begin(), m_notifyListeners.end(), listener);
    if (it == m_notifyListeners.end()) return false;
    const std::ptrdiff_t index = it - m_notifyListeners.begin();
    m_notifyListeners.erase(it);
    // A delivery at or past the removed listener steps back with the list,
    // so the listener after it is still told.
    for (std::ptrdiff_t* position : m_deliveries)
        if (index <= *position) --*position;
    return true;
}
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
    // By index, with the position known to RemoveNotifyListener: a
    // listener may add or remove listeners, itself included, while it is
    // being told; added ones are told too, removed ones no longer.
    std::ptrdiff_t i = 0;
    m_deliveries.push_back(&i);
    for (; i < static_cast<std::ptrdiff_t>(m_notifyListeners.size()); ++i) m_notifyListeners[i]->Notify(msg);
    m_deliveries.pop_back();
}
